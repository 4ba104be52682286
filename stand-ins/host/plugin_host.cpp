#include "plugin_host.h"

#include "core/module.h"

#include <cstring>

namespace standin {

PluginHost::~PluginHost() {
    Unload();
}

bool PluginHost::Load(const std::wstring& dllPath, std::string* error) {
    auto fail = [&](const char* why) {
        if (error) {
            *error = why;
        }
        Unload();
        return false;
    };
    module_ = LoadLibraryW(dllPath.c_str());
    if (!module_) {
        return fail("LoadLibraryW failed");
    }
    getClassObject_ = reinterpret_cast<GetClassObjectFn>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
    canUnloadNow_ = reinterpret_cast<CanUnloadNowFn>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
    if (!getClassObject_ || !canUnloadNow_) {
        return fail("exports missing");
    }
    IClassFactory* factory = nullptr;
    if (FAILED(getClassObject_(vorn::CLSID_VornPluginUI, IID_IClassFactory,
                               reinterpret_cast<void**>(&factory)))) {
        return fail("DllGetClassObject failed");
    }
    const HRESULT hr =
        factory->CreateInstance(nullptr, IID_IPrintOemUI, reinterpret_cast<void**>(&plugin_));
    factory->Release();
    if (FAILED(hr) || !plugin_) {
        return fail("CreateInstance failed");
    }
    if (FAILED(plugin_->PublishDriverInterface(static_cast<IPrintOemDriverUI*>(&driver_)))) {
        return fail("PublishDriverInterface failed");
    }
    return true;
}

void PluginHost::Unload() {
    if (plugin_) {
        plugin_->Release();
        plugin_ = nullptr;
    }
    if (module_) {
        if (!canUnloadNow_ || canUnloadNow_() == S_OK) {
            FreeLibrary(module_);
        }
        module_ = nullptr;
    }
    getClassObject_ = nullptr;
    canUnloadNow_ = nullptr;
}

HostDevmode::HostDevmode(DWORD privateSize)
    : privateSize_(privateSize), bytes_(sizeof(DEVMODEW) + privateSize, 0) {
    DEVMODEW* dm = Public();
    dm->dmSpecVersion = DM_SPECVERSION;
    dm->dmSize = sizeof(DEVMODEW);
    dm->dmDriverExtra = static_cast<WORD>(privateSize);
    dm->dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_COLLATE;
    dm->dmOrientation = DMORIENT_PORTRAIT;
    dm->dmPaperSize = DMPAPER_LETTER;
    dm->dmCopies = 1;
    dm->dmCollate = DMCOLLATE_TRUE;
}

HRESULT CallDevMode(IPrintOemUI* plugin, DWORD mode, void* in, void* out, DWORD* bufSize) {
    OEMDMPARAM param{};
    param.cbSize = sizeof(param);
    param.pOEMDMIn = in;
    param.pOEMDMOut = out;
    param.cbBufSize = bufSize ? *bufSize : 0;
    const HRESULT hr = plugin->DevMode(mode, &param);
    if (bufSize) {
        *bufSize = param.cbBufSize;
    }
    return hr;
}

std::wstring PluginDllPath() {
    return ProgramFolder() + L"vornpsui.dll";
}

} // namespace standin
