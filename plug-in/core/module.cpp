#include "module.h"

namespace vorn {

namespace {
HINSTANCE g_instance = nullptr;
volatile LONG g_objectCount = 0;
volatile LONG g_lockCount = 0;
} // namespace

void SetModuleInstance(HINSTANCE instance) noexcept {
    g_instance = instance;
}
HINSTANCE ModuleInstance() noexcept {
    return g_instance;
}

void ObjectCreated() noexcept {
    InterlockedIncrement(&g_objectCount);
}
void ObjectDestroyed() noexcept {
    InterlockedDecrement(&g_objectCount);
}

void LockModule(bool lock) noexcept {
    if (lock) {
        InterlockedIncrement(&g_lockCount);
    } else {
        InterlockedDecrement(&g_lockCount);
    }
}

bool ModuleInUse() noexcept {
    return InterlockedCompareExchange(&g_objectCount, 0, 0) != 0 ||
           InterlockedCompareExchange(&g_lockCount, 0, 0) != 0;
}

} // namespace vorn
