// The stand-in driver UI host: loads the plug-in DLL by path, creates its
// object through the class factory, publishes the driver interface, and keeps
// DEVMODE buffers the way the real host does (public DEVMODEW, then the
// plug-in's private section).
#pragma once

#include "core/oem_interface.h"
#include "driver_ui.h"
#include "machine_changes.h"

#include <string>
#include <vector>

namespace standin {

class PluginHost {
  public:
    PluginHost() = default;
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // Loads the DLL and creates the plug-in object; false with a reason.
    bool Load(const std::wstring& dllPath, std::string* error = nullptr);
    // Releases the object and unloads the DLL (only if it agrees to unload).
    void Unload();

    HMODULE Module() const { return module_; }
    IPrintOemUI* Plugin() const { return plugin_; }
    DriverUI& Driver() { return driver_; }

    using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();
    GetClassObjectFn GetClassObject() const { return getClassObject_; }
    CanUnloadNowFn CanUnloadNow() const { return canUnloadNow_; }

  private:
    HMODULE module_ = nullptr;
    IPrintOemUI* plugin_ = nullptr;
    GetClassObjectFn getClassObject_ = nullptr;
    CanUnloadNowFn canUnloadNow_ = nullptr;
    DriverUI driver_;
};

// A DEVMODE as the host stores it: public part followed by the plug-in's
// private section (the real host's own private part is left out).
class HostDevmode {
  public:
    explicit HostDevmode(DWORD privateSize = 2924);
    DEVMODEW* Public() { return reinterpret_cast<DEVMODEW*>(bytes_.data()); }
    BYTE* Private() { return bytes_.data() + sizeof(DEVMODEW); }
    DWORD PrivateSize() const { return privateSize_; }

  private:
    DWORD privateSize_;
    std::vector<BYTE> bytes_;
};

// Calls IPrintOemUI::DevMode the way the host does.
HRESULT CallDevMode(IPrintOemUI* plugin, DWORD mode, void* in, void* out, DWORD* bufSize);

// Full path of the plug-in DLL beside the running program.
std::wstring PluginDllPath();

} // namespace standin
