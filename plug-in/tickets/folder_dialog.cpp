// The Browse dialog: the system's open-file dialog shown so that it picks a
// folder. It lists folders only (a filter no file matches), keeps the folder
// name field in step with the selection, and on OK stores an existing folder
// as the printer's ticket directory and hands it back to the page.
#include "tickets.h"

#include "page_controls.h"
#include "../core/names.h"
#include "../core/safe_string.h"
#include "../resource_ids.h"
#include "../settings/printer_data.h"
#include "../core/plugin_context.h"

#include <commctrl.h>
#include <commdlg.h>

namespace vorn {

namespace {

// What one Browse gives the dialog and gets back: the folder chosen, whether
// or not the printer's value could be written (a standard user may not
// write a local printer's key).
struct FolderChoice {
    const PluginContext* context;
    wchar_t folder[kTicketPathBufferChars];
};

// The dialog window carries its own choice and the procedure it had.
constexpr wchar_t kChoiceProperty[] = L"VornTicketFolderChoice";
constexpr wchar_t kPreviousProcProperty[] = L"VornTicketFolderProc";
constexpr wchar_t kNoFileFilter[] = L"*..*\0*..*\0";

static_assert(sizeof(OPENFILENAMEW) == 152);

HINSTANCE ContextInstance(const PluginContext* context) noexcept {
    return context ? static_cast<HINSTANCE>(context->module) : nullptr;
}

void SetNameField(HWND dialog, const wchar_t* text) noexcept {
    SendMessageW(dialog, CDM_SETCONTROLTEXT, IDC_OFN_NAME_COMBO, reinterpret_cast<LPARAM>(text));
}

// The folder the dialog shows, or empty when it is no existing directory.
void ShowCurrentFolder(HWND dialog) noexcept {
    wchar_t folder[kTicketPathBufferChars] = {};
    SendMessageW(dialog, CDM_GETFOLDERPATH, kTicketPathBufferChars,
                 reinterpret_cast<LPARAM>(folder));
    folder[kTicketPathBufferChars - 1] = L'\0';
    SetNameField(dialog, IsExistingPath(folder, false) ? folder : L"");
}

void OnSelectionChange(HWND dialog) noexcept {
    const HWND view = GetDlgItem(GetDlgItem(dialog, IDC_OFN_SHELLVIEW), 1);
    const int item = static_cast<int>(
        SendMessageW(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (item < 0) {
        ShowCurrentFolder(dialog);
        return;
    }
    SetNameField(dialog, L"");
    wchar_t itemText[kTicketPathBufferChars] = {};
    LVITEMW request = {};
    request.iSubItem = 0;
    request.pszText = itemText;
    request.cchTextMax = kTicketPathBufferChars;
    SendMessageW(view, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&request));
    wchar_t path[kTicketPathBufferChars] = {};
    SendMessageW(dialog, CDM_GETFILEPATH, kTicketPathBufferChars, reinterpret_cast<LPARAM>(path));
    path[kTicketPathBufferChars - 1] = L'\0';
    AppendInto(path, L"\\");
    AppendInto(path, itemText);
    wchar_t full[kTicketPathBufferChars] = {};
    const DWORD length = GetFullPathNameW(path, kTicketPathBufferChars, full, nullptr);
    if (length != 0 && length < kTicketPathBufferChars && IsExistingPath(full, false)) {
        SetNameField(dialog, full);
        return;
    }
    ShowCurrentFolder(dialog);
}

// A name typed relative to the folder the dialog shows is that folder's
// child; it is never looked up against the process's current directory,
// which belongs to the host. False when the joined path would be cut.
bool ResolveTypedFolder(HWND dialog, const wchar_t* typed,
                        wchar_t (&folder)[kTicketPathBufferChars]) noexcept {
    const bool relative =
        typed[0] != L'\\' && typed[0] != L'/' && !(typed[0] != L'\0' && typed[1] == L':');
    wchar_t shown[kTicketPathBufferChars] = {};
    if (relative && typed[0] != L'\0') {
        SendMessageW(dialog, CDM_GETFOLDERPATH, kTicketPathBufferChars,
                     reinterpret_cast<LPARAM>(shown));
        shown[kTicketPathBufferChars - 1] = L'\0';
    }
    if (shown[0] == L'\0') {
        return CopyInto(folder, typed) == S_OK;
    }
    return JoinDirectoryPath(shown, typed, folder);
}

} // namespace

UINT_PTR CALLBACK FolderDialogHook(HWND hook, UINT message, WPARAM, LPARAM lParam) noexcept {
    const HWND dialog = GetParent(hook);
    if (message == WM_INITDIALOG) {
        const auto* request = PointerFrom<const OPENFILENAMEW*>(lParam);
        const auto* choice =
            request ? PointerFrom<const FolderChoice*>(request->lCustData) : nullptr;
        const auto* context = choice ? choice->context : nullptr;
        const HINSTANCE instance = ContextInstance(context);
        wchar_t text[512] = {};
        LoadPageString(instance, IDS_FOLDER_NAME, text, 512);
        SendMessageW(dialog, CDM_SETCONTROLTEXT, IDC_OFN_NAME_LABEL,
                     reinterpret_cast<LPARAM>(text));
        LoadPageString(instance, IDS_OK, text, 512);
        SendMessageW(dialog, CDM_SETCONTROLTEXT, IDOK, reinterpret_cast<LPARAM>(text));
        SendMessageW(dialog, CDM_HIDECONTROL, IDC_OFN_FILETYPE, 0);
        SendMessageW(dialog, CDM_HIDECONTROL, IDC_OFN_FILETYPE_LABEL, 0);
        const wchar_t* initial = request ? request->lpstrInitialDir : nullptr;
        SetNameField(dialog, initial && IsExistingPath(initial, false) ? initial : L"");
        return TRUE;
    }
    if (message != WM_NOTIFY) {
        return FALSE;
    }
    const auto* notify = PointerFrom<const OFNOTIFYW*>(lParam);
    switch (notify->hdr.code) {
    case CDN_INITDONE: {
        SetPropW(dialog, kChoiceProperty, PointerFrom<HANDLE>(notify->lpOFN->lCustData));
        const LONG_PTR previous = SetWindowLongPtrW(
            dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FolderDialogSubclassProc));
        SetPropW(dialog, kPreviousProcProperty, PointerFrom<HANDLE>(previous));
        return FALSE;
    }
    case CDN_SELCHANGE:
        OnSelectionChange(dialog);
        return FALSE;
    default:
        return TRUE;
    }
}

LRESULT CALLBACK FolderDialogSubclassProc(HWND dialog, UINT message, WPARAM wParam,
                                          LPARAM lParam) noexcept {
    const auto previous = reinterpret_cast<WNDPROC>(GetPropW(dialog, kPreviousProcProperty));
    auto* choice = static_cast<FolderChoice*>(GetPropW(dialog, kChoiceProperty));
    const PluginContext* context = choice ? choice->context : nullptr;
    if (!previous) {
        return DefDlgProcW(dialog, message, wParam, lParam);
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED) {
        wchar_t typed[kTicketPathBufferChars] = {};
        GetDlgItemTextW(dialog, IDC_OFN_NAME_EDIT, typed, kTicketPathBufferChars);
        wchar_t folder[kTicketPathBufferChars] = {};
        if (!ResolveTypedFolder(dialog, typed, folder) || !IsExistingPath(folder, false)) {
            ShowTicketMessage(nullptr, ContextInstance(context), IDS_INVALID_DIRECTORY, MB_ICONHAND,
                              typed);
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 0);
            return 0;
        }
        // Kept as a full path: read back later, a relative one would lead
        // elsewhere.
        WriteTicketsDirectory(context, folder);
        if (choice) {
            const DWORD length =
                GetFullPathNameW(folder, kTicketPathBufferChars, choice->folder, nullptr);
            if (length == 0 || length >= kTicketPathBufferChars) {
                choice->folder[0] = L'\0';
            }
        }
        EndDialog(dialog, 1);
    } else if (message == WM_NCDESTROY) {
        // The dialog goes: it gets its own procedure back first.
        SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        RemovePropW(dialog, kPreviousProcProperty);
        RemovePropW(dialog, kChoiceProperty);
    }
    return CallWindowProcW(previous, dialog, message, wParam, lParam);
}

void BrowseTicketDirectory(HWND page, const PluginContext* context) noexcept {
    wchar_t directory[kTicketPathBufferChars] = {};
    ReadDirectoryText(page, directory);
    wchar_t title[512] = {};
    LoadPageString(PageInstance(page), IDS_SELECT_TICKET_DIR, title, 512);

    OPENFILENAMEW request = {};
    request.lStructSize = sizeof(request);
    request.hwndOwner = page;
    request.lpstrFilter = kNoFileFilter;
    request.lpstrFile = nullptr;
    request.nMaxFile = kTicketPathBufferChars;
    request.lpstrInitialDir = directory;
    request.lpstrTitle = title;
    // The dialog may move the process's current directory as the user
    // browses: it puts it back, since the host and its other threads own it.
    request.Flags = OFN_HIDEREADONLY | OFN_ENABLEHOOK | OFN_PATHMUSTEXIST | OFN_EXPLORER |
                    OFN_ENABLEINCLUDENOTIFY | OFN_DONTADDTORECENT | OFN_NOCHANGEDIR;
    FolderChoice choice{context, {}};
    request.lCustData = reinterpret_cast<LPARAM>(&choice);
    request.lpfnHook = &FolderDialogHook;
    request.FlagsEx = OFN_EX_NOPLACESBAR;
    if (!GetOpenFileNameW(&request) || choice.folder[0] == L'\0') {
        return;
    }
    SetDlgItemTextW(page, IDC_TICKET_DIR, choice.folder);
    RefreshTicketList(page, PageInstance(page));
}

} // namespace vorn
