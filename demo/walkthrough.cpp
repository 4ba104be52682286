#include "walkthrough.h"

#include "shot_taker.h"

#include "resource_ids.h"

#include <cstdio>
#include <functional>
#include <string>

namespace {

constexpr wchar_t kEditorClass[] = L"VornTicketEditorStandIn";
constexpr wchar_t kNewTicket[] = L"New Ticket 1";
constexpr wchar_t kEditedTicket[] = L"Booklet A5";
constexpr wchar_t kDeletedTicket[] = L"Proofs";
constexpr wchar_t kConfirmDelete[] = L"Are you sure you want to delete the ticket";
constexpr int kHoldUntilPin = 2;        // "Hold job until you enter PIN"
constexpr int kCompletionAndErrors = 2; // "Job completion and errors during job printing"
constexpr DWORD kEditorTimeoutMs = 20000;

ShotTaker* g_shots = nullptr;
int g_unexpectedBoxes = 0;

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
        PumpMessages(50);
    }
    return true;
}

void Command(HWND page, int id, WORD code) {
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, code),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

void Click(HWND page, int id) {
    Command(page, id, BN_CLICKED);
}

void ChooseListEntry(HWND page, int id, int index) {
    SendDlgItemMessageW(page, id, CB_SETCURSEL, index, 0);
    Command(page, id, CBN_SELCHANGE);
}

std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// The visible window of this thread with the given caption (a dialog or a
// message box), or null.
HWND FindThreadWindow(const std::wstring& caption) {
    struct Search {
        const std::wstring* caption;
        HWND found;
    } search{&caption, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (IsWindowVisible(window) && WindowText(window) == *s->caption) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The text of a message box: its static control 0xFFFF.
std::wstring BoxText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    return text ? WindowText(text) : L"";
}

// Runs inside a message box's own loop: photographs the delete confirmation
// and answers Yes; any other box is reported and answered with its default.
void CALLBACK AnswerMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = FindThreadWindow(L"Vorn PS Printer Driver");
    if (!box) {
        return;
    }
    KillTimer(nullptr, timer);
    const std::wstring text = BoxText(box);
    if (text.rfind(kConfirmDelete, 0) == 0 && GetDlgItem(box, IDYES)) {
        g_shots->Take(box, L"delete-confirm");
        std::printf("Delete asked \"%s\": answered Yes.\n", Narrow(text).c_str());
        SendMessageW(GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
        return;
    }
    ++g_unexpectedBoxes;
    std::printf("Unexpected message: \"%s\"\n", Narrow(text).c_str());
    SendMessageW(box, WM_COMMAND, IDOK, 0);
    SendMessageW(box, WM_COMMAND, IDCANCEL, 0);
}

void CALLBACK PhotographAboutBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND about = FindThreadWindow(L"About");
    if (!about) {
        return;
    }
    KillTimer(nullptr, timer);
    g_shots->Take(about, L"about");
    SendMessageW(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
}

void FillDestination(HWND page) {
    std::printf("Delivery offers %d modes.\n",
                static_cast<int>(SendDlgItemMessageW(page, IDC_DELIVERY, CB_GETCOUNT, 0, 0)));
    SetDlgItemTextW(page, IDC_JOBNAME, L"Quarterly report");
    SetDlgItemTextW(page, IDC_USERNAME, L"Ada Lovelace");
    Command(page, IDC_USERNAME, CBN_EDITCHANGE);
    ChooseListEntry(page, IDC_DELIVERY, kHoldUntilPin);
    SetDlgItemTextW(page, IDC_PIN, L"4711");
    ChooseListEntry(page, IDC_NOTIFY, kCompletionAndErrors);
    SetDlgItemTextW(page, IDC_ADDRESS, L"ada@example.com");
    Command(page, IDC_ADDRESS, CBN_EDITCHANGE);
    SetDlgItemTextW(page, IDC_MESSAGE, L"Please collect it from the front desk");
}

// Ticket list of the Tickets page.
std::wstring SelectedTicket(HWND page) {
    HWND list = GetDlgItem(page, IDC_TICKET_LIST);
    const LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
    wchar_t text[MAX_PATH] = {};
    if (index == LB_ERR || SendMessageW(list, LB_GETTEXTLEN, index, 0) >= MAX_PATH) {
        return L"";
    }
    SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

bool SelectTicket(HWND page, const wchar_t* name) {
    HWND list = GetDlgItem(page, IDC_TICKET_LIST);
    const LRESULT index = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(name));
    if (index == LB_ERR) {
        return false;
    }
    SendMessageW(list, LB_SETCURSEL, index, 0);
    Command(page, IDC_TICKET_LIST, LBN_SELCHANGE);
    return true;
}

void PrintTickets(HWND page, const char* when) {
    HWND list = GetDlgItem(page, IDC_TICKET_LIST);
    std::printf("Tickets %s:", when);
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[MAX_PATH] = {};
        if (SendMessageW(list, LB_GETTEXTLEN, i, 0) < MAX_PATH) {
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        }
        std::printf(" \"%s\"", Narrow(text).c_str());
    }
    std::printf("; selected \"%s\"\n", Narrow(SelectedTicket(page)).c_str());
    std::fflush(stdout);
}

// Starts New or Edit, waits for the editor and for the ticket it hands back
// to be selected. The editor is photographed while it is open.
bool RunEditor(HWND page, const char* action, const wchar_t* expected, const wchar_t* shot) {
    HWND editor = nullptr;
    if (!PumpUntil([&] { return (editor = FindWindowW(kEditorClass, nullptr)) != nullptr; },
                   kEditorTimeoutMs)) {
        std::printf("%s: the ticket editor did not open.\n", action);
        return false;
    }
    std::printf("%s: the ticket editor opened (\"%s\").\n", action,
                Narrow(WindowText(editor)).c_str());
    if (shot) {
        g_shots->Take(editor, shot);
    }
    const bool handedBack = PumpUntil(
        [&] { return !FindWindowW(kEditorClass, nullptr) && SelectedTicket(page) == expected; },
        kEditorTimeoutMs);
    PumpMessages(300); // the page's watch timer finishes its work
    if (!handedBack) {
        std::printf("%s: the editor did not hand back \"%s\".\n", action, Narrow(expected).c_str());
    }
    return handedBack;
}

bool Listed(HWND page, const wchar_t* ticket) {
    return SendDlgItemMessageW(page, IDC_TICKET_LIST, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(ticket)) != LB_ERR;
}

bool WalkTickets(HWND sheetWindow, HWND page) {
    PrintTickets(page, "at the start");
    g_shots->Take(sheetWindow, L"tickets");

    // New: the New button stays disabled; double-clicking "None" makes a
    // ticket from the driver's settings.
    bool ok = SelectTicket(page, L"None");
    Command(page, IDC_TICKET_LIST, LBN_DBLCLK);
    ok = RunEditor(page, "New", kNewTicket, L"editor") && ok;
    PrintTickets(page, "after New");
    g_shots->Take(sheetWindow, L"tickets-new");

    ok = SelectTicket(page, kEditedTicket) && ok;
    Click(page, IDC_TICKET_EDIT);
    ok = RunEditor(page, "Edit", kEditedTicket, nullptr) && ok;
    PrintTickets(page, "after Edit");

    ok = SelectTicket(page, kDeletedTicket) && ok;
    SetTimer(nullptr, 0, 200, AnswerMessageBox);
    Click(page, IDC_TICKET_DELETE);
    // The page drops the entry at its next look at the folder.
    if (!PumpUntil([&] { return !Listed(page, kDeletedTicket); }, 5000)) {
        std::printf("\"%s\" is still listed after Delete.\n", Narrow(kDeletedTicket).c_str());
        ok = false;
    }
    PrintTickets(page, "after Delete");

    // The job goes with the ticket just made.
    ok = SelectTicket(page, kNewTicket) && ok;
    PrintTickets(page, "chosen");
    g_shots->Take(sheetWindow, L"tickets-final");
    return ok;
}

} // namespace

bool WalkPrintingPreferences(standin::PropertySheetHost& sheet, const wchar_t* caption,
                             bool* stepsDone) {
    *stepsDone = false;
    ShotTaker shots;
    g_shots = &shots;
    HWND window = sheet.ShowModeless(caption);
    if (!window) {
        std::printf("Could not show the property sheet.\n");
        return false;
    }
    SetWindowPos(window, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PumpMessages(300);
    std::printf("Printing preferences shown with tabs:");
    for (const std::wstring& title : sheet.TabTitles()) {
        std::printf(" \"%s\"", Narrow(title).c_str());
    }
    std::printf("\n");
    if (shots.Enabled()) {
        std::printf("Screenshots go to %s\n", Narrow(shots.UnixFolder()).c_str());
    }
    std::fflush(stdout);

    HWND destination = sheet.PageWindow(0);
    FillDestination(destination);
    PumpMessages(200);
    shots.Take(window, L"destination");

    bool ok = true;
    if (sheet.pages.size() > 1) {
        ok = WalkTickets(window, sheet.PageWindow(1));
    } else {
        std::printf("The Tickets tab is missing.\n");
        ok = false;
    }

    // The About button opens a modal box; a timer photographs and closes it.
    destination = sheet.PageWindow(0);
    SetTimer(nullptr, 0, 200, PhotographAboutBox);
    Click(destination, IDC_ABOUT_BUTTON);

    // Any box OK brings up is a fault of the walk: it is reported and closed.
    const UINT_PTR boxWatch = SetTimer(nullptr, 0, 300, AnswerMessageBox);
    PropSheet_PressButton(window, PSBTN_OK);
    const bool closed = sheet.PumpUntilClosed(10000);
    KillTimer(nullptr, boxWatch);
    std::printf("Printing preferences closed with OK%s.\n", closed ? "" : " (timed out)");
    if (g_unexpectedBoxes) {
        std::printf("%d unexpected message box(es).\n", g_unexpectedBoxes);
    }
    g_shots = nullptr;
    *stepsDone = ok && g_unexpectedBoxes == 0;
    return closed;
}
