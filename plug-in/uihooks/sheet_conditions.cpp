// When which page is offered: the ticket editor's presence, the printer's
// kind and the system's version.
#include "property_sheets.h"

#include "../core/plugin_context.h"

#include "../core/handles.h"
#include "../core/names.h"
#include "../core/safe_string.h"
#include "../settings/printer_data.h"
#include "../settings/ticket_software.h"

namespace vorn {

bool IsTicketEditorInstalled() noexcept {
    TicketSoftwarePaths paths;
    if (!ReadTicketSoftwarePaths(paths)) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(paths.editor);
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
    if (!known || !info || !info->pConfigFile) {
        return nullptr;
    }
    wchar_t path[MAX_PATH] = {};
    // A path cut by the bound would name some other folder.
    wchar_t* lastSlash =
        SUCCEEDED(CopyInto(path, info->pConfigFile)) ? wcsrchr(path, L'\\') : nullptr;
    if (!lastSlash) {
        return nullptr;
    }
    lastSlash[1] = L'\0'; // keep the trailing backslash
    if (FAILED(AppendInto(path, fileName))) {
        return nullptr;
    }
    // By its full path, without touching the process's current directory
    // (other threads of the host use it) and never a library of the same
    // name from the application's folder; its own dependencies are looked
    // for beside it.
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

} // namespace vorn
