// Hostile input to the Tickets page. Ticket folders as the file system may
// present them: thousands of tickets, names that leave no room for the
// ticket's path, files that vanish while the page looks at them. Then the
// registry values the page reads, in every shape another program may leave
// them, each read into a buffer flush against an inaccessible page.
#include "support/page_sheet.h"

#include "core/names.h"
#include "resource_ids.h"
#include "support/guarded_buffer.h"
#include "tickets/tickets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <set>
#include <thread>

using namespace vorn;
using namespace pagesheet;
using testsupport::GuardedBuffer;

namespace {

constexpr int kList = IDC_TICKET_LIST;

// Creates a file whatever the length of its path.
bool CreateLongFile(const std::wstring& path) {
    const HANDLE file = CreateFileW((L"\\\\?\\" + path).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file != INVALID_HANDLE_VALUE && CloseHandle(file);
}

// What the page's list must show for these tickets, handed in this order.
Entries Listed(const PageSheet& sheet, const Entries& tickets) {
    const ListBoxOracle oracle(sheet.Item(kList));
    oracle.Add(tickets);
    return oracle.WithNone();
}

// Entry 0 is "None"; the rest are the tickets, each once, in the list box's
// own order.
void ExpectWellFormed(const PageSheet& sheet, const Entries& entries) {
    ASSERT_FALSE(entries.empty());
    const Entries tickets(entries.begin() + 1, entries.end());
    EXPECT_EQ(Listed(sheet, tickets), entries);
    EXPECT_EQ(tickets.size(), std::set<std::wstring>(tickets.begin(), tickets.end()).size())
        << "an entry is listed twice";
}

class HostileTicketFolder : public TicketsPageTest {};

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
    const Entries entries = sheet->EntriesOf(kList);
    EXPECT_EQ(Listed(*sheet, expected), entries);

    // Refreshes of an unchanged folder leave the list exactly as it is.
    sheet->Select(kList, kTickets / 2);
    Refresh(*sheet);
    Refresh(*sheet);
    EXPECT_EQ(entries, sheet->EntriesOf(kList));
    EXPECT_EQ(kTickets / 2, sheet->Selection(kList));

    // Every third ticket goes, a thousand come, some sorting ahead of "None".
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
    EXPECT_EQ(Listed(*sheet, now), sheet->EntriesOf(kList));
    Refresh(*sheet);
    EXPECT_EQ(Listed(*sheet, now), sheet->EntriesOf(kList));
    // The folder gone for a moment (unplugged, its share down), then back.
    SetDlgItemTextW(sheet->Page(), IDC_TICKET_DIR, folder.File(L"gone").c_str());
    Refresh(*sheet);
    EXPECT_EQ((Entries{L"None"}), sheet->EntriesOf(kList));
    SetDlgItemTextW(sheet->Page(), IDC_TICKET_DIR, folder.Path().c_str());
    Refresh(*sheet);
    EXPECT_EQ(Listed(*sheet, now), sheet->EntriesOf(kList));
    std::printf("[ hostile  ] 6 refreshes of a folder of %d tickets\n", kTickets);
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
    savedDirectory.SetString(directory);

    auto sheet = OpenPage();
    EXPECT_EQ(directory, sheet->Text(IDC_TICKET_DIR));
    const Entries listed{L"None", fits, L"s"};
    EXPECT_EQ(listed, sheet->EntriesOf(kList));

    // The longest ticket that fits is written whole.
    sheet->Select(kList, 1);
    EXPECT_EQ(0, Leave(*sheet));
    EXPECT_EQ(directory + L"\\" + fits + L".jdf", printer.Devmode().ticketPath);

    // A refresh leaves out the names too long to be a ticket here, new ones too.
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
    EXPECT_EQ(Entries{InvalidDirectoryText(longest)}, person.Texts());
    // Its search pattern would not fit either: it lists nothing.
    Refresh(*sheet);
    EXPECT_EQ((Entries{L"None"}), sheet->EntriesOf(kList));
}

TEST_F(HostileTicketFolder, FilesVanishingDuringRefreshesNeverCorruptTheList) {
    constexpr int kNames = 300;
    for (int i = 0; i < kNames; ++i) {
        folder.Touch(L"v" + std::to_wstring(i) + L".jdf");
    }
    auto sheet = OpenPage();
    ASSERT_EQ(Listed(*sheet, TicketNames(folder)), sheet->EntriesOf(kList));

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
        ExpectWellFormed(*sheet, entries);
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
    EXPECT_EQ(Listed(*sheet, TicketNames(folder)), sheet->EntriesOf(kList));
    EXPECT_TRUE(person.Seen().empty());
    std::printf("[ hostile  ] %d refreshes while files vanished\n", refreshes);
}

using PathBuffer = wchar_t[kTicketPathBufferChars];

PathBuffer& AsPath(GuardedBuffer& buffer) {
    return *reinterpret_cast<PathBuffer*>(buffer.Data());
}

bool IsEmpty(const GuardedBuffer& buffer) {
    return std::all_of(buffer.Data(), buffer.Data() + buffer.Size(), [](BYTE b) { return !b; });
}

struct Shape {
    const char* what;
    DWORD type;
    std::vector<BYTE> bytes;
    bool missing = false;
};

std::vector<BYTE> Text(const std::wstring& text, bool terminated = true) {
    const size_t chars = text.size() + (terminated ? 1 : 0);
    const auto* begin = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(begin, begin + chars * sizeof(wchar_t));
}

// Every malformed shape of a text value whose buffer holds bufferChars.
std::vector<Shape> MalformedText(const std::wstring& good, size_t bufferChars) {
    const DWORD zero = 0;
    const auto* zeroBytes = reinterpret_cast<const BYTE*>(&zero);
    return {
        {"missing", REG_SZ, {}, true},
        {"no bytes", REG_SZ, {}},
        {"empty text", REG_SZ, Text(L"")},
        {"a number", REG_DWORD, std::vector<BYTE>(zeroBytes, zeroBytes + 4)},
        {"bytes", REG_BINARY, Text(good)},
        {"expandable text", REG_EXPAND_SZ, Text(good)},
        {"a text list", REG_MULTI_SZ, Text(good + std::wstring(1, L'\0'))},
        {"unterminated, filling the buffer", REG_SZ,
         Text(good + std::wstring(bufferChars - good.size(), L'u'), false)},
        {"unterminated, one past the buffer", REG_SZ,
         Text(good + std::wstring(bufferChars + 1 - good.size(), L'u'), false)},
        {"terminated, one past the buffer", REG_SZ,
         Text(good + std::wstring(bufferChars - good.size(), L'l'))},
        {"far too long", REG_SZ, Text(good + L"\\" + std::wstring(30000, L'f'))},
    };
}

class HostileTicketRegistry : public TicketsPageTest {
  protected:
    HostileTicketRegistry() {
        folder.Touch(L"vornjtwxp.exe");
        folder.Touch(L"T.jdf");
    }
    // Leaves the shape in a value: stored with letters after its bytes, so
    // that the registry cannot see a terminator that is not part of it.
    static void Leave(const Shape& shape, const RegValue& value) {
        if (shape.missing) {
            value.Delete();
            return;
        }
        std::vector<BYTE> padded = shape.bytes;
        padded.insert(padded.end(), 4, 'z');
        value.SetRaw(shape.type, padded.data(), static_cast<DWORD>(shape.bytes.size()));
    }
};

TEST_F(HostileTicketRegistry, TextValuesAreReadWholeOrNotAtAll) {
    // One reader per value: its good content, its buffer, where it lives,
    // and the read (true when it counted as read).
    struct Reader {
        const char* value;
        std::wstring good;
        size_t bufferChars;
        const RegValue& place;
        std::function<bool(GuardedBuffer&)> read;
    };
    const RegValue selected = printer.Value(names::kSelectedTicket);
    const Reader readers[] = {
        {"CurrentTicketsDir", folder.Path(), kTicketPathBufferChars, savedDirectory,
         [&](GuardedBuffer& out) {
             return ReadTicketsDirectory(&printer.Context(), AsPath(out)) == 1;
         }},
        {"Tickets", folder.Path(), kTicketPathBufferChars, editorDefault,
         [&](GuardedBuffer& out) { return ReadDefaultTicketsDirectory(AsPath(out)) == 1; }},
        // (the editor folder is read into 256 characters)
        {"Path", folder.Path(), 256, softwarePath,
         [&](GuardedBuffer& out) {
             const int found = FindTicketEditor(AsPath(out));
             EXPECT_NE(kEditorMissing, found);
             return found == kEditorFound;
         }},
        {"SelectedTicket", folder.File(L"T.jdf"), kTicketPathBufferChars, selected,
         [&](GuardedBuffer& out) {
             GuardedBuffer name(kTicketPathBufferChars * sizeof(wchar_t));
             DWORD exitCode = 5;
             const int result = ReadEditorResult(printer.Context().printerName, AsPath(out),
                                                 AsPath(name), &exitCode, &printer.Context());
             // Nothing handed back is as good as missing: the exit code is
             // still read.
             return result == kResultRead && exitCode == 0 && AsPath(out)[0] != L'\0' &&
                    std::wstring(AsPath(name)) == L"T";
         }},
    };
    const DWORD zero = 0;
    printer.Value(names::kEditorExitCode).SetRaw(REG_DWORD, &zero, sizeof(zero));
    int cases = 0;
    for (const Reader& reader : readers) {
        SCOPED_TRACE(reader.value);
        // The good value first: the only one read.
        std::vector<Shape> shapes = MalformedText(reader.good, reader.bufferChars);
        shapes.insert(shapes.begin(), {"good", REG_SZ, Text(reader.good)});
        for (const Shape& shape : shapes) {
            SCOPED_TRACE(shape.what);
            const bool good = &shape == &shapes[0];
            Leave(shape, reader.place);
            for (auto guard : {GuardedBuffer::Guard::After, GuardedBuffer::Guard::Before}) {
                GuardedBuffer out(kTicketPathBufferChars * sizeof(wchar_t), guard);
                out.Fill(0xCC);
                EXPECT_EQ(good, reader.read(out));
                if (!good && std::string(reader.value) != "SelectedTicket") {
                    EXPECT_TRUE(IsEmpty(out));
                }
                ++cases;
            }
        }
    }
    std::printf("[ hostile  ] %d reads of ticket registry values\n", cases);
}

TEST_F(HostileTicketRegistry, MalformedEditorFolderLeavesTheLibraryUnloadedAndNewRefused) {
    CopyFileW((standin::ProgramFolder() + L"vornjtwxp.dll").c_str(),
              folder.File(L"vornjtwxp.dll").c_str(), FALSE);
    // The page loads the library from a well-formed folder.
    softwarePath.SetString(folder.Path());
    {
        auto sheet = OpenPage();
        EXPECT_NE(nullptr, GetModuleHandleW(folder.File(L"vornjtwxp.dll").c_str()));
    }
    // The page's end gave its library back.
    EXPECT_EQ(nullptr, GetModuleHandleW(L"vornjtwxp.dll"));
    const std::vector<Shape> shapes = MalformedText(folder.Path(), kTicketPathBufferChars - 1);
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shape.what);
        Leave(shape, softwarePath);
        auto sheet = OpenPage();
        EXPECT_EQ(nullptr, GetModuleHandleW(L"vornjtwxp.dll"));
        // New: no library, the one message; Edit: no editor found, silence.
        sheet->Notify(IDC_TICKET_NEW, BN_CLICKED);
        sheet->Select(kList, 1);
        sheet->Notify(IDC_TICKET_EDIT, BN_CLICKED);
        Pump(100);
        EXPECT_EQ(Entries{L"Unable to create a new ticket."}, person.Texts());
        EXPECT_EQ((Entries{L"None", L"T"}), sheet->EntriesOf(kList));
    }
    std::printf("[ hostile  ] %zu malformed editor folders at the page's start\n", shapes.size());
}

} // namespace
