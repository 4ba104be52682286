// The Tickets page. Without the ticket software: the directory, the list and
// its order, the selection, what leaving the page stores, the refresh timer.
// With the stand-in editor and library, copied into a folder whose path holds
// blanks: the editor's life, its hand-backs, Delete, the directory and Browse.
#include "support/page_sheet.h"
#include "resource_meter.h"

#include "core/names.h"
#include "editor_presence.h"
#include "resource_ids.h"
#include "ticketrecord/new_ticket_record.h"

#include <compstui.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <iterator>
#include <optional>
#include <vector>

using namespace vorn;
using namespace pagesheet;

namespace {

constexpr int kList = IDC_TICKET_LIST;

constexpr wchar_t kUseDriver[] = L"Use current settings in printer driver";
constexpr wchar_t kNotYet[] = L"Not yet implemented";

class TicketListTest : public TicketsPageTest {
  protected:
    std::wstring TicketPath() { return printer.Devmode().ticketPath; }
    // The directory typed into its field, as a person does it.
    static void TypeDirectory(PageSheet& sheet, const std::wstring& directory) {
        sheet.Notify(IDC_TICKET_DIR, EN_SETFOCUS);
        SetDlgItemTextW(sheet.Page(), IDC_TICKET_DIR, directory.c_str());
        sheet.Notify(IDC_TICKET_DIR, EN_KILLFOCUS);
    }
};

TEST_F(TicketListTest, DirectoryComesFromTheTicketThenTheSavedOneThenTheEditorDefault) {
    folder.Touch(L"A.jdf");
    folder.Touch(L"B.jdf");
    TempFolder saved(L"saved"), fallback(L"default");
    saved.Touch(L"S.jdf");
    fallback.Touch(L"D.jdf");
    // Each place gives way to the next when it is missing or unreadable;
    // the editor default is not checked for existence (the page finds it
    // missing as the focus lands on the list).
    const std::wstring B = folder.File(L"B.jdf"), gone = folder.File(L"gone.jdf");
    const std::wstring S = saved.Path(), D = fallback.Path(), later = D + L"\\later";
    const std::wstring badLater = InvalidDirectoryText(later), badBlank = InvalidDirectoryText(L"");
    const Entries none{L"None"};
    // A ticket in a drive's root, while the host's current directory is
    // elsewhere on that drive: the root's tickets, not that directory's.
    const std::wstring rootName = Unique(L"root"), root = L"C:\\" + rootName + L".jdf";
    const std::wstring hostFolder = standin::CurrentDirectory();
    ASSERT_TRUE(SetCurrentDirectoryW(folder.Path().c_str()));
    CloseHandle(CreateFileW(root.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    const struct {
        const char* what;
        std::wstring ticket;
        std::optional<std::wstring> saved, fallback; // (none: the value is missing)
        std::wstring directory;
        Entries entries;
        int selected;
        Entries seen;
    } rows[] = {
        {"the ticket's folder", B, S, D, folder.Path(), {L"None", L"A", L"B"}, 2, {}},
        {"a drive's root", root, S, D, L"C:\\", {L"None", rootName}, 1, {}},
        {"the saved directory, the ticket gone", gone, S, D, S, {L"None", L"S"}, 0, {}},
        {"a saved directory that is missing", gone, S + L"\\no", D, D, {L"None", L"D"}, 0, {}},
        {"a missing editor default", gone, {}, later, later, none, 0, {badLater}},
        {"no editor default", gone, {}, {}, L"", none, 0, {kRegistryFailedText, badBlank}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        lstrcpyW(printer.Devmode().ticketPath, row.ticket.c_str());
        row.saved ? savedDirectory.SetString(*row.saved) : savedDirectory.Delete();
        row.fallback ? editorDefault.SetString(*row.fallback) : editorDefault.Delete();
        auto sheet = OpenPage();
        EXPECT_EQ(AbsolutePath(row.directory), sheet->Text(IDC_TICKET_DIR));
        EXPECT_EQ(row.entries, sheet->EntriesOf(kList));
        EXPECT_EQ(row.selected, sheet->Selection(kList));
        EXPECT_EQ(row.selected != 0, sheet->Enabled(IDC_TICKET_EDIT));
        EXPECT_EQ(row.seen, person.Texts());
        if (row.selected) {
            // The ticket's folder is kept as the printer's directory, as a
            // whole 260-character string.
            DWORD type = 0, bytes = 0;
            EXPECT_EQ(AbsolutePath(row.directory), savedDirectory.ReadString(&type, &bytes));
            EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
            EXPECT_EQ(520u, bytes);
        }
    }
    DeleteFileW(root.c_str());
    SetCurrentDirectoryW(hostFolder.c_str());
}

TEST_F(TicketListTest, ListsTicketsBelowNoneAndTheSelectionSetsTheButtons) {
    // A search for "*.jdf" answers the last three too; they are no tickets,
    // nor is a folder named like one. A file named only ".jdf" is one.
    for (const wchar_t* name :
         {L"b.jdf", L"A.jdf", L"c.jdf", L".jdf", L"notes.txt", L"b.jdf~", L"d.jdfx"}) {
        folder.Touch(name);
    }
    ASSERT_TRUE(CreateDirectoryW(folder.File(L"Folder.jdf").c_str(), nullptr));
    auto sheet = OpenPage();
    const Entries listed{L"None", L"", L"A", L"b", L"c"};
    EXPECT_EQ(listed, sheet->EntriesOf(kList));
    // Nor does a refresh take any of them for a new ticket.
    Refresh(*sheet);
    Refresh(*sheet);
    EXPECT_EQ(listed, sheet->EntriesOf(kList));
    EXPECT_EQ(0, sheet->Selection(kList));
    EXPECT_EQ(kUseDriver, sheet->Text(IDC_TICKET_DESC));
    EXPECT_TRUE(sheet->AllEnabled({IDC_TICKET_NEW, IDC_TICKET_EDIT, IDC_TICKET_DELETE}, false));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(sheet->Sheet(), kApplyButtonId)));

    sheet->Select(kList, 2);
    EXPECT_EQ(kNotYet, sheet->Text(IDC_TICKET_DESC));
    EXPECT_TRUE(sheet->AllEnabled({IDC_TICKET_EDIT, IDC_TICKET_DELETE}, true));
    EXPECT_FALSE(sheet->Enabled(IDC_TICKET_NEW));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(sheet->Sheet(), kApplyButtonId)));

    sheet->Select(kList, 0);
    EXPECT_EQ(kNotYet, sheet->Text(IDC_TICKET_DESC));
    EXPECT_TRUE(sheet->AllEnabled({IDC_TICKET_EDIT, IDC_TICKET_DELETE}, false));

    // The folder gone with a ticket chosen: "None" alone, chosen, and
    // nothing left to edit or delete.
    sheet->Select(kList, 2);
    folder.Destroy();
    Refresh(*sheet);
    EXPECT_EQ((Entries{L"None"}), sheet->EntriesOf(kList));
    EXPECT_EQ(0, sheet->Selection(kList));
    EXPECT_TRUE(sheet->AllEnabled({IDC_TICKET_EDIT, IDC_TICKET_DELETE}, false));
    EXPECT_EQ(kUseDriver, sheet->Text(IDC_TICKET_DESC));
}

TEST_F(TicketListTest, FillAndRefreshKeepTheListBoxsOwnOrderAndEachEntryItsFile) {
    // Names whose order is not that of their characters' codes: blanks and
    // punctuation, digits, case, accents, other scripts, ligatures; among
    // them pairs that differ in bytes but that a case-insensitive,
    // linguistic comparison may take as one name (the last two of a row).
    const struct {
        Entries names;
        Entries folded;
    } nameSets[] = {
        {{L"a-b", L"ab", L"a b", L"_x", L"x_", L"10", L"9", L"1", L"co-op", L"coop", L"~tilde",
          L"(paren)", L"None.x"},
         {L"It's", L"its"}},
        {{L"Zeta", L"alpha", L"Beta", L"\u00E9clair", L"Eclairs", L"eclair2", L"zz",
          L"\u00C5ngstr\u00F6m"},
         {L"\u00C9t\u00E9", L"ETE"}},
        {{L"\u0395\u03B9\u03C3\u03B9\u03C4\u03AE\u03C1\u03B9\u03BF",
          L"\u0411\u0438\u043B\u0435\u0442", L"\u7968\u636E", L"\uFB01le", L"file", L"Stra\u00DFe",
          L"Cafe\u0301"},
         {L"STRASSE", L"Caf\u00E9"}},
    };
    for (const auto& set : nameSets) {
        SCOPED_TRACE(testing::Message() << set.names.size() << " names");
        TempFolder tickets(L"order");
        for (const Entries* names : {&set.names, &set.folded}) {
            for (const std::wstring& name : *names) {
                tickets.Touch(name + L".jdf");
            }
        }
        ASSERT_EQ(set.names.size() + 2, TicketNames(tickets).size())
            << "the file system merged names";
        savedDirectory.SetString(tickets.Path());
        auto sheet = OpenPage();
        // The names as the folder gives them, as the list box was given them
        // when it placed each itself.
        const ListBoxOracle oracle(sheet->Item(kList));
        oracle.Add(TicketNames(tickets));
        const Entries first = sheet->EntriesOf(kList);
        EXPECT_EQ(oracle.WithNone(), first);
        for (size_t index = 1; index < first.size(); ++index) {
            sheet->Select(kList, static_cast<int>(index));
            ASSERT_EQ(0, Leave(*sheet));
            EXPECT_EQ(AbsolutePath(tickets.Path()) + L"\\" + first[index] + L".jdf", TicketPath());
        }

        // One of each folded pair goes: only its entry goes with it; it
        // comes back in its place, and a new ticket finds a sorted list.
        sheet->Select(kList, 0);
        tickets.Remove(set.folded[1] + L".jdf");
        Refresh(*sheet);
        oracle.Remove(set.folded[1]);
        EXPECT_EQ(oracle.WithNone(), sheet->EntriesOf(kList));
        tickets.Touch(set.folded[1] + L".jdf");
        tickets.Touch(L"m new.jdf");
        Refresh(*sheet);
        oracle.Add({set.folded[1], L"m new"});
        EXPECT_EQ(oracle.WithNone(), sheet->EntriesOf(kList));
        EXPECT_TRUE(person.Seen().empty());
    }
}

TEST_F(TicketListTest, CommitWritesChoiceOrKeepsThePage) {
    folder.Touch(L"A.jdf");
    TempFolder other(L"other");
    savedDirectory.SetString(other.Path());
    auto sheet = OpenPage();
    SetDlgItemTextW(sheet->Page(), IDC_TICKET_DIR, folder.Path().c_str());
    Refresh(*sheet);
    sheet->Select(kList, 1);

    EXPECT_EQ(0, Leave(*sheet));
    EXPECT_EQ(AbsolutePath(folder.Path()), savedDirectory.ReadString());
    // A directory typed with its final separator names the same ticket.
    SetDlgItemTextW(sheet->Page(), IDC_TICKET_DIR, (folder.Path() + L"\\").c_str());
    lstrcpyW(printer.Devmode().ticketPath, L"old");
    EXPECT_EQ(0, Leave(*sheet));
    EXPECT_EQ(folder.Path() + L"\\A.jdf", TicketPath());

    sheet->Select(kList, 0);
    EXPECT_EQ(0, Leave(*sheet));
    EXPECT_EQ(L"", TicketPath());
    // No selection at all counts as "None", not as a ticket named ".jdf".
    lstrcpyW(printer.Devmode().ticketPath, L"old");
    SendMessageW(sheet->Item(kList), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(0, Leave(*sheet));
    EXPECT_EQ(L"", TicketPath());

    // An invalid directory keeps the page and writes nothing.
    sheet->Select(kList, 1);
    const std::wstring missing = folder.Path() + L"\\nowhere";
    SetDlgItemTextW(sheet->Page(), IDC_TICKET_DIR, missing.c_str());
    savedDirectory.SetString(other.Path());
    EXPECT_EQ(1, Leave(*sheet));
    EXPECT_EQ(L"", TicketPath());
    EXPECT_EQ(other.Path(), savedDirectory.ReadString());
    EXPECT_EQ(Entries{InvalidDirectoryText(missing)}, person.Texts());
    EXPECT_EQ(IDC_TICKET_DIR, sheet->FocusedId());

    // Enter leaves the page with the focus still in the field: the folder
    // typed there is taken as leaving the field would take it, not joined
    // with a ticket chosen from the list of the folder shown before.
    SetDlgItemTextW(sheet->Page(), IDC_TICKET_DIR, other.Path().c_str());
    sheet->Select(kList, 1);
    ASSERT_EQ(IDC_TICKET_DIR, sheet->FocusedId());
    EXPECT_EQ(0, Leave(*sheet));
    EXPECT_EQ(L"", TicketPath());
    EXPECT_EQ(AbsolutePath(other.Path()) + L"\\", savedDirectory.ReadString());
    EXPECT_EQ(Entries{L"None"}, sheet->EntriesOf(kList));
}

// The page's refresh interval once it is shown.
constexpr DWORD kTickMs = 700;
// Some folders never report a change: the page walks them at least this
// often all the same.
constexpr DWORD kWalkAtLeastEveryMs = 10000;
constexpr int kTicksToShowAChange = 2;

// The page's refresh timer driven tick by tick with its own WM_TIMER
// message, spaced as the timer spaces them, with no other message between.
class FolderWatchTest : public TicketListTest {
  protected:
    static void Ticks(PageSheet& sheet, int count) {
        for (int i = 0; i < count; ++i) {
            Sleep(kTickMs);
            SendMessageW(sheet.Page(), WM_TIMER, IDT_TICKET_REFRESH, 0);
        }
    }
};

TEST_F(FolderWatchTest, ListFollowsTheFolderWhileThePageIsOpen) {
    for (const wchar_t* name : {L"A.jdf", L"b.jdf", L"c.jdf", L"d.jdf"}) {
        folder.Touch(name);
    }
    TempFolder other(L"other tickets");
    other.Touch(L"W.jdf");
    // A folder that does not exist yet when its name is typed.
    TempFolder later(L"later tickets");
    later.Destroy();
    auto sheet = OpenPage();
    Ticks(*sheet, kTicksToShowAChange);

    const auto make = [&](const wchar_t* ticket) {
        EXPECT_TRUE(CreateDirectoryW(later.Path().c_str(), nullptr)) << GetLastError();
        later.Touch(ticket);
    };
    // After each change (the entry to choose, if any, chosen first): what the
    // list shows and which entry is selected. (A ticket deleted or renamed
    // with none chosen, or one more added to a folder typed in, moves the
    // list as the steps here do.)
    const auto shows = [&](const char* what, const Entries& entries, int selected) {
        SCOPED_TRACE(what);
        Ticks(*sheet, kTicksToShowAChange);
        EXPECT_EQ(entries, sheet->EntriesOf(kList));
        EXPECT_EQ(selected, sheet->Selection(kList));
        EXPECT_TRUE(sheet->AllEnabled({IDC_TICKET_EDIT, IDC_TICKET_DELETE}, selected != 0));
    };
    sheet->Select(kList, 2);
    folder.Remove(L"A.jdf");
    folder.Remove(L"b.jdf");
    shows("two adjacent tickets deleted, the chosen one among them", {L"None", L"c", L"d"}, 0);
    // The names stay in order whatever order the folder gives them in.
    folder.Touch(L"0new.jdf");
    folder.Touch(L"E.JDF");
    shows("tickets added, one sorting above \"None\", one in capitals",
          {L"None", L"0new", L"c", L"d", L"E"}, 0);
    sheet->Select(kList, 2);
    folder.Touch(L"b2.jdf");
    shows("ticket added while another is chosen", {L"None", L"0new", L"b2", L"c", L"d", L"E"}, 3);
    EXPECT_TRUE(MoveFileW(folder.File(L"c.jdf").c_str(), folder.File(L"c2.jdf").c_str()));
    shows("chosen ticket renamed", {L"None", L"0new", L"b2", L"c2", L"d", L"E"}, 0);
    TypeDirectory(*sheet, other.Path());
    other.Touch(L"X.jdf");
    shows("another folder typed in, a ticket added to it", {L"None", L"W", L"X"}, 0);
    TypeDirectory(*sheet, later.Path());
    shows("folder typed in that does not exist", {L"None"}, 0);
    make(L"L.jdf");
    shows("that folder made, with a ticket", {L"None", L"L"}, 0);
    later.Destroy();
    shows("folder deleted", {L"None"}, 0);
    // The page must have let go of the deleted folder for its name to be
    // free again.
    make(L"M.jdf");
    shows("folder made again, with a ticket", {L"None", L"M"}, 0);
    EXPECT_TRUE(person.Seen().empty());

    // Left for another page, or closed, the page no longer holds its
    // folder: it goes at once, and its name can be used again.
    const auto folderIsFree = [&] {
        later.Destroy();
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(later.Path().c_str()));
        make(L"M.jdf");
    };
    // (left from the directory field, whose focus may stay behind until the
    // person clicks on the page now shown)
    sheet->Focus(IDC_TICKET_DIR);
    ASSERT_TRUE(sheet->LeavePage());
    SetFocus(sheet->Sheet());
    Pump(2500); // longer than the refresh period that follows the field
    folderIsFree();
    sheet->ComeBack();
    Ticks(*sheet, kTicksToShowAChange);
    EXPECT_EQ((Entries{L"None", L"M"}), sheet->EntriesOf(kList));
    sheet.reset();
    folderIsFree();
}

TEST_F(FolderWatchTest, FolderThatCannotBeWatchedIsStillWalkedEveryTenSeconds) {
    // Held open without sharing, the folder refuses every other opening,
    // the page's watch among them, while its attributes can still be read.
    HANDLE lock = CreateFileW(folder.Path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    const HANDLE probe =
        FindFirstChangeNotificationW(folder.Path().c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
    if (probe != INVALID_HANDLE_VALUE) {
        FindCloseChangeNotification(probe);
        CloseHandle(lock);
        GTEST_SKIP() << "this system watches a folder held open without sharing";
    }
    auto sheet = OpenPage();
    Ticks(*sheet, 1); // the page's first look at its folder, which it cannot watch
    CloseHandle(lock);
    folder.Touch(L"A.jdf");

    const int ticksInWalkInterval = static_cast<int>(kWalkAtLeastEveryMs / kTickMs) + 1;
    for (int tick = 0; tick < ticksInWalkInterval + kTicksToShowAChange &&
                       sheet->EntriesOf(kList) != Entries{L"None", L"A"};
         ++tick) {
        Ticks(*sheet, 1);
    }
    EXPECT_EQ((Entries{L"None", L"A"}), sheet->EntriesOf(kList));
    // That walk also watches the folder now that it can.
    folder.Touch(L"B.jdf");
    Ticks(*sheet, kTicksToShowAChange);
    EXPECT_EQ((Entries{L"None", L"A", L"B"}), sheet->EntriesOf(kList));
    EXPECT_TRUE(person.Seen().empty());
}

using standin::EditorPresence;
namespace knobs = standin::knobs;

// The editor's top-level windows, and the process of the last one found.
int EditorWindows(DWORD* processId) {
    int count = 0;
    for (HWND window = nullptr;
         (window = FindWindowExW(nullptr, window, knobs::kEditorWindowClass, nullptr)); ++count) {
        GetWindowThreadProcessId(window, processId);
    }
    return count;
}

// New-ticket records for this directory and printer in the process's
// heaps: what the page holds while its editor runs.
int RecordsHeld(const std::wstring& directory, const std::wstring& printerName) {
    int held = 0;
    standin::ResourceMeter::EachBusyBlock(nullptr, [&](const void* data, size_t bytes) {
        const auto* record = static_cast<const NewTicketRecord*>(data);
        held +=
            bytes >= sizeof(NewTicketRecord) &&
            wcsncmp(directory.c_str(), record->ticketDirectory,
                    std::size(record->ticketDirectory)) == 0 &&
            wcsncmp(printerName.c_str(), record->printerName, std::size(record->printerName)) == 0;
    });
    return held;
}

class TicketsPage : public TicketListTest {
  protected:
    TicketsPage() : other(L"other") {
        // What the system would start if the editor's path were split at
        // its first blank.
        decoy = software.Folder().substr(0, software.Folder().find(L' ')) + L".exe";
        CopyFileW(EditorPath().c_str(), decoy.c_str(), FALSE);
        EditorPresence::Tell(knobs::kEditorKey, printer.DataKeyPath());
        folder.Touch(L"A.jdf");
        other.Touch(L"B.jdf");
    }
    ~TicketsPage() override { DeleteFileW(decoy.c_str()); }

    std::wstring EditorPath() const { return software.EditorPath(); }
    std::wstring CommandLine(const wchar_t* option, const std::wstring& ticket) const {
        return EditorPath() + L"\n" + EditorPath() + L" " + option + L"  \"" + ticket + L"\" \"" +
               printer.Name() + L"\"\n";
    }
    // While its editor runs, the page holds: it refuses to be reset.
    static bool Editing(PageSheet& sheet) { return sheet.SheetNotify(PSN_RESET) == 1; }
    static bool WaitForEditorEnd(PageSheet& sheet) {
        return PumpUntil([&] { return !Editing(sheet); }, 15000);
    }

    EditorPresence software{EditorPresence::Editor::Program};
    TempFolder other;
    std::wstring decoy;
};

TEST_F(TicketsPage, NewTicketGoesThroughTheLibraryThenTheEditor) {
    EditorPresence::Tell(knobs::kEditorExit, L"0");
    auto sheet = OpenPage();

    // Double-clicking "None" is the way to a new ticket.
    sheet->Notify(kList, LBN_DBLCLK);
    ASSERT_EQ(1u, sheet->SheetCalls().size());
    const auto& call = sheet->SheetCalls()[0];
    EXPECT_EQ(static_cast<UINT>(CPSFUNC_SET_RESULT), call.function);
    EXPECT_EQ(reinterpret_cast<LPARAM>(printer.Context().ticketsPageHandle), call.lParam1);
    EXPECT_EQ(CPSUI_OK, call.lParam2);
    // The page holds its record while the editor runs, and gives it back at
    // the end (the stand-in library keeps no copy of it here).
    EXPECT_EQ(1, RecordsHeld(folder.Path(), printer.Name()));
    // The library got the directory and the driver's settings.
    NewTicketRecord record{};
    { // (the copy read goes before the records are counted again)
        const std::string saved = standin::FileBytes(software.RecordPath());
        ASSERT_EQ(sizeof(record), saved.size());
        std::memcpy(&record, saved.data(), sizeof(record));
    }
    EXPECT_EQ(folder.Path(), record.ticketDirectory);
    EXPECT_EQ(printer.Name(), record.printerName);

    ASSERT_TRUE(WaitForEditorEnd(*sheet));
    EXPECT_EQ(0, RecordsHeld(folder.Path(), printer.Name()));
    EXPECT_EQ(CommandLine(L"-n", folder.File(L"New Ticket 1.jdf")), software.EditorLog());
    // No ticket handed back after New: the page stays as it was.
    EXPECT_EQ(0, sheet->Selection(kList));
    EXPECT_TRUE(person.Seen().empty());
}

TEST_F(TicketsPage, RefusalsAreReportedAndStartNothing) {
    auto sheet = OpenPage();
    EditorPresence::Tell(knobs::kLibraryFail, L"1");
    sheet->Notify(IDC_TICKET_NEW, BN_CLICKED);
    EXPECT_EQ(Entries{L"Unable to create a new ticket."}, person.Texts());
    EXPECT_FALSE(Editing(*sheet));
    DeleteFileW(EditorPath().c_str());
    person.Clear();
    sheet->Select(kList, 1);
    sheet->Notify(IDC_TICKET_EDIT, BN_CLICKED);
    EXPECT_EQ(Entries{L"Unable to launch the Vorn Job Ticket Editor.\nYou may need to "
                      L"reinstall Dur Irivuravo."},
              person.Texts());
    EXPECT_FALSE(Editing(*sheet));
    EXPECT_EQ(L"", software.EditorLog());
}

// What the page does with a hand-back.
enum class Outcome {
    kTaken,    // the editor's folder listed, its ticket selected
    kIgnored,  // no message, the list as it was
    kReported, // the registry message, the list as it was
};

// What the editor leaves and what the page makes of it: the exit code must
// be four bytes of a number or of bytes (the ticket's every shape is read
// in HostileTicketRegistry).
TEST_F(TicketsPage, OnlyAWellFormedHandBackIsTaken) {
    // Only the first row's editor writes its hand-back itself as it runs;
    // each other row leaves what the editor would have.
    EditorPresence::Tell(knobs::kEditorLifetime, L"1");
    const std::wstring ticket = other.File(L"B.jdf");
    const DWORD zero = 0, one = 1;
    const ULONGLONG wideZero = 0;
    const std::vector<wchar_t> unterminated(MAX_PATH, L'q');
    const RegValue exitCodeValue = printer.Value(names::kEditorExitCode);
    const RegValue chosen = printer.Value(names::kSelectedTicket);
    const auto exitCode = [&](DWORD type, const void* data, DWORD size) {
        return [=] { exitCodeValue.SetRaw(type, data, size); };
    };
    const auto selected = [&](const std::wstring& text) { return [=] { chosen.SetString(text); }; };
    const struct {
        const char* what;
        std::function<void()> leave;
        Outcome outcome;
    } rows[] = {
        {"handed back by the editor",
         [&] {
             chosen.Delete();
             exitCodeValue.Delete();
             EditorPresence::Tell(knobs::kEditorKey, printer.DataKeyPath());
             EditorPresence::Tell(knobs::kEditorSelected, ticket);
             EditorPresence::Tell(knobs::kEditorExit, L"0");
         },
         Outcome::kTaken},
        {"well formed", [] {}, Outcome::kTaken},
        {"exit code as four bytes", exitCode(REG_BINARY, &zero, 4), Outcome::kTaken},
        {"exit code not zero", exitCode(REG_DWORD, &one, 4), Outcome::kIgnored},
        {"exit code missing", [&] { exitCodeValue.Delete(); }, Outcome::kReported},
        {"exit code of no bytes", exitCode(REG_DWORD, &zero, 0), Outcome::kReported},
        {"exit code of one byte", exitCode(REG_BINARY, &zero, 1), Outcome::kReported},
        {"exit code of two bytes", exitCode(REG_BINARY, &zero, 2), Outcome::kReported},
        {"exit code of eight bytes", exitCode(REG_QWORD, &wideZero, 8), Outcome::kReported},
        {"exit code as empty text", exitCode(REG_SZ, L"", 2), Outcome::kReported},
        {"exit code as text", exitCode(REG_SZ, L"0", 4), Outcome::kReported},
        {"exit code big-endian", exitCode(REG_DWORD_BIG_ENDIAN, &zero, 4), Outcome::kReported},
        {"ticket as a number", [&] { chosen.SetRaw(REG_DWORD, &zero, sizeof(zero)); },
         Outcome::kReported},
        {"ticket not terminated",
         [&] {
             chosen.SetRaw(REG_SZ, unterminated.data(),
                           static_cast<DWORD>(unterminated.size() * sizeof(wchar_t)));
         },
         Outcome::kReported},
        // An editor that crashes hands nothing back; the page goes on.
        {"editor crashed",
         [&] {
             EditorPresence::Tell(knobs::kEditorCrash, L"1");
             chosen.Delete();
             exitCodeValue.Delete();
         },
         Outcome::kReported},
        {"ticket naming a folder", selected(other.Path()), Outcome::kIgnored},
        {"ticket naming a folder with a backslash", selected(other.Path() + L"\\"),
         Outcome::kIgnored},
        {"ticket naming a missing file", selected(other.File(L"gone.jdf")), Outcome::kIgnored},
    };
    // One page lives through every row: after each the page is idle again.
    auto sheet = OpenPage();
    EXPECT_FALSE(sheet->Enabled(IDC_TICKET_NEW));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EditorPresence::Forget(knobs::kEditorKey);
        EditorPresence::Forget(knobs::kEditorCrash);
        chosen.SetString(ticket);
        exitCodeValue.SetRaw(REG_DWORD, &zero, sizeof(zero));
        row.leave();
        SetDlgItemTextW(sheet->Page(), IDC_TICKET_DIR, folder.Path().c_str());
        Refresh(*sheet);
        person.Clear();
        sheet->Select(kList, 1);
        sheet->Notify(IDC_TICKET_EDIT, BN_CLICKED);
        ASSERT_TRUE(Editing(*sheet)) << "boxes: " << testing::PrintToString(person.Texts());
        ASSERT_TRUE(WaitForEditorEnd(*sheet));
        // The editor itself ran (not a program at a shorter path) with the
        // exact command line.
        EXPECT_EQ(CommandLine(L"-jt", AbsolutePath(folder.Path()) + L"\\A.jdf"),
                  software.EditorLog());
        const bool taken = row.outcome == Outcome::kTaken;
        EXPECT_EQ(taken ? AbsolutePath(other.Path()) + L"\\" : AbsolutePath(folder.Path()),
                  sheet->Text(IDC_TICKET_DIR));
        EXPECT_EQ((Entries{L"None", taken ? L"B" : L"A"}), sheet->EntriesOf(kList));
        EXPECT_EQ(1, sheet->Selection(kList));
        if (taken) {
            EXPECT_EQ(kList, sheet->FocusedId());
            EXPECT_EQ(PSNRET_NOERROR, sheet->SheetNotify(PSN_APPLY)); // no longer held
        }
        EXPECT_EQ(row.outcome == Outcome::kReported ? Entries{kRegistryFailedText} : Entries{},
                  person.Texts());
    }
}

TEST_F(TicketsPage, EditorThatRunsOnHoldsThePageComesForwardAndOutlivesIt) {
    EditorPresence::Tell(knobs::kEditorLifetime, L"600000");
    EditorPresence::Tell(knobs::kEditorMinimized, L"1");
    const long handlesBefore = standin::ResourceMeter::KernelHandles();
    auto sheet = OpenPage();
    sheet->Select(kList, 0);
    sheet->Notify(IDC_TICKET_NEW, BN_CLICKED);
    ASSERT_TRUE(Editing(*sheet));
    HWND editor = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        editor = FindWindowW(knobs::kEditorWindowClass, nullptr);
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
    EXPECT_EQ(handlesBefore + 1, standin::ResourceMeter::KernelHandles());
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

    const auto question = [](const std::wstring& path) {
        return L"Are you sure you want to delete the ticket '" + path + L"'? ";
    };
    const std::wstring a = AbsolutePath(folder.File(longName + L".jdf"));
    ASSERT_GT(a.size(), 230u);
    sheet->Select(kList, 1);
    person.Reply(IDNO);
    sheet->Notify(IDC_TICKET_DELETE, BN_CLICKED);
    EXPECT_EQ(Entries{question(a)}, person.Texts());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(a.c_str()));
    EXPECT_EQ(kList, sheet->FocusedId());

    person.Reply(IDYES);
    sheet->Notify(IDC_TICKET_DELETE, BN_CLICKED);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(a.c_str()));
    EXPECT_EQ(0, sheet->Selection(kList));
    // The page's refresh timer takes the entry out.
    EXPECT_TRUE(PumpUntil([&] { return sheet->EntriesOf(kList) == Entries{L"None", L"B"}; }));

    person.Clear();
    sheet->Select(kList, 1);
    sheet->Notify(IDC_TICKET_DELETE, BN_CLICKED);
    const std::wstring b = AbsolutePath(folder.File(L"B.jdf"));
    EXPECT_EQ(
        (Entries{question(b), L"Unable to delete '" + b +
                                  L"'.\nThe ticket may be in use by another application or may be "
                                  L"marked Read-Only."}),
        person.Texts());
}

TEST_F(TicketsPage, AnotherFolderTypedOrBrowsedRefillsTheList) {
    other.Touch(L"X.jdf");
    other.Remove(L"B.jdf");
    {
        auto sheet = OpenPage();
        TypeDirectory(*sheet, other.Path());
        EXPECT_EQ((Entries{L"None", L"X"}), sheet->EntriesOf(kList));
        EXPECT_EQ(AbsolutePath(other.Path()) + L"\\", sheet->Text(IDC_TICKET_DIR));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(sheet->Sheet(), kApplyButtonId)));

        const std::wstring nowhere = other.Path() + L"\\nowhere";
        TypeDirectory(*sheet, nowhere);
        EXPECT_EQ((Entries{L"None", L"X"}), sheet->EntriesOf(kList));
        EXPECT_TRUE(person.Seen().empty());
        sheet->Notify(kList, LBN_SETFOCUS);
        EXPECT_EQ(Entries{InvalidDirectoryText(nowhere)}, person.Texts());
        EXPECT_EQ(IDC_TICKET_DIR, sheet->FocusedId());

        // The field takes no more than a ticket path can hold: "\", a name of
        // one character and ".jdf" must still fit the 259 characters.
        SetDlgItemTextW(sheet->Page(), IDC_TICKET_DIR, L"");
        sheet->Type(IDC_TICKET_DIR, std::wstring(300, L'd'));
        EXPECT_EQ(253, GetWindowTextLengthW(sheet->Item(IDC_TICKET_DIR)));
    }
    // Browse: the folder typed whole, or relative to the folder shown (not
    // to the process's current directory, which the dialog leaves as it
    // was); and with no printer's value to write it into (the printer's key
    // gone, or not writable for this user): it is taken all the same.
    const std::wstring parent = other.Path().substr(0, other.Path().rfind(L'\\'));
    const struct {
        const char* what;
        bool relative, keyGone;
    } browses[] = {{"whole", false, false}, {"relative", true, false}, {"no key", false, true}};
    for (const auto& [what, relative, keyGone] : browses) {
        SCOPED_TRACE(what);
        savedDirectory.SetString(folder.Path());
        const std::wstring startFolder = standin::CurrentDirectory();
        auto sheet = OpenPage();
        if (relative) {
            SetDlgItemTextW(sheet->Page(), IDC_TICKET_DIR, parent.c_str());
        }
        if (keyGone) {
            testsupport::RemoveKey(HKEY_LOCAL_MACHINE, printer.DataKeyPath());
        }
        // In the dialog, the person types into the name field and presses
        // OK, first a folder that does not exist, then the wanted one; and
        // should the dialog refuse that too, presses Cancel, so that the
        // test fails rather than waits.
        const std::wstring missing = other.Path() + L"\\missing";
        const std::wstring typed[] = {missing, relative ? other.Path().substr(parent.size() + 1)
                                                        : other.Path()};
        int presses = 0;
        std::wstring nameLabel;
        person.Watch([&](HWND dialog) {
            if (standin::WindowText(dialog) != L"Select Tickets Directory" || presses > 2) {
                return;
            }
            nameLabel = standin::WindowText(GetDlgItem(dialog, IDC_OFN_NAME_LABEL));
            const int button = presses < 2 ? IDOK : IDCANCEL;
            if (presses < 2) {
                SetDlgItemTextW(dialog, IDC_OFN_NAME_EDIT, typed[presses].c_str());
            }
            ++presses;
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
        });
        sheet->Notify(IDC_TICKET_BROWSE, BN_CLICKED);
        person.Watch(nullptr);
        EXPECT_EQ(2, presses);
        EXPECT_EQ(L"Folder &name:", nameLabel);
        EXPECT_EQ(Entries{InvalidDirectoryText(missing)}, person.Texts());
        EXPECT_EQ(startFolder, standin::CurrentDirectory());
        EXPECT_EQ(keyGone ? L"" : other.Path(), savedDirectory.ReadString());
        EXPECT_EQ(other.Path(), sheet->Text(IDC_TICKET_DIR));
        EXPECT_EQ((Entries{L"None", L"X"}), sheet->EntriesOf(kList));
    }
}

} // namespace
