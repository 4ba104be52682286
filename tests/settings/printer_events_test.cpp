// Printer events through the loaded plug-in: a printer's key opened to
// interactive users at initialisation, and the values a new connection gets.
#include "access_list_check.h"

#include "support/plugin_fixture.h"
#include "support/spooler_printers.h"

#include <string>
#include <vector>

using namespace testsupport;

namespace {

const std::wstring kDataSuffix = L"\\PrinterDriverData";

struct StoredValue {
    LONG status = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};

StoredValue ReadValue(HKEY root, const std::wstring& path, const wchar_t* name) {
    StoredValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return value;
    }
    DWORD size = 0;
    value.status = RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size);
    if (value.status == ERROR_SUCCESS) {
        value.bytes.resize(size);
        value.status = RegQueryValueExW(key, name, nullptr, &value.type,
                                        size ? value.bytes.data() : nullptr, &size);
    }
    RegCloseKey(key);
    return value;
}

// The key's security descriptor as the registry gives it back (DACL only).
std::vector<BYTE> ReadKeySecurity(const std::wstring& path) {
    std::vector<BYTE> descriptor;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, READ_CONTROL, &key) != ERROR_SUCCESS) {
        return descriptor;
    }
    DWORD size = 0;
    RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
    descriptor.resize(size);
    if (!size || RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor.data(), &size) !=
                     ERROR_SUCCESS) {
        descriptor.clear();
    }
    RegCloseKey(key);
    return descriptor;
}

PACL DaclOf(std::vector<BYTE>& descriptor) {
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = nullptr;
    if (descriptor.empty() ||
        !GetSecurityDescriptorDacl(descriptor.data(), &present, &acl, &defaulted) || !present) {
        return nullptr;
    }
    return acl;
}

class PrinterEventsTest : public PluginFixture {
  protected:
    void TearDown() override {
        for (const auto& [root, path] : cleanup_) {
            RemoveKey(root, path);
        }
        PluginFixture::TearDown();
    }
    // A key the test makes (or expects) and removes at the end.
    void Cleanup(HKEY root, const std::wstring& path) {
        RemoveKey(root, path);
        cleanup_.push_back({root, path});
    }
    HRESULT Event(const std::wstring& printerName, INT event) {
        std::wstring name = printerName;
        return plugin->PrinterEvent(name.data(), event, 0, 0);
    }
    void SetValue(const std::wstring& printer, const wchar_t* name, DWORD type,
                  const std::vector<BYTE>& bytes) {
        ASSERT_TRUE(Spooler().SetPrinterData(printer.c_str(), name, type, bytes.data(),
                                             static_cast<DWORD>(bytes.size())));
    }

  private:
    std::vector<std::pair<HKEY, std::wstring>> cleanup_;
};

// The three values as a shared printer might hold them.
const std::vector<BYTE> kMediaTypes = {0x01, 0x00, 0xFF, 0x7F, 0x00, 0x00, 0x42};
const std::vector<BYTE> kMediaSizes = {'A', 0, '4', 0, '+', 0, 0, 0, 'B', 0, '5', 0, 0, 0, 0, 0};
const std::vector<BYTE> kSettings = {0x20, 0x83, 0x01, 0x00};

TEST_F(PrinterEventsTest, InitializeGivesTheKeyTheTwoEntriesUnderTheNameAsGiven) {
    // The initialisation path keeps the backslash of the printer's name.
    const std::wstring name = L"UH Evt Init\\Tray";
    Spooler().AddPrinter(name.c_str(), L"Vorn K335 PS", 0, L"");
    const std::wstring printersPath = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";
    const std::wstring keyPath = printersPath + name + kDataSuffix;
    Cleanup(HKEY_LOCAL_MACHINE, printersPath + L"UH Evt Init");
    Cleanup(HKEY_LOCAL_MACHINE, LocalPrinterKeyPath(name));
    MakeKey(HKEY_LOCAL_MACHINE, keyPath);
    const LONG openBefore = Spooler().OpenHandles();
    const std::vector<BYTE> before = ReadKeySecurity(keyPath);

    EXPECT_EQ(S_OK, Event(name, PRINTER_EVENT_INITIALIZE));
    EXPECT_EQ(static_cast<DWORD>(PRINTER_ALL_ACCESS), Spooler().LastOpenAccess());
    EXPECT_EQ(openBefore, Spooler().OpenHandles()) << "printer closed again";

    std::vector<BYTE> descriptor = ReadKeySecurity(keyPath);
    EXPECT_NE(before, descriptor) << "the key's access list was replaced";
    ExpectPrinterKeyAccessList(DaclOf(descriptor));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, LocalPrinterKeyPath(name)))
        << "no key under the comma form of the name";
}

TEST_F(PrinterEventsTest, InitializeFailsForAPrinterThatDoesNotOpen) {
    const std::wstring name = L"UH Evt Unopenable";
    EXPECT_EQ(E_FAIL, Event(name, PRINTER_EVENT_INITIALIZE)) << "unknown printer";
    Spooler().AddPrinter(name.c_str(), L"Vorn K335 PS", 0, L"");
    Spooler().SetFailures(name.c_str(), standin::kFailOpen);
    EXPECT_EQ(E_FAIL, Event(name, PRINTER_EVENT_INITIALIZE));
    Spooler().SetFailures(name.c_str(), standin::kOpenGivesNoHandle);
    EXPECT_EQ(E_FAIL, Event(name, PRINTER_EVENT_INITIALIZE));
    // A connection event on such a printer is not an error.
    EXPECT_EQ(S_OK, Event(name, PRINTER_EVENT_ADD_CONNECTION));
    Spooler().SetFailures(name.c_str(), standin::kFailOpen);
    EXPECT_EQ(S_OK, Event(name, PRINTER_EVENT_ADD_CONNECTION));
    Spooler().SetFailures(name.c_str(), 0);
}

TEST_F(PrinterEventsTest, ConnectionGetsExactCopiesUnderTheCommaName) {
    const std::wstring name = L"\\\\uhsrv\\UH Evt Conn";
    Spooler().AddPrinter(name.c_str(), L"Vorn K340 PS", PRINTER_ATTRIBUTE_NETWORK, L"");
    SetValue(name, L"PrinterCustomMediaTypes", REG_BINARY, kMediaTypes);
    SetValue(name, L"PrinterCustomMediaSizes", REG_MULTI_SZ, kMediaSizes);
    SetValue(name, L"DriverSettings", REG_DWORD, kSettings);
    SetValue(name, L"SomethingElse", REG_DWORD, kSettings);
    const std::wstring userKey = L"Printers\\Connections\\,,uhsrv,UH Evt Conn" + kDataSuffix;
    Cleanup(HKEY_CURRENT_USER, ConnectionKeyPath(name));
    const LONG openBefore = Spooler().OpenHandles();

    EXPECT_EQ(S_OK, Event(name, PRINTER_EVENT_ADD_CONNECTION));
    EXPECT_EQ(openBefore, Spooler().OpenHandles());
    struct Expected {
        const wchar_t* name;
        DWORD type;
        const std::vector<BYTE>& bytes;
    };
    const Expected expected[] = {{L"PrinterCustomMediaTypes", REG_BINARY, kMediaTypes},
                                 {L"PrinterCustomMediaSizes", REG_MULTI_SZ, kMediaSizes},
                                 {L"DriverSettings", REG_DWORD, kSettings}};
    for (const Expected& e : expected) {
        const StoredValue stored = ReadValue(HKEY_CURRENT_USER, userKey, e.name);
        EXPECT_EQ(ERROR_SUCCESS, stored.status) << e.name;
        EXPECT_EQ(e.type, stored.type) << e.name;
        EXPECT_EQ(e.bytes, stored.bytes) << e.name;
    }
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadValue(HKEY_CURRENT_USER, userKey, L"SomethingElse").status);
}

TEST_F(PrinterEventsTest, ConnectionSkipsValuesThePrinterLacks) {
    const std::wstring name = L"\\\\uhsrv\\UH Evt Partial";
    Spooler().AddPrinter(name.c_str(), L"Vorn K340 PS", PRINTER_ATTRIBUTE_NETWORK, L"");
    SetValue(name, L"PrinterCustomMediaSizes", REG_MULTI_SZ, kMediaSizes);
    const std::wstring userKey = ConnectionKeyPath(name) + kDataSuffix;
    Cleanup(HKEY_CURRENT_USER, ConnectionKeyPath(name));

    EXPECT_EQ(S_OK, Event(name, PRINTER_EVENT_ADD_CONNECTION));
    EXPECT_EQ(kMediaSizes, ReadValue(HKEY_CURRENT_USER, userKey, L"PrinterCustomMediaSizes").bytes);
    for (const wchar_t* missing : {L"PrinterCustomMediaTypes", L"DriverSettings"}) {
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadValue(HKEY_CURRENT_USER, userKey, missing).status)
            << "nothing stored for a missing value";
    }
}

TEST_F(PrinterEventsTest, LocalPrinterGetsNoConnectionCopy) {
    // No network attribute; and a network printer with a key of its own here.
    const std::wstring plain = L"UH Evt Local";
    const std::wstring sharedHere = L"UH Evt Shared Here";
    Spooler().AddPrinter(plain.c_str(), L"Vorn K340 PS", 0, L"");
    Spooler().AddPrinter(sharedHere.c_str(), L"Vorn K340 PS", PRINTER_ATTRIBUTE_NETWORK, L"");
    Cleanup(HKEY_LOCAL_MACHINE, LocalPrinterKeyPath(sharedHere));
    MakeKey(HKEY_LOCAL_MACHINE, LocalPrinterKeyPath(sharedHere));
    for (const std::wstring& name : {plain, sharedHere}) {
        SetValue(name, L"DriverSettings", REG_DWORD, kSettings);
        Cleanup(HKEY_CURRENT_USER, ConnectionKeyPath(name));
        EXPECT_EQ(S_OK, Event(name, PRINTER_EVENT_ADD_CONNECTION));
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ConnectionKeyPath(name)));
    }
}

TEST_F(PrinterEventsTest, OtherEventsChangeNothing) {
    const std::wstring name = L"\\\\uhsrv\\UH Evt Other";
    Spooler().AddPrinter(name.c_str(), L"Vorn K340 PS", PRINTER_ATTRIBUTE_NETWORK, L"");
    SetValue(name, L"DriverSettings", REG_DWORD, kSettings);
    Cleanup(HKEY_CURRENT_USER, ConnectionKeyPath(name));
    // A sentinel access: any open by the plug-in would replace it.
    HANDLE probe = nullptr;
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ACCESS_USE};
    ASSERT_TRUE(OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &probe, &defaults));
    ClosePrinter(probe);

    for (INT event : {0, 2 /* delete connection */, 4 /* delete */, 5 /* cache refresh */,
                      6 /* cache delete */, 7 /* attributes */, 99, -1}) {
        EXPECT_EQ(S_OK, Event(name, event)) << event;
    }
    EXPECT_EQ(static_cast<DWORD>(PRINTER_ACCESS_USE), Spooler().LastOpenAccess());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ConnectionKeyPath(name)));
}

} // namespace
