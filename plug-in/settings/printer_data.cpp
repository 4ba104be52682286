#include "printer_data.h"

#include "../core/names.h"
#include "../core/safe_string.h"
#include "../core/plugin_context.h"

#include <winspool.h>

#include <cstring>

namespace vorn {

namespace {

// The key name of the context's printer: its name, cut to 221 characters,
// with backslashes turned into commas.
void ContextKeyName(const PluginContext* context, wchar_t (&keyName)[kKeyNameChars]) noexcept {
    keyName[0] = L'\0';
    if (context) {
        CopyInto(keyName, context->printerName);
    }
    PrinterNameToKeyName(keyName, BoundedLength(keyName, kKeyNameChars));
}

} // namespace

bool PrinterNameToKeyName(wchar_t* name, size_t maxChars) noexcept {
    bool replaced = false;
    for (size_t i = 0; name && i < maxChars && name[i] != L'\0'; ++i) {
        if (name[i] == L'\\') {
            name[i] = L',';
            replaced = true;
        }
    }
    return replaced;
}

void FormatPrinterDataKeyPath(wchar_t (&path)[kKeyPathChars], bool local,
                              const wchar_t* keyName) noexcept {
    FormatWide(path, sizeof(path), names::kKeyPathFormat,
               local ? names::kLocalPrintersPath : names::kConnectionsPath, keyName,
               names::kPrinterDriverDataSuffix);
}

int IsLocalPrinter(const PluginContext* context, HANDLE printer) noexcept {
    HANDLE handle = context ? context->printer : printer;
    DWORD needed = 0;
    GetPrinterW(handle, 5, nullptr, 0, &needed);
    HeapBuffer buffer(needed < sizeof(PRINTER_INFO_5W) ? sizeof(PRINTER_INFO_5W) : needed);
    if (!buffer || !GetPrinterW(handle, 5, buffer.As(), needed, &needed)) {
        return 1;
    }
    const auto* info = buffer.As<PRINTER_INFO_5W>();
    if (!(info->Attributes & PRINTER_ATTRIBUTE_NETWORK)) {
        return 1;
    }
    // A network printer with a key of its own under this computer's printers
    // is still local (a shared printer seen from its own server).
    wchar_t name[256] = {};
    if (context) {
        CopyInto(name, context->printerName);
    } else if (info->pPrinterName) {
        CopyInto(name, info->pPrinterName);
    }
    PrinterNameToKeyName(name, BoundedLength(name, 256));
    wchar_t path[kKeyPathChars];
    FormatWide(path, sizeof(path), L"%s%s", names::kLocalPrintersPath, name);
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_ENUMERATE_SUB_KEYS, key.Receive()) ==
        ERROR_SUCCESS) {
        return 1;
    }
    return 0;
}

LONG OpenPrinterDataKey(const PluginContext* context, REGSAM access, bool createConnection,
                        UniqueRegKey& key) noexcept {
    wchar_t keyName[kKeyNameChars];
    ContextKeyName(context, keyName);
    const bool local = IsLocalPrinter(context, nullptr) != 0;
    wchar_t path[kKeyPathChars];
    FormatPrinterDataKeyPath(path, local, keyName);
    if (!local && createConnection) {
        return RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                               nullptr, key.Receive(), nullptr);
    }
    return RegOpenKeyExW(PrinterDataRoot(local), path, 0, access, key.Receive());
}

int ReadPrinterDataValue(const wchar_t* valueName, void* buffer, const PluginContext* context,
                         DWORD* size, DWORD* type) noexcept {
    if (!context || !size) {
        return 0;
    }
    UniqueRegKey key;
    if (OpenPrinterDataKey(context, KEY_QUERY_VALUE, false, key) != ERROR_SUCCESS) {
        return 0;
    }
    DWORD valueType = REG_NONE;
    DWORD valueSize = 0;
    if (RegQueryValueExW(key.Get(), valueName, nullptr, &valueType, nullptr, &valueSize) !=
        ERROR_SUCCESS) {
        return 0;
    }
    if (type) {
        *type = valueType;
    }
    const DWORD bufferSize = *size;
    *size = valueSize;
    if (!buffer) {
        return 1; // the caller asked for the size only
    }
    if (valueSize > bufferSize) {
        return 0; // too long: the caller's buffer stays as it was
    }
    // The registry may append a terminator to text that was stored without
    // one, past the value's own bytes: it writes into a block with room for
    // that, and the caller's buffer receives the value's bytes only.
    HeapBuffer scratch;
    if (!scratch.Allocate(static_cast<size_t>(valueSize) + sizeof(wchar_t))) {
        return 0;
    }
    DWORD readSize = valueSize;
    if (RegQueryValueExW(key.Get(), valueName, nullptr, &valueType, scratch.As(), &readSize) !=
            ERROR_SUCCESS ||
        readSize > bufferSize) {
        *size = readSize; // changed meanwhile
        return 0;
    }
    std::memcpy(buffer, scratch.As(), readSize);
    *size = readSize;
    if (type) {
        *type = valueType;
    }
    return 1;
}

int WritePrinterDataValue(const wchar_t* valueName, const void* data, DWORD type, DWORD size,
                          const PluginContext* context) noexcept {
    if (!context) {
        return 0;
    }
    UniqueRegKey key;
    // A local printer's key belongs to the spooler and is never made here.
    if (OpenPrinterDataKey(context, KEY_SET_VALUE, true, key) != ERROR_SUCCESS) {
        return 0;
    }
    return RegSetValueExW(key.Get(), valueName, 0, type, static_cast<const BYTE*>(data), size) ==
                   ERROR_SUCCESS
               ? 1
               : 0;
}

} // namespace vorn
