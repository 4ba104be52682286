// The printer's own registry values and the records that name the printer:
// key names, local or connection, values of every shape another program may
// have left (the destination flush against an inaccessible page), and model
// families; then the printer events through the loaded plug-in: a printer's
// key opened to interactive users at initialisation, and the values a new
// connection gets.
#include "settings/printer_data.h"
#include "uihooks/model_class.h"
#include "core/plugin_context.h"

#include "support/guarded_buffer.h"
#include "support/plugin_fixture.h"
#include "support/spooler_printers.h"

#include <gtest/gtest.h>

#include <sddl.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

using namespace vorn;
using namespace testsupport;

namespace {

constexpr wchar_t kValue[] = L"DriverSettings";
constexpr BYTE kUntouched = 0xCC;

template <typename Printer> PluginContext ContextFor(const Printer& printer) {
    PluginContext context{};
    context.printer = printer.Handle();
    wcsncpy(context.printerName, printer.Name().c_str(), kContextPrinterNameChars - 1);
    return context;
}

std::wstring DataKeyOf(const TestPrinter& printer) {
    return LocalPrinterKeyPath(printer.Name()) + L"\\PrinterDriverData";
}

DWORD ReadDword(const PluginContext& context, int* answer) {
    DWORD value = 0, size = sizeof(value);
    *answer = ReadPrinterDataValue(kValue, &value, &context, &size);
    return value;
}

TEST(PrinterNameToKeyName, ReplacesBackslashesWithinBound) {
    wchar_t plain[] = L"Office Printer";
    EXPECT_FALSE(PrinterNameToKeyName(plain, wcslen(plain)));
    EXPECT_STREQ(L"Office Printer", plain);
    wchar_t shared[] = L"\\\\server\\queue";
    EXPECT_TRUE(PrinterNameToKeyName(shared, wcslen(shared)));
    EXPECT_STREQ(L",,server,queue", shared);
    wchar_t partly[] = L"a\\b\\c";
    EXPECT_TRUE(PrinterNameToKeyName(partly, 3)); // the bound ends just before a backslash
    EXPECT_STREQ(L"a,b\\c", partly);
}

TEST(PrinterDataValues, WritesNeedTheLocalKeyAndMakeTheConnectionsOwn) {
    TestPrinter local(L"PD Local Values", L"Vorn K340 PS");
    TestPrinter connection(L"\\\\server\\PD Conn Values", L"Vorn K310 PS",
                           PRINTER_ATTRIBUTE_NETWORK);
    RemoveKey(HKEY_CURRENT_USER, ConnectionKeyPath(connection.Name()));
    const struct {
        const TestPrinter* printer;
        bool keyMade; // the spooler made the local printer's key
        int written;
        HKEY root;
        std::wstring key;
    } rows[] = {
        {&local, false, 0, HKEY_LOCAL_MACHINE, DataKeyOf(local)},
        {&local, true, 1, HKEY_LOCAL_MACHINE, DataKeyOf(local)},
        {&connection, false, 1, HKEY_CURRENT_USER,
         ConnectionKeyPath(connection.Name()) + L"\\PrinterDriverData"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.printer->Name().c_str() << " " << row.keyMade);
        if (row.keyMade) {
            MakeKey(HKEY_LOCAL_MACHINE, row.key);
        }
        PluginContext context = ContextFor(*row.printer);
        int answer = 1;
        ReadDword(context, &answer);
        EXPECT_EQ(0, answer);
        EXPECT_EQ(row.keyMade, KeyExists(row.root, row.key)); // reading makes nothing
        DWORD value = 0x230;
        EXPECT_EQ(row.written, WritePrinterDataValue(kValue, &value, REG_DWORD, 4, &context));
        EXPECT_EQ(row.written == 1, KeyExists(row.root, row.key));
        EXPECT_EQ(row.written ? 0x230u : 0u, ReadDword(context, &answer));
        EXPECT_EQ(row.written, answer);
    }
    RemoveKey(HKEY_LOCAL_MACHINE, LocalPrinterKeyPath(local.Name()));
    RemoveKey(HKEY_CURRENT_USER, ConnectionKeyPath(connection.Name()));
}

// Stores `size` letters, with no zero anywhere to terminate them, and more
// letters behind them in memory: the registry adds a terminator to text
// whose next character is one, which would store more than the test means to.
std::vector<BYTE> StoreLetters(const std::wstring& keyPath, DWORD type, size_t size) {
    std::vector<BYTE> data(size + 4);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<BYTE>('A' + i % 26);
    }
    EXPECT_EQ(ERROR_SUCCESS, SHSetValueW(HKEY_LOCAL_MACHINE, keyPath.c_str(), kValue, type,
                                         data.data(), static_cast<DWORD>(size)));
    return data;
}

TEST(PrinterDataValues, ReadsOnlyWhatFitsAndNeverPastTheBuffer) {
    const standin::LocalPrinter printer(L"PD Hostile Values", L"Vorn K340 PS");
    PluginContext context = ContextFor(printer);
    const DWORD types[] = {REG_DWORD, REG_BINARY, REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_NONE};
    const size_t valueSizes[] = {0, 1, 2, 3, 4, 5, 7, 63, 64, 65, 255, 256, 4097, 65536};
    int cases = 0;
    for (DWORD type : types) {
        for (size_t valueSize : valueSizes) {
            const std::vector<BYTE> data = StoreLetters(printer.DataKeyPath(), type, valueSize);
            for (DWORD bufferSize = 0; bufferSize <= 70; ++bufferSize) {
                for (auto guard : {GuardedBuffer::Guard::After, GuardedBuffer::Guard::Before}) {
                    GuardedBuffer buffer(bufferSize, guard);
                    buffer.Fill(kUntouched);
                    DWORD size = bufferSize;
                    DWORD readType = 0xDEAD;
                    const int answer =
                        ReadPrinterDataValue(kValue, buffer.Data(), &context, &size, &readType);
                    SCOPED_TRACE(::testing::Message() << "type " << type << " value " << valueSize
                                                      << " buffer " << bufferSize);
                    ++cases;
                    const bool fits = valueSize <= bufferSize;
                    ASSERT_EQ(fits ? 1 : 0, answer);
                    ASSERT_EQ(valueSize, size);
                    ASSERT_EQ(type, readType);
                    const size_t copied = fits ? valueSize : 0;
                    ASSERT_EQ(0, std::memcmp(buffer.Data(), data.data(), copied));
                    for (size_t i = copied; i < bufferSize; ++i) {
                        ASSERT_EQ(kUntouched, buffer.Data()[i]) << "byte " << i;
                    }
                }
            }
        }
    }
    std::printf("[ hostile  ] %d registry value reads\n", cases);

    // A missing value, or no context or size: nothing is read or written.
    GuardedBuffer buffer(sizeof(DWORD));
    buffer.Fill(kUntouched);
    DWORD size = sizeof(DWORD);
    SHDeleteValueW(HKEY_LOCAL_MACHINE, printer.DataKeyPath().c_str(), kValue);
    EXPECT_EQ(0, ReadPrinterDataValue(kValue, buffer.Data(), &context, &size));
    EXPECT_EQ(0, ReadPrinterDataValue(kValue, buffer.Data(), nullptr, &size));
    EXPECT_EQ(0, ReadPrinterDataValue(kValue, buffer.Data(), &context, nullptr));
    EXPECT_EQ(kUntouched, buffer.Data()[0]);
}

TEST(ModelClass, TableOrderAndOverrides) {
    struct Case {
        const wchar_t* driver;
        int family;
        int index; // -1: left alone
    } cases[] = {
        {L"Vorn K335 PS", 1, 1},      {L"Vorn K355 PS", 1, 2},  {L"Vorn K340 PS", 2, 3},
        {L"Vorn K355XS PS", 2, 4},    {L"Vorn K310 PS", 3, 5},  {L"Vorn K312 PS", 3, 6},
        {L"Vorn K325 PS", 3, 7},      {L"Vorn K326 PS", 3, 8},  {L"Vorn K340/K310 PS", 3, 5},
        {L"Vorn K310/K340 PS", 3, 5}, {L"Vorn K485 PS", 0, -1}, {L"", 0, -1},
        {L"vorn k335 ps", 0, -1},
    };
    for (const Case& c : cases) {
        int index = -1;
        EXPECT_EQ(c.family, ModelClassOfDriverName(c.driver, &index)) << c.driver;
        EXPECT_EQ(c.index, index) << c.driver;
    }
}

// A value under the current user: its type and bytes, none when missing.
using Stored = std::optional<std::pair<DWORD, std::vector<BYTE>>>;
Stored ReadValue(const std::wstring& path, const wchar_t* name) {
    DWORD type = REG_NONE;
    BYTE buffer[256];
    DWORD size = sizeof(buffer);
    if (SHGetValueW(HKEY_CURRENT_USER, path.c_str(), name, &type, buffer, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::pair(type, std::vector<BYTE>(buffer, buffer + size));
}

// The access list of a key under the local machine in SDDL, empty when it
// cannot be read.
std::wstring KeyAccessList(const std::wstring& path) {
    HKEY key = nullptr;
    BYTE descriptor[1024];
    DWORD size = sizeof(descriptor);
    wchar_t* text = nullptr;
    std::wstring sddl;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, READ_CONTROL, &key) == ERROR_SUCCESS &&
        RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor, &size) == ERROR_SUCCESS &&
        ConvertSecurityDescriptorToStringSecurityDescriptorW(
            descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr)) {
        sddl = text;
        LocalFree(text);
    }
    RegCloseKey(key);
    return sddl;
}

class PrinterEventsTest : public PluginFixture {
  protected:
    void TearDown() override {
        for (const auto& [root, path] : made_) {
            RemoveKey(root, path);
        }
        PluginFixture::TearDown();
    }
    // A key the test makes or expects, removed before and after.
    void WillRemove(HKEY root, const std::wstring& path) {
        RemoveKey(root, path);
        made_.push_back({root, path});
    }
    HRESULT Event(std::wstring printerName, INT event) {
        return plugin->PrinterEvent(printerName.data(), event, 0, 0);
    }
    struct Value {
        const wchar_t* name;
        DWORD type;
        std::vector<BYTE> bytes;
    };
    const Value kValues[4] = {
        {L"PrinterCustomMediaTypes", REG_BINARY, {0x01, 0x00, 0xFF, 0x7F, 0x00, 0x00, 0x42}},
        {L"PrinterCustomMediaSizes", REG_MULTI_SZ, {'A', 0, '4', 0, 0, 0, 'B', 0, 0, 0, 0, 0}},
        {L"DriverSettings", REG_DWORD, {0x20, 0x83, 0x01, 0x00}},
        {L"SomethingElse", REG_DWORD, {1, 2, 3, 4}},
    };

  private:
    std::vector<std::pair<HKEY, std::wstring>> made_;
};

TEST_F(PrinterEventsTest, InitializeGivesTheKeyTwoEntriesUnderTheNameAsGiven) {
    const std::wstring name = L"UH Evt Init\\Tray"; // the backslash stays
    Spooler().AddPrinter(name.c_str(), L"Vorn K335 PS", 0, L"");
    const std::wstring keyPath = LocalPrinterKeyPath(L"UH Evt Init") + L"\\Tray\\PrinterDriverData";
    WillRemove(HKEY_LOCAL_MACHINE, LocalPrinterKeyPath(L"UH Evt Init"));
    WillRemove(HKEY_LOCAL_MACHINE, LocalPrinterKeyPath(name));
    MakeKey(HKEY_LOCAL_MACHINE, keyPath);
    const LONG openBefore = Spooler().OpenHandles();
    const std::wstring before = KeyAccessList(keyPath);

    EXPECT_EQ(S_OK, Event(name, PRINTER_EVENT_INITIALIZE));
    EXPECT_EQ(static_cast<DWORD>(PRINTER_ALL_ACCESS), Spooler().LastOpenAccess());
    EXPECT_EQ(openBefore, Spooler().OpenHandles()) << "printer closed again";
    const std::wstring after = KeyAccessList(keyPath);
    EXPECT_NE(before, after);
    // Exactly full control for interactive users, then for administrators,
    // not inherited.
    EXPECT_EQ(L"(A;;KA;;;IU)(A;;KA;;;BA)", after.substr(after.find(L'('))) << after;
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, LocalPrinterKeyPath(name))) << "comma form";

    // A printer that does not open, or opens without a handle, fails.
    EXPECT_EQ(E_FAIL, Event(L"UH Evt No Such Printer", PRINTER_EVENT_INITIALIZE));
    for (DWORD failure : {standin::kFailOpen, standin::kOpenGivesNoHandle}) {
        Spooler().SetFailures(name.c_str(), failure);
        EXPECT_EQ(E_FAIL, Event(name, PRINTER_EVENT_INITIALIZE)) << failure;
        EXPECT_EQ(S_OK, Event(name, PRINTER_EVENT_ADD_CONNECTION)) << failure;
    }
}

// A connection (a network printer without a key of its own here) gets exact
// copies of the values the plug-in carries that its printer holds, under its
// comma name; a network printer with its own key here, one without the
// network attribute, or one whose information cannot be read, is local and
// gets nothing. The other events change nothing for any of them.
TEST_F(PrinterEventsTest, ConnectionsGetExactCopiesLocalPrintersAndOtherEventsNothing) {
    constexpr DWORD kUnreadable = standin::kFailGetPrinter5;
    const struct {
        const wchar_t* name;
        std::initializer_list<int> held;
        DWORD attributes;
        bool keyHere, copies;
        DWORD failures = 0;
    } rows[] = {
        {L"\\\\uhsrv\\UH Evt Conn", {0, 1, 2, 3}, PRINTER_ATTRIBUTE_NETWORK, false, true},
        {L"\\\\uhsrv\\UH Evt Partial", {1}, PRINTER_ATTRIBUTE_NETWORK, false, true},
        {L"UH Evt Shared Here", {2}, PRINTER_ATTRIBUTE_NETWORK, true, false},
        {L"UH Evt Plain", {2}, 0, false, false},
        {L"\\\\uhsrv\\UH Evt Unread", {2}, PRINTER_ATTRIBUTE_NETWORK, false, false, kUnreadable},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.name);
        Spooler().AddPrinter(row.name, L"Vorn K340 PS", row.attributes, L"");
        for (int i : row.held) { // the values of kValues its printer holds
            Spooler().SetPrinterData(row.name, kValues[i].name, kValues[i].type,
                                     kValues[i].bytes.data(),
                                     static_cast<DWORD>(kValues[i].bytes.size()));
        }
        WillRemove(HKEY_CURRENT_USER, ConnectionKeyPath(row.name));
        Spooler().SetFailures(row.name, row.failures);
        if (row.keyHere) {
            WillRemove(HKEY_LOCAL_MACHINE, LocalPrinterKeyPath(row.name));
            MakeKey(HKEY_LOCAL_MACHINE, LocalPrinterKeyPath(row.name));
        }
        // A sentinel access: any open by the plug-in for another event would
        // replace it.
        HANDLE probe = nullptr;
        PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ACCESS_USE};
        ASSERT_TRUE(OpenPrinterW(const_cast<wchar_t*>(row.name), &probe, &defaults));
        ClosePrinter(probe);
        for (INT event : {0, 2 /* delete connection */, 4 /* delete */, 5, 6, 7, 99, -1}) {
            EXPECT_EQ(S_OK, Event(row.name, event)) << event;
        }
        EXPECT_EQ(static_cast<DWORD>(PRINTER_ACCESS_USE), Spooler().LastOpenAccess());
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ConnectionKeyPath(row.name)));
        const LONG openBefore = Spooler().OpenHandles();
        EXPECT_EQ(S_OK, Event(row.name, PRINTER_EVENT_ADD_CONNECTION));
        EXPECT_EQ(openBefore, Spooler().OpenHandles());
        EXPECT_EQ(row.copies, KeyExists(HKEY_CURRENT_USER, ConnectionKeyPath(row.name)));
        const std::wstring userKey = ConnectionKeyPath(row.name) + L"\\PrinterDriverData";
        for (int i = 0; i < 4; ++i) {
            const bool copied = row.copies && i < 3 &&
                                std::find(row.held.begin(), row.held.end(), i) != row.held.end();
            EXPECT_EQ(copied ? Stored({kValues[i].type, kValues[i].bytes}) : std::nullopt,
                      ReadValue(userKey, kValues[i].name))
                << kValues[i].name;
        }
    }
}

} // namespace
