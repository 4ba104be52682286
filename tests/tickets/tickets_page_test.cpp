// The Tickets page with the ticket editor and library (stand-ins copied into
// a folder whose path holds blanks): the editor's life as a person and the
// host see it (its log, its window, the page's answers to the sheet, the
// list, the registry), every shape of hand-back, an editor that crashes or
// never ends; Delete, the directory field and Browse.
#include "support/page_sheet.h"
#include "support/resource_meter.h"

#include "core/names.h"
#include "plugin_host.h"
#include "resource_ids.h"
#include "ticketrecord/new_ticket_record.h"
#include "tickets/tickets.h"
#include "tickets/tickets_page.h"

#include <compstui.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <vector>

using namespace vorn;
using namespace pagesheet;

namespace {

constexpr wchar_t kEditorClass[] = L"VornTicketEditorStandIn";
constexpr int kList = IDC_TICKET_LIST;

std::wstring ReadWideFile(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
}

void SetEnv(const wchar_t* name, const std::wstring& value) {
    SetEnvironmentVariableW(name, value.c_str());
}
void ClearEnv(const wchar_t* name) {
    SetEnvironmentVariableW(name, nullptr);
}

// The editor's top-level windows, and the process of the last one found.
int EditorWindows(DWORD* processId = nullptr) {
    struct Found {
        int count;
        DWORD processId;
    } found{0, 0};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            wchar_t cls[64] = {};
            GetClassNameW(window, cls, 64);
            if (lstrcmpW(cls, kEditorClass) == 0) {
                auto* f = reinterpret_cast<Found*>(param);
                ++f->count;
                GetWindowThreadProcessId(window, &f->processId);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    if (processId) {
        *processId = found.processId;
    }
    return found.count;
}

// New-ticket records for this directory and printer in the process's
// heaps: what the page holds while its editor runs.
int RecordsHeld(const std::wstring& directory, const std::wstring& printerName) {
    int held = 0;
    HANDLE heaps[256];
    const DWORD count = GetProcessHeaps(256, heaps);
    for (DWORD i = 0; i < count && i < 256; ++i) {
        HeapLock(heaps[i]);
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry)) {
            if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) &&
                entry.cbData >= sizeof(NewTicketRecord)) {
                const auto* record = static_cast<const NewTicketRecord*>(entry.lpData);
                held += directory == std::wstring(record->ticketDirectory,
                                                  wcsnlen(record->ticketDirectory,
                                                          std::size(record->ticketDirectory))) &&
                        printerName == std::wstring(record->printerName,
                                                    wcsnlen(record->printerName,
                                                            std::size(record->printerName)));
            }
        }
        HeapUnlock(heaps[i]);
    }
    return held;
}

class TicketsPage : public TicketsPageTest {
  protected:
    TicketsPage()
        : TicketsPageTest(TicketsPageProc), editorFolder(L"vornjt editor dir"), work(L"work"),
          other(L"other") {
        const std::wstring bin = standin::ProgramFolder();
        CopyFileW((bin + L"vornjtwxp.exe").c_str(), EditorPath().c_str(), FALSE);
        CopyFileW((bin + L"vornjtwxp.dll").c_str(), editorFolder.File(L"vornjtwxp.dll").c_str(),
                  FALSE);
        // What the system would start if the editor's path were split at
        // its first blank.
        decoy = editorFolder.Path().substr(0, editorFolder.Path().find(L' ')) + L".exe";
        CopyFileW((bin + L"vornjtwxp.exe").c_str(), decoy.c_str(), FALSE);
        softwarePath.SetString(editorFolder.Path());
        SetEnv(L"VORN_EDITOR_LOG", LogPath());
        SetEnv(L"VORN_EDITOR_KEY", printer.DataKeyPath());
        for (const wchar_t* name :
             {L"VORN_EDITOR_SELECTED", L"VORN_EDITOR_EXIT", L"VORN_EDITOR_LIFETIME",
              L"VORN_EDITOR_MINIMIZED", L"VORN_EDITOR_CRASH", L"VORN_TICKETLIB_FAIL",
              L"VORN_TICKETLIB_RECORD"}) {
            ClearEnv(name);
        }
        folder.Touch(L"A.jdf");
        other.Touch(L"B.jdf");
    }
    ~TicketsPage() override {
        DeleteFileW(decoy.c_str());
        for (const wchar_t* name : {L"VORN_EDITOR_LOG", L"VORN_EDITOR_KEY", L"VORN_EDITOR_LIFETIME",
                                    L"VORN_EDITOR_CRASH"}) {
            ClearEnv(name);
        }
    }

    std::wstring EditorPath() const { return editorFolder.File(L"vornjtwxp.exe"); }
    std::wstring LogPath() const { return work.File(L"editor.log"); }
    std::wstring CommandLine(const wchar_t* option, const std::wstring& ticket) const {
        return EditorPath() + L"\n" + EditorPath() + L" " + option + L"  \"" + ticket + L"\" \"" +
               printer.Name() + L"\"\n";
    }
    // While its editor runs, the page holds: it refuses to be reset.
    static bool Editing(PageSheet& sheet) { return sheet.SheetNotify(PSN_RESET) == 1; }
    static bool WaitForEditorEnd(PageSheet& sheet) {
        return PumpUntil([&] { return !Editing(sheet); }, 15000);
    }
    // Edit on entry A; true when the editor ran and its end was handled.
    static bool EditAndWait(PageSheet& sheet) {
        sheet.Select(kList, 1);
        sheet.Notify(IDC_TICKET_EDIT, BN_CLICKED);
        return Editing(sheet) && WaitForEditorEnd(sheet);
    }

    TempFolder editorFolder, work, other;
    std::wstring decoy;
};

TEST_F(TicketsPage, EditStartsTheEditorOnTheTicketAndTakesItsChoice) {
    SetEnv(L"VORN_EDITOR_SELECTED", other.File(L"B.jdf"));
    SetEnv(L"VORN_EDITOR_EXIT", L"0");
    auto sheet = OpenPage();
    EXPECT_FALSE(sheet->Enabled(IDC_TICKET_NEW));
    EXPECT_FALSE(Editing(*sheet));
    ASSERT_TRUE(EditAndWait(*sheet));
    // The editor itself ran (not a program at a shorter path) with the
    // exact command line.
    EXPECT_EQ(CommandLine(L"-jt", AbsolutePath(folder.Path()) + L"\\A.jdf"),
              ReadWideFile(LogPath()));
    // Its choice: another folder, listed, with its ticket selected.
    EXPECT_EQ(AbsolutePath(other.Path()) + L"\\", sheet->Text(IDC_TICKET_DIR));
    EXPECT_EQ((Entries{L"None", L"B"}), sheet->EntriesOf(kList));
    EXPECT_EQ(1, sheet->Selection(kList));
    EXPECT_EQ(sheet->Item(kList), GetFocus());
    EXPECT_EQ(PSNRET_NOERROR, sheet->SheetNotify(PSN_APPLY)); // no longer held
    EXPECT_TRUE(person.Seen().empty());
}

TEST_F(TicketsPage, NewTicketGoesThroughTheLibraryThenTheEditor) {
    SetEnv(L"VORN_TICKETLIB_RECORD", work.File(L"record.bin"));
    SetEnv(L"VORN_EDITOR_EXIT", L"0");
    auto sheet = OpenPage();
    PagePrinter::SheetCalls().clear();

    // Double-clicking "None" is the way to a new ticket.
    sheet->Notify(kList, LBN_DBLCLK);
    ASSERT_EQ(1u, PagePrinter::SheetCalls().size());
    const SheetCall call = PagePrinter::SheetCalls()[0];
    EXPECT_EQ(printer.Context().sheet, call.sheet);
    EXPECT_EQ(static_cast<UINT>(CPSFUNC_SET_RESULT), call.function);
    EXPECT_EQ(reinterpret_cast<LPARAM>(printer.Context().ticketsPageHandle), call.param1);
    EXPECT_EQ(CPSUI_OK, call.param2);
    EXPECT_TRUE(Editing(*sheet));
    // The library got the directory and the driver's settings.
    NewTicketRecord record{};
    std::ifstream saved(work.File(L"record.bin").c_str(), std::ios::binary);
    saved.read(reinterpret_cast<char*>(&record), sizeof(record));
    EXPECT_EQ(static_cast<std::streamsize>(sizeof(record)), saved.gcount());
    EXPECT_EQ(folder.Path(), record.ticketDirectory);
    EXPECT_EQ(printer.Name(), record.printerName);
    EXPECT_EQ(L"K485", std::wstring(record.modelCode));

    ASSERT_TRUE(WaitForEditorEnd(*sheet));
    EXPECT_EQ(CommandLine(L"-n", folder.File(L"New Ticket 1.jdf")), ReadWideFile(LogPath()));
    // No ticket handed back after New: the page stays as it was.
    EXPECT_EQ(0, sheet->Selection(kList));
    EXPECT_TRUE(person.Seen().empty());
}

TEST_F(TicketsPage, RefusalsAreReportedAndStartNothing) {
    auto sheet = OpenPage();
    SetEnv(L"VORN_TICKETLIB_FAIL", L"1");
    sheet->Notify(IDC_TICKET_NEW, BN_CLICKED);
    EXPECT_TRUE(person.SawOne(L"Unable to create a new ticket."));
    EXPECT_FALSE(Editing(*sheet));
    // No editor in the folder the ticket software names.
    DeleteFileW(EditorPath().c_str());
    person.Clear();
    sheet->Select(kList, 1);
    sheet->Notify(IDC_TICKET_EDIT, BN_CLICKED);
    EXPECT_TRUE(person.SawOne(L"Unable to launch the Vorn Job Ticket Editor.\nYou may need to "
                              L"reinstall Dur Irivuravo."));
    EXPECT_FALSE(Editing(*sheet));
    EXPECT_EQ(L"", ReadWideFile(LogPath()));
}

// What the page does with a hand-back.
enum class Outcome {
    kTaken,    // the editor's folder listed, its ticket selected
    kIgnored,  // no message, the list as it was
    kReported, // the registry message, the list as it was
};

TEST_F(TicketsPage, OnlyAWellFormedHandBackIsTaken) {
    // The editor writes nothing itself: each row leaves what it would have.
    ClearEnv(L"VORN_EDITOR_KEY");
    SetEnv(L"VORN_EDITOR_LIFETIME", L"1");
    const std::wstring ticket = other.File(L"B.jdf");
    const DWORD ticketBytes = static_cast<DWORD>((ticket.size() + 1) * 2);
    const DWORD zero = 0, one = 1;
    const ULONGLONG wideZero = 0;
    const std::vector<wchar_t> unterminated(MAX_PATH, L'q');
    const std::wstring farTooLong = other.Path() + L"\\" + std::wstring(4000, L'x') + L".jdf";
    auto exitCode = [&](DWORD type, const void* data, DWORD size) {
        return [=] { printer.SetValue(names::kEditorExitCode, type, data, size); };
    };
    auto selected = [&](DWORD type, const void* data, DWORD size) {
        return [=] { printer.SetValue(names::kSelectedTicket, type, data, size); };
    };
    auto selectedText = [&](const std::wstring& text) {
        return [=] { printer.SetString(names::kSelectedTicket, text); };
    };
    const struct {
        const char* what;
        std::function<void()> leave;
        Outcome outcome;
    } rows[] = {
        {"well formed", [] {}, Outcome::kTaken},
        {"exit code not zero", exitCode(REG_DWORD, &one, 4), Outcome::kIgnored},
        {"exit code missing", [&] { printer.DeleteValue(names::kEditorExitCode); },
         Outcome::kReported},
        {"exit code of no bytes", exitCode(REG_DWORD, &zero, 0), Outcome::kReported},
        {"exit code of two bytes", exitCode(REG_BINARY, &zero, 2), Outcome::kReported},
        {"exit code of eight bytes", exitCode(REG_QWORD, &wideZero, 8), Outcome::kReported},
        {"exit code as empty text", exitCode(REG_SZ, L"", 2), Outcome::kReported},
        {"exit code as text", exitCode(REG_SZ, L"0", 4), Outcome::kReported},
        {"ticket as a number", selected(REG_DWORD, &zero, 4), Outcome::kReported},
        {"ticket as bytes", selected(REG_BINARY, ticket.c_str(), ticketBytes), Outcome::kReported},
        {"ticket as expandable text", selected(REG_EXPAND_SZ, ticket.c_str(), ticketBytes),
         Outcome::kReported},
        {"ticket as a text list", selected(REG_MULTI_SZ, ticket.c_str(), ticketBytes),
         Outcome::kReported},
        {"ticket not terminated", selected(REG_SZ, unterminated.data(), MAX_PATH * 2),
         Outcome::kReported},
        {"ticket far too long", selectedText(farTooLong), Outcome::kReported},
        {"ticket naming a folder", selectedText(other.Path()), Outcome::kIgnored},
        {"ticket naming a folder with a backslash", selectedText(other.Path() + L"\\"),
         Outcome::kIgnored},
        {"ticket naming a missing file", selectedText(other.File(L"gone.jdf")), Outcome::kIgnored},
    };
    // One page lives through every row: after each the page is idle again.
    auto sheet = OpenPage();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        printer.SetString(names::kSelectedTicket, ticket);
        printer.SetValue(names::kEditorExitCode, REG_DWORD, &zero, 4);
        row.leave();
        SetDlgItemTextW(sheet->Page(), IDC_TICKET_DIR, folder.Path().c_str());
        RefreshTicketList(sheet->Page(), PluginModule());
        person.Clear();
        ASSERT_TRUE(EditAndWait(*sheet));
        const bool taken = row.outcome == Outcome::kTaken;
        EXPECT_EQ(taken ? AbsolutePath(other.Path()) + L"\\" : AbsolutePath(folder.Path()),
                  sheet->Text(IDC_TICKET_DIR));
        EXPECT_EQ((Entries{L"None", taken ? L"B" : L"A"}), sheet->EntriesOf(kList));
        EXPECT_EQ(1, sheet->Selection(kList));
        if (row.outcome == Outcome::kReported) {
            EXPECT_TRUE(person.SawOne(kRegistryFailedText));
        } else {
            EXPECT_TRUE(person.Seen().empty());
        }
    }
}

TEST_F(TicketsPage, CrashingEditorIsReportedAndThePageGoesOn) {
    ClearEnv(L"VORN_EDITOR_KEY"); // nothing handed back
    SetEnv(L"VORN_EDITOR_CRASH", L"1");
    printer.DeleteValue(names::kSelectedTicket);
    printer.DeleteValue(names::kEditorExitCode);
    auto sheet = OpenPage();
    ASSERT_TRUE(EditAndWait(*sheet));
    EXPECT_TRUE(person.SawOne(kRegistryFailedText));
    EXPECT_EQ((Entries{L"None", L"A"}), sheet->EntriesOf(kList));

    // A crash after New gives the record back as any end does (the stand-in
    // library keeps no copy of it here).
    person.Clear();
    sheet->Select(kList, 0);
    sheet->Notify(IDC_TICKET_NEW, BN_CLICKED);
    ASSERT_TRUE(Editing(*sheet));
    EXPECT_EQ(1, RecordsHeld(folder.Path(), printer.Name()));
    ASSERT_TRUE(WaitForEditorEnd(*sheet));
    EXPECT_EQ(0, RecordsHeld(folder.Path(), printer.Name()));
    EXPECT_TRUE(person.SawOne(kRegistryFailedText));

    // The page still works: leaving it is allowed and records the choice.
    RefreshTicketList(sheet->Page(), PluginModule());
    sheet->Select(kList, 1);
    EXPECT_EQ(0, Leave(*sheet));
    EXPECT_EQ(folder.File(L"A.jdf"), printer.Devmode().ticketPath);
}

TEST_F(TicketsPage, EditorThatRunsOnHoldsThePageComesForwardAndOutlivesIt) {
    SetEnv(L"VORN_EDITOR_LIFETIME", L"600000");
    SetEnv(L"VORN_EDITOR_MINIMIZED", L"1");
    const long handlesBefore = testsupport::ResourceMeter::KernelHandles();
    auto sheet = OpenPage();
    sheet->Select(kList, 0);
    sheet->Notify(IDC_TICKET_NEW, BN_CLICKED);
    ASSERT_TRUE(Editing(*sheet));
    HWND editor = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        editor = FindWindowW(kEditorClass, nullptr);
        // Minimized before it is shown: only a shown window is brought forward.
        return editor && IsIconic(editor) && IsWindowVisible(editor);
    }));
    DWORD processId = 0;
    EditorWindows(&processId);
    // (the editor's window changes state on its own thread: wait for it)
    const auto restored = [&] { return PumpUntil([&] { return !IsIconic(editor); }, 10000); };
    EXPECT_EQ(1, Leave(*sheet));
    EXPECT_TRUE(restored());
    ShowWindow(editor, SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(editor) != FALSE; }, 3000));
    sheet->Notify(IDC_TICKET_DELETE, BN_CLICKED); // Delete only brings it forward
    EXPECT_TRUE(restored());

    // Whatever the user tries, there is one editor and the page is held.
    for (int round = 0; round < 2; ++round) {
        sheet->Select(kList, 1);
        sheet->Notify(IDC_TICKET_EDIT, BN_CLICKED);
        sheet->Notify(IDC_TICKET_NEW, BN_CLICKED);
        sheet->Notify(kList, LBN_DBLCLK);
        sheet->Notify(IDC_TICKET_DELETE, BN_CLICKED);
        // (what is typed stays as typed: only leaving the field counts)
        sheet->Notify(IDC_TICKET_DIR, EN_SETFOCUS);
        sheet->Notify(IDC_TICKET_DIR, EN_KILLFOCUS);
        EXPECT_EQ(1, Leave(*sheet));
        EXPECT_EQ(PSNRET_INVALID, sheet->SheetNotify(PSN_APPLY));
        EXPECT_TRUE(Editing(*sheet));
        Pump(400);
        DWORD now = 0;
        EXPECT_EQ(1, EditorWindows(&now));
        EXPECT_EQ(processId, now);
    }
    EXPECT_EQ((Entries{L"None", L"A", L"New Ticket 1"}), sheet->EntriesOf(kList));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(folder.File(L"A.jdf").c_str()));
    EXPECT_TRUE(person.Seen().empty());

    // The page goes first: it lets go of the editor's process and thread,
    // and the editor runs on until the test ends it.
    HANDLE ours = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
    ASSERT_NE(nullptr, ours);
    sheet.reset();
    EXPECT_EQ(handlesBefore + 1, testsupport::ResourceMeter::KernelHandles());
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(ours, 0));
    TerminateProcess(ours, 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ours, 5000));
    CloseHandle(ours);
}

TEST_F(TicketsPage, DeleteAsksFirstAndReportsRefusal) {
    // A long name: the question must still show the whole path.
    const std::wstring longName = L"A" + std::wstring(210, L'n');
    folder.Remove(L"A.jdf");
    folder.Touch(longName + L".jdf");
    folder.Touch(L"B.jdf");
    SetFileAttributesW(folder.File(L"B.jdf").c_str(), FILE_ATTRIBUTE_READONLY);
    auto sheet = OpenPage();
    sheet->Notify(IDC_TICKET_DELETE, BN_CLICKED); // "None": nothing to ask
    EXPECT_TRUE(person.Seen().empty());

    const std::wstring a = AbsolutePath(folder.File(longName + L".jdf"));
    ASSERT_GT(a.size(), 230u);
    sheet->Select(kList, 1);
    person.Reply(IDNO);
    sheet->Notify(IDC_TICKET_DELETE, BN_CLICKED);
    ASSERT_EQ(1u, person.Seen().size());
    EXPECT_EQ(L"Are you sure you want to delete the ticket '" + a + L"'? ", person.Seen()[0].text);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(a.c_str()));
    EXPECT_EQ(sheet->Item(kList), GetFocus());

    person.Reply(IDYES);
    sheet->Notify(IDC_TICKET_DELETE, BN_CLICKED);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(a.c_str()));
    EXPECT_EQ(0, sheet->Selection(kList));
    // The page's refresh timer takes the entry out.
    EXPECT_TRUE(PumpUntil([&] { return sheet->EntriesOf(kList) == Entries{L"None", L"B"}; }));

    person.Clear();
    sheet->Select(kList, 1);
    sheet->Notify(IDC_TICKET_DELETE, BN_CLICKED);
    ASSERT_EQ(2u, person.Seen().size());
    EXPECT_EQ(L"Unable to delete '" + AbsolutePath(folder.File(L"B.jdf")) +
                  L"'.\nThe ticket may be in use by another application or may be marked "
                  L"Read-Only.",
              person.Seen()[1].text);
    EXPECT_EQ(kPluginCaption, person.Seen()[1].caption);
}

TEST_F(TicketsPage, DirectoryEditRefillsTheListOrComplainsLater) {
    other.Touch(L"X.jdf");
    other.Remove(L"B.jdf");
    auto sheet = OpenPage();
    sheet->Notify(IDC_TICKET_DIR, EN_SETFOCUS);
    SetDlgItemTextW(sheet->Page(), IDC_TICKET_DIR, other.Path().c_str());
    sheet->Notify(IDC_TICKET_DIR, EN_KILLFOCUS);
    EXPECT_EQ((Entries{L"None", L"X"}), sheet->EntriesOf(kList));
    EXPECT_EQ(AbsolutePath(other.Path()) + L"\\", sheet->Text(IDC_TICKET_DIR));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(sheet->Sheet(), kApplyButtonId)));

    const std::wstring nowhere = other.Path() + L"\\nowhere";
    sheet->Notify(IDC_TICKET_DIR, EN_SETFOCUS);
    SetDlgItemTextW(sheet->Page(), IDC_TICKET_DIR, nowhere.c_str());
    sheet->Notify(IDC_TICKET_DIR, EN_KILLFOCUS);
    EXPECT_EQ((Entries{L"None", L"X"}), sheet->EntriesOf(kList));
    EXPECT_TRUE(person.Seen().empty());
    sheet->Notify(kList, LBN_SETFOCUS);
    EXPECT_TRUE(person.SawOne(InvalidDirectoryText(nowhere)));
    EXPECT_EQ(sheet->Item(IDC_TICKET_DIR), GetFocus());

    // The field takes no more than a ticket path can hold: "\", a name of
    // one character and ".jdf" must still fit the 259 characters.
    SetDlgItemTextW(sheet->Page(), IDC_TICKET_DIR, L"");
    sheet->Type(IDC_TICKET_DIR, std::wstring(300, L'd'));
    EXPECT_EQ(253, GetWindowTextLengthW(sheet->Item(IDC_TICKET_DIR)));
}

// A person using the Browse dialog: types a folder into the name field and
// presses OK, first a folder that does not exist, then the wanted one.
class FolderPicker {
  public:
    FolderPicker(std::wstring missing, std::wstring folder)
        : typed_{std::move(missing), std::move(folder)} {
        picker_ = this;
        timer_ = SetTimer(nullptr, 0, 100, &FolderPicker::OnTimer);
    }
    ~FolderPicker() {
        KillTimer(nullptr, timer_);
        picker_ = nullptr;
    }
    std::wstring nameLabel;
    int presses = 0;

  private:
    // The dialog, unless a message box is up over it.
    static BOOL CALLBACK Find(HWND window, LPARAM found) {
        auto* dialog = reinterpret_cast<std::pair<HWND, bool>*>(found);
        wchar_t title[128] = {};
        GetWindowTextW(window, title, 128);
        if (IsWindowVisible(window)) {
            dialog->second |= GetDlgItem(window, 0xFFFF) != nullptr;
            if (std::wstring(title) == L"Select Tickets Directory") {
                dialog->first = window;
            }
        }
        return TRUE;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        FolderPicker* self = picker_;
        std::pair<HWND, bool> found{nullptr, false};
        EnumThreadWindows(GetCurrentThreadId(), Find, reinterpret_cast<LPARAM>(&found));
        const HWND dialog = found.second ? nullptr : found.first;
        if (!self || !dialog || self->presses >= 2) {
            return;
        }
        if (self->presses == 0) {
            wchar_t text[MAX_PATH] = {};
            GetDlgItemTextW(dialog, IDC_OFN_NAME_LABEL, text, MAX_PATH);
            self->nameLabel = text;
        }
        SetDlgItemTextW(dialog, IDC_OFN_NAME_EDIT, self->typed_[self->presses++].c_str());
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    }
    static FolderPicker* picker_;
    UINT_PTR timer_ = 0;
    std::wstring typed_[2];
};
FolderPicker* FolderPicker::picker_ = nullptr;

// The folder typed whole, or relative to the folder shown (not to the
// process's current directory, which the dialog leaves as it was).
TEST_F(TicketsPage, BrowseStoresTheChosenFolderAndRefreshesFromIt) {
    other.Touch(L"X.jdf");
    other.Remove(L"B.jdf");
    const std::wstring parent = other.Path().substr(0, other.Path().rfind(L'\\'));
    for (bool relative : {false, true}) {
        SCOPED_TRACE(relative ? "relative" : "whole");
        printer.SetString(names::kCurrentTicketsDir, folder.Path());
        wchar_t startFolder[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, startFolder);
        auto sheet = OpenPage();
        if (relative) {
            SetDlgItemTextW(sheet->Page(), IDC_TICKET_DIR, parent.c_str());
        }
        const std::wstring missing = other.Path() + L"\\missing";
        {
            FolderPicker picker(missing,
                                relative ? other.Path().substr(parent.size() + 1) : other.Path());
            sheet->Notify(IDC_TICKET_BROWSE, BN_CLICKED);
            EXPECT_EQ(2, picker.presses);
            EXPECT_EQ(L"Folder &name:", picker.nameLabel);
        }
        // The folder that does not exist was refused and the dialog stayed.
        EXPECT_TRUE(person.SawOne(InvalidDirectoryText(missing)));
        wchar_t nowFolder[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, nowFolder);
        EXPECT_STREQ(startFolder, nowFolder);
        EXPECT_EQ(other.Path(), printer.ReadString(names::kCurrentTicketsDir));
        EXPECT_EQ(other.Path(), sheet->Text(IDC_TICKET_DIR));
        EXPECT_EQ((Entries{L"None", L"X"}), sheet->EntriesOf(kList));
    }
}

} // namespace
