// When which page is offered: the ticket editor's presence, the printer's
// kind and the system's version.
#include "property_sheets.h"

#include "../core/plugin_context.h"

#include "../core/handles.h"
#include "../core/names.h"
#include "../core/safe_string.h"
#include "../settings/printer_data.h"

namespace vorn {

namespace {
constexpr size_t kEditorPathBytes = 520;
} // namespace

bool IsTicketEditorInstalled() noexcept {
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, names::kTicketSoftwareKey, 0, KEY_QUERY_VALUE,
                      key.Receive()) != ERROR_SUCCESS) {
        return false;
    }
    wchar_t path[kEditorPathBytes / sizeof(wchar_t)] = {};
    // One character short of the buffer, so that a stored text without its
    // terminator still ends inside it.
    DWORD size = sizeof(path) - sizeof(wchar_t);
    if (RegQueryValueExW(key.Get(), names::kTicketSoftwarePathValue, nullptr, nullptr,
                         reinterpret_cast<BYTE*>(path), &size) != ERROR_SUCCESS) {
        return false;
    }
    // A path cut short by the bound names some other file: not the editor.
    if (FAILED(AppendInto(path, L"\\")) || FAILED(AppendInto(path, names::kTicketEditorExe))) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ShouldShowTicketsPage(const PluginContext* context) noexcept {
    if (!context) {
        return true;
    }
    DWORD needed = 0;
    GetPrinterW(context->printer, 5, nullptr, 0, &needed);
    HeapBuffer info(needed);
    if (!info || !GetPrinterW(context->printer, 5, info.As(), needed, &needed)) {
        return true;
    }
    const DWORD attributes = info.As<PRINTER_INFO_5W>()->Attributes;
    return IsLocalPrinter(context, nullptr) != 0 || (attributes & PRINTER_ATTRIBUTE_DIRECT) != 0;
}

bool IsWindowsXP() noexcept {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExW(&version) && version.dwMajorVersion == 5 && version.dwMinorVersion == 1;
}

HMODULE LoadLibraryFromDriverDir(const PluginContext* context, const wchar_t* fileName) noexcept {
    HeapBuffer driver;
    DWORD needed = 0;
    const HANDLE printer = context ? context->printer : nullptr;
    bool known = GetPrinterDriverW(printer, nullptr, 3, nullptr, 0, &needed) != FALSE;
    if (!known && GetLastError() == ERROR_INSUFFICIENT_BUFFER && driver.Allocate(needed)) {
        known = GetPrinterDriverW(printer, nullptr, 3, driver.As(), needed, &needed) != FALSE;
    }
    const auto* info = driver ? driver.As<DRIVER_INFO_3W>() : nullptr;
    if (known && info && info->pConfigFile) {
        wchar_t directory[MAX_PATH] = {};
        // A path cut by the bound would name some other folder.
        wchar_t* lastSlash =
            SUCCEEDED(CopyInto(directory, info->pConfigFile)) ? wcsrchr(directory, L'\\') : nullptr;
        if (lastSlash) {
            lastSlash[1] = L'\0'; // keep the trailing backslash
            SetCurrentDirectoryW(directory);
        }
    }
    return LoadLibraryW(fileName);
}

} // namespace vorn
