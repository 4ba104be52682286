// Module entry point: remembers the instance handle, nothing else.
#include "core/module.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        vorn::SetModuleInstance(instance);
    }
    return TRUE;
}
