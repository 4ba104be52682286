// Printer events through the loaded plug-in: a printer's key opened to
// interactive users at initialisation, and the values a new connection gets.
#include "support/plugin_fixture.h"
#include "support/spooler_printers.h"

#include <sddl.h>

#include <string>
#include <vector>

using namespace testsupport;

namespace {

const std::wstring kPrinters = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";

struct StoredValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
    bool found = false;
};

StoredValue ReadValue(const std::wstring& path, const wchar_t* name) {
    StoredValue value;
    BYTE buffer[256];
    DWORD size = sizeof(buffer);
    value.found = SHGetValueW(HKEY_CURRENT_USER, path.c_str(), name, &value.type, buffer, &size) ==
                  ERROR_SUCCESS;
    value.bytes.assign(buffer, buffer + (value.found ? size : 0));
    return value;
}

// The key's security descriptor (DACL part) as the registry gives it back.
std::vector<BYTE> ReadKeySecurity(const std::wstring& path) {
    std::vector<BYTE> descriptor(1024);
    HKEY key = nullptr;
    DWORD size = static_cast<DWORD>(descriptor.size());
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, READ_CONTROL, &key) != ERROR_SUCCESS ||
        RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor.data(), &size) !=
            ERROR_SUCCESS) {
        size = 0;
    }
    RegCloseKey(key);
    descriptor.resize(size);
    return descriptor;
}

// Exactly full control for S-1-5-4, then for S-1-5-32-544, not inherited.
void ExpectPrinterKeyAccessList(std::vector<BYTE>& descriptor) {
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = nullptr;
    ACL_SIZE_INFORMATION size{};
    ASSERT_FALSE(descriptor.empty());
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor.data(), &present, &acl, &defaulted));
    ASSERT_TRUE(present && acl && GetAclInformation(acl, &size, sizeof(size), AclSizeInformation));
    ASSERT_EQ(2u, size.AceCount);
    const wchar_t* expectedSids[] = {L"S-1-5-4", L"S-1-5-32-544"};
    for (DWORD i = 0; i < 2; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        PSID expected = nullptr;
        ASSERT_TRUE(GetAce(acl, i, reinterpret_cast<void**>(&ace)));
        ASSERT_TRUE(ConvertStringSidToSidW(expectedSids[i], &expected));
        EXPECT_TRUE(EqualSid(expected, &ace->SidStart)) << i;
        LocalFree(expected);
        EXPECT_EQ(ACCESS_ALLOWED_ACE_TYPE, ace->Header.AceType) << i;
        EXPECT_EQ(0, ace->Header.AceFlags) << i;
        EXPECT_EQ(static_cast<ACCESS_MASK>(KEY_ALL_ACCESS), ace->Mask) << i;
    }
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
    // A printer shared by another computer, holding the values of kValues
    // at these indexes.
    void AddConnection(const std::wstring& name, std::initializer_list<int> held) {
        Spooler().AddPrinter(name.c_str(), L"Vorn K340 PS", PRINTER_ATTRIBUTE_NETWORK, L"");
        for (int i : held) {
            Spooler().SetPrinterData(name.c_str(), kValues[i].name, kValues[i].type,
                                     kValues[i].bytes.data(),
                                     static_cast<DWORD>(kValues[i].bytes.size()));
        }
        WillRemove(HKEY_CURRENT_USER, ConnectionKeyPath(name));
    }

  private:
    std::vector<std::pair<HKEY, std::wstring>> made_;
};

TEST_F(PrinterEventsTest, InitializeGivesTheKeyTwoEntriesUnderTheNameAsGiven) {
    const std::wstring name = L"UH Evt Init\\Tray"; // the backslash stays
    Spooler().AddPrinter(name.c_str(), L"Vorn K335 PS", 0, L"");
    const std::wstring keyPath = kPrinters + name + L"\\PrinterDriverData";
    WillRemove(HKEY_LOCAL_MACHINE, kPrinters + L"UH Evt Init");
    WillRemove(HKEY_LOCAL_MACHINE, LocalPrinterKeyPath(name));
    MakeKey(HKEY_LOCAL_MACHINE, keyPath);
    const LONG openBefore = Spooler().OpenHandles();
    const std::vector<BYTE> before = ReadKeySecurity(keyPath);

    EXPECT_EQ(S_OK, Event(name, PRINTER_EVENT_INITIALIZE));
    EXPECT_EQ(static_cast<DWORD>(PRINTER_ALL_ACCESS), Spooler().LastOpenAccess());
    EXPECT_EQ(openBefore, Spooler().OpenHandles()) << "printer closed again";
    std::vector<BYTE> after = ReadKeySecurity(keyPath);
    EXPECT_NE(before, after);
    ExpectPrinterKeyAccessList(after);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, LocalPrinterKeyPath(name))) << "comma form";

    // A printer that does not open, or opens without a handle, fails.
    EXPECT_EQ(E_FAIL, Event(L"UH Evt No Such Printer", PRINTER_EVENT_INITIALIZE));
    for (DWORD failure : {standin::kFailOpen, standin::kOpenGivesNoHandle}) {
        Spooler().SetFailures(name.c_str(), failure);
        EXPECT_EQ(E_FAIL, Event(name, PRINTER_EVENT_INITIALIZE)) << failure;
        EXPECT_EQ(S_OK, Event(name, PRINTER_EVENT_ADD_CONNECTION)) << failure;
    }
}

TEST_F(PrinterEventsTest, ConnectionGetsExactCopiesUnderTheCommaName) {
    const std::wstring name = L"\\\\uhsrv\\UH Evt Conn";
    AddConnection(name, {0, 1, 2, 3});
    const LONG openBefore = Spooler().OpenHandles();
    EXPECT_EQ(S_OK, Event(name, PRINTER_EVENT_ADD_CONNECTION));
    EXPECT_EQ(openBefore, Spooler().OpenHandles());

    const std::wstring userKey = L"Printers\\Connections\\,,uhsrv,UH Evt Conn\\PrinterDriverData";
    for (int i = 0; i < 3; ++i) {
        const StoredValue stored = ReadValue(userKey, kValues[i].name);
        EXPECT_TRUE(stored.found) << kValues[i].name;
        EXPECT_EQ(kValues[i].type, stored.type) << kValues[i].name;
        EXPECT_EQ(kValues[i].bytes, stored.bytes) << kValues[i].name;
    }
    EXPECT_FALSE(ReadValue(userKey, L"SomethingElse").found);
}

TEST_F(PrinterEventsTest, ConnectionSkipsMissingValuesAndLocalPrinters) {
    const std::wstring partial = L"\\\\uhsrv\\UH Evt Partial";
    AddConnection(partial, {1});
    EXPECT_EQ(S_OK, Event(partial, PRINTER_EVENT_ADD_CONNECTION));
    const std::wstring userKey = ConnectionKeyPath(partial) + L"\\PrinterDriverData";
    EXPECT_EQ(kValues[1].bytes, ReadValue(userKey, L"PrinterCustomMediaSizes").bytes);
    EXPECT_FALSE(ReadValue(userKey, L"PrinterCustomMediaTypes").found) << "nothing stored";
    EXPECT_FALSE(ReadValue(userKey, L"DriverSettings").found) << "nothing stored";

    // A network printer with a key of its own here is local, as is one
    // without the network attribute.
    const std::wstring sharedHere = L"UH Evt Shared Here", plain = L"UH Evt Plain";
    AddConnection(sharedHere, {2});
    WillRemove(HKEY_LOCAL_MACHINE, LocalPrinterKeyPath(sharedHere));
    MakeKey(HKEY_LOCAL_MACHINE, LocalPrinterKeyPath(sharedHere));
    AddConnection(plain, {2});
    Spooler().AddPrinter(plain.c_str(), L"Vorn K340 PS", 0, L"");
    for (const std::wstring& name : {sharedHere, plain}) {
        EXPECT_EQ(S_OK, Event(name, PRINTER_EVENT_ADD_CONNECTION));
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ConnectionKeyPath(name)));
    }
}

TEST_F(PrinterEventsTest, OtherEventsChangeNothing) {
    const std::wstring name = L"\\\\uhsrv\\UH Evt Other";
    AddConnection(name, {2});
    // A sentinel access: any open by the plug-in would replace it.
    HANDLE probe = nullptr;
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ACCESS_USE};
    ASSERT_TRUE(OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &probe, &defaults));
    ClosePrinter(probe);
    for (INT event : {0, 2 /* delete connection */, 4 /* delete */, 5, 6, 7, 99, -1}) {
        EXPECT_EQ(S_OK, Event(name, event)) << event;
    }
    EXPECT_EQ(static_cast<DWORD>(PRINTER_ACCESS_USE), Spooler().LastOpenAccess());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ConnectionKeyPath(name)));
}

} // namespace
