#include "driver_ui.h"

#include <cstring>

namespace standin {

namespace {
DriverUI* FromUiObject(PVOID pci) {
    auto* obj = static_cast<DriverUI::HostUiObject*>(pci);
    return obj ? obj->owner : nullptr;
}

BOOL APIENTRY ProcGetDriverSetting(PVOID pci, PCSTR feature, PVOID out, DWORD size, PDWORD needed,
                                   PDWORD returned) {
    DriverUI* ui = FromUiObject(pci);
    return ui && ui->DrvGetDriverSetting(pci, feature, out, size, needed, returned) == S_OK;
}

BOOL APIENTRY ProcUpdateUISetting(PVOID pci, PVOID item, DWORD previous, DWORD mode) {
    DriverUI* ui = FromUiObject(pci);
    return ui && ui->DrvUpdateUISetting(pci, item, previous, mode) == S_OK;
}
} // namespace

DriverUI::DriverUI() {
    procs.DrvGetDriverSetting = ProcGetDriverSetting;
    procs.DrvUpdateUISetting = ProcUpdateUISetting;
    uiObjectWithOwner.object.cbSize = sizeof(OEMUIOBJ);
    uiObjectWithOwner.object.pOemUIProcs = &procs;
    uiObjectWithOwner.owner = this;
}

HRESULT STDMETHODCALLTYPE DriverUI::QueryInterface(REFIID riid, void** ppv) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPrintOemDriverUI)) {
        *ppv = static_cast<IPrintOemDriverUI*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DriverUI::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

// The host owns this object; the count only shows whether the plug-in keeps
// its references balanced.
ULONG STDMETHODCALLTYPE DriverUI::Release() {
    return static_cast<ULONG>(InterlockedDecrement(&refs_));
}

HRESULT STDMETHODCALLTYPE DriverUI::DrvGetDriverSetting(PVOID, PCSTR feature, PVOID out, DWORD size,
                                                        PDWORD needed, PDWORD returned) {
    if (!feature) {
        return E_INVALIDARG;
    }
    if (!out) {
        queried.push_back(feature);
    }
    auto it = features.find(feature);
    if (it == features.end()) {
        if (needed) {
            *needed = 0;
        }
        return E_FAIL;
    }
    if (!out && failingFirst.count(feature) && failingFirst[feature]) {
        return E_FAIL;
    }
    const DWORD trueSize = static_cast<DWORD>(it->second.size() + 1);
    auto claim = claimedSize.find(feature);
    const DWORD stated = claim != claimedSize.end() ? claim->second : trueSize;
    if (needed) {
        *needed = stated;
    }
    if (returned) {
        *returned = 1;
    }
    if (!out || (answer == Answer::Honest && size < trueSize)) {
        return E_OUTOFMEMORY;
    }
    if (failing.count(feature) && failing[feature]) {
        return E_FAIL;
    }
    if (answer == Answer::Honest) {
        std::memcpy(out, it->second.c_str(), trueSize);
        return S_OK;
    }
    // A careless host: every byte of the buffer it was given gets written.
    const DWORD answerBytes = answer == Answer::FillGiven ? trueSize : trueSize - 1;
    const DWORD written = answerBytes < size ? answerBytes : size;
    std::memcpy(out, it->second.c_str(), written);
    std::memset(static_cast<char*>(out) + written, kPattern, size - written);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DriverUI::DrvUpgradeRegistrySetting(HANDLE, PCSTR, PCSTR) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DriverUI::DrvUpdateUISetting(PVOID, PVOID item, DWORD previous,
                                                       DWORD mode) {
    updates.push_back({item, previous, mode});
    return S_OK;
}

} // namespace standin
