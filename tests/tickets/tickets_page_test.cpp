// The Tickets page with its own procedure: the editor and the ticket library
// (stand-ins copied into an editor folder whose path holds blanks), the
// hand-back through the printer's key, Delete and the directory edit.
#include "ticket_sheet.h"

#include "core/names.h"
#include "plugin_host.h"
#include "resource_ids.h"
#include "ticketrecord/new_ticket_record.h"
#include "tickets/page_state.h"
#include "tickets/tickets.h"
#include "tickets/tickets_page.h"

#include <compstui.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

using namespace vorn;
using namespace tickettest;

namespace {

using Entries = ListEntries;

constexpr wchar_t kEditorClass[] = L"VornTicketEditorStandIn";

std::wstring ReadWideFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return L"";
    }
    std::vector<wchar_t> text(8192, L'\0');
    DWORD read = 0;
    ReadFile(file, text.data(), static_cast<DWORD>((text.size() - 1) * sizeof(wchar_t)), &read,
             nullptr);
    CloseHandle(file);
    return std::wstring(text.data(), read / sizeof(wchar_t));
}

void SetEnv(const wchar_t* name, const std::wstring& value) {
    SetEnvironmentVariableW(name, value.c_str());
}
void ClearEnv(const wchar_t* name) {
    SetEnvironmentVariableW(name, nullptr);
}

class TicketsPageTest : public TicketPageTest {
  protected:
    TicketsPageTest()
        : TicketPageTest(L"Tickets Page Printer", TicketsPageProc),
          editorFolder(L"vornjt editor dir"), work(L"work"),
          softwarePath(HKEY_LOCAL_MACHINE, names::kTicketSoftwareKey,
                       names::kTicketSoftwarePathValue) {
        const std::wstring bin = standin::ProgramFolder();
        CopyFileW((bin + L"vornjtwxp.exe").c_str(), EditorPath().c_str(), FALSE);
        CopyFileW((bin + L"vornjtwxp.dll").c_str(), editorFolder.File(L"vornjtwxp.dll").c_str(),
                  FALSE);
        // What the system would start if the editor's path were split at
        // its first blank.
        const std::wstring folderPath = editorFolder.Path();
        decoy = folderPath.substr(0, folderPath.find(L' ')) + L".exe";
        CopyFileW((bin + L"vornjtwxp.exe").c_str(), decoy.c_str(), FALSE);
        softwarePath.SetString(editorFolder.Path());
        SetEnv(L"VORN_EDITOR_LOG", LogPath());
        SetEnv(L"VORN_EDITOR_KEY", printer.DataKeyPath());
        for (const wchar_t* name :
             {L"VORN_EDITOR_SELECTED", L"VORN_EDITOR_EXIT", L"VORN_EDITOR_LIFETIME",
              L"VORN_EDITOR_MINIMIZED", L"VORN_TICKETLIB_FAIL", L"VORN_TICKETLIB_RECORD"}) {
            ClearEnv(name);
        }
    }
    ~TicketsPageTest() override {
        DeleteFileW(decoy.c_str());
        ClearEnv(L"VORN_EDITOR_LOG");
        ClearEnv(L"VORN_EDITOR_KEY");
    }

    std::wstring EditorPath() const { return editorFolder.File(L"vornjtwxp.exe"); }
    std::wstring LogPath() const { return work.File(L"editor.log"); }
    static TicketsPageState* State(const TicketSheet& sheet) { return TicketsState(sheet.Page()); }
    bool WaitForEditorEnd(const TicketSheet& sheet) {
        return PumpUntil([&] { return !State(sheet)->editorRunning; }, 15000);
    }
    std::wstring ExpectedCommandLine(const wchar_t* option, const std::wstring& ticket) const {
        return EditorPath() + L" " + option + L"  \"" + ticket + L"\" \"" + printer.Name() + L"\"";
    }

    TempFolder editorFolder;
    TempFolder work;
    SavedValue softwarePath;
    std::wstring decoy;
};

TEST_F(TicketsPageTest, EditStartsTheEditorOnTheTicketAndTakesItsChoice) {
    folder.Touch(L"A.jdf");
    TempFolder other(L"other");
    other.Touch(L"B.jdf");
    SetEnv(L"VORN_EDITOR_SELECTED", other.File(L"B.jdf"));
    SetEnv(L"VORN_EDITOR_EXIT", L"0");
    auto sheet = OpenPage();
    ASSERT_NE(nullptr, State(*sheet));
    EXPECT_EQ(kNoEditorButton, State(*sheet)->lastEditorButton);
    EXPECT_FALSE(sheet->Enabled(IDC_TICKET_NEW));
    sheet->Select(1);

    sheet->Notify(IDC_TICKET_EDIT, BN_CLICKED);
    EXPECT_TRUE(State(*sheet)->editorRunning);
    EXPECT_EQ(IDC_TICKET_EDIT, State(*sheet)->lastEditorButton);
    ASSERT_TRUE(WaitForEditorEnd(*sheet));

    // The editor itself ran (not a program at a shorter path) with the
    // exact command line.
    const std::wstring log = ReadWideFile(LogPath());
    EXPECT_EQ(EditorPath() + L"\n" +
                  ExpectedCommandLine(L"-jt", AbsolutePath(folder.Path()) + L"\\A.jdf") + L"\n",
              log);
    // Its choice: another folder, listed, with its ticket selected.
    EXPECT_EQ(AbsolutePath(other.Path()) + L"\\", sheet->Text(IDC_TICKET_DIR));
    EXPECT_EQ((Entries{L"None", L"B"}), sheet->Entries());
    EXPECT_EQ(1, sheet->Selection());
    EXPECT_EQ(sheet->Item(IDC_TICKET_LIST), GetFocus());
    EXPECT_EQ(kNoEditorButton, State(*sheet)->lastEditorButton);
    EXPECT_TRUE(person.Seen().empty());
}

TEST_F(TicketsPageTest, NewTicketGoesThroughTheLibraryThenTheEditor) {
    SetEnv(L"VORN_TICKETLIB_RECORD", work.File(L"record.bin"));
    SetEnv(L"VORN_EDITOR_EXIT", L"0");
    auto sheet = OpenPage();
    TicketPrinter::SheetCalls().clear();

    // Double-clicking "None" is the way to a new ticket.
    sheet->Notify(IDC_TICKET_LIST, LBN_DBLCLK);
    ASSERT_EQ(1u, TicketPrinter::SheetCalls().size());
    const auto call = TicketPrinter::SheetCalls()[0];
    EXPECT_EQ(printer.Context().sheet, call.sheet);
    EXPECT_EQ(static_cast<UINT>(CPSFUNC_SET_RESULT), call.function);
    EXPECT_EQ(reinterpret_cast<LPARAM>(printer.Context().ticketsPageHandle), call.param1);
    EXPECT_EQ(CPSUI_OK, call.param2);
    EXPECT_TRUE(State(*sheet)->editorRunning);
    EXPECT_NE(nullptr, State(*sheet)->recordMemory.Get());

    // The library got the directory and the driver's settings.
    NewTicketRecord record{};
    std::ifstream saved(work.File(L"record.bin").c_str(), std::ios::binary);
    saved.read(reinterpret_cast<char*>(&record), sizeof(record));
    EXPECT_EQ(static_cast<std::streamsize>(sizeof(record)), saved.gcount());
    EXPECT_EQ(folder.Path(), record.ticketDirectory);
    EXPECT_EQ(printer.Name(), record.printerName);
    EXPECT_EQ(L"K485", std::wstring(record.modelCode));

    ASSERT_TRUE(WaitForEditorEnd(*sheet));
    EXPECT_EQ(EditorPath() + L"\n" + ExpectedCommandLine(L"-n", folder.File(L"New Ticket 1.jdf")) +
                  L"\n",
              ReadWideFile(LogPath()));
    // No ticket handed back after New: the page stays as it was.
    EXPECT_EQ(nullptr, State(*sheet)->recordMemory.Get());
    EXPECT_EQ(0, sheet->Selection());
    EXPECT_TRUE(person.Seen().empty());
}

TEST_F(TicketsPageTest, RefusalsAreReportedAndStartNothing) {
    folder.Touch(L"A.jdf");
    auto sheet = OpenPage();

    SetEnv(L"VORN_TICKETLIB_FAIL", L"1");
    sheet->Notify(IDC_TICKET_NEW, BN_CLICKED);
    ASSERT_EQ(1u, person.Seen().size());
    EXPECT_EQ(L"Unable to create a new ticket.", person.Seen()[0].text);
    EXPECT_EQ(kPluginCaption, person.Seen()[0].caption);
    EXPECT_FALSE(State(*sheet)->editorRunning);
    EXPECT_EQ(nullptr, State(*sheet)->recordMemory.Get());

    // No editor in the folder the ticket software names.
    DeleteFileW(EditorPath().c_str());
    person.Clear();
    sheet->Select(1);
    sheet->Notify(IDC_TICKET_EDIT, BN_CLICKED);
    ASSERT_EQ(1u, person.Seen().size());
    EXPECT_EQ(L"Unable to launch the Vorn Job Ticket Editor.\nYou may need to reinstall Dur "
              L"Irivuravo.",
              person.Seen()[0].text);
    EXPECT_FALSE(State(*sheet)->editorRunning);
    EXPECT_EQ(L"", ReadWideFile(LogPath()));
}

TEST_F(TicketsPageTest, EditorEndWithoutExitCodeIsReported) {
    folder.Touch(L"A.jdf");
    auto sheet = OpenPage();
    sheet->Select(1);
    sheet->Notify(IDC_TICKET_EDIT, BN_CLICKED);
    ASSERT_TRUE(WaitForEditorEnd(*sheet));
    ASSERT_EQ(1u, person.Seen().size());
    EXPECT_EQ(kRegistryFailedText, person.Seen()[0].text);
    EXPECT_EQ((Entries{L"None", L"A"}), sheet->Entries());
    EXPECT_EQ(1, sheet->Selection());
}

TEST_F(TicketsPageTest, HandBackValuesAreReadWithinTheirBuffers) {
    folder.Touch(L"A.jdf");
    const PluginContext& context = printer.Context();
    wchar_t where[kTicketPathBufferChars];
    wchar_t name[kTicketPathBufferChars];
    DWORD exitCode = 99;
    auto read = [&] {
        where[0] = name[0] = L'\0';
        exitCode = 99;
        return ReadEditorResult(context.printerName, where, name, &exitCode, &context);
    };
    const DWORD seven = 7;
    printer.SetValue(names::kEditorExitCode, REG_DWORD, &seven, sizeof(seven));

    printer.SetString(names::kSelectedTicket, folder.File(L"A.jdf"));
    EXPECT_EQ(kResultRead, read());
    EXPECT_EQ(AbsolutePath(folder.Path()) + L"\\", where);
    EXPECT_STREQ(L"A", name);
    EXPECT_EQ(7u, exitCode);

    printer.DeleteValue(names::kSelectedTicket);
    EXPECT_EQ(kResultRead, read());
    EXPECT_STREQ(L"", where);

    printer.SetString(names::kSelectedTicket, folder.File(L"gone.jdf"));
    EXPECT_EQ(kResultTicketMissing, read());

    // Too long, not text, not terminated: unreadable, nothing read beyond.
    const std::wstring tooLong = folder.Path() + L"\\" + std::wstring(300, L'x') + L".jdf";
    printer.SetString(names::kSelectedTicket, tooLong);
    EXPECT_EQ(kResultUnreadable, read());
    const std::wstring ticket = folder.File(L"A.jdf");
    printer.SetValue(names::kSelectedTicket, REG_BINARY, ticket.c_str(),
                     static_cast<DWORD>((ticket.size() + 1) * sizeof(wchar_t)));
    EXPECT_EQ(kResultUnreadable, read());
    std::vector<wchar_t> unterminated(kTicketPathBufferChars, L'z');
    printer.SetValue(names::kSelectedTicket, REG_SZ, unterminated.data(), 520);
    EXPECT_EQ(kResultUnreadable, read());
    EXPECT_STREQ(L"", where);

    printer.SetString(names::kSelectedTicket, ticket);
    printer.DeleteValue(names::kEditorExitCode);
    EXPECT_EQ(kResultUnreadable, read());
}

TEST_F(TicketsPageTest, WhileEditingThePageHoldsAndTheEditorComesForward) {
    folder.Touch(L"A.jdf");
    SetEnv(L"VORN_EDITOR_LIFETIME", L"30000");
    SetEnv(L"VORN_EDITOR_MINIMIZED", L"1");
    auto sheet = OpenPage();
    sheet->Select(1);
    sheet->Notify(IDC_TICKET_EDIT, BN_CLICKED);
    HWND editor = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        editor = FindWindowW(kEditorClass, nullptr);
        // Minimized before it is shown: only a shown window is brought forward.
        return editor && IsIconic(editor) && IsWindowVisible(editor);
    }));

    // (the editor's window changes state on its own thread: wait for it)
    const auto restored = [&] { return PumpUntil([&] { return !IsIconic(editor); }, 10000); };
    EXPECT_EQ(1, sheet->SheetNotify(PSN_KILLACTIVE));
    EXPECT_TRUE(restored());
    EXPECT_EQ(PSNRET_INVALID, sheet->SheetNotify(PSN_APPLY));
    // Delete only brings the editor forward.
    ShowWindow(editor, SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(editor) != FALSE; }, 3000));
    sheet->Notify(IDC_TICKET_DELETE, BN_CLICKED);
    EXPECT_TRUE(restored());
    EXPECT_TRUE(person.Seen().empty());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(folder.File(L"A.jdf").c_str()));

    PostMessageW(editor, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitForEditorEnd(*sheet));
    EXPECT_EQ(PSNRET_NOERROR, sheet->SheetNotify(PSN_APPLY));
}

TEST_F(TicketsPageTest, ClosingThePageLetsGoOfARunningEditor) {
    folder.Touch(L"A.jdf");
    SetEnv(L"VORN_EDITOR_LIFETIME", L"30000");
    auto sheet = OpenPage();
    sheet->Select(1);
    sheet->Notify(IDC_TICKET_EDIT, BN_CLICKED);
    ASSERT_TRUE(State(*sheet)->editorRunning);
    const HANDLE process = State(*sheet)->editorProcess.Get();
    const HANDLE thread = State(*sheet)->editorThread.Get();
    HANDLE ours = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), process, GetCurrentProcess(), &ours, 0, FALSE,
                                DUPLICATE_SAME_ACCESS));
    sheet.reset();
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(process, &flags));
    EXPECT_FALSE(GetHandleInformation(thread, &flags));
    TerminateProcess(ours, 0);
    WaitForSingleObject(ours, 5000);
    CloseHandle(ours);
}

TEST_F(TicketsPageTest, DeleteAsksFirstAndReportsRefusal) {
    // A long name: the question must still show the whole path.
    const std::wstring longName = L"A" + std::wstring(210, L'n');
    folder.Touch(longName + L".jdf");
    folder.Touch(L"B.jdf");
    SetFileAttributesW(folder.File(L"B.jdf").c_str(), FILE_ATTRIBUTE_READONLY);
    auto sheet = OpenPage();

    sheet->Notify(IDC_TICKET_DELETE, BN_CLICKED); // "None": nothing to ask
    EXPECT_TRUE(person.Seen().empty());

    const std::wstring a = AbsolutePath(folder.File(longName + L".jdf"));
    ASSERT_GT(a.size(), 230u);
    sheet->Select(1);
    person.Reply(IDNO);
    sheet->Notify(IDC_TICKET_DELETE, BN_CLICKED);
    ASSERT_EQ(1u, person.Seen().size());
    EXPECT_EQ(L"Are you sure you want to delete the ticket '" + a + L"'? ", person.Seen()[0].text);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(a.c_str()));
    EXPECT_EQ(sheet->Item(IDC_TICKET_LIST), GetFocus());

    person.Reply(IDYES);
    sheet->Notify(IDC_TICKET_DELETE, BN_CLICKED);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(a.c_str()));
    EXPECT_EQ(0, sheet->Selection());

    person.Clear();
    sheet->Select(2);
    sheet->Notify(IDC_TICKET_DELETE, BN_CLICKED);
    ASSERT_EQ(2u, person.Seen().size());
    EXPECT_EQ(L"Unable to delete '" + AbsolutePath(folder.File(L"B.jdf")) +
                  L"'.\nThe ticket may be in use by another application or may be marked "
                  L"Read-Only.",
              person.Seen()[1].text);
    EXPECT_EQ(kPluginCaption, person.Seen()[1].caption);
}

TEST_F(TicketsPageTest, DirectoryEditRefillsTheListOrComplainsLater) {
    folder.Touch(L"A.jdf");
    TempFolder other(L"other");
    other.Touch(L"X.jdf");
    auto sheet = OpenPage();

    sheet->Notify(IDC_TICKET_DIR, EN_SETFOCUS);
    SetDlgItemTextW(sheet->Page(), IDC_TICKET_DIR, other.Path().c_str());
    sheet->Notify(IDC_TICKET_DIR, EN_KILLFOCUS);
    EXPECT_EQ((Entries{L"None", L"X"}), sheet->Entries());
    EXPECT_EQ(AbsolutePath(other.Path()) + L"\\", sheet->Text(IDC_TICKET_DIR));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(sheet->Sheet(), kApplyButtonId)));

    const std::wstring nowhere = other.Path() + L"\\nowhere";
    sheet->Notify(IDC_TICKET_DIR, EN_SETFOCUS);
    SetDlgItemTextW(sheet->Page(), IDC_TICKET_DIR, nowhere.c_str());
    sheet->Notify(IDC_TICKET_DIR, EN_KILLFOCUS);
    EXPECT_EQ((Entries{L"None", L"X"}), sheet->Entries());
    EXPECT_TRUE(person.Seen().empty());

    sheet->Notify(IDC_TICKET_LIST, LBN_SETFOCUS);
    ASSERT_EQ(1u, person.Seen().size());
    EXPECT_EQ(InvalidDirectoryText(nowhere), person.Seen()[0].text);
    EXPECT_EQ(sheet->Item(IDC_TICKET_DIR), GetFocus());
}

} // namespace

namespace {

// A person using the Browse dialog: types a folder into the name field and
// presses OK, first a folder that does not exist, then `folder`.
class FolderPicker {
  public:
    FolderPicker(std::wstring missing, std::wstring folder)
        : missing_(std::move(missing)), folder_(std::move(folder)) {
        picker_ = this;
        timer_ = SetTimer(nullptr, 0, 100, &FolderPicker::OnTimer);
    }
    ~FolderPicker() {
        KillTimer(nullptr, timer_);
        picker_ = nullptr;
    }
    std::wstring nameLabel, initialName;
    int presses = 0;

  private:
    static BOOL CALLBACK Find(HWND window, LPARAM found) {
        wchar_t title[128] = {};
        GetWindowTextW(window, title, 128);
        if (IsWindowVisible(window) && std::wstring(title) == L"Select Tickets Directory") {
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
        return TRUE;
    }
    static BOOL CALLBACK FindBox(HWND window, LPARAM found) {
        if (IsWindowVisible(window) && GetDlgItem(window, 0xFFFF)) {
            *reinterpret_cast<bool*>(found) = true;
            return FALSE;
        }
        return TRUE;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        FolderPicker* self = picker_;
        bool boxShown = false;
        EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&boxShown));
        HWND dialog = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), Find, reinterpret_cast<LPARAM>(&dialog));
        if (!self || boxShown || !dialog || self->presses >= 2) {
            return;
        }
        if (self->presses == 0) {
            wchar_t text[MAX_PATH] = {};
            GetDlgItemTextW(dialog, IDC_OFN_NAME_LABEL, text, MAX_PATH);
            self->nameLabel = text;
        }
        const std::wstring& typed = self->presses == 0 ? self->missing_ : self->folder_;
        SetDlgItemTextW(dialog, IDC_OFN_NAME_EDIT, typed.c_str());
        ++self->presses;
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    }
    static FolderPicker* picker_;
    UINT_PTR timer_ = 0;
    std::wstring missing_, folder_;
};
FolderPicker* FolderPicker::picker_ = nullptr;

TEST_F(TicketsPageTest, TheDirectoryFieldTakesNoMoreThanATicketPathCanHold) {
    auto sheet = OpenPage();
    const HWND edit = sheet->Item(IDC_TICKET_DIR);
    SetWindowTextW(edit, L"");
    SetFocus(edit);
    for (int i = 0; i < 300; ++i) {
        SendMessageW(edit, WM_CHAR, L'd', 1);
    }
    // "\", a name of one character and ".jdf" must still fit the 259
    // characters of a stored path.
    EXPECT_EQ(253, GetWindowTextLengthW(edit));
}

TEST_F(TicketsPageTest, BrowseStoresTheChosenFolderAndRefreshesFromIt) {
    folder.Touch(L"A.jdf");
    TempFolder other(L"browsed");
    other.Touch(L"X.jdf");
    auto sheet = OpenPage();
    const std::wstring missing = other.Path() + L"\\missing";
    FolderPicker picker(missing, other.Path());
    sheet->Notify(IDC_TICKET_BROWSE, BN_CLICKED);

    EXPECT_EQ(2, picker.presses);
    EXPECT_EQ(L"Folder &name:", picker.nameLabel);
    // The folder that does not exist was refused and the dialog stayed.
    ASSERT_EQ(1u, person.Seen().size());
    EXPECT_EQ(InvalidDirectoryText(missing), person.Seen()[0].text);
    EXPECT_EQ(kPluginCaption, person.Seen()[0].caption);
    EXPECT_EQ(other.Path(), printer.ReadString(names::kCurrentTicketsDir));
    EXPECT_EQ(other.Path(), sheet->Text(IDC_TICKET_DIR));
    EXPECT_EQ((Entries{L"None", L"X"}), sheet->Entries());
}

TEST_F(TicketsPageTest, BrowseStoresAFolderTypedRelativeToTheShownOneAsItsFullPath) {
    TempFolder other(L"browsed");
    other.Touch(L"X.jdf");
    const std::wstring parent = other.Path().substr(0, other.Path().rfind(L'\\'));
    const std::wstring name = other.Path().substr(parent.size() + 1);
    wchar_t startFolder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, startFolder);
    auto sheet = OpenPage();
    // The dialog opens at the page's directory and shows it.
    SetDlgItemTextW(sheet->Page(), IDC_TICKET_DIR, parent.c_str());
    {
        FolderPicker picker(other.Path() + L"\\missing", name);
        sheet->Notify(IDC_TICKET_BROWSE, BN_CLICKED);
        EXPECT_EQ(2, picker.presses);
    }
    // The name is taken relative to the folder shown, not to the process's
    // current directory, which the dialog leaves as it was.
    wchar_t nowFolder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, nowFolder);
    EXPECT_STREQ(startFolder, nowFolder);
    EXPECT_EQ(other.Path(), printer.ReadString(names::kCurrentTicketsDir));
    EXPECT_EQ(other.Path(), sheet->Text(IDC_TICKET_DIR));
    EXPECT_EQ((Entries{L"None", L"X"}), sheet->Entries());
}

} // namespace
