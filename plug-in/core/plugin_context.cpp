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
// The context of the most recent option-tree call that kept its context.
PluginContext* g_currentContext = nullptr;
} // namespace

PluginContext* CurrentPluginContext() noexcept {
    return g_currentContext;
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
    g_currentContext = context;
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
    if (g_currentContext == context) {
        g_currentContext = nullptr;
    }
    if (context->heap) {
        HeapFree(context->heap, 0, context);
    }
}

} // namespace vorn
