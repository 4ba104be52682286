// The statically linked thread runtime (winpthread, which the C++ runtime's
// exception support needs) calls GetTickCount64, which Windows XP x64 does
// not export: importing it would keep the DLL from loading there. Its import
// slot is defined here instead, so the runtime calls a function that uses
// GetTickCount64 where the system has it and GetTickCount elsewhere.
#include <windows.h>

namespace {

ULONGLONG WINAPI TickCount64Compat() {
    using TickCount64Fn = ULONGLONG(WINAPI*)();
    static const auto system = reinterpret_cast<TickCount64Fn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
    return system ? system() : GetTickCount();
}

} // namespace

extern "C" {
ULONGLONG(WINAPI* __imp_GetTickCount64)() = TickCount64Compat;
}
