// The printer's own registry values and the records that name the printer:
// key names, local or connection, values of every shape another program may
// have left (the destination flush against an inaccessible page), and model
// families. (What a context holds is checked through CommonUIProp.)
#include "settings/printer_data.h"
#include "uihooks/model_class.h"
#include "core/plugin_context.h"

#include "support/guarded_buffer.h"
#include "support/spooler_printers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

using namespace vorn;
using namespace testsupport;

namespace {

constexpr wchar_t kValue[] = L"DriverSettings";
constexpr BYTE kUntouched = 0xCC;

PluginContext ContextFor(const TestPrinter& printer) {
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

// Printer information that cannot be read counts as local. (Which printers
// are local otherwise shows in where the writes below go and which printers
// a new connection's values are copied for.)
TEST(IsLocalPrinter, UnreadablePrinterInformationCountsAsLocal) {
    TestPrinter connection(L"\\\\srv\\PD Conn", L"Vorn K335 PS", PRINTER_ATTRIBUTE_NETWORK);
    PluginContext context = ContextFor(connection);
    EXPECT_EQ(0, IsLocalPrinter(&context, nullptr));
    Spooler().SetFailures(connection.Name().c_str(), standin::kFailGetPrinter5);
    EXPECT_EQ(1, IsLocalPrinter(&context, nullptr));
    Spooler().SetFailures(connection.Name().c_str(), 0);
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
    TestPrinter printer(L"PD Hostile Values", L"Vorn K340 PS");
    MakeKey(HKEY_LOCAL_MACHINE, DataKeyOf(printer));
    PluginContext context = ContextFor(printer);
    const DWORD types[] = {REG_DWORD, REG_BINARY, REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_NONE};
    const size_t valueSizes[] = {0, 1, 2, 3, 4, 5, 7, 63, 64, 65, 255, 256, 4097, 65536};
    int cases = 0;
    for (DWORD type : types) {
        for (size_t valueSize : valueSizes) {
            const std::vector<BYTE> data = StoreLetters(DataKeyOf(printer), type, valueSize);
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
                    // What fits is copied exactly; a value that does not fit
                    // leaves the buffer as it was.
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
    SHDeleteValueW(HKEY_LOCAL_MACHINE, DataKeyOf(printer).c_str(), kValue);
    EXPECT_EQ(0, ReadPrinterDataValue(kValue, buffer.Data(), &context, &size));
    EXPECT_EQ(0, ReadPrinterDataValue(kValue, buffer.Data(), nullptr, &size));
    EXPECT_EQ(0, ReadPrinterDataValue(kValue, buffer.Data(), &context, nullptr));
    EXPECT_EQ(kUntouched, buffer.Data()[0]);
    RemoveKey(HKEY_LOCAL_MACHINE, LocalPrinterKeyPath(printer.Name()));
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
    TestPrinter printer(L"PD Model", L"Vorn K355XS PS");
    int index = -1;
    EXPECT_EQ(2, GetModelClass(printer.Handle(), &index));
    EXPECT_EQ(4, index);
    Spooler().SetFailures(printer.Name().c_str(), standin::kFailGetPrinter2);
    index = -1;
    EXPECT_EQ(0, GetModelClass(printer.Handle(), &index));
    EXPECT_EQ(-1, index);
}

} // namespace
