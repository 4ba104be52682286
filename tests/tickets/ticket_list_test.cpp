// The ticket directory and list of the Tickets page (no ticket software):
// where the directory comes from, the list and its order, the refresh of a
// changed folder, the selection, and what leaving the page stores; then the
// list keeping up with its folder on the page's own refresh timer.
#include "support/page_sheet.h"

#include "core/names.h"
#include "resource_ids.h"
#include "tickets/tickets.h"
#include "tickets/tickets_page.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <vector>

using namespace vorn;
using namespace pagesheet;

namespace {

constexpr int kList = IDC_TICKET_LIST;

constexpr wchar_t kUseDriver[] = L"Use current settings in printer driver";
constexpr wchar_t kNotYet[] = L"Not yet implemented";

class TicketListTest : public TicketsPageTest {
  protected:
    TicketListTest() : TicketsPageTest(TicketsPageProc) { softwarePath.Delete(); }
    // (no message reaches a refresh at a chosen moment: FolderWatch below
    // drives the page's own timer)
    static void Refresh(PageSheet& sheet) { RefreshTicketList(sheet.Page(), PluginModule()); }
    std::wstring TicketPath() { return printer.Devmode().ticketPath; }
};

TEST_F(TicketListTest, PageHasTheTemplateLayoutAndLabels) {
    auto sheet = OpenPage();
    const struct {
        int id;
        DWORD styles;
        RECT units;
    } controls[] = {
        {IDC_TICKET_LIST_LABEL, WS_GROUP, {16, 6, 232, 8}},
        // (the list box shows its scroll bar only when the entries need it)
        {IDC_TICKET_LIST,
         WS_TABSTOP | LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT,
         {16, 16, 232, 65}},
        {IDC_TICKET_NEW, WS_GROUP | WS_TABSTOP | BS_NOTIFY, {16, 88, 56, 14}},
        {IDC_TICKET_EDIT, WS_TABSTOP | BS_NOTIFY, {80, 88, 56, 14}},
        {IDC_TICKET_DELETE, WS_TABSTOP | BS_NOTIFY, {184, 88, 64, 14}},
        {IDC_TICKET_DIR_LABEL, WS_GROUP, {16, 118, 232, 8}},
        {IDC_TICKET_DIR, WS_TABSTOP | ES_AUTOHSCROLL, {16, 128, 232, 12}},
        {IDC_TICKET_BROWSE, WS_TABSTOP | BS_NOTIFY, {184, 144, 64, 14}},
        {IDC_TICKET_DESC_LABEL, WS_GROUP, {16, 158, 232, 8}},
        {IDC_TICKET_DESC, WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY, {16, 168, 232, 48}},
    };
    for (const auto& c : controls) {
        HWND control = sheet->Item(c.id);
        ASSERT_NE(nullptr, control) << c.id;
        const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
        EXPECT_EQ(c.styles | WS_CHILD | WS_VISIBLE, style & (c.styles | WS_CHILD | WS_VISIBLE))
            << c.id;
        RECT expected = {c.units.left, c.units.top, c.units.left + c.units.right,
                         c.units.top + c.units.bottom};
        MapDialogRect(sheet->Page(), &expected);
        RECT actual;
        GetWindowRect(control, &actual);
        MapWindowPoints(nullptr, sheet->Page(), reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(std::make_tuple(expected.left, expected.top, expected.right, expected.bottom),
                  std::make_tuple(actual.left, actual.top, actual.right, actual.bottom))
            << c.id;
    }
    wchar_t title[64] = {};
    GetWindowTextW(sheet->Page(), title, 64);
    EXPECT_STREQ(L"Job Ticket Editor", title);
    EXPECT_EQ(L"&Select Ticket:", sheet->Text(IDC_TICKET_LIST_LABEL));
    EXPECT_EQ(L"&New...", sheet->Text(IDC_TICKET_NEW));
    EXPECT_EQ(L"&Edit...", sheet->Text(IDC_TICKET_EDIT));
    EXPECT_EQ(L"&Delete...", sheet->Text(IDC_TICKET_DELETE));
    EXPECT_EQ(L"&Current Ticket Directory:", sheet->Text(IDC_TICKET_DIR_LABEL));
    EXPECT_EQ(L"&Browse...", sheet->Text(IDC_TICKET_BROWSE));
    EXPECT_EQ(kNotYet, sheet->Text(IDC_TICKET_DESC_LABEL));
}

TEST_F(TicketListTest, DevmodeTicketComesFirstAndIsSelected) {
    folder.Touch(L"A.jdf");
    folder.Touch(L"B.jdf");
    TempFolder saved(L"saved");
    saved.Touch(L"S.jdf");
    printer.SetString(names::kCurrentTicketsDir, saved.Path());
    lstrcpyW(printer.Devmode().ticketPath, folder.File(L"B.jdf").c_str());

    auto sheet = OpenPage();
    EXPECT_EQ(AbsolutePath(folder.Path()), sheet->Text(IDC_TICKET_DIR));
    EXPECT_EQ((Entries{L"None", L"A", L"B"}), sheet->EntriesOf(kList));
    EXPECT_EQ(2, sheet->Selection(kList));
    EXPECT_TRUE(sheet->Enabled(IDC_TICKET_EDIT));
    // The ticket's folder is kept as the printer's directory, as a whole
    // 260-character string.
    DWORD type = 0, bytes = 0;
    EXPECT_EQ(AbsolutePath(folder.Path()),
              printer.ReadString(names::kCurrentTicketsDir, &type, &bytes));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(520u, bytes);
    sheet.reset();

    // A ticket that has gone falls back to the saved directory.
    folder.Remove(L"B.jdf");
    printer.SetString(names::kCurrentTicketsDir, saved.Path());
    sheet = OpenPage();
    EXPECT_EQ(AbsolutePath(saved.Path()), sheet->Text(IDC_TICKET_DIR));
    EXPECT_EQ((Entries{L"None", L"S"}), sheet->EntriesOf(kList));
    EXPECT_EQ(0, sheet->Selection(kList));
    EXPECT_TRUE(person.Seen().empty());
}

TEST_F(TicketListTest, SavedDirectoryThenEditorDefaultThenNothing) {
    TempFolder fallback(L"default");
    fallback.Touch(L"D.jdf");
    editorDefault.SetString(fallback.Path());

    // A saved directory that does not exist, or whose value is not a string,
    // gives way to the editor's default folder.
    printer.SetString(names::kCurrentTicketsDir, folder.Path() + L"\\missing");
    auto sheet = OpenPage();
    EXPECT_EQ(AbsolutePath(fallback.Path()), sheet->Text(IDC_TICKET_DIR));
    EXPECT_EQ((Entries{L"None", L"D"}), sheet->EntriesOf(kList));
    sheet.reset();
    printer.SetValue(names::kCurrentTicketsDir, REG_BINARY, folder.Path().c_str(),
                     static_cast<DWORD>((folder.Path().size() + 1) * sizeof(wchar_t)));
    sheet = OpenPage();
    EXPECT_EQ(AbsolutePath(fallback.Path()), sheet->Text(IDC_TICKET_DIR));
    sheet.reset();
    // The editor default is not checked for existence.
    printer.DeleteValue(names::kCurrentTicketsDir);
    editorDefault.SetString(fallback.Path() + L"\\later");
    sheet = OpenPage();
    EXPECT_EQ(AbsolutePath(fallback.Path() + L"\\later"), sheet->Text(IDC_TICKET_DIR));
    EXPECT_EQ((Entries{L"None"}), sheet->EntriesOf(kList));
    // (as the focus lands on the list, the page finds the folder missing)
    EXPECT_TRUE(person.SawOne(InvalidDirectoryText(fallback.Path() + L"\\later")));
    sheet.reset();

    // Editor defaults that cannot be read whole: too long, not a string,
    // not terminated within the buffer. Each ends with the message.
    const std::wstring tooLong = fallback.Path() + L"\\" + std::wstring(300, L'x');
    std::vector<wchar_t> unterminated(260, L'y');
    std::memcpy(unterminated.data(), fallback.Path().c_str(),
                fallback.Path().size() * sizeof(wchar_t));
    unterminated[fallback.Path().size()] = L'\\';
    const std::function<void()> unreadable[] = {
        [&] { editorDefault.SetString(tooLong); },
        [&] {
            editorDefault.SetRaw(REG_BINARY, fallback.Path().c_str(),
                                 static_cast<DWORD>((fallback.Path().size() + 1) * 2));
        },
        [&] { editorDefault.SetRaw(REG_SZ, unterminated.data(), 520); },
        [&] { editorDefault.Delete(); },
    };
    for (const auto& makeUnreadable : unreadable) {
        makeUnreadable();
        sheet = OpenPage();
        EXPECT_EQ((Entries{L"None"}), sheet->EntriesOf(kList));
        EXPECT_EQ(0, sheet->Selection(kList));
        ASSERT_EQ(2u, person.Seen().size());
        EXPECT_EQ(kPluginCaption, person.Seen()[0].caption);
        EXPECT_EQ(kRegistryFailedText, person.Seen()[0].text);
        EXPECT_EQ(InvalidDirectoryText(L""), person.Seen()[1].text);
        sheet.reset();
    }
}

TEST_F(TicketListTest, ListsTicketsSortedBelowNone) {
    folder.Touch(L"b.jdf");
    folder.Touch(L"A.jdf");
    folder.Touch(L"c.jdf");
    folder.Touch(L"notes.txt");
    // A search for "*.jdf" answers these too; they are no tickets.
    folder.Touch(L"b.jdf~");
    folder.Touch(L"d.jdfx");
    auto sheet = OpenPage();
    EXPECT_EQ((Entries{L"None", L"A", L"b", L"c"}), sheet->EntriesOf(kList));
    // Nor does a refresh take them for new tickets.
    Refresh(*sheet);
    EXPECT_EQ((Entries{L"None", L"A", L"b", L"c"}), sheet->EntriesOf(kList));
    EXPECT_EQ(0, sheet->Selection(kList));
    EXPECT_EQ(kUseDriver, sheet->Text(IDC_TICKET_DESC));
    EXPECT_FALSE(sheet->Enabled(IDC_TICKET_NEW));
    EXPECT_FALSE(sheet->Enabled(IDC_TICKET_EDIT));
    EXPECT_FALSE(sheet->Enabled(IDC_TICKET_DELETE));
}

// A sorted list box in the page list's locale, handed names one by one: the
// order the page's list must show them in.
class ListBoxOracle {
  public:
    explicit ListBoxOracle(HWND pageList)
        : box_(CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | LBS_SORT | LBS_HASSTRINGS, 0, 0, 100,
                               100, nullptr, nullptr, nullptr, nullptr)) {
        SendMessageW(box_, LB_SETLOCALE, SendMessageW(pageList, LB_GETLOCALE, 0, 0), 0);
    }
    ~ListBoxOracle() { DestroyWindow(box_); }
    void Add(const Entries& names) const {
        for (const std::wstring& name : names) {
            SendMessageW(box_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        }
    }
    // "None" on top, then the names in the list box's order.
    Entries WithNone() const {
        Entries entries{L"None"};
        const LRESULT count = SendMessageW(box_, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[MAX_PATH + 1] = {};
            SendMessageW(box_, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            entries.push_back(text);
        }
        return entries;
    }

  private:
    HWND box_;
};

TEST_F(TicketListTest, FillAndRefreshKeepTheListBoxsOwnOrder) {
    // Names whose order is not that of their characters' codes: blanks and
    // punctuation, digits, case, accents, other scripts, ligatures, and
    // names the comparison may take as equal.
    const Entries nameSets[] = {
        {L"a-b", L"ab", L"a b", L"_x", L"x_", L"10", L"9", L"1", L"co-op", L"coop", L"It's", L"its",
         L"~tilde", L"(paren)"},
        {L"Zeta", L"alpha", L"Beta", L"\u00E9clair", L"Eclairs", L"eclair2", L"\u00C9t\u00E9",
         L"ETE", L"zz", L"\u00C5ngstr\u00F6m"},
        {L"\u0395\u03B9\u03C3\u03B9\u03C4\u03AE\u03C1\u03B9\u03BF",
         L"\u0411\u0438\u043B\u0435\u0442", L"\u7968\u636E", L"\uFB01le", L"file", L"Stra\u00DFe",
         L"STRASSE", L"Cafe\u0301", L"Caf\u00E9"},
    };
    for (const Entries& set : nameSets) {
        TempFolder tickets(L"order");
        for (const std::wstring& name : set) {
            tickets.Touch(name + L".jdf");
        }
        ASSERT_EQ(set.size(), tickets.TicketNames().size()) << "the file system merged names";
        printer.SetString(names::kCurrentTicketsDir, tickets.Path());
        auto sheet = OpenPage();
        // The names as the folder gives them, as the list box was given them
        // when it placed each itself.
        const ListBoxOracle oracle(sheet->Item(IDC_TICKET_LIST));
        oracle.Add(tickets.TicketNames());
        EXPECT_EQ(oracle.WithNone(), sheet->EntriesOf(kList)) << set[0];
        // A refresh finds a sorted list to place a new ticket in.
        tickets.Touch(L"m new.jdf");
        Refresh(*sheet);
        oracle.Add({L"m new"});
        EXPECT_EQ(oracle.WithNone(), sheet->EntriesOf(kList)) << set[0];
    }
}

TEST_F(TicketListTest, RefreshFollowsTheFolder) {
    for (const wchar_t* name : {L"A.jdf", L"b.jdf", L"c.jdf", L"d.jdf"}) {
        folder.Touch(name);
    }
    auto sheet = OpenPage();
    sheet->Select(kList, 2);

    // Nothing changed: nothing moves.
    Refresh(*sheet);
    EXPECT_EQ((Entries{L"None", L"A", L"b", L"c", L"d"}), sheet->EntriesOf(kList));
    EXPECT_EQ(2, sheet->Selection(kList));

    // Two adjacent tickets go in one pass, the selected one among them.
    folder.Remove(L"A.jdf");
    folder.Remove(L"b.jdf");
    Refresh(*sheet);
    EXPECT_EQ((Entries{L"None", L"c", L"d"}), sheet->EntriesOf(kList));
    EXPECT_EQ(0, sheet->Selection(kList));
    EXPECT_FALSE(sheet->Enabled(IDC_TICKET_EDIT));

    // New files, one sorting ahead of "None", one in another case: the
    // names stay in order whatever order the folder gives them in.
    folder.Touch(L"0new.jdf");
    folder.Touch(L"E.JDF");
    Refresh(*sheet);
    EXPECT_EQ((Entries{L"None", L"0new", L"c", L"d", L"E"}), sheet->EntriesOf(kList));
    EXPECT_EQ(0, sheet->Selection(kList)); // "None" stays chosen as it moves back up
    Refresh(*sheet);
    EXPECT_EQ(5u, sheet->EntriesOf(kList).size());

    // A ticket chosen before new ones arrive stays chosen.
    sheet->Select(kList, 2);
    folder.Touch(L"b2.jdf");
    Refresh(*sheet);
    EXPECT_EQ((Entries{L"None", L"0new", L"b2", L"c", L"d", L"E"}), sheet->EntriesOf(kList));
    EXPECT_EQ(L"c", sheet->EntriesOf(kList)[sheet->Selection(kList)]);
    folder.Remove(L"b2.jdf");
    Refresh(*sheet);
    sheet->Select(kList, 0);

    // A ticket named only ".jdf" is listed once, not once per refresh.
    folder.Touch(L".jdf");
    Refresh(*sheet);
    Refresh(*sheet);
    EXPECT_EQ(6u, sheet->EntriesOf(kList).size());
    EXPECT_EQ(L"None", sheet->EntriesOf(kList)[0]);

    // The folder disappears.
    sheet->Select(kList, 2);
    folder.Destroy();
    Refresh(*sheet);
    EXPECT_EQ((Entries{L"None"}), sheet->EntriesOf(kList));
    EXPECT_EQ(0, sheet->Selection(kList));
    EXPECT_FALSE(sheet->Enabled(IDC_TICKET_EDIT));
    EXPECT_EQ(kUseDriver, sheet->Text(IDC_TICKET_DESC));
}

TEST_F(TicketListTest, SelectionSetsButtonsDescriptionAndChangedState) {
    folder.Touch(L"A.jdf");
    auto sheet = OpenPage();
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(sheet->Sheet(), kApplyButtonId)));

    sheet->Select(kList, 1);
    EXPECT_EQ(kNotYet, sheet->Text(IDC_TICKET_DESC));
    EXPECT_TRUE(sheet->Enabled(IDC_TICKET_EDIT));
    EXPECT_TRUE(sheet->Enabled(IDC_TICKET_DELETE));
    EXPECT_FALSE(sheet->Enabled(IDC_TICKET_NEW));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(sheet->Sheet(), kApplyButtonId)));

    sheet->Select(kList, 0);
    EXPECT_EQ(kNotYet, sheet->Text(IDC_TICKET_DESC));
    EXPECT_FALSE(sheet->Enabled(IDC_TICKET_EDIT));
    EXPECT_FALSE(sheet->Enabled(IDC_TICKET_DELETE));
}

TEST_F(TicketListTest, CommitWritesChoiceOrKeepsThePage) {
    folder.Touch(L"A.jdf");
    TempFolder other(L"other");
    printer.SetString(names::kCurrentTicketsDir, other.Path());
    auto sheet = OpenPage();
    SetDlgItemTextW(sheet->Page(), IDC_TICKET_DIR, folder.Path().c_str());
    Refresh(*sheet);
    sheet->Select(kList, 1);

    EXPECT_EQ(0, Leave(*sheet));
    EXPECT_EQ(folder.Path() + L"\\A.jdf", TicketPath());
    EXPECT_EQ(AbsolutePath(folder.Path()), printer.ReadString(names::kCurrentTicketsDir));
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
    SendMessageW(sheet->Item(IDC_TICKET_LIST), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(0, Leave(*sheet));
    EXPECT_EQ(L"", TicketPath());

    // An invalid directory keeps the page and writes nothing.
    sheet->Select(kList, 1);
    const std::wstring missing = folder.Path() + L"\\nowhere";
    SetDlgItemTextW(sheet->Page(), IDC_TICKET_DIR, missing.c_str());
    printer.SetString(names::kCurrentTicketsDir, other.Path());
    EXPECT_EQ(1, Leave(*sheet));
    EXPECT_EQ(L"", TicketPath());
    EXPECT_EQ(other.Path(), printer.ReadString(names::kCurrentTicketsDir));
    ASSERT_EQ(1u, person.Seen().size());
    EXPECT_EQ(InvalidDirectoryText(missing), person.Seen()[0].text);
    EXPECT_EQ(kPluginCaption, person.Seen()[0].caption);
    EXPECT_EQ(sheet->Item(IDC_TICKET_DIR), GetFocus());
}

// The page's refresh interval once it is shown.
constexpr DWORD kTickMs = 700;
// Some folders never report a change: the page walks them at least this
// often all the same.
constexpr DWORD kWalkAtLeastEveryMs = 10000;
// A change shows within this many ticks.
constexpr int kTicksToShowAChange = 2;

// The page's refresh timer driven tick by tick with its own WM_TIMER
// message, spaced as the timer spaces them, with no other message between.
class FolderWatchTest : public TicketListTest {
  protected:
    // One tick of the page's refresh timer, a timer interval after the last.
    static void Tick(PageSheet& sheet) {
        Sleep(kTickMs);
        SendMessageW(sheet.Page(), WM_TIMER, IDT_TICKET_REFRESH, 0);
    }
    static void Ticks(PageSheet& sheet, int count) {
        for (int i = 0; i < count; ++i) {
            Tick(sheet);
        }
    }
    // The directory typed into its field, as a person does it.
    static void TypeDirectory(PageSheet& sheet, const std::wstring& directory) {
        sheet.Notify(IDC_TICKET_DIR, EN_SETFOCUS);
        SetDlgItemTextW(sheet.Page(), IDC_TICKET_DIR, directory.c_str());
        sheet.Notify(IDC_TICKET_DIR, EN_KILLFOCUS);
    }
    static std::wstring SelectedEntry(PageSheet& sheet) {
        const int selection = sheet.Selection(kList);
        const Entries entries = sheet.EntriesOf(kList);
        return selection >= 0 && selection < static_cast<int>(entries.size()) ? entries[selection]
                                                                              : L"(none)";
    }
};

TEST_F(FolderWatchTest, ListFollowsTheFolderWhileThePageIsOpen) {
    folder.Touch(L"A.jdf");
    folder.Touch(L"B.jdf");
    TempFolder other(L"other tickets");
    other.Touch(L"W.jdf");
    // A folder that does not exist yet when its name is typed.
    TempFolder later(L"later tickets");
    later.Destroy();
    auto sheet = OpenPage();
    Ticks(*sheet, kTicksToShowAChange);
    sheet->Select(kList, 2);
    ASSERT_EQ(L"B", SelectedEntry(*sheet));

    const auto rename = [this](const wchar_t* from, const wchar_t* to) {
        EXPECT_TRUE(MoveFileW(folder.File(from).c_str(), folder.File(to).c_str()));
    };
    const struct Step {
        const char* what;
        std::function<void()> change;
        Entries entries;
        const wchar_t* selected;
    } steps[] = {
        {"ticket added (sorting above \"None\")",
         [&] { folder.Touch(L"0new.jdf"); },
         {L"None", L"0new", L"A", L"B"},
         L"B"},
        {"ticket deleted", [&] { folder.Remove(L"A.jdf"); }, {L"None", L"0new", L"B"}, L"B"},
        {"ticket renamed", [&] { rename(L"0new.jdf", L"C.jdf"); }, {L"None", L"B", L"C"}, L"B"},
        {"chosen ticket renamed",
         [&] { rename(L"B.jdf", L"b2.jdf"); },
         {L"None", L"b2", L"C"},
         L"None"},
        {"another folder typed in, a ticket added to it",
         [&] {
             TypeDirectory(*sheet, other.Path());
             other.Touch(L"X.jdf");
         },
         {L"None", L"W", L"X"},
         L"None"},
        {"ticket added to the folder typed in",
         [&] { other.Touch(L"Y.jdf"); },
         {L"None", L"W", L"X", L"Y"},
         L"None"},
        {"folder typed in that does not exist",
         [&] { TypeDirectory(*sheet, later.Path()); },
         {L"None"},
         L"None"},
        {"that folder made, with a ticket",
         [&] {
             EXPECT_TRUE(CreateDirectoryW(later.Path().c_str(), nullptr));
             later.Touch(L"L.jdf");
         },
         {L"None", L"L"},
         L"None"},
        {"folder deleted", [&] { later.Destroy(); }, {L"None"}, L"None"},
        // The page must have let go of the deleted folder for its name to
        // be free again.
        {"folder made again, with a ticket",
         [&] {
             EXPECT_TRUE(CreateDirectoryW(later.Path().c_str(), nullptr)) << GetLastError();
             later.Touch(L"M.jdf");
         },
         {L"None", L"M"},
         L"None"},
    };
    for (const Step& step : steps) {
        step.change();
        Ticks(*sheet, kTicksToShowAChange);
        EXPECT_EQ(step.entries, sheet->EntriesOf(kList)) << step.what;
        EXPECT_EQ(step.selected, SelectedEntry(*sheet)) << step.what;
        EXPECT_EQ(step.selected != std::wstring(L"None"), sheet->Enabled(IDC_TICKET_EDIT))
            << step.what;
        EXPECT_EQ(step.selected != std::wstring(L"None"), sheet->Enabled(IDC_TICKET_DELETE))
            << step.what;
    }
    EXPECT_TRUE(person.Seen().empty());

    // Closed, the page no longer holds its folder: it goes at once, and its
    // name can be used again.
    sheet.reset();
    later.Remove(L"M.jdf");
    EXPECT_TRUE(RemoveDirectoryW(later.Path().c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(later.Path().c_str()));
    EXPECT_TRUE(CreateDirectoryW(later.Path().c_str(), nullptr));
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
    Tick(*sheet); // the page's first look at its folder, which it cannot watch
    CloseHandle(lock);
    folder.Touch(L"A.jdf");

    const int ticksInWalkInterval = static_cast<int>(kWalkAtLeastEveryMs / kTickMs) + 1;
    for (int tick = 0; tick < ticksInWalkInterval + kTicksToShowAChange &&
                       sheet->EntriesOf(kList) != Entries{L"None", L"A"};
         ++tick) {
        Tick(*sheet);
    }
    EXPECT_EQ((Entries{L"None", L"A"}), sheet->EntriesOf(kList));
    // That walk also watches the folder now that it can.
    folder.Touch(L"B.jdf");
    Ticks(*sheet, kTicksToShowAChange);
    EXPECT_EQ((Entries{L"None", L"A", L"B"}), sheet->EntriesOf(kList));
    EXPECT_TRUE(person.Seen().empty());
}

} // namespace
