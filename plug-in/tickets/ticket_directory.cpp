// Where the ticket directory comes from and where it is kept.
#include "tickets.h"

#include "../settings/registry_text.h"
#include "../core/names.h"
#include "../core/safe_string.h"
#include "../core/private_devmode.h"
#include "../settings/printer_data.h"
#include "../core/plugin_context.h"

#include <cstring>

namespace vorn {

bool IsExistingPath(const wchar_t* path, bool expectFile) noexcept {
    if (!path) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    const bool isDirectory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return expectFile ? !isDirectory : isDirectory;
}

int ReadTicketsDirectory(const PluginContext* context,
                         wchar_t (&buffer)[kTicketPathBufferChars]) noexcept {
    std::memset(buffer, 0, sizeof(buffer));
    DWORD size = sizeof(buffer);
    DWORD type = REG_NONE;
    // Only a terminated string counts: nothing may be read past the buffer.
    if (context &&
        ReadPrinterDataValue(names::kCurrentTicketsDir, buffer, context, &size, &type) == 1 &&
        type == REG_SZ && BoundedLength(buffer, kTicketPathBufferChars) < kTicketPathBufferChars &&
        IsExistingPath(buffer, false)) {
        return 1;
    }
    std::memset(buffer, 0, sizeof(buffer));
    return 0;
}

int ReadDefaultTicketsDirectory(wchar_t (&buffer)[kTicketPathBufferChars]) noexcept {
    std::memset(buffer, 0, sizeof(buffer));
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, names::kTicketEditorKey, 0, KEY_QUERY_VALUE, &opened) !=
        ERROR_SUCCESS) {
        return 0;
    }
    UniqueRegKey key(opened);
    // An empty folder names no folder at all.
    return QueryTextValue(key.Get(), names::kTicketEditorTicketsValue, buffer,
                          kTicketPathBufferChars) == TextValue::kRead &&
                   buffer[0] != L'\0'
               ? 1
               : 0;
}

void WriteTicketsDirectory(const PluginContext* context, const wchar_t* path) noexcept {
    // Always the whole buffer: the path followed by zero characters.
    wchar_t fullPath[kTicketPathBufferChars] = {};
    const DWORD length = GetFullPathNameW(path, kTicketPathBufferChars, fullPath, nullptr);
    if (length == 0 || length >= kTicketPathBufferChars) {
        return;
    }
    WritePrinterDataValue(names::kCurrentTicketsDir, fullPath, REG_SZ, sizeof(fullPath), context);
}

void FillTicketListAtStart(HWND page, const PluginContext* context) noexcept {
    const PrivateDevmode* devmode = ContextPrivateDevmode(context);
    if (devmode && BoundedLength(devmode->ticketPath, kTicketPathChars) < kTicketPathChars &&
        IsExistingPath(devmode->ticketPath, true)) {
        FillTicketList(nullptr, devmode->ticketPath, page, context);
        return;
    }
    FillTicketListFromSavedDirectory(page, context);
}

void FillTicketListFromSavedDirectory(HWND page, const PluginContext* context) noexcept {
    wchar_t directory[kTicketPathBufferChars] = {};
    if (ReadTicketsDirectory(context, directory) == 1 ||
        ReadDefaultTicketsDirectory(directory) == 1) {
        FillTicketList(directory, nullptr, page, context);
        return;
    }
    FillTicketList(nullptr, nullptr, page, context);
}

} // namespace vorn
