#include "page_controls.h"

#include "../core/names.h"
#include "../core/safe_string.h"
#include "../resource_ids.h"

#include <cstring>

namespace vorn {

namespace {
constexpr wchar_t kJoinFormat[] = L"%s\\%s";
constexpr wchar_t kAppendFormat[] = L"%s%s";
} // namespace

HWND SheetFrame(HWND page) noexcept {
    return GetParent(page);
}

void LoadPageString(HINSTANCE instance, UINT id, wchar_t* buffer, int bufferChars) noexcept {
    if (!buffer || bufferChars <= 0) {
        return;
    }
    buffer[0] = L'\0';
    if (LoadStringW(instance, id, buffer, bufferChars) <= 0) {
        buffer[0] = L'\0';
    }
}

int ShowTicketMessage(HWND owner, HINSTANCE instance, UINT textId, UINT type, const wchar_t* insert,
                      size_t textBytes) noexcept {
    wchar_t format[512] = {};
    wchar_t caption[512] = {};
    wchar_t text[1024] = {};
    LoadPageString(instance, textId, format, 512);
    LoadPageString(instance, IDS_CAPTION, caption, 512);
    if (textBytes > sizeof(text)) {
        textBytes = sizeof(text);
    }
    if (insert) {
        FormatWide(text, textBytes, format, insert);
    } else {
        StringCopy(text, textBytes, format);
    }
    return MessageBoxW(owner, text, caption, type);
}

void RefuseDirectoryText(HWND page, HINSTANCE instance, const wchar_t* directory) noexcept {
    SetFocus(GetDlgItem(page, IDC_TICKET_DIR));
    SendDlgItemMessageW(page, IDC_TICKET_DIR, EM_SETSEL, 0, -1);
    ShowTicketMessage(page, instance, IDS_INVALID_DIRECTORY, MB_ICONHAND, directory);
}

void ReadDirectoryText(HWND page, wchar_t (&buffer)[kTicketPathBufferChars]) noexcept {
    buffer[0] = L'\0';
    GetDlgItemTextW(page, IDC_TICKET_DIR, buffer, kTicketPathBufferChars);
}

bool ReadListEntry(HWND list, int index, wchar_t (&buffer)[kTicketPathBufferChars]) noexcept {
    buffer[0] = L'\0';
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR || length < 0 || length >= static_cast<LRESULT>(kTicketPathBufferChars)) {
        return false;
    }
    if (SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(buffer)) == LB_ERR) {
        buffer[0] = L'\0';
        return false;
    }
    buffer[length] = L'\0';
    return true;
}

bool JoinDirectoryPath(const wchar_t* directory, const wchar_t* name,
                       wchar_t (&buffer)[kTicketPathBufferChars]) noexcept {
    if (!directory || !name) {
        return false;
    }
    const size_t length = BoundedLength(directory, kTicketPathBufferChars);
    // A folder typed as "C:\Tickets\" names the same folder as "C:\Tickets".
    const bool endsInSeparator = length > 0 && directory[length - 1] == L'\\';
    return FormatWide(buffer, sizeof(buffer), endsInSeparator ? kAppendFormat : kJoinFormat,
                      directory, name) == S_OK;
}

bool BuildTicketPath(const wchar_t* directory, const wchar_t* entry,
                     wchar_t (&buffer)[kTicketPathBufferChars]) noexcept {
    wchar_t fileName[kTicketPathBufferChars] = {};
    return FormatWide(fileName, sizeof(fileName), kAppendFormat, entry, names::kTicketExtension) ==
               S_OK &&
           JoinDirectoryPath(directory, fileName, buffer);
}

} // namespace vorn
