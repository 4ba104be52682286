// The printer's own registry key (PrinterDataKey) and the values the plug-in
// keeps in it: under HKLM for a printer of this computer, under the user's
// connection key for a printer shared by another computer.
#pragma once

#include "../core/handles.h"

#include <windows.h>

namespace vorn {

struct PluginContext;

constexpr size_t kKeyPathChars = 512; // "%s%s%s" paths, 1024 bytes
constexpr size_t kKeyNameBytes = 444; // printer name bound: 221 characters
constexpr size_t kKeyNameChars = kKeyNameBytes / sizeof(wchar_t);

// Replaces each '\\' among the first maxChars characters by ','; true when
// any was replaced.
bool PrinterNameToKeyName(wchar_t* name, size_t maxChars) noexcept;

// 1 when the printer's values live under HKLM, 0 for a connection. Uses the
// context's printer when a context is given, else `printer`.
int IsLocalPrinter(const PluginContext* context, HANDLE printer) noexcept;

// Builds the PrinterDataKey path of a printer from its key name.
void FormatPrinterDataKeyPath(wchar_t (&path)[kKeyPathChars], bool local,
                              const wchar_t* keyName) noexcept;
inline HKEY PrinterDataRoot(bool local) noexcept {
    return local ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// Opens (or, for a connection with `createConnection`, creates) the
// context's PrinterDataKey; ERROR_SUCCESS or the registry's error.
LONG OpenPrinterDataKey(const PluginContext* context, REGSAM access, bool createConnection,
                        UniqueRegKey& key) noexcept;

// Reads one value of the context's printer; `size` gives the buffer's size
// and receives the value's. `type` (may be null) receives the value's type.
// A value longer than the buffer answers 0 and leaves the buffer untouched;
// no byte is ever written past `size` bytes, whatever the value's type.
int ReadPrinterDataValue(const wchar_t* valueName, void* buffer, const PluginContext* context,
                         DWORD* size, DWORD* type = nullptr) noexcept;

// Stores one value of the context's printer; a local printer's key is never
// created here, a connection's is.
int WritePrinterDataValue(const wchar_t* valueName, const void* data, DWORD type, DWORD size,
                          const PluginContext* context) noexcept;

} // namespace vorn
