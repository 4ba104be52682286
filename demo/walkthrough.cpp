#include "walkthrough.h"

#include "shot_taker.h"

#include "person.h"
#include "resource_ids.h"
#include "ticketsoft_knobs.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr auto& kEditorClass = standin::knobs::kEditorWindowClass;
constexpr wchar_t kNewTicket[] = L"New Ticket 1";
constexpr wchar_t kEditedTicket[] = L"Booklet A5";
constexpr wchar_t kDeletedTicket[] = L"Proofs";
constexpr wchar_t kConfirmDelete[] = L"Are you sure you want to delete the ticket";
constexpr int kHoldUntilPin = 2;        // "Hold job until you enter PIN"
constexpr int kCompletionAndErrors = 2; // "Job completion and errors during job printing"
constexpr DWORD kEditorTimeoutMs = 20000;

ShotTaker* g_shots = nullptr;

void Click(HWND page, int id) {
    standin::Notify(page, id, BN_CLICKED);
}

// The person photographs the delete question before answering it, and the
// About box before closing it; any other box is a fault of the walk.
void WatchBoxes(standin::Person& person, int* unexpectedBoxes) {
    person.OnBox([](HWND box, const standin::SeenBox& seen) {
        if (seen.text.rfind(kConfirmDelete, 0) == 0) {
            g_shots->Take(box, L"delete-confirm");
            std::printf("Delete asked \"%s\": answered Yes.\n", Narrow(seen.text).c_str());
        }
    });
    person.OnSurprise([unexpectedBoxes](const standin::SeenBox& seen) {
        ++*unexpectedBoxes;
        std::printf("Unexpected message: \"%s\"\n", Narrow(seen.text).c_str());
    });
    person.Watch([](HWND active) {
        if (active && standin::WindowText(active) == L"About") {
            g_shots->Take(active, L"about");
            Click(active, IDOK);
        }
    });
}

void FillDestination(HWND page) {
    std::printf("Delivery offers %d modes.\n",
                static_cast<int>(SendDlgItemMessageW(page, IDC_DELIVERY, CB_GETCOUNT, 0, 0)));
    SetDlgItemTextW(page, IDC_JOBNAME, L"Quarterly report");
    SetDlgItemTextW(page, IDC_USERNAME, L"Ada Lovelace");
    standin::Notify(page, IDC_USERNAME, CBN_EDITCHANGE);
    standin::Choose(page, IDC_DELIVERY, kHoldUntilPin);
    SetDlgItemTextW(page, IDC_PIN, L"4711");
    standin::Choose(page, IDC_NOTIFY, kCompletionAndErrors);
    SetDlgItemTextW(page, IDC_ADDRESS, L"ada@example.com");
    standin::Notify(page, IDC_ADDRESS, CBN_EDITCHANGE);
    SetDlgItemTextW(page, IDC_MESSAGE, L"Please collect it from the front desk");
}

// Ticket list of the Tickets page.
std::wstring SelectedTicket(HWND page) {
    const HWND list = GetDlgItem(page, IDC_TICKET_LIST);
    const std::vector<std::wstring> entries = standin::EntriesOf(list);
    const size_t index = static_cast<size_t>(standin::SelectionOf(list));
    return index < entries.size() ? entries[index] : L"";
}

// The index of the ticket list's entry of this name, or -1.
int TicketIndex(HWND page, const std::wstring& name) {
    const std::vector<std::wstring> entries = standin::EntriesOf(GetDlgItem(page, IDC_TICKET_LIST));
    const auto found = std::find(entries.begin(), entries.end(), name);
    return found == entries.end() ? -1 : static_cast<int>(found - entries.begin());
}

bool SelectTicket(HWND page, const wchar_t* name) {
    const int index = TicketIndex(page, name);
    if (index >= 0) {
        standin::Choose(page, IDC_TICKET_LIST, index);
    }
    return index >= 0;
}

void PrintTickets(HWND page, const char* when) {
    std::printf("Tickets %s:", when);
    for (const std::wstring& ticket : standin::EntriesOf(GetDlgItem(page, IDC_TICKET_LIST))) {
        std::printf(" \"%s\"", Narrow(ticket).c_str());
    }
    std::printf("; selected \"%s\"\n", Narrow(SelectedTicket(page)).c_str());
    std::fflush(stdout);
}

// Starts New or Edit, waits for the editor and for the ticket it hands back
// to be selected. The editor is photographed while it is open.
bool RunEditor(HWND page, const char* action, const wchar_t* expected, const wchar_t* shot) {
    HWND editor = nullptr;
    if (!standin::PumpUntil(
            [&] { return (editor = FindWindowW(kEditorClass, nullptr)) != nullptr; },
            kEditorTimeoutMs)) {
        std::printf("%s: the ticket editor did not open.\n", action);
        return false;
    }
    std::printf("%s: the ticket editor opened (\"%s\").\n", action,
                Narrow(standin::WindowText(editor)).c_str());
    if (shot) {
        g_shots->Take(editor, shot);
    }
    const bool handedBack = standin::PumpUntil(
        [&] { return !FindWindowW(kEditorClass, nullptr) && SelectedTicket(page) == expected; },
        kEditorTimeoutMs);
    standin::Pump(300); // the page's watch timer finishes its work
    if (!handedBack) {
        std::printf("%s: the editor did not hand back \"%s\".\n", action, Narrow(expected).c_str());
    }
    return handedBack;
}

bool WalkTickets(HWND sheetWindow, HWND page, standin::Person& person) {
    PrintTickets(page, "at the start");
    g_shots->Take(sheetWindow, L"tickets");

    // New: the New button stays disabled; double-clicking "None" makes a
    // ticket from the driver's settings.
    bool ok = SelectTicket(page, L"None");
    standin::Notify(page, IDC_TICKET_LIST, LBN_DBLCLK);
    ok = RunEditor(page, "New", kNewTicket, L"editor") && ok;
    PrintTickets(page, "after New");
    g_shots->Take(sheetWindow, L"tickets-new");

    ok = SelectTicket(page, kEditedTicket) && ok;
    Click(page, IDC_TICKET_EDIT);
    ok = RunEditor(page, "Edit", kEditedTicket, nullptr) && ok;
    PrintTickets(page, "after Edit");

    ok = SelectTicket(page, kDeletedTicket) && ok;
    person.Queue(IDYES);
    Click(page, IDC_TICKET_DELETE);
    // The page drops the entry at its next look at the folder.
    if (!standin::PumpUntil([&] { return TicketIndex(page, kDeletedTicket) < 0; }, 5000)) {
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
    standin::Person person;
    int unexpectedBoxes = 0;
    WatchBoxes(person, &unexpectedBoxes);
    HWND window = sheet.ShowModeless(caption);
    if (!window) {
        std::printf("Could not show the property sheet.\n");
        return false;
    }
    SetWindowPos(window, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    standin::Pump(300);
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
    standin::Pump(200);
    shots.Take(window, L"destination");

    bool ok = true;
    if (sheet.pages.size() > 1) {
        ok = WalkTickets(window, sheet.PageWindow(1), person);
    } else {
        std::printf("The Tickets tab is missing.\n");
        ok = false;
    }

    // The About button opens a modal box, which the person photographs and
    // closes; any box OK brings up is a fault of the walk.
    destination = sheet.PageWindow(0);
    Click(destination, IDC_ABOUT_BUTTON);
    person.Watch(nullptr);
    PropSheet_PressButton(window, PSBTN_OK);
    const bool closed = sheet.PumpUntilClosed(10000);
    std::printf("Printing preferences closed with OK%s.\n", closed ? "" : " (timed out)");
    if (unexpectedBoxes) {
        std::printf("%d unexpected message box(es).\n", unexpectedBoxes);
    }
    g_shots = nullptr;
    *stepsDone = ok && unexpectedBoxes == 0;
    return closed;
}
