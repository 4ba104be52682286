// The ticket list of the Tickets page: built from a folder, kept in step with
// it by the refresh timer, and written into the private DEVMODE when the page
// is left.
#include "tickets.h"

#include "list_order.h"
#include "page_controls.h"
#include "ticket_names.h"
#include "../core/handles.h"
#include "../core/names.h"
#include "../core/private_devmode.h"
#include "../core/safe_string.h"
#include "../resource_ids.h"
#include "../core/plugin_context.h"

#include <cstring>
#include <cwchar>
#include <new>
#include <vector>

namespace vorn {

namespace {

constexpr wchar_t kNotYetImplemented[] = L"Not yet implemented";

// directory + "\*.jdf"; false when the pattern would be cut, since a cut
// pattern would list other files.
bool BuildSearchPattern(const wchar_t* directory,
                        wchar_t (&pattern)[kTicketPathBufferChars]) noexcept {
    return StringCopy(pattern, sizeof(pattern), directory) == S_OK &&
           AppendInto(pattern, names::kTicketSearchPattern) == S_OK;
}

void SetDescription(HWND page, const wchar_t* text) noexcept {
    SetDlgItemTextW(page, IDC_TICKET_DESC, text);
}

void EnableControl(HWND page, int id, bool enable) noexcept {
    EnableWindow(GetDlgItem(page, id), enable ? TRUE : FALSE);
}

void EnableSheetOk(HWND page) noexcept {
    EnableWindow(GetDlgItem(SheetFrame(page), IDOK), TRUE);
}

void InsertNoneAtTop(HWND list, HINSTANCE instance) noexcept {
    wchar_t none[64] = {};
    LoadPageString(instance, IDS_TICKET_NONE, none, 64);
    SendMessageW(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(none));
}

// "None" alone or on top, selected, with the driver's description: nothing to edit or delete.
void ShowNoneSelected(HWND page, HWND list, HINSTANCE instance) noexcept {
    InsertNoneAtTop(list, instance);
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    wchar_t text[512] = {};
    LoadPageString(instance, IDS_TICKET_USE_DRIVER, text, 512);
    SetDescription(page, text);
    EnableControl(page, IDC_TICKET_EDIT, false);
    EnableControl(page, IDC_TICKET_DELETE, false);
}

// Calls add(entry) for the tickets of the folder that the list shows: ticket
// files only (not folders named like one), and only those whose path the
// page can form: a ticket it cannot name would be written cut short.
template <typename Add>
void ForEachListedTicket(const wchar_t* directory, const wchar_t* pattern, Add add) {
    ForEachTicketFile(pattern, [directory, &add](const wchar_t* fileName) {
        // The name without ".jdf".
        wchar_t entry[MAX_PATH] = {};
        CopyInto(entry, fileName);
        const size_t length = BoundedLength(entry, MAX_PATH);
        entry[length >= 4 ? length - 4 : 0] = L'\0';
        wchar_t path[kTicketPathBufferChars] = {};
        if (BuildTicketPath(directory, entry, path)) {
            add(static_cast<const wchar_t*>(entry));
        }
    });
}

void AddSorted(HWND list, const wchar_t* entry) noexcept {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
}

// Keeps the list from being redrawn while many entries come and go: each
// change would otherwise update its scroll bar and repaint.
class ListRedrawOff {
  public:
    explicit ListRedrawOff(HWND list) noexcept : list_(list) {
        SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    }
    ~ListRedrawOff() {
        SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list_, nullptr, TRUE);
    }
    ListRedrawOff(const ListRedrawOff&) = delete;
    ListRedrawOff& operator=(const ListRedrawOff&) = delete;

  private:
    HWND list_;
};

// Names into a list that holds none yet. They are put in the list box's
// order here, then appended with room reserved for all: the list box would
// otherwise compare each with a dozen others to place it.
void AppendInListOrder(HWND list, ListBoxOrder& names) {
    const bool ordered = names.Sort();
    // (and one more entry for "None")
    SendMessageW(list, LB_INITSTORAGE, names.Count() + 1,
                 static_cast<LPARAM>(names.TextChars() * sizeof(wchar_t)));
    for (size_t index = 0; index < names.Count(); ++index) {
        if (ordered) {
            SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(names.Name(index)));
        } else {
            AddSorted(list, names.Name(index));
        }
    }
}

// AppendInListOrder for names already gathered; false, with nothing
// appended, when there is no room to order them.
bool AppendAllInListOrder(HWND list, const std::vector<const std::wstring*>& names) noexcept {
    try {
        ListBoxOrder order(static_cast<LCID>(SendMessageW(list, LB_GETLOCALE, 0, 0)));
        for (const std::wstring* name : names) {
            order.Add(name->c_str());
        }
        AppendInListOrder(list, order);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// The folder's tickets into the empty list, gathered first.
void AddFolderTickets(HWND list, const wchar_t* directory) noexcept {
    wchar_t pattern[kTicketPathBufferChars] = {};
    if (!BuildSearchPattern(directory, pattern)) {
        return;
    }
    try {
        ListBoxOrder entries(static_cast<LCID>(SendMessageW(list, LB_GETLOCALE, 0, 0)));
        ForEachListedTicket(directory, pattern,
                            [&entries](const wchar_t* entry) { entries.Add(entry); });
        AppendInListOrder(list, entries);
        return;
    } catch (const std::bad_alloc&) {
        // No room to gather them: the list box places them as they come.
    }
    ForEachListedTicket(directory, pattern,
                        [list](const wchar_t* entry) { AddSorted(list, entry); });
}

void SelectTicketFile(HWND page, HWND list, const wchar_t* fileName) noexcept {
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (int index = 1; index < count; ++index) {
        wchar_t entry[kTicketPathBufferChars] = {};
        if (!ReadListEntry(list, index, entry)) {
            continue;
        }
        wchar_t entryFile[kTicketPathBufferChars] = {};
        if (FormatWide(entryFile, sizeof(entryFile), L"%s%s", entry, names::kTicketExtension) ==
                S_OK &&
            std::wcscmp(entryFile, fileName) == 0) {
            SendMessageW(list, LB_SETCURSEL, index, 0);
            UpdateTicketSelection(page, PageInstance(page));
            return;
        }
    }
}

} // namespace

void FillTicketList(const wchar_t* directory, const wchar_t* selectedTicket, HWND page,
                    const PluginContext* context) noexcept {
    const HINSTANCE instance = PageInstance(page);
    const HWND list = GetDlgItem(page, IDC_TICKET_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);

    wchar_t folder[kTicketPathBufferChars] = {};
    const wchar_t* fileName = nullptr;
    wchar_t ticket[kTicketPathBufferChars] = {};
    if (selectedTicket) {
        CopyInto(ticket, selectedTicket);
        wchar_t* slash = std::wcsrchr(ticket, L'\\');
        if (slash) {
            *slash = L'\0';
            fileName = slash + 1;
            CopyInto(folder, ticket);
            // A drive's root keeps its backslash: "X:" alone names the
            // current directory of drive X, wherever the host has put it.
            if (slash == ticket + 2 && ticket[1] == L':') {
                AppendInto(folder, L"\\");
            }
            WriteTicketsDirectory(context, folder);
        } else {
            fileName = ticket;
        }
    } else if (directory) {
        CopyInto(folder, directory);
    }

    if ((selectedTicket || directory) && folder[0] != L'\0') {
        wchar_t fullPath[kTicketPathBufferChars] = {};
        const DWORD length = GetFullPathNameW(folder, kTicketPathBufferChars, fullPath, nullptr);
        const bool full = length != 0 && length < kTicketPathBufferChars;
        if (full) {
            SetDlgItemTextW(page, IDC_TICKET_DIR, fullPath);
        }
        const ListRedrawOff quiet(list);
        // Paths are later formed from the text shown: check them against it.
        AddFolderTickets(list, full ? fullPath : folder);
    }

    ShowNoneSelected(page, list, instance);

    if (selectedTicket && fileName) {
        SelectTicketFile(page, list, fileName);
    } else if (!selectedTicket && !directory) {
        ShowTicketMessage(page, instance, IDS_TICKET_REGISTRY_FAILED, MB_ICONHAND);
    }
}

void RefreshTicketList(HWND page, HINSTANCE instance) noexcept {
    const HWND list = GetDlgItem(page, IDC_TICKET_LIST);
    wchar_t directory[kTicketPathBufferChars] = {};
    ReadDirectoryText(page, directory);
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    if (count == LB_ERR) {
        return;
    }
    if (!IsExistingPath(directory, false)) {
        if (count > 1) {
            SendMessageW(list, LB_RESETCONTENT, 0, 0);
            ShowNoneSelected(page, list, instance);
            EnableSheetOk(page);
        }
        return;
    }

    try {
        const LCID locale = static_cast<LCID>(SendMessageW(list, LB_GETLOCALE, 0, 0));
        wchar_t pattern[kTicketPathBufferChars] = {};
        const bool searchable = BuildSearchPattern(directory, pattern);
        TicketFolder folder(locale);
        if (searchable) {
            folder.Scan(pattern);
        }

        // Entries are read once; those whose file is gone are removed from
        // the last upwards so that the indices still to go stay valid.
        FoldedNameSet entries(locale);
        std::vector<int> stale;
        entries.Reserve(static_cast<size_t>(count));
        for (int index = 0; index < count; ++index) {
            wchar_t entry[kTicketPathBufferChars] = {};
            if (!ReadListEntry(list, index, entry)) {
                continue;
            }
            if (index > 0) {
                wchar_t path[kTicketPathBufferChars] = {};
                // A name the scan did not report may still exist under
                // another form of its path: ask the file system.
                if (!BuildTicketPath(directory, entry, path) ||
                    (!folder.HasTicketFile(entry) && !IsExistingPath(path, true))) {
                    stale.push_back(index);
                    continue;
                }
            }
            entries.Insert(entry);
        }
        if (!stale.empty()) {
            const ListRedrawOff quiet(list);
            for (auto it = stale.rbegin(); it != stale.rend(); ++it) {
                SendMessageW(list, LB_DELETESTRING, *it, 0);
            }
        }
        if (SendMessageW(list, LB_GETCURSEL, 0, 0) == LB_ERR) {
            SendMessageW(list, LB_SETCURSEL, 0, 0);
            UpdateTicketSelection(page, instance);
        }

        if (!searchable || folder.Empty()) {
            return;
        }
        std::vector<const std::wstring*> fresh;
        for (const std::wstring& name : folder.EntryNames()) {
            wchar_t path[kTicketPathBufferChars] = {};
            if (BuildTicketPath(directory, name.c_str(), path) && entries.Insert(name.c_str())) {
                fresh.push_back(&name);
            }
        }
        if (fresh.empty()) {
            return;
        }
        // "None" leaves while the names go in, so that the list box's sorted
        // insertion sees a sorted list, and returns to the top afterwards.
        wchar_t none[64] = {};
        LoadPageString(instance, IDS_TICKET_NONE, none, 64);
        const LRESULT at = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                        reinterpret_cast<LPARAM>(none));
        // Taking "None" out would take its selection with it; a user who had
        // "None" chosen keeps it when new tickets appear.
        const bool noneSelected = at != LB_ERR && SendMessageW(list, LB_GETCURSEL, 0, 0) == at;
        const ListRedrawOff quiet(list);
        if (at != LB_ERR) {
            SendMessageW(list, LB_DELETESTRING, at, 0);
        }
        // A whole folder (it came back, or another one was named) goes in
        // the way the list is first filled.
        if (SendMessageW(list, LB_GETCOUNT, 0, 0) != 0 || !AppendAllInListOrder(list, fresh)) {
            for (const std::wstring* name : fresh) {
                AddSorted(list, name->c_str());
            }
        }
        InsertNoneAtTop(list, instance);
        if (noneSelected) {
            SendMessageW(list, LB_SETCURSEL, 0, 0);
        }
    } catch (const std::bad_alloc&) {
        // Out of memory: the list stays as it is until the next refresh.
    }
}

void UpdateTicketSelection(HWND page, HINSTANCE) noexcept {
    const HWND sheet = SheetFrame(page);
    const LRESULT selection = SendDlgItemMessageW(page, IDC_TICKET_LIST, LB_GETCURSEL, 0, 0);
    EnableControl(page, IDC_TICKET_NEW, false);
    SetDescription(page, kNotYetImplemented);
    const bool ticket = selection != 0;
    EnableWindow(GetDlgItem(sheet, IDOK), TRUE);
    EnableControl(page, IDC_TICKET_EDIT, ticket);
    EnableControl(page, IDC_TICKET_DELETE, ticket);
    SendMessageW(sheet, PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
}

int CommitTicketSelection(HWND page, HINSTANCE instance) noexcept {
    const PluginContext* context = PageContext(page);
    PrivateDevmode* devmode = ContextPrivateDevmode(context);
    wchar_t directory[kTicketPathBufferChars] = {};
    ReadDirectoryText(page, directory);
    if (!IsExistingPath(directory, false)) {
        RefuseDirectoryText(page, instance, directory);
        return 1;
    }
    const HWND list = GetDlgItem(page, IDC_TICKET_LIST);
    const LRESULT selection = SendMessageW(list, LB_GETCURSEL, 0, 0);
    wchar_t entry[kTicketPathBufferChars] = {};
    // No readable selection (a refresh may just have removed it) is kept as
    // "None" rather than as a path to a ticket named ".jdf".
    const bool ticketChosen =
        selection != 0 && ReadListEntry(list, static_cast<int>(selection), entry);
    wchar_t ticketPath[kTicketPathBufferChars] = {};
    // A path cut short would name another file: the page stays instead.
    if (ticketChosen && !BuildTicketPath(directory, entry, ticketPath)) {
        RefuseDirectoryText(page, instance, directory);
        return 1;
    }
    WriteTicketsDirectory(context, directory);
    if (devmode) {
        static_assert(sizeof(devmode->ticketPath) == sizeof(ticketPath));
        CopyInto(devmode->ticketPath, ticketPath);
    }
    return 0;
}

void SetTicketsPageLabels(HWND page, HINSTANCE instance) noexcept {
    static constexpr int kLabelled[] = {IDC_TICKET_LIST_LABEL, IDC_TICKET_NEW,
                                        IDC_TICKET_EDIT,       IDC_TICKET_DELETE,
                                        IDC_TICKET_DIR_LABEL,  IDC_TICKET_BROWSE};
    for (int id : kLabelled) {
        wchar_t text[512] = {};
        LoadPageString(instance, static_cast<UINT>(id), text, 512);
        SetDlgItemTextW(page, id, text);
    }
    SetDlgItemTextW(page, IDC_TICKET_DESC_LABEL, kNotYetImplemented);
}

} // namespace vorn
