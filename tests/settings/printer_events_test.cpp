// Printer events through the loaded plug-in: a printer's key opened to
// interactive users at initialisation, and the values a new connection gets.
#include "support/plugin_fixture.h"
#include "support/spooler_printers.h"

#include <sddl.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

const std::wstring kPrinters = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";

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
    // A printer shared by another computer, holding the values of kValues
    // at these indexes.
    void AddConnection(const std::wstring& name, std::initializer_list<int> held,
                       DWORD attributes = PRINTER_ATTRIBUTE_NETWORK) {
        Spooler().AddPrinter(name.c_str(), L"Vorn K340 PS", attributes, L"");
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
// comma name; a network printer with its own key here, or one without the
// network attribute, is local and gets nothing.
TEST_F(PrinterEventsTest, ConnectionsGetExactCopiesAndLocalPrintersNothing) {
    const struct {
        const wchar_t* name;
        std::initializer_list<int> held;
        DWORD attributes;
        bool keyHere, copies;
    } rows[] = {
        {L"\\\\uhsrv\\UH Evt Conn", {0, 1, 2, 3}, PRINTER_ATTRIBUTE_NETWORK, false, true},
        {L"\\\\uhsrv\\UH Evt Partial", {1}, PRINTER_ATTRIBUTE_NETWORK, false, true},
        {L"UH Evt Shared Here", {2}, PRINTER_ATTRIBUTE_NETWORK, true, false},
        {L"UH Evt Plain", {2}, 0, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.name);
        AddConnection(row.name, row.held, row.attributes);
        if (row.keyHere) {
            WillRemove(HKEY_LOCAL_MACHINE, LocalPrinterKeyPath(row.name));
            MakeKey(HKEY_LOCAL_MACHINE, LocalPrinterKeyPath(row.name));
        }
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
