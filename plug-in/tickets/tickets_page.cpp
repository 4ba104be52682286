// The Tickets page's dialog procedure: its working record, focus handling,
// directory edit, buttons, sheet notifications, timers and help.
#include "tickets_page.h"

#include "folder_watch.h"
#include "page_controls.h"
#include "page_state.h"
#include "../uihooks/page_help.h"
#include "../settings/ticket_software.h"
#include "tickets.h"
#include "../core/handles.h"
#include "../core/names.h"
#include "../core/safe_string.h"
#include "../resource_ids.h"
#include "../settings/printer_data.h"
#include "../core/plugin_context.h"

#include <commctrl.h>
#include <prsht.h>

#include <cstring>
#include <cwchar>

namespace vorn {

namespace {

constexpr UINT kRefreshOnActivateMs = 700;
constexpr UINT kRefreshAfterEditMs = 1700;

constexpr HelpPopup kPopupHelp[] = {
    {IDC_TICKET_LIST, HELP_CTX_TICKET_LIST}, {IDC_TICKET_NEW, HELP_CTX_TICKET_NEW},
    {IDC_TICKET_EDIT, HELP_CTX_TICKET_EDIT}, {IDC_TICKET_DELETE, HELP_CTX_TICKET_DELETE},
    {IDC_TICKET_DIR, HELP_CTX_TICKET_DIR},   {IDC_TICKET_BROWSE, HELP_CTX_TICKET_BROWSE},
    {IDC_TICKET_DESC, HELP_CTX_TICKET_DESC},
};

// directory + "\" made absolute; empty when it cannot be.
void DirectoryWithSlash(const wchar_t* text, wchar_t (&out)[kTicketPathBufferChars]) noexcept {
    wchar_t withSlash[kTicketPathBufferChars] = {};
    CopyInto(withSlash, text);
    AppendInto(withSlash, L"\\");
    out[0] = L'\0';
    const DWORD length = GetFullPathNameW(withSlash, kTicketPathBufferChars, out, nullptr);
    if (length == 0 || length >= kTicketPathBufferChars) {
        out[0] = L'\0';
    }
}

BOOL OnInitDialog(HWND page, LPARAM lParam) noexcept {
    EnableWindow(GetDlgItem(page, IDC_TICKET_NEW), FALSE);
    TicketsPageState* state = CreatePageState<TicketsPageState>(page);
    const auto* sheetPage = PointerFrom<const PROPSHEETPAGEW*>(lParam);
    auto* context = sheetPage ? PointerFrom<PluginContext*>(sheetPage->lParam) : nullptr;
    SetWindowLongPtrW(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(context));
    const HINSTANCE instance = PageInstance(page);
    SetTicketsPageLabels(page, instance);
    // A directory that a ticket's stored path could not hold is refused
    // while typing rather than cut later.
    SendDlgItemMessageW(page, IDC_TICKET_DIR, EM_LIMITTEXT, kDirectoryFieldChars, 0);

    if (context && IsLocalPrinter(context, context->printer) == 0) {
        UniqueRegKey key;
        OpenPrinterDataKey(context, KEY_ALL_ACCESS, true, key);
    }
    if (state) {
        state->ticketLibrary.Reset(LoadTicketLibrary());
    }

    FillTicketListAtStart(page, context);
    if (state) {
        state->busy = false;
    }
    // The record stays attached to the page until WM_DESTROY frees it.
    return TRUE; // NOLINT(clang-analyzer-cplusplus.NewDeleteLeaks)
}

void OnDestroy(HWND page) noexcept {
    TicketsPageState* state = TicketsState(page);
    if (!state) {
        return;
    }
    // The editor may outlive the page: stop watching it and let go of it.
    KillTimer(page, IDT_EDITOR_WATCH);
    KillTimer(page, IDT_TICKET_REFRESH);
    // The record's owners give back the editor's handles, the new-ticket
    // record and this page's reference to the ticket library.
    DeletePageState<TicketsPageState>(page);
}

// Focus that lands on the page while the editor runs goes back to the
// button that started it, and the editor comes to the front.
void GuardFocus(HWND page, TicketsPageState* state, int id, WORD code) noexcept {
    if (!state->editorRunning) {
        return;
    }
    const bool guarded = (!state->busy && code == LBN_SETFOCUS) || code == EN_SETFOCUS ||
                         (code == BN_SETFOCUS && id != IDC_TICKET_NEW && id != IDC_TICKET_EDIT);
    if (!guarded) {
        return;
    }
    state->busy = true;
    SetFocus(GetDlgItem(page, state->lastEditorButton));
    ActivateTicketEditor(page);
    state->busy = false;
}

// The directory is checked whenever the focus moves on from it.
void CheckDirectoryOnFocus(HWND page, TicketsPageState* state, int id, WORD code) noexcept {
    if (state->busy) {
        return;
    }
    const bool check = (id == IDC_TICKET_LIST && code == LBN_SETFOCUS) ||
                       (id == IDC_TICKET_DESC && code == EN_SETFOCUS) ||
                       (code == BN_SETFOCUS &&
                        (id == IDC_TICKET_NEW || id == IDC_TICKET_EDIT || id == IDC_TICKET_DELETE));
    if (!check) {
        return;
    }
    wchar_t directory[kTicketPathBufferChars] = {};
    ReadDirectoryText(page, directory);
    if (IsExistingPath(directory, false)) {
        wchar_t full[kTicketPathBufferChars] = {};
        const DWORD length = GetFullPathNameW(directory, kTicketPathBufferChars, full, nullptr);
        if (length != 0 && length < kTicketPathBufferChars) {
            SetDlgItemTextW(page, IDC_TICKET_DIR, full);
        }
        return;
    }
    state->busy = true;
    RefuseDirectoryText(page, PageInstance(page), directory);
    state->busy = false;
}

void OnDirectoryEdit(HWND page, TicketsPageState* state, WORD code) noexcept {
    if (state->editorRunning) {
        return;
    }
    wchar_t text[kTicketPathBufferChars] = {};
    ReadDirectoryText(page, text);
    if (code == EN_SETFOCUS) {
        DirectoryWithSlash(text, state->focusDirectory);
        KillTimer(page, IDT_TICKET_REFRESH);
        return;
    }
    if (code != EN_KILLFOCUS) {
        return;
    }
    wchar_t now[kTicketPathBufferChars] = {};
    DirectoryWithSlash(text, now);
    if (now[0] != L'\0' && std::wcscmp(now, state->focusDirectory) != 0 &&
        IsExistingPath(now, false)) {
        SetDlgItemTextW(page, IDC_TICKET_DIR, now);
        FillTicketList(now, nullptr, page, PageContext(page));
        SendMessageW(GetParent(page), PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
    }
    // A page switch by keyboard leaves the focus in the field, which then
    // loses it on a page no longer shown, and a hidden page watches nothing.
    // (Apply leaves the page too, but the sheet still shows it.)
    if (PropSheet_GetCurrentPageHwnd(GetParent(page)) == page) {
        SetTimer(page, IDT_TICKET_REFRESH, kRefreshAfterEditMs, nullptr);
    }
}

// Enter and Ctrl+Tab leave the page with the focus still in the directory
// field, so it never hears of losing it: a folder typed there is taken now,
// as a click elsewhere would take it, or the commit would join it with a
// ticket chosen from the old folder's list. The field then counts as just
// entered again.
void TakeTypedDirectory(HWND page, TicketsPageState* state) noexcept {
    if (GetFocus() == GetDlgItem(page, IDC_TICKET_DIR)) {
        OnDirectoryEdit(page, state, EN_KILLFOCUS);
        OnDirectoryEdit(page, state, EN_SETFOCUS);
    }
}

void OnCommand(HWND page, WPARAM wParam) noexcept {
    TicketsPageState* state = TicketsState(page);
    if (!state) {
        return;
    }
    const int id = LOWORD(wParam);
    const WORD code = HIWORD(wParam);
    GuardFocus(page, state, id, code);
    CheckDirectoryOnFocus(page, state, id, code);

    const HINSTANCE instance = PageInstance(page);
    const PluginContext* context = PageContext(page);
    switch (id) {
    case IDC_TICKET_LIST:
        if (code == LBN_SELCHANGE) {
            UpdateTicketSelection(page, instance);
        } else if (code == LBN_DBLCLK) {
            if (SendDlgItemMessageW(page, IDC_TICKET_LIST, LB_GETCURSEL, 0, 0) == 0) {
                CreateNewTicket(page, context, instance);
            } else {
                EditSelectedTicket(page, context, instance);
            }
        }
        break;
    case IDC_TICKET_NEW:
        if (code == BN_CLICKED) {
            CreateNewTicket(page, context, instance);
        }
        break;
    case IDC_TICKET_EDIT:
        if (code == BN_CLICKED) {
            EditSelectedTicket(page, context, instance);
        }
        break;
    case IDC_TICKET_DIR:
        OnDirectoryEdit(page, state, code);
        break;
    case IDC_TICKET_BROWSE:
        if (code == BN_CLICKED) {
            BrowseTicketDirectory(page, context);
        }
        break;
    case IDC_TICKET_DELETE:
        if (code == BN_CLICKED) {
            DeleteSelectedTicket(page, instance);
        }
        break;
    default:
        break;
    }
}

INT_PTR Answer(HWND page, LONG_PTR result, INT_PTR returned) noexcept {
    SetWindowLongPtrW(page, DWLP_MSGRESULT, result);
    return returned;
}

INT_PTR OnNotify(HWND page, const NMHDR* header) noexcept {
    TicketsPageState* state = TicketsState(page);
    if (!state || !header) {
        return FALSE;
    }
    const bool editing = state->editorRunning;
    switch (header->code) {
    case PSN_SETACTIVE:
        SetTimer(page, IDT_TICKET_REFRESH, kRefreshOnActivateMs, nullptr);
        return Answer(page, 0, TRUE);
    case PSN_KILLACTIVE: {
        if (editing) {
            SetFocus(GetDlgItem(page, IDC_TICKET_NEW));
            ActivateTicketEditor(page);
            return Answer(page, 1, TRUE);
        }
        TakeTypedDirectory(page, state);
        const int keep = CommitTicketSelection(page, PageInstance(page));
        if (keep == 0) {
            KillTimer(page, IDT_TICKET_REFRESH);
            // Left for another page, the folder is not held open behind the
            // person's back: it can be renamed, deleted or unplugged.
            StopWatchingFolder(state->folderWatch);
        }
        return Answer(page, keep, keep);
    }
    case PSN_APPLY:
        if (editing) {
            return Answer(page, PSNRET_INVALID, TRUE);
        }
        SendMessageW(GetParent(page), PSM_UNCHANGED, reinterpret_cast<WPARAM>(page), 0);
        return Answer(page, PSNRET_NOERROR, FALSE);
    case PSN_RESET:
        if (editing) {
            return Answer(page, 1, TRUE);
        }
        return FALSE;
    default:
        return FALSE;
    }
}

BOOL OnHelp(HWND page, const HELPINFO* help) noexcept {
    ShowPageHelp(page, help, HELP_TICKETS_TOPIC, kPopupHelp);
    return TRUE;
}

} // namespace

TicketsPageState* TicketsState(HWND page) noexcept {
    return PageState<TicketsPageState>(page);
}

INT_PTR CALLBACK TicketsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(page, lParam);
    case WM_DESTROY:
        OnDestroy(page);
        return FALSE;
    case WM_COMMAND:
        OnCommand(page, wParam);
        return FALSE;
    case WM_NOTIFY:
        return OnNotify(page, PointerFrom<const NMHDR*>(lParam));
    case WM_TIMER:
        if (wParam == IDT_TICKET_REFRESH) {
            TicketsPageState* state = TicketsState(page);
            RefreshWatchedTicketList(page, state ? &state->folderWatch : nullptr,
                                     PageInstance(page));
        } else if (wParam == IDT_EDITOR_WATCH) {
            HandleEditorExit(page, PageInstance(page));
        }
        return FALSE;
    case WM_HELP:
        return OnHelp(page, PointerFrom<const HELPINFO*>(lParam));
    default:
        return FALSE;
    }
}

} // namespace vorn
