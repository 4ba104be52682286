// The ticket editor as it may behave: crashing, leaving no hand-back or one
// of the wrong shape, or never ending at all. The page must take only a
// well-formed hand-back and stay usable whatever the editor does.
#include "ticket_page_fixture.h"

#include "plugin_host.h"
#include "resource_ids.h"
#include "tickets/page_state.h"
#include "tickets/tickets.h"

#include <prsht.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

using namespace vorn;
using namespace hostiletickets;

namespace {

constexpr wchar_t kEditorClass[] = L"VornTicketEditorStandIn";
constexpr wchar_t kRegistryFailed[] = L"Unable to access Vorn Job Ticket settings in the "
                                      L"Registry.\nYou may need to reinstall Dur Irivuravo.";

void SetEnv(const wchar_t* name, const wchar_t* value) {
    SetEnvironmentVariableW(name, value);
}

BOOL CALLBACK CountEditorWindow(HWND window, LPARAM count) {
    wchar_t cls[64] = {};
    GetClassNameW(window, cls, 64);
    if (lstrcmpW(cls, kEditorClass) == 0) {
        ++*reinterpret_cast<int*>(count);
    }
    return TRUE;
}
int EditorWindowCount() {
    int count = 0;
    EnumWindows(CountEditorWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

class HostileTicketEditor : public HostileTicketPage {
  protected:
    HostileTicketEditor()
        : HostileTicketPage(L"Hostile Editor Printer", L"tickets"), other(L"other"),
          editorFolder(L"editor") {
        editorDefault.Delete();
        for (const wchar_t* file : {L"vornjtwxp.exe", L"vornjtwxp.dll"}) {
            CopyFileW((standin::ProgramFolder() + file).c_str(), editorFolder.File(file).c_str(),
                      FALSE);
        }
        softwarePath.SetString(editorFolder.Path());
        printer.SetString(names::kCurrentTicketsDir, folder.Path());
        folder.Touch(L"A.jdf");
        other.Touch(L"B.jdf");
        // The editor writes nothing itself: each test leaves in the
        // printer's key what the editor would have.
        for (const wchar_t* name :
             {L"VORN_EDITOR_LOG", L"VORN_EDITOR_KEY", L"VORN_EDITOR_SELECTED", L"VORN_EDITOR_EXIT",
              L"VORN_EDITOR_MINIMIZED", L"VORN_TICKETLIB_FAIL", L"VORN_TICKETLIB_RECORD"}) {
            SetEnv(name, nullptr);
        }
        SetEnv(L"VORN_EDITOR_LIFETIME", L"1");
    }
    ~HostileTicketEditor() override {
        SetEnv(L"VORN_EDITOR_LIFETIME", nullptr);
        SetEnv(L"VORN_EDITOR_CRASH", nullptr);
    }
    static TicketsPageState* State(const TicketSheet& sheet) { return TicketsState(sheet.Page()); }
    // Edit on entry A; true when the editor ran and its end was handled.
    bool EditAndWait(const TicketSheet& sheet) {
        sheet.Select(1);
        sheet.Notify(IDC_TICKET_EDIT, BN_CLICKED);
        if (!State(sheet)->editorRunning) {
            return false;
        }
        return PumpUntil([&] { return !State(sheet)->editorRunning; }, 15000);
    }
    void SetExitCode(DWORD type, const void* data, DWORD size) const {
        printer.SetValue(names::kEditorExitCode, type, data, size);
    }
    void SetSelected(DWORD type, const void* data, DWORD size) const {
        printer.SetValue(names::kSelectedTicket, type, data, size);
    }
    std::wstring Ticket() const { return other.File(L"B.jdf"); }
    DWORD TicketBytes() const { return static_cast<DWORD>((Ticket().size() + 1) * 2); }

    TempFolder other;
    TempFolder editorFolder;
};

// What the page does with a hand-back.
enum class Outcome {
    kTaken,    // the editor's folder listed, its ticket selected
    kIgnored,  // no message, the list as it was
    kReported, // the registry message, the list as it was
};

TEST_F(HostileTicketEditor, OnlyAWellFormedHandBackIsTaken) {
    const DWORD zero = 0;
    const DWORD one = 1;
    const ULONGLONG wideZero = 0;
    const std::vector<wchar_t> unterminated(MAX_PATH, L'q');
    const std::wstring farTooLong = other.Path() + L"\\" + std::wstring(4000, L'x') + L".jdf";
    const struct {
        const char* what;
        std::function<void()> leave;
        Outcome outcome;
    } cases[] = {
        {"well formed", [] {}, Outcome::kTaken},
        {"exit code not zero", [&] { SetExitCode(REG_DWORD, &one, 4); }, Outcome::kIgnored},
        {"exit code missing", [&] { printer.DeleteValue(names::kEditorExitCode); },
         Outcome::kReported},
        {"exit code of no bytes", [&] { SetExitCode(REG_DWORD, &zero, 0); }, Outcome::kReported},
        {"exit code of two bytes", [&] { SetExitCode(REG_BINARY, &zero, 2); }, Outcome::kReported},
        {"exit code of eight bytes", [&] { SetExitCode(REG_QWORD, &wideZero, 8); },
         Outcome::kReported},
        {"exit code as empty text", [&] { SetExitCode(REG_SZ, L"", 2); }, Outcome::kReported},
        {"exit code as text", [&] { SetExitCode(REG_SZ, L"0", 4); }, Outcome::kReported},
        {"ticket as a number", [&] { SetSelected(REG_DWORD, &zero, 4); }, Outcome::kReported},
        {"ticket as bytes", [&] { SetSelected(REG_BINARY, Ticket().c_str(), TicketBytes()); },
         Outcome::kReported},
        {"ticket as expandable text",
         [&] { SetSelected(REG_EXPAND_SZ, Ticket().c_str(), TicketBytes()); }, Outcome::kReported},
        {"ticket as a text list",
         [&] { SetSelected(REG_MULTI_SZ, Ticket().c_str(), TicketBytes()); }, Outcome::kReported},
        {"ticket not terminated", [&] { SetSelected(REG_SZ, unterminated.data(), MAX_PATH * 2); },
         Outcome::kReported},
        {"ticket far too long", [&] { printer.SetString(names::kSelectedTicket, farTooLong); },
         Outcome::kReported},
        {"ticket naming a folder", [&] { printer.SetString(names::kSelectedTicket, other.Path()); },
         Outcome::kIgnored},
        {"ticket naming a folder with a backslash",
         [&] { printer.SetString(names::kSelectedTicket, other.Path() + L"\\"); },
         Outcome::kIgnored},
        {"ticket naming a missing file",
         [&] { printer.SetString(names::kSelectedTicket, other.File(L"gone.jdf")); },
         Outcome::kIgnored},
    };
    // One page lives through every case: after each the page is idle again.
    auto sheet = OpenPage();
    int run = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        printer.SetString(names::kSelectedTicket, Ticket());
        SetExitCode(REG_DWORD, &zero, 4);
        c.leave();
        SetDlgItemTextW(sheet->Page(), IDC_TICKET_DIR, folder.Path().c_str());
        RefreshTicketList(sheet->Page(), PluginModule());
        person.Clear();
        ASSERT_TRUE(EditAndWait(*sheet));
        ++run;
        EXPECT_EQ(nullptr, State(*sheet)->editorProcess.Get());
        EXPECT_EQ(kNoEditorButton, State(*sheet)->lastEditorButton);
        Pump(100);
        const bool taken = c.outcome == Outcome::kTaken;
        EXPECT_EQ(taken ? FullPath(other.Path()) + L"\\" : FullPath(folder.Path()),
                  sheet->Text(IDC_TICKET_DIR));
        EXPECT_EQ((Entries{L"None", taken ? L"B" : L"A"}), sheet->Entries());
        EXPECT_EQ(1, sheet->Selection());
        if (c.outcome == Outcome::kReported) {
            ASSERT_EQ(1u, person.Seen().size());
            EXPECT_EQ(kRegistryFailed, person.Seen()[0].text);
        } else {
            EXPECT_TRUE(person.Seen().empty());
        }
    }
    std::printf("[ hostile  ] %d editor hand-backs\n", run);
}

TEST_F(HostileTicketEditor, CrashingEditorIsReportedAndThePageGoesOn) {
    auto sheet = OpenPage();
    SetEnv(L"VORN_EDITOR_CRASH", L"1");
    // Nothing left by an earlier run: the hand-back is missing.
    printer.DeleteValue(names::kSelectedTicket);
    printer.DeleteValue(names::kEditorExitCode);
    ASSERT_TRUE(EditAndWait(*sheet));
    Pump(100);
    ASSERT_EQ(1u, person.Seen().size());
    EXPECT_EQ(kRegistryFailed, person.Seen()[0].text);
    EXPECT_EQ((Entries{L"None", L"A"}), sheet->Entries());
    EXPECT_EQ(nullptr, State(*sheet)->editorProcess.Get());
    EXPECT_EQ(nullptr, State(*sheet)->editorThread.Get());

    // A crash after New releases the record as any end does.
    person.Clear();
    sheet->Select(0);
    sheet->Notify(IDC_TICKET_NEW, BN_CLICKED);
    ASSERT_TRUE(State(*sheet)->editorRunning);
    EXPECT_NE(nullptr, State(*sheet)->recordMemory.Get());
    ASSERT_TRUE(PumpUntil([&] { return State(*sheet)->editorRunning == 0; }, 15000));
    Pump(100);
    EXPECT_EQ(nullptr, State(*sheet)->recordMemory.Get());
    EXPECT_EQ(1u, person.Seen().size());

    // The page still works: leaving it is allowed and records the choice.
    SetEnv(L"VORN_EDITOR_CRASH", nullptr);
    RefreshTicketList(sheet->Page(), PluginModule());
    sheet->Select(1);
    EXPECT_EQ(0, sheet->SheetNotify(PSN_KILLACTIVE));
    EXPECT_EQ(folder.File(L"A.jdf"), printer.Devmode().ticketPath);
}

TEST_F(HostileTicketEditor, EditorThatNeverEndsHoldsThePageUntilItCloses) {
    SetEnv(L"VORN_EDITOR_LIFETIME", L"600000");
    auto sheet = OpenPage();
    sheet->Select(0);
    sheet->Notify(IDC_TICKET_NEW, BN_CLICKED);
    ASSERT_TRUE(State(*sheet)->editorRunning);
    ASSERT_TRUE(PumpUntil([] { return EditorWindowCount() == 1; }));
    const DWORD processId = State(*sheet)->editorProcessId;
    HANDLE editor = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), State(*sheet)->editorProcess.Get(),
                                GetCurrentProcess(), &editor, 0, FALSE, DUPLICATE_SAME_ACCESS));

    // However long it runs, and whatever the user tries, there is one editor
    // and the page is held.
    int attempts = 0;
    for (int round = 0; round < 3; ++round) {
        sheet->Select(1);
        sheet->Notify(IDC_TICKET_EDIT, BN_CLICKED);
        sheet->Notify(IDC_TICKET_NEW, BN_CLICKED);
        sheet->Notify(IDC_TICKET_LIST, LBN_DBLCLK);
        sheet->Notify(IDC_TICKET_DELETE, BN_CLICKED);
        // (what is typed stays as typed: only leaving the field counts)
        sheet->Notify(IDC_TICKET_DIR, EN_SETFOCUS);
        sheet->Notify(IDC_TICKET_DIR, EN_KILLFOCUS);
        EXPECT_EQ(1, sheet->SheetNotify(PSN_KILLACTIVE));
        EXPECT_EQ(PSNRET_INVALID, sheet->SheetNotify(PSN_APPLY));
        EXPECT_EQ(1, sheet->SheetNotify(PSN_RESET));
        attempts += 8;
        Pump(400);
        EXPECT_EQ(processId, State(*sheet)->editorProcessId);
        EXPECT_TRUE(State(*sheet)->editorRunning);
    }
    EXPECT_EQ(1, EditorWindowCount());
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(editor, 0));
    EXPECT_EQ((Entries{L"None", L"A", L"New Ticket 1"}), sheet->Entries());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(folder.File(L"A.jdf").c_str()));
    EXPECT_TRUE(person.Seen().empty());

    // The page goes first: it lets go of the editor, which runs on until
    // the test ends it.
    const HANDLE process = State(*sheet)->editorProcess.Get();
    const HANDLE thread = State(*sheet)->editorThread.Get();
    const HWND page = sheet->Page();
    sheet.reset();
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(process, &flags));
    EXPECT_FALSE(GetHandleInformation(thread, &flags));
    EXPECT_FALSE(KillTimer(page, IDT_EDITOR_WATCH));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(editor, 0));
    TerminateProcess(editor, 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(editor, 5000));
    CloseHandle(editor);
    std::printf("[ hostile  ] %d actions refused while the editor ran\n", attempts);
}

} // namespace
