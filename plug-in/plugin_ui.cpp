#include "plugin_ui.h"

#include "core/module.h"
#include "core/names.h"
#include "core/private_devmode.h"
#include "core/safe_string.h"
#include "settings/printer_events.h"
#include "uihooks/common_ui.h"
#include "uihooks/property_sheets.h"

namespace vorn {

namespace {
// The size reported for the profile name, although the name with its
// terminator takes 30 bytes: the host has always been told 32.
constexpr ULONG kColorProfileBytes = 32;
} // namespace

PluginUI::PluginUI() noexcept {
    ObjectCreated();
}

PluginUI::~PluginUI() {
    if (driver_) {
        driver_->Release();
        driver_ = nullptr;
    }
    ObjectDestroyed();
}

HRESULT STDMETHODCALLTYPE PluginUI::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) {
        return E_POINTER;
    }
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPrintOemUI)) {
        *ppv = static_cast<IPrintOemUI*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE PluginUI::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&refCount_));
}

ULONG STDMETHODCALLTYPE PluginUI::Release() {
    const LONG count = InterlockedDecrement(&refCount_);
    if (count == 0) {
        delete this;
    }
    return static_cast<ULONG>(count);
}

HRESULT STDMETHODCALLTYPE PluginUI::GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize,
                                            PDWORD pcbNeeded) {
    if (!pcbNeeded || (dwMode != OEMGI_GETSIGNATURE && dwMode != OEMGI_GETVERSION &&
                       dwMode != OEMGI_GETPUBLISHERINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    *pcbNeeded = sizeof(DWORD);
    if (cbSize < sizeof(DWORD) || !pBuffer) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return E_FAIL;
    }
    switch (dwMode) {
    case OEMGI_GETSIGNATURE:
        *static_cast<DWORD*>(pBuffer) = kPluginSignature;
        return S_OK;
    case OEMGI_GETVERSION:
        *static_cast<DWORD*>(pBuffer) = kPluginVersion;
        return S_OK;
    default: // OEMGI_GETPUBLISHERINFO
        *pcbNeeded = 0;
        SetLastError(ERROR_NOT_SUPPORTED);
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE PluginUI::DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) {
    return HandleDevMode(dwMode, pOemDMParam);
}

HRESULT STDMETHODCALLTYPE PluginUI::PublishDriverInterface(IUnknown* pIUnknown) {
    if (driver_) {
        return S_OK;
    }
    if (!pIUnknown) {
        return E_FAIL;
    }
    void* driver = nullptr;
    if (FAILED(pIUnknown->QueryInterface(IID_IPrintOemDriverUI, &driver)) || !driver) {
        driver_ = nullptr;
        return E_FAIL;
    }
    driver_ = static_cast<IPrintOemDriverUI*>(driver);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PluginUI::CommonUIProp(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam) {
    return vorn::CommonUIProp(dwMode, pOemCUIPParam, driver_);
}

HRESULT STDMETHODCALLTYPE PluginUI::DocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo,
                                                           LPARAM lParam) {
    return vorn::DocumentPropertySheets(pPSUIInfo, lParam);
}

HRESULT STDMETHODCALLTYPE PluginUI::DevicePropertySheets(PPROPSHEETUI_INFO, LPARAM) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE PluginUI::DevQueryPrintEx(POEMUIOBJ, PDEVQUERYPRINT_INFO, PDEVMODEW,
                                                    PVOID) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE PluginUI::DeviceCapabilities(POEMUIOBJ, HANDLE, PWSTR, WORD, PVOID,
                                                       PDEVMODEW, PVOID, DWORD, DWORD*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE PluginUI::UpgradePrinter(DWORD, PBYTE) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE PluginUI::PrinterEvent(PWSTR pPrinterName, INT iDriverEvent,
                                                 DWORD dwFlags, LPARAM lParam) {
    return HandlePrinterEvent(pPrinterName, iDriverEvent, dwFlags, lParam);
}

HRESULT STDMETHODCALLTYPE PluginUI::DriverEvent(DWORD, DWORD, LPBYTE, LPARAM) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE PluginUI::QueryColorProfile(HANDLE, POEMUIOBJ, PDEVMODEW, PVOID,
                                                      ULONG ulQueryMode, VOID* pvProfileData,
                                                      ULONG* pcbProfileData,
                                                      FLONG* pflProfileData) {
    if (ulQueryMode != QCP_DEVICEPROFILE) {
        return E_FAIL;
    }
    if (!pcbProfileData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    if (!pvProfileData || *pcbProfileData < kColorProfileBytes) {
        *pcbProfileData = kColorProfileBytes;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return E_FAIL;
    }
    const HRESULT hr =
        StringCopy(static_cast<wchar_t*>(pvProfileData), *pcbProfileData, names::kColorProfileName);
    *pcbProfileData = kColorProfileBytes;
    if (pflProfileData) {
        *pflProfileData = QCP_PROFILEDISK;
    }
    if (FAILED(hr)) {
        SetLastError(static_cast<DWORD>(hr));
    }
    return hr;
}

HRESULT STDMETHODCALLTYPE PluginUI::FontInstallerDlgProc(HWND, UINT, WPARAM, LPARAM) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE PluginUI::UpdateExternalFonts(HANDLE, HANDLE, PWSTR) {
    return E_NOTIMPL;
}

} // namespace vorn
