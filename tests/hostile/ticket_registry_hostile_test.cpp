// The registry values the ticket page reads, in every shape another program
// may leave them: missing, empty, of another type, without a terminator, far
// longer than the buffer. Each read goes into a buffer flush against an
// inaccessible page; only a well-formed value counts as read.
#include "support/page_sheet.h"

#include "core/names.h"
#include "tickets/tickets_page.h"

#include "support/guarded_buffer.h"
#include "plugin_host.h"
#include "resource_ids.h"
#include "tickets/tickets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace vorn;
using namespace pagesheet;
using testsupport::GuardedBuffer;

namespace {

constexpr int kList = IDC_TICKET_LIST;
using PathBuffer = wchar_t[kTicketPathBufferChars];

PathBuffer& AsPath(GuardedBuffer& buffer) {
    return *reinterpret_cast<PathBuffer*>(buffer.Data());
}

bool IsEmpty(const GuardedBuffer& buffer) {
    return std::all_of(buffer.Data(), buffer.Data() + buffer.Size(), [](BYTE b) { return !b; });
}

// A value's shape: its type and bytes.
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

// Where a value lives: how to store bytes in it, and how to remove it.
struct Place {
    std::function<void(DWORD, const void*, DWORD)> set;
    std::function<void()> remove;
};

class HostileTicketRegistry : public TicketsPageTest {
  protected:
    HostileTicketRegistry() : TicketsPageTest(TicketsPageProc) {
        folder.Touch(L"vornjtwxp.exe");
        folder.Touch(L"T.jdf");
    }
    Place InPrinter(const wchar_t* name) {
        return {[this, name](DWORD type, const void* data, DWORD size) {
                    printer.SetValue(name, type, data, size);
                },
                [this, name] { printer.DeleteValue(name); }};
    }
    static Place In(const SavedValue& value) {
        return {
            [&value](DWORD type, const void* data, DWORD size) { value.SetRaw(type, data, size); },
            [&value] { value.Delete(); }};
    }
    // Leaves the shape in a value: stored with letters after its bytes, so
    // that the registry cannot see a terminator that is not part of it.
    static void Leave(const Shape& shape, const Place& place) {
        if (shape.missing) {
            place.remove();
            return;
        }
        std::vector<BYTE> padded = shape.bytes;
        padded.insert(padded.end(), 4, 'z');
        place.set(shape.type, padded.data(), static_cast<DWORD>(shape.bytes.size()));
    }
};

TEST_F(HostileTicketRegistry, TextValuesAreReadWholeOrNotAtAll) {
    const std::wstring path = folder.Path();
    const std::wstring ticket = folder.File(L"T.jdf");
    // One reader per value: its good content, its buffer, where it lives,
    // and the read (true when it counted as read).
    struct Reader {
        const char* value;
        std::wstring good;
        size_t bufferChars;
        Place place;
        std::function<bool(GuardedBuffer&)> read;
    };
    const Reader readers[] = {
        {"CurrentTicketsDir", path, kTicketPathBufferChars, InPrinter(names::kCurrentTicketsDir),
         [&](GuardedBuffer& out) {
             return ReadTicketsDirectory(&printer.Context(), AsPath(out)) == 1;
         }},
        {"Tickets", path, kTicketPathBufferChars, In(editorDefault),
         [&](GuardedBuffer& out) { return ReadDefaultTicketsDirectory(AsPath(out)) == 1; }},
        // (the editor folder is read into 256 characters)
        {"Path", path, 256, In(softwarePath),
         [&](GuardedBuffer& out) {
             const int found = FindTicketEditor(AsPath(out));
             EXPECT_NE(kEditorMissing, found);
             return found == kEditorFound;
         }},
        {"SelectedTicket", ticket, kTicketPathBufferChars, InPrinter(names::kSelectedTicket),
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
    printer.SetValue(names::kEditorExitCode, REG_DWORD, &zero, sizeof(zero));
    int cases = 0;
    for (const Reader& reader : readers) {
        SCOPED_TRACE(reader.value);
        // The good value is read.
        Leave({"good", REG_SZ, Text(reader.good)}, reader.place);
        {
            GuardedBuffer out(kTicketPathBufferChars * sizeof(wchar_t));
            out.Fill(0xCC);
            EXPECT_TRUE(reader.read(out));
            ++cases;
        }
        for (const Shape& shape : MalformedText(reader.good, reader.bufferChars)) {
            SCOPED_TRACE(shape.what);
            Leave(shape, reader.place);
            for (auto guard : {GuardedBuffer::Guard::After, GuardedBuffer::Guard::Before}) {
                GuardedBuffer out(kTicketPathBufferChars * sizeof(wchar_t), guard);
                out.Fill(0xCC);
                EXPECT_FALSE(reader.read(out));
                if (std::string(reader.value) != "SelectedTicket") {
                    EXPECT_TRUE(IsEmpty(out));
                }
                ++cases;
            }
        }
    }
    std::printf("[ hostile  ] %d reads of ticket registry values\n", cases);
}

TEST_F(HostileTicketRegistry, ExitCodeIsFourBytesOrUnreadable) {
    printer.DeleteValue(names::kSelectedTicket);
    const DWORD seven = 7;
    const ULONGLONG wide = 7;
    const struct {
        const char* what;
        DWORD type;
        const void* data;
        DWORD size;
        int result;
    } cases[] = {
        {"a number", REG_DWORD, &seven, 4, kResultRead},
        {"four bytes", REG_BINARY, &seven, 4, kResultRead},
        {"no bytes", REG_DWORD, &seven, 0, kResultUnreadable},
        {"one byte", REG_BINARY, &seven, 1, kResultUnreadable},
        {"two bytes", REG_BINARY, &seven, 2, kResultUnreadable},
        {"eight bytes", REG_QWORD, &wide, 8, kResultUnreadable},
        {"empty text", REG_SZ, L"", 2, kResultUnreadable},
        {"text of four bytes", REG_SZ, L"7", 4, kResultUnreadable},
        {"big-endian number", REG_DWORD_BIG_ENDIAN, &seven, 4, kResultUnreadable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        printer.SetValue(names::kEditorExitCode, c.type, c.data, c.size);
        GuardedBuffer folderOut(kTicketPathBufferChars * sizeof(wchar_t));
        GuardedBuffer nameOut(kTicketPathBufferChars * sizeof(wchar_t));
        DWORD exitCode = 1;
        EXPECT_EQ(c.result, ReadEditorResult(printer.Context().printerName, AsPath(folderOut),
                                             AsPath(nameOut), &exitCode, &printer.Context()));
        EXPECT_EQ(c.result == kResultRead ? 7u : 1u, exitCode);
    }
    std::printf("[ hostile  ] %zu exit code shapes\n", sizeof(cases) / sizeof(cases[0]));
}

TEST_F(HostileTicketRegistry, MalformedEditorFolderLeavesTheLibraryUnloadedAndNewRefused) {
    CopyFileW((standin::ProgramFolder() + L"vornjtwxp.dll").c_str(),
              folder.File(L"vornjtwxp.dll").c_str(), FALSE);
    printer.SetString(names::kCurrentTicketsDir, folder.Path());
    editorDefault.Delete();
    const Place path = In(softwarePath);
    // The page loads the library from a well-formed folder.
    Leave({"good", REG_SZ, Text(folder.Path())}, path);
    {
        PageSheet sheet(IDD_TICKETS, TicketsPageProc, &printer.Context());
        ASSERT_TRUE(sheet.Opened());
        EXPECT_NE(nullptr, GetModuleHandleW(folder.File(L"vornjtwxp.dll").c_str()));
    }
    // The page's end gave its library back.
    EXPECT_EQ(nullptr, GetModuleHandleW(L"vornjtwxp.dll"));
    int cases = 0;
    for (const Shape& shape : MalformedText(folder.Path(), kTicketPathBufferChars - 1)) {
        SCOPED_TRACE(shape.what);
        Leave(shape, path);
        person.Clear();
        PageSheet sheet(IDD_TICKETS, TicketsPageProc, &printer.Context());
        ASSERT_TRUE(sheet.Opened());
        EXPECT_EQ(nullptr, GetModuleHandleW(L"vornjtwxp.dll"));
        // New: no library, the one message; Edit: no editor found, silence.
        sheet.Notify(IDC_TICKET_NEW, BN_CLICKED);
        sheet.Select(kList, 1);
        sheet.Notify(IDC_TICKET_EDIT, BN_CLICKED);
        Pump(100);
        ASSERT_EQ(1u, person.Seen().size());
        EXPECT_EQ(L"Unable to create a new ticket.", person.Seen()[0].text);
        EXPECT_EQ((Entries{L"None", L"T"}), sheet.EntriesOf(kList));
        ++cases;
    }
    std::printf("[ hostile  ] %d malformed editor folders at the page's start\n", cases);
}

} // namespace
