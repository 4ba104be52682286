// Registry values as another program may have left them: missing, empty, of
// another type, without a terminator, far longer than the caller's buffer.
// The destination sits flush against an inaccessible page.
#include <windows.h>
#include <winspool.h>

#include "support/guarded_buffer.h"
#include "support/spooler_printers.h"

#include "settings/printer_data.h"
#include "core/plugin_context.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

using namespace testsupport;

constexpr wchar_t kValue[] = L"DriverSettings";
constexpr BYTE kUntouched = 0xCC;

vorn::PluginContext ContextOf(const TestPrinter& printer) {
    vorn::PluginContext context{};
    context.printer = printer.Handle();
    std::wcsncpy(context.printerName, printer.Name().c_str(), vorn::kContextPrinterNameChars - 1);
    return context;
}

class HostileRegistryValues : public ::testing::Test {
  protected:
    void SetUp() override { MakeKey(HKEY_LOCAL_MACHINE, DataKeyPath()); }
    void TearDown() override { RemoveKey(HKEY_LOCAL_MACHINE, LocalPrinterKeyPath(printer.Name())); }

    std::wstring DataKeyPath() const {
        return LocalPrinterKeyPath(printer.Name()) + L"\\PrinterDriverData";
    }
    // Stores the value, or removes it when there is no data.
    void Store(DWORD type, const std::vector<BYTE>* data) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegOpenKeyExW(HKEY_LOCAL_MACHINE, DataKeyPath().c_str(), 0, KEY_SET_VALUE, &key));
        if (!data) {
            RegDeleteValueW(key, kValue);
            RegCloseKey(key);
            return;
        }
        // Letters follow the value's bytes in memory: the registry adds a
        // terminator to text whose next character is one, which would
        // store more than the test means to.
        std::vector<BYTE> padded = *data;
        padded.insert(padded.end(), 4, 'z');
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(key, kValue, 0, type, padded.data(),
                                                static_cast<DWORD>(data->size())));
        RegCloseKey(key);
    }

    TestPrinter printer{L"Hostile Registry Printer", L"Vorn K340 PS"};
    vorn::PluginContext context = ContextOf(printer);
};

// Text-like bytes with no zero anywhere: nothing terminates it.
std::vector<BYTE> Unterminated(size_t size) {
    std::vector<BYTE> data(size);
    for (size_t i = 0; i < size; ++i) {
        data[i] = static_cast<BYTE>('A' + i % 26);
    }
    return data;
}

TEST_F(HostileRegistryValues, ReadsOnlyWhatFitsAndNeverPastTheBuffer) {
    const DWORD types[] = {REG_DWORD, REG_BINARY, REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_NONE};
    const size_t valueSizes[] = {0, 1, 2, 3, 4, 5, 7, 63, 64, 65, 255, 256, 4097, 65536};
    int cases = 0;
    for (DWORD type : types) {
        for (size_t valueSize : valueSizes) {
            const std::vector<BYTE> data = Unterminated(valueSize);
            Store(type, &data);
            for (DWORD bufferSize = 0; bufferSize <= 70; ++bufferSize) {
                for (auto guard : {GuardedBuffer::Guard::After, GuardedBuffer::Guard::Before}) {
                    GuardedBuffer buffer(bufferSize, guard);
                    buffer.Fill(kUntouched);
                    DWORD size = bufferSize;
                    DWORD readType = 0xDEAD;
                    const int answer = vorn::ReadPrinterDataValue(kValue, buffer.Data(), &context,
                                                                  &size, &readType);
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
}

TEST_F(HostileRegistryValues, MissingValueKeyOrConnectionAnswersZeroAndCreatesNothing) {
    GuardedBuffer buffer(sizeof(DWORD));
    buffer.Fill(kUntouched);
    DWORD size = sizeof(DWORD);
    Store(REG_NONE, nullptr);
    EXPECT_EQ(0, vorn::ReadPrinterDataValue(kValue, buffer.Data(), &context, &size));
    EXPECT_EQ(kUntouched, buffer.Data()[0]);

    RemoveKey(HKEY_LOCAL_MACHINE, LocalPrinterKeyPath(printer.Name()));
    size = sizeof(DWORD);
    EXPECT_EQ(0, vorn::ReadPrinterDataValue(kValue, buffer.Data(), &context, &size));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, LocalPrinterKeyPath(printer.Name())));

    TestPrinter connection(L"\\\\far\\Hostile Registry Conn", L"Vorn K340 PS",
                           PRINTER_ATTRIBUTE_NETWORK);
    vorn::PluginContext remote = ContextOf(connection);
    size = sizeof(DWORD);
    EXPECT_EQ(0, vorn::ReadPrinterDataValue(kValue, buffer.Data(), &remote, &size));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ConnectionKeyPath(connection.Name())));
    EXPECT_EQ(kUntouched, buffer.Data()[3]);

    // No context or no size: nothing is read, nothing written.
    EXPECT_EQ(0, vorn::ReadPrinterDataValue(kValue, buffer.Data(), nullptr, &size));
    EXPECT_EQ(0, vorn::ReadPrinterDataValue(kValue, buffer.Data(), &context, nullptr));
}

} // namespace
