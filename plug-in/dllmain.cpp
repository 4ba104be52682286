// Module entry point: remembers the instance handle, and gives back at
// unload what the statically linked C++ runtime would otherwise keep.
#include "core/module.h"
#include "core/plugin_context.h"

#include <windows.h>

namespace __gnu_cxx {
// The C++ runtime's release of its emergency exception pool (about 72 KB,
// taken when the module loads and never freed).
void __freeres() noexcept;
} // namespace __gnu_cxx

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        vorn::SetModuleInstance(instance);
    } else if (reason == DLL_THREAD_DETACH) {
        vorn::ForgetThreadContext();
    } else if (reason == DLL_PROCESS_DETACH && !reserved) {
        // Unloaded by FreeLibrary while the process goes on: the host loads
        // and unloads the plug-in for every dialog, and each load would
        // otherwise leave the pool behind in the application.
        __gnu_cxx::__freeres();
    }
    return TRUE;
}
