// The Tickets page's list keeping up with its folder while the page is open:
// tickets added, deleted and renamed, directories typed in, the folder
// deleted and made again, and a folder the page cannot watch. The page's
// refresh timer is driven tick by tick with its own WM_TIMER message, spaced
// as the timer spaces them, with no other message run in between.
#include "ticket_sheet.h"

#include "core/names.h"
#include "resource_ids.h"
#include "tickets/tickets_page.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace vorn;
using namespace tickettest;

namespace {

using Entries = ListEntries;

// The page's refresh interval once it is shown.
constexpr DWORD kTickMs = 700;
// Some folders never report a change: the page walks them at least this
// often all the same.
constexpr DWORD kWalkAtLeastEveryMs = 10000;
// A change shows within this many ticks.
constexpr int kTicksToShowAChange = 2;

class FolderWatchTest : public TicketPageTest {
  protected:
    FolderWatchTest()
        : TicketPageTest(L"Folder Watch Printer", TicketsPageProc),
          softwarePath(HKEY_LOCAL_MACHINE, names::kTicketSoftwareKey,
                       names::kTicketSoftwarePathValue) {
        // No ticket software: the page has no library to load.
        softwarePath.Delete();
    }

    // One tick of the page's refresh timer, a timer interval after the last.
    static void Tick(const TicketSheet& sheet) {
        Sleep(kTickMs);
        SendMessageW(sheet.Page(), WM_TIMER, IDT_TICKET_REFRESH, 0);
    }
    static void Ticks(const TicketSheet& sheet, int count) {
        for (int i = 0; i < count; ++i) {
            Tick(sheet);
        }
    }
    // The directory typed into its field, as a person does it.
    static void TypeDirectory(const TicketSheet& sheet, const std::wstring& directory) {
        sheet.Notify(IDC_TICKET_DIR, EN_SETFOCUS);
        SetDlgItemTextW(sheet.Page(), IDC_TICKET_DIR, directory.c_str());
        sheet.Notify(IDC_TICKET_DIR, EN_KILLFOCUS);
    }
    static std::wstring SelectedEntry(const TicketSheet& sheet) {
        const int selection = sheet.Selection();
        const Entries entries = sheet.Entries();
        return selection >= 0 && selection < static_cast<int>(entries.size()) ? entries[selection]
                                                                              : L"(none)";
    }

    SavedValue softwarePath;
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
    sheet->Select(2);
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
        EXPECT_EQ(step.entries, sheet->Entries()) << step.what;
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
                       sheet->Entries() != Entries{L"None", L"A"};
         ++tick) {
        Tick(*sheet);
    }
    EXPECT_EQ((Entries{L"None", L"A"}), sheet->Entries());
    // That walk also watches the folder now that it can.
    folder.Touch(L"B.jdf");
    Ticks(*sheet, kTicksToShowAChange);
    EXPECT_EQ((Entries{L"None", L"A", L"B"}), sheet->Entries());
    EXPECT_TRUE(person.Seen().empty());
}

} // namespace
