#include "printer_events.h"

#include "key_security.h"
#include "printer_data.h"
#include "../core/handles.h"
#include "../core/names.h"
#include "../core/safe_string.h"

namespace vorn {

namespace {

// The printer's values a new connection gets copies of, in this order.
constexpr const wchar_t* kConnectionValues[] = {
    names::kCustomMediaTypes,
    names::kCustomMediaSizes,
    names::kDriverSettings,
};

// Reads the printer's information at level 2 into `buffer`.
bool ReadPrinterInfo2(HANDLE printer, HeapBuffer& buffer) noexcept {
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    return needed >= sizeof(PRINTER_INFO_2W) && buffer.Allocate(needed) &&
           GetPrinterW(printer, 2, buffer.As(), needed, &needed);
}

// A printer's own key is not writable by ordinary users; interactive users
// get full access to it so that the plug-in can keep its values when they
// print.
HRESULT InitializePrinter(PWSTR printerName) noexcept {
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    UniquePrinter printer;
    if (!OpenPrinterW(printerName, printer.Receive(), &defaults) || !printer) {
        return E_FAIL; // an open that yields no handle fails as well
    }
    HeapBuffer info;
    if (ReadPrinterInfo2(printer.Get(), info) && info.As<PRINTER_INFO_2W>()->pPrinterName) {
        // The key is named by the printer's own name here, as the spooler
        // passes it, without the commas of a connection's key name.
        wchar_t path[kKeyPathChars] = {};
        FormatWide(path, sizeof(path), names::kKeyPathFormat, names::kLocalPrintersPath,
                   info.As<PRINTER_INFO_2W>()->pPrinterName, names::kPrinterDriverDataSuffix);
        SetPrinterKeySecurity(path);
    }
    return S_OK;
}

// Copies one value of the printer's data, with its type, into the user's key.
// A value the printer does not have is left out rather than stored empty.
void CopyPrinterValue(HANDLE printer, HKEY userKey, const wchar_t* valueName) noexcept {
    auto* name = const_cast<LPWSTR>(valueName);
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (GetPrinterDataW(printer, name, &type, nullptr, 0, &size) != ERROR_MORE_DATA) {
        return;
    }
    HeapBuffer data(size ? size : 1);
    if (!data || GetPrinterDataW(printer, name, &type, data.As(), size, &size) != ERROR_SUCCESS) {
        return;
    }
    RegSetValueExW(userKey, valueName, 0, type, data.As(), size);
}

// A user's connection reads its values from the user's own key, so it gets
// copies of those the shared printer holds.
void CopyValuesForConnection(PWSTR printerName) noexcept {
    UniquePrinter printer;
    if (!OpenPrinterW(printerName, printer.Receive(), nullptr) || !printer) {
        return;
    }
    HeapBuffer info;
    if (!ReadPrinterInfo2(printer.Get(), info)) {
        return;
    }
    const wchar_t* sharedName = info.As<PRINTER_INFO_2W>()->pPrinterName;
    wchar_t keyName[kKeyNameChars] = {};
    CopyInto(keyName, sharedName ? sharedName : L"");
    PrinterNameToKeyName(keyName, BoundedLength(keyName, kKeyNameChars));
    if (IsLocalPrinter(nullptr, printer.Get()) != 0) {
        return;
    }
    wchar_t path[kKeyPathChars] = {};
    FormatPrinterDataKeyPath(path, false, keyName);
    UniqueRegKey userKey;
    if (RegCreateKeyW(HKEY_CURRENT_USER, path, userKey.Receive()) != ERROR_SUCCESS) {
        return;
    }
    for (const wchar_t* valueName : kConnectionValues) {
        CopyPrinterValue(printer.Get(), userKey.Get(), valueName);
    }
}

} // namespace

HRESULT HandlePrinterEvent(PWSTR printerName, INT driverEvent, DWORD, LPARAM) noexcept {
    switch (driverEvent) {
    case PRINTER_EVENT_INITIALIZE:
        return InitializePrinter(printerName);
    case PRINTER_EVENT_ADD_CONNECTION:
        CopyValuesForConnection(printerName);
        return S_OK;
    default:
        return S_OK;
    }
}

} // namespace vorn
