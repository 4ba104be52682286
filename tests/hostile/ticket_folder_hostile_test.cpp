// Ticket folders as the file system may present them: thousands of tickets,
// names that leave no room for the ticket's path, names in other scripts and
// names that only the list box folds together, files and folders that vanish
// while the page looks at them.
#include "support/page_sheet.h"

#include "core/names.h"
#include "tickets/tickets_page.h"

#include "resource_ids.h"
#include "tickets/tickets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <set>
#include <thread>

using namespace vorn;
using namespace pagesheet;

namespace {

constexpr int kList = IDC_TICKET_LIST;

// Creates a file whatever the length of its path.
bool CreateLongFile(const std::wstring& path) {
    const HANDLE file = CreateFileW((L"\\\\?\\" + path).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file != INVALID_HANDLE_VALUE && CloseHandle(file);
}
void DeleteLongFile(const std::wstring& path) {
    DeleteFileW((L"\\\\?\\" + path).c_str());
}

// Entry 0 is "None"; the rest are the tickets, each once, in the list box's
// own order.
void ExpectWellFormed(const Entries& entries) {
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(L"None", entries[0]);
    const std::set<std::wstring> distinct(entries.begin() + 1, entries.end());
    EXPECT_EQ(entries.size() - 1, distinct.size()) << "an entry is listed twice";
    for (size_t i = 2; i < entries.size(); ++i) {
        ASSERT_NE(CSTR_GREATER_THAN,
                  CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, entries[i - 1].c_str(), -1,
                                 entries[i].c_str(), -1))
            << "out of order at " << i;
    }
}

Entries Sorted(Entries entries) {
    std::sort(entries.begin(), entries.end());
    return entries;
}

class HostileTicketFolder : public TicketsPageTest {
  protected:
    HostileTicketFolder() : TicketsPageTest(TicketsPageProc) { softwarePath.Delete(); }
    static void Refresh(PageSheet& sheet) { RefreshTicketList(sheet.Page(), PluginModule()); }
    Entries Tickets(PageSheet& sheet) const {
        const Entries entries = sheet.EntriesOf(kList);
        return Sorted(Entries(entries.begin() + 1, entries.end()));
    }
};

TEST_F(HostileTicketFolder, TenThousandTicketsAreListedAndRefreshedOnce) {
    constexpr int kTickets = 10000;
    Entries expected;
    for (int i = 0; i < kTickets; ++i) {
        wchar_t name[32];
        std::swprintf(name, 32, L"T%05d", (i * 7919) % kTickets);
        expected.push_back(name);
        folder.Touch(std::wstring(name) + L".jdf");
    }
    auto sheet = OpenPage();
    Entries entries = sheet->EntriesOf(kList);
    ASSERT_EQ(static_cast<size_t>(kTickets + 1), entries.size());
    ExpectWellFormed(entries);
    EXPECT_EQ(Sorted(expected), Tickets(*sheet));

    // Refreshes of an unchanged folder leave the list exactly as it is.
    sheet->Select(kList, kTickets / 2);
    Refresh(*sheet);
    Refresh(*sheet);
    EXPECT_EQ(entries, sheet->EntriesOf(kList));
    EXPECT_EQ(kTickets / 2, sheet->Selection(kList));

    // Every third ticket goes, a thousand come, some sorting ahead of "None".
    int cases = 2;
    Entries now;
    for (int i = 0; i < kTickets; ++i) {
        if (i % 3 == 0) {
            folder.Remove(expected[i] + L".jdf");
        } else {
            now.push_back(expected[i]);
        }
    }
    for (int i = 0; i < 1000; ++i) {
        const std::wstring name = (i % 2 ? L"0new " : L"zz ") + std::to_wstring(i);
        folder.Touch(name + L".jdf");
        now.push_back(name);
    }
    Refresh(*sheet);
    ++cases;
    entries = sheet->EntriesOf(kList);
    ExpectWellFormed(entries);
    EXPECT_EQ(Sorted(now), Tickets(*sheet));
    Refresh(*sheet);
    ++cases;
    EXPECT_EQ(entries, sheet->EntriesOf(kList));
    std::printf("[ hostile  ] %d refreshes of a folder of %d tickets\n", cases, kTickets);
}

TEST_F(HostileTicketFolder, NamesThatLeaveNoRoomForTheTicketPathAreNotListed) {
    // A folder whose path leaves room for names of exactly 14 characters.
    const std::wstring base = folder.Path() + L"\\";
    const size_t kDirectoryLength = 240;
    ASSERT_LT(base.size() + 2, kDirectoryLength);
    const std::wstring directory = base + std::wstring(kDirectoryLength - base.size(), L'd');
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + directory).c_str(), nullptr));
    // directory, "\", name and ".jdf" in 259 characters
    const std::wstring fits(MAX_PATH - 1 - kDirectoryLength - 1 - 4, L'f');
    const std::wstring tooLong(15, L'g');
    const std::wstring farTooLong(250, L'h');
    for (const std::wstring& name : {fits, tooLong, farTooLong, std::wstring(L"s")}) {
        ASSERT_TRUE(CreateLongFile(directory + L"\\" + name + L".jdf")) << name.size();
    }
    printer.SetString(names::kCurrentTicketsDir, directory);

    auto sheet = OpenPage();
    EXPECT_EQ(directory, sheet->Text(IDC_TICKET_DIR));
    const Entries listed{L"None", fits, L"s"};
    EXPECT_EQ(listed, sheet->EntriesOf(kList));
    Refresh(*sheet);
    Refresh(*sheet);
    EXPECT_EQ(listed, sheet->EntriesOf(kList));

    // The longest ticket that fits is written whole.
    sheet->Select(kList, 1);
    EXPECT_EQ(0, Leave(*sheet));
    EXPECT_EQ(directory + L"\\" + fits + L".jdf", printer.Devmode().ticketPath);
    EXPECT_EQ(MAX_PATH - 1u, std::wstring(printer.Devmode().ticketPath).size());

    // Names too long to be a ticket here, arriving later, stay out too.
    ASSERT_TRUE(CreateLongFile(directory + L"\\" + std::wstring(200, L'i') + L".jdf"));
    Refresh(*sheet);
    EXPECT_EQ(listed, sheet->EntriesOf(kList));

    // The directory text changed to a longer folder before any refresh: the
    // selected ticket can no longer be named whole. The page says so and
    // stays, rather than write a path cut short or silently drop the choice.
    const std::wstring longest = base + std::wstring(MAX_PATH - 5 - base.size(), L'e');
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + longest).c_str(), nullptr));
    ASSERT_TRUE(CreateLongFile(longest + L"\\" + L"a.jdf"));
    SetDlgItemTextW(sheet->Page(), IDC_TICKET_DIR, longest.c_str());
    EXPECT_EQ(1, sheet->Selection(kList));
    EXPECT_TRUE(person.Seen().empty());
    EXPECT_EQ(1, Leave(*sheet));
    EXPECT_EQ(directory + L"\\" + fits + L".jdf", printer.Devmode().ticketPath);
    ASSERT_EQ(1u, person.Seen().size());
    EXPECT_EQ(InvalidDirectoryText(longest), person.Seen()[0].text);
    // Its search pattern would not fit either: it lists nothing.
    Refresh(*sheet);
    EXPECT_EQ((Entries{L"None"}), sheet->EntriesOf(kList));

    for (const std::wstring& name :
         {fits, tooLong, farTooLong, std::wstring(L"s"), std::wstring(200, L'i')}) {
        DeleteLongFile(directory + L"\\" + name + L".jdf");
    }
    DeleteLongFile(longest + L"\\a.jdf");
    RemoveDirectoryW((L"\\\\?\\" + longest).c_str());
    RemoveDirectoryW((L"\\\\?\\" + directory).c_str());
}

TEST_F(HostileTicketFolder, OtherScriptsAndFoldedNamesStayOnePerFile) {
    // Pairs that differ in bytes but that a case-insensitive, linguistic
    // comparison may take as one name.
    const Entries names{
        L"\x0395\x03B9\x03C3\x03B9\x03C4\x03AE\x03C1\x03B9\x03BF", // Greek
        L"\x0411\x0438\x043B\x0435\x0442",                         // Cyrillic
        L"\x7968\x636E",                                           // CJK
        L"Cafe\x0301",                                             // combining acute
        L"Caf\x00E9",                                              // precomposed
        L"Stra\x00DF"
        L"e",
        L"STRASSE",
        L"\xFB01le", // ligature fi
        L"file",
        L"None.x",
    };
    for (const std::wstring& name : names) {
        folder.Touch(name + L".jdf");
    }
    // A folder named like a ticket is not one.
    ASSERT_TRUE(CreateDirectoryW(folder.File(L"Folder.jdf").c_str(), nullptr));
    const Entries onDisk = Sorted(folder.TicketNames());
    ASSERT_EQ(names.size(), onDisk.size()) << "the file system merged two names";

    auto sheet = OpenPage();
    const Entries first = sheet->EntriesOf(kList);
    ExpectWellFormed(first);
    EXPECT_EQ(onDisk, Tickets(*sheet));
    for (int i = 0; i < 3; ++i) {
        Refresh(*sheet);
        EXPECT_EQ(first, sheet->EntriesOf(kList)) << "refresh " << i;
    }

    // Each entry leads to its own file.
    int cases = 0;
    for (size_t index = 1; index < first.size(); ++index) {
        sheet->Select(kList, static_cast<int>(index));
        ASSERT_EQ(0, Leave(*sheet));
        EXPECT_EQ(AbsolutePath(folder.Path()) + L"\\" + first[index] + L".jdf",
                  printer.Devmode().ticketPath);
        ++cases;
    }

    // One of a folded pair goes: only its entry goes with it; files of the
    // same names arriving again come back once.
    folder.Remove(L"STRASSE.jdf");
    folder.Remove(L"Caf\x00E9.jdf");
    Refresh(*sheet);
    Entries remaining = onDisk;
    remaining.erase(std::find(remaining.begin(), remaining.end(), L"STRASSE"));
    remaining.erase(std::find(remaining.begin(), remaining.end(), L"Caf\x00E9"));
    EXPECT_EQ(remaining, Tickets(*sheet));
    sheet->Select(kList, 0);
    folder.Touch(L"STRASSE.jdf");
    folder.Touch(L"Caf\x00E9.jdf");
    Refresh(*sheet);
    EXPECT_EQ(0, sheet->Selection(kList)) << "the selected \"None\" lost its selection";
    Refresh(*sheet);
    ExpectWellFormed(sheet->EntriesOf(kList));
    EXPECT_EQ(onDisk, Tickets(*sheet));
    EXPECT_TRUE(person.Seen().empty());
    RemoveDirectoryW(folder.File(L"Folder.jdf").c_str());
    std::printf("[ hostile  ] %zu names in other scripts or folded, %d commits\n", names.size(),
                cases);
}

TEST_F(HostileTicketFolder, FilesVanishingDuringRefreshesNeverCorruptTheList) {
    constexpr int kNames = 300;
    for (int i = 0; i < kNames; ++i) {
        folder.Touch(L"v" + std::to_wstring(i) + L".jdf");
    }
    auto sheet = OpenPage();
    ASSERT_EQ(static_cast<size_t>(kNames + 1), sheet->EntriesOf(kList).size());

    // Another thread deletes and recreates tickets while the page refreshes.
    std::atomic<bool> stop{false};
    std::thread churn([&] {
        for (int round = 0; !stop; ++round) {
            for (int i = round % 3; i < kNames && !stop; i += 3) {
                const std::wstring name = folder.File(L"v" + std::to_wstring(i) + L".jdf");
                if (round % 2) {
                    DeleteFileW(name.c_str());
                } else {
                    CloseHandle(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
                }
                // (a pause, so that the page's thread gets its turn)
                Sleep(1);
            }
        }
    });
    int refreshes = 0;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 4000) {
        sheet->Select(kList, 1 + refreshes % 50);
        Refresh(*sheet);
        ++refreshes;
        const Entries entries = sheet->EntriesOf(kList);
        ExpectWellFormed(entries);
        EXPECT_LE(entries.size(), static_cast<size_t>(kNames + 1));
        EXPECT_NE(LB_ERR, sheet->Selection(kList));
        if (HasFailure()) {
            break;
        }
    }
    stop = true;
    churn.join();

    // Once the folder is still, one refresh brings the list in line with it.
    Refresh(*sheet);
    EXPECT_EQ(Sorted(folder.TicketNames()), Tickets(*sheet));
    EXPECT_TRUE(person.Seen().empty());
    std::printf("[ hostile  ] %d refreshes while files vanished\n", refreshes);
}

TEST_F(HostileTicketFolder, FolderDeletedUnderThePageLeavesItUsable) {
    folder.Touch(L"A.jdf");
    folder.Touch(L"B.jdf");
    TempFolder next(L"next tickets");
    next.Touch(L"N.jdf");
    auto sheet = OpenPage();
    sheet->Select(kList, 2);
    folder.Destroy();

    // The page's own refresh timer notices it: "None" alone, and no message
    // however often the timer runs.
    ASSERT_TRUE(PumpUntil([&] { return sheet->EntriesOf(kList).size() == 1; }, 5000));
    Pump(1600);
    EXPECT_EQ((Entries{L"None"}), sheet->EntriesOf(kList));
    EXPECT_EQ(0, sheet->Selection(kList));
    EXPECT_FALSE(sheet->Enabled(IDC_TICKET_EDIT));
    EXPECT_TRUE(person.Seen().empty());

    // Leaving is refused once, with the one message.
    EXPECT_EQ(1, Leave(*sheet));
    Pump(200);
    ASSERT_EQ(1u, person.Seen().size());
    EXPECT_EQ(L"The directory '" + AbsolutePath(folder.Path()) +
                  L"' is invalid. Please enter a valid directory.",
              person.Seen()[0].text);

    // Another folder typed in takes over.
    sheet->Notify(IDC_TICKET_DIR, EN_SETFOCUS);
    SetDlgItemTextW(sheet->Page(), IDC_TICKET_DIR, next.Path().c_str());
    sheet->Notify(IDC_TICKET_DIR, EN_KILLFOCUS);
    EXPECT_EQ((Entries{L"None", L"N"}), sheet->EntriesOf(kList));
    sheet->Select(kList, 1);
    EXPECT_EQ(0, Leave(*sheet));
    // (the folder typed in is kept with a final backslash)
    EXPECT_EQ(AbsolutePath(next.Path()) + L"\\N.jdf", AbsolutePath(printer.Devmode().ticketPath));
    EXPECT_EQ(1u, person.Seen().size()) << person.Seen().back().text;
}

} // namespace
