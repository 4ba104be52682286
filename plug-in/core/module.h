// Module-wide state of the plug-in DLL: its instance handle and the counters
// that decide whether the host may unload it.
#pragma once

#include <windows.h>

namespace vorn {

constexpr DWORD kPluginSignature = 0x4D534654; // bytes 54 46 53 4D
constexpr DWORD kPluginVersion = 1;

// {ABCE80D7-9F46-11D1-882A-00C04FB961EC}
constexpr CLSID CLSID_VornPluginUI = {
    0xABCE80D7, 0x9F46, 0x11D1, {0x88, 0x2A, 0x00, 0xC0, 0x4F, 0xB9, 0x61, 0xEC}};

void SetModuleInstance(HINSTANCE instance) noexcept;
HINSTANCE ModuleInstance() noexcept;

// Live plug-in objects and class factories; both keep the module loaded.
void ObjectCreated() noexcept;
void ObjectDestroyed() noexcept;
void LockModule(bool lock) noexcept;
bool ModuleInUse() noexcept;

} // namespace vorn
