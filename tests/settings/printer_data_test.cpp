#include "settings/printer_data.h"
#include "uihooks/model_class.h"
#include "core/plugin_context.h"

#include "support/spooler_printers.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace vorn;
using namespace testsupport;

namespace {

PluginContext ContextFor(const TestPrinter& printer) {
    PluginContext context{};
    context.printer = printer.Handle();
    wcsncpy(context.printerName, printer.Name().c_str(), kContextPrinterNameChars - 1);
    return context;
}

DWORD ReadDword(const PluginContext& context, const wchar_t* name, int* answer) {
    DWORD value = 0, size = sizeof(value);
    *answer = ReadPrinterDataValue(name, &value, &context, &size);
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
    EXPECT_TRUE(PrinterNameToKeyName(partly, 2));
    EXPECT_STREQ(L"a,b\\c", partly);
}

TEST(IsLocalPrinter, NetworkAttributeAndOwnKeyDecide) {
    TestPrinter plain(L"PD Local Plain", L"Vorn K335 PS");
    EXPECT_EQ(1, IsLocalPrinter(nullptr, plain.Handle()));

    TestPrinter connection(L"\\\\srv\\PD Conn", L"Vorn K335 PS", PRINTER_ATTRIBUTE_NETWORK);
    PluginContext context = ContextFor(connection);
    EXPECT_EQ(0, IsLocalPrinter(&context, nullptr));
    EXPECT_EQ(0, IsLocalPrinter(nullptr, connection.Handle())); // name from the spooler

    // A network printer whose key exists under this computer's printers.
    TestPrinter shared(L"PD Shared Here", L"Vorn K335 PS", PRINTER_ATTRIBUTE_NETWORK);
    MakeKey(HKEY_LOCAL_MACHINE, LocalPrinterKeyPath(shared.Name()));
    EXPECT_EQ(1, IsLocalPrinter(nullptr, shared.Handle()));
    RemoveKey(HKEY_LOCAL_MACHINE, LocalPrinterKeyPath(shared.Name()));

    // Printer information that cannot be read counts as local.
    Spooler().SetFailures(connection.Name().c_str(), standin::kFailGetPrinter5);
    EXPECT_EQ(1, IsLocalPrinter(&context, nullptr));
    Spooler().SetFailures(connection.Name().c_str(), 0);
}

TEST(PrinterDataValues, LocalPrinterReadsAndWritesItsOwnKeyOnly) {
    TestPrinter printer(L"PD Local Values", L"Vorn K340 PS");
    PluginContext context = ContextFor(printer);
    const std::wstring keyPath = LocalPrinterKeyPath(printer.Name()) + L"\\PrinterDriverData";

    // No key yet: the write fails and makes nothing.
    DWORD value = 0x1234;
    EXPECT_EQ(0, WritePrinterDataValue(L"DriverSettings", &value, REG_DWORD, 4, &context));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, keyPath));

    MakeKey(HKEY_LOCAL_MACHINE, keyPath);
    EXPECT_EQ(1, WritePrinterDataValue(L"DriverSettings", &value, REG_DWORD, 4, &context));
    int answer = 0;
    EXPECT_EQ(0x1234u, ReadDword(context, L"DriverSettings", &answer));
    EXPECT_EQ(1, answer);

    ReadDword(context, L"NoSuchValue", &answer);
    EXPECT_EQ(0, answer);
    BYTE small[2];
    DWORD size = sizeof(small);
    EXPECT_EQ(0, ReadPrinterDataValue(L"DriverSettings", small, &context, &size));

    DWORD type = 0;
    size = sizeof(value);
    EXPECT_EQ(1, ReadPrinterDataValue(L"DriverSettings", &value, &context, &size, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    RemoveKey(HKEY_LOCAL_MACHINE, LocalPrinterKeyPath(printer.Name()));
}

TEST(PrinterDataValues, ConnectionUsesTheUsersKeyAndCreatesItOnWrite) {
    TestPrinter printer(L"\\\\server\\PD Conn Values", L"Vorn K310 PS", PRINTER_ATTRIBUTE_NETWORK);
    PluginContext context = ContextFor(printer);
    const std::wstring userKey = ConnectionKeyPath(printer.Name());
    RemoveKey(HKEY_CURRENT_USER, userKey);

    int answer = 1;
    ReadDword(context, L"DriverSettings", &answer);
    EXPECT_EQ(0, answer);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, userKey)); // reading makes nothing

    DWORD value = 0x230;
    EXPECT_EQ(1, WritePrinterDataValue(L"DriverSettings", &value, REG_DWORD, 4, &context));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, userKey + L"\\PrinterDriverData"));
    EXPECT_EQ(0x230u, ReadDword(context, L"DriverSettings", &answer));
    EXPECT_EQ(1, answer);
    RemoveKey(HKEY_CURRENT_USER, userKey);
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

class ContextCreation : public ::testing::Test {
  protected:
    void SetUp() override {
        heap = HeapCreate(0, 0, 0);
        param.cbSize = sizeof(param);
        param.poemuiobj = &uiObject;
        param.hPrinter = reinterpret_cast<HANDLE>(0x10);
        param.hModule = reinterpret_cast<HANDLE>(0x20);
        param.hOEMHeap = heap;
        param.pPrinterName = const_cast<wchar_t*>(L"Ctx Printer");
    }
    void TearDown() override { HeapDestroy(heap); }
    HANDLE heap = nullptr;
    OEMUIOBJ uiObject{};
    OEMCUIPPARAM param{};
};

TEST_F(ContextCreation, FillsFromTheCallAndBecomesCurrent) {
    auto* driver = reinterpret_cast<IPrintOemDriverUI*>(0x30);
    PluginContext* first = CreatePluginContext(&param, driver);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, CurrentPluginContext());
    EXPECT_EQ(&uiObject, first->uiObject);
    EXPECT_EQ(param.hPrinter, first->printer);
    EXPECT_EQ(param.hModule, first->module);
    EXPECT_EQ(heap, first->heap);
    EXPECT_STREQ(L"Ctx Printer", first->printerName);
    EXPECT_EQ(driver, first->driver);
    EXPECT_EQ(nullptr, first->sheetParam);

    PluginContext* second = CreatePluginContext(&param, driver);
    EXPECT_EQ(second, CurrentPluginContext());
    ReleasePluginContext(second);
    EXPECT_EQ(nullptr, CurrentPluginContext());
    ReleasePluginContext(first);
}

TEST_F(ContextCreation, MissingHandlesGiveNoContext) {
    for (int missing = 0; missing < 3; ++missing) {
        OEMCUIPPARAM p = param;
        (missing == 0   ? reinterpret_cast<void*&>(p.poemuiobj)
         : missing == 1 ? p.hPrinter
                        : p.hModule) = nullptr;
        EXPECT_EQ(nullptr, CreatePluginContext(&p, nullptr)) << missing;
        // The partly filled record stays current; the host's heap owns it.
        EXPECT_NE(nullptr, CurrentPluginContext()) << missing;
    }
    OEMCUIPPARAM noHeap = param;
    noHeap.hOEMHeap = nullptr;
    EXPECT_EQ(nullptr, CreatePluginContext(&noHeap, nullptr));
}

} // namespace
