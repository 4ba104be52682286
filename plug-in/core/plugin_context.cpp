#include "plugin_context.h"

#include "feature_query.h"
#include "private_devmode.h"
#include "safe_string.h"

namespace vorn {

PrivateDevmode* ContextPrivateDevmode(const PluginContext* context) noexcept {
    if (!context || !context->sheetParam) {
        return nullptr;
    }
    return static_cast<PrivateDevmode*>(context->sheetParam->pOEMDM);
}

DEVMODEW* ContextPublicDevmode(const PluginContext* context) noexcept {
    if (!context || !context->sheetParam) {
        return nullptr;
    }
    return context->sheetParam->pPublicDM;
}

bool QueryContextFeature(const PluginContext* context, const char* feature, char* out,
                         DWORD outBytes) noexcept {
    if (!context) {
        if (out && outBytes) {
            out[0] = '\0';
        }
        return false;
    }
    return QueryDriverFeature(context->driver, context->uiObject, feature, out, outBytes);
}

namespace {

// A process may run several sheets, each on its own thread, whose option
// trees and initialisations interleave: each thread has the context of its
// own most recent option tree. A host that makes the tree on one thread and
// the sheet on another still finds the most recent one of the process.
struct ThreadContext {
    DWORD thread;
    PluginContext* context;
};
constexpr size_t kTrackedThreads = 32;

struct CurrentContexts {
    volatile LONG lock;
    PluginContext* latest;
    ThreadContext threads[kTrackedThreads];
};
CurrentContexts g_current{};

// The table is touched for a few instructions at a time: a spin lock that
// yields is enough and needs no set-up at load.
class CurrentContextsLock {
  public:
    CurrentContextsLock() noexcept {
        while (InterlockedCompareExchange(&g_current.lock, 1, 0) != 0) {
            Sleep(0);
        }
    }
    ~CurrentContextsLock() { InterlockedExchange(&g_current.lock, 0); }
    CurrentContextsLock(const CurrentContextsLock&) = delete;
    CurrentContextsLock& operator=(const CurrentContextsLock&) = delete;
};

ThreadContext* EntryOf(DWORD thread) noexcept {
    for (ThreadContext& entry : g_current.threads) {
        if (entry.thread == thread) {
            return &entry;
        }
    }
    return nullptr;
}

void MakeCurrent(PluginContext* context) noexcept {
    const DWORD thread = GetCurrentThreadId();
    CurrentContextsLock lock;
    g_current.latest = context;
    ThreadContext* entry = EntryOf(thread);
    if (!entry) {
        entry = EntryOf(0);
    }
    // With every slot taken this thread falls back to the process's latest,
    // which it has just become.
    if (entry) {
        entry->thread = thread;
        entry->context = context;
    }
}

} // namespace

PluginContext* CurrentPluginContext() noexcept {
    CurrentContextsLock lock;
    const ThreadContext* entry = EntryOf(GetCurrentThreadId());
    return entry ? entry->context : g_current.latest;
}

void ForgetPluginContext(const PluginContext* context) noexcept {
    if (!context) {
        return;
    }
    CurrentContextsLock lock;
    if (g_current.latest == context) {
        g_current.latest = nullptr;
    }
    for (ThreadContext& entry : g_current.threads) {
        if (entry.context == context) {
            entry = ThreadContext{};
        }
    }
}

void ForgetThreadContext() noexcept {
    CurrentContextsLock lock;
    if (ThreadContext* entry = EntryOf(GetCurrentThreadId())) {
        *entry = ThreadContext{};
    }
}

PluginContext* CreatePluginContext(POEMCUIPPARAM param, IPrintOemDriverUI* driver) noexcept {
    if (!param || !param->hOEMHeap) {
        return nullptr;
    }
    auto* context = static_cast<PluginContext*>(
        HeapAlloc(param->hOEMHeap, HEAP_ZERO_MEMORY, sizeof(PluginContext)));
    if (!context) {
        return nullptr;
    }
    MakeCurrent(context);
    context->heap = param->hOEMHeap;
    // A record without one of these handles gives no usable context; it stays
    // current as far as it was filled, since the host discards its heap.
    context->uiObject = param->poemuiobj;
    if (!context->uiObject) {
        return nullptr;
    }
    context->printer = param->hPrinter;
    if (!context->printer) {
        return nullptr;
    }
    context->module = param->hModule;
    if (!context->module) {
        return nullptr;
    }
    if (param->pPrinterName) {
        CopyInto(context->printerName, param->pPrinterName);
    }
    context->driver = driver;
    return context;
}

void ReleasePluginContext(PluginContext* context) noexcept {
    if (!context) {
        return;
    }
    ForgetPluginContext(context);
    if (context->heap) {
        HeapFree(context->heap, 0, context);
    }
}

} // namespace vorn
