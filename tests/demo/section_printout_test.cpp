// The demo's print-outs: DriverSettings bits by name, fixed fields read
// within their bounds, and printer values by their type.
#include "section_printout.h"

#include "core/names.h"
#include "plugin_host.h"

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>

namespace {

// What a print-out function wrote, as text.
template <typename Print> std::string Capture(Print print) {
    FILE* file = std::tmpfile();
    if (!file) {
        ADD_FAILURE() << "no temporary file";
        return "";
    }
    print(file);
    std::fflush(file);
    std::rewind(file);
    std::string text;
    char chunk[512];
    size_t read = 0;
    while ((read = std::fread(chunk, 1, sizeof(chunk), file)) > 0) {
        text.append(chunk, read);
    }
    std::fclose(file);
    return text;
}

std::string Line(const std::string& label, const std::string& value) {
    std::string padded = "  " + label;
    padded.resize(21, ' ');
    return padded + value + "\n";
}

TEST(DemoPrintout, DriverSettingsBitsAreNamedOncePerGroup) {
    EXPECT_EQ("none", DescribeDriverSettings(0));
    EXPECT_EQ("interposer, output bin Upper, booklet finisher, punch 2 and 3 holes, "
              "high-capacity feeder",
              DescribeDriverSettings(0x16221));
    // Punch values are a number in their nibble, not separate bits.
    EXPECT_EQ("punch 3 holes", DescribeDriverSettings(0x3000));
    EXPECT_EQ("output bin Booklet, stapler, punch 2 and 4 holes", DescribeDriverSettings(0x8130));
    // What has no name is shown, not dropped.
    EXPECT_EQ("stapler, unknown bits 0x81000", DescribeDriverSettings(0x81100));
    EXPECT_EQ("unknown bits 0x80000000", DescribeDriverSettings(0x80000000));
}

TEST(DemoPrintout, SectionFieldsAreReadWithinTheirBounds) {
    HMODULE plugin = LoadLibraryW(standin::PluginDllPath().c_str());
    ASSERT_NE(nullptr, plugin);
    vorn::PrivateDevmode section;
    std::memset(&section, 0, sizeof(section));
    vorn::DeliveryBlock& d = section.delivery;
    // Every text field full to its end, no terminator, each with its own letter.
    wmemset(d.jobName, L'j', vorn::kJobNameChars);
    wmemset(&d.userNames[0][0], L'u', vorn::kUserNameSlots * vorn::kUserNameChars);
    wmemset(d.pin, L'p', vorn::kPinChars);
    wmemset(&d.emailAddresses[0][0], L'e', vorn::kEmailAddressSlots * vorn::kEmailAddressChars);
    wmemset(d.emailMessage, L'm', vorn::kEmailMessageChars);
    std::memset(d.hostName, 'h', sizeof(d.hostName));
    wmemset(section.ticketPath, L't', vorn::kTicketPathChars);
    d.deliveryMode = 2;
    d.emailNotify = 7;
    d.mailLanguage = 3;

    const std::string text = Capture([&](FILE* out) { PrintSection(out, section, plugin); });
    EXPECT_NE(std::string::npos, text.find(Line("jobName", "\"" + std::string(81, 'j') + "\"")));
    EXPECT_NE(std::string::npos,
              text.find(Line("userNames[2]", "\"" + std::string(17, 'u') + "\"")));
    EXPECT_NE(std::string::npos, text.find(Line("pin", "\"ppppp\"")));
    EXPECT_NE(std::string::npos,
              text.find(Line("emailMessage", "\"" + std::string(256, 'm') + "\"")));
    EXPECT_NE(std::string::npos, text.find(Line("hostName", "\"" + std::string(32, 'h') + "\"")));
    EXPECT_NE(std::string::npos,
              text.find(Line("ticketPath", "\"" + std::string(260, 't') + "\"")));
    // Codes with their texts from the plug-in; codes it does not know say so.
    EXPECT_NE(std::string::npos,
              text.find(Line("deliveryMode", "2 \"Hold job until you enter PIN\"")));
    EXPECT_NE(std::string::npos, text.find(Line("emailNotify", "7 \"unknown\"")));
    EXPECT_NE(std::string::npos, text.find(Line("mailLanguage", "3 Spanish")));
    EXPECT_STREQ("unknown", MailLanguageName(8));
    FreeLibrary(plugin);
}

TEST(DemoPrintout, PrinterValuesAreShownByTheirType) {
    const std::wstring path = L"SOFTWARE\\Vorn demo printout test";
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    const DWORD settings = 0x10021;
    RegSetValueExW(key, vorn::names::kDriverSettings, 0, REG_DWORD,
                   reinterpret_cast<const BYTE*>(&settings), sizeof(settings));
    // Stored without its terminator.
    const wchar_t folder[] = {L'C', L':', L'\\', L'T'};
    RegSetValueExW(key, vorn::names::kCurrentTicketsDir, 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(folder), sizeof(folder));
    const BYTE odd[3] = {1, 2, 3};
    RegSetValueExW(key, vorn::names::kSelectedTicket, 0, REG_BINARY, odd, sizeof(odd));
    RegCloseKey(key);

    const std::string text = Capture([&](FILE* out) { PrintPrinterValues(out, path); });
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, path.c_str());
    EXPECT_NE(std::string::npos,
              text.find(Line("DriverSettings",
                             "0x00010021: interposer, output bin Upper, high-capacity feeder")));
    EXPECT_NE(std::string::npos, text.find(Line("CurrentTicketsDir", "\"C:\\T\"")));
    EXPECT_NE(std::string::npos, text.find(Line("SelectedTicket", "(type 3, 3 bytes)")));
    EXPECT_NE(std::string::npos, text.find(Line("JTEditorExitCode", "(not set)")));

    // A printer without its key: every value is reported missing.
    const std::string none =
        Capture([&](FILE* out) { PrintPrinterValues(out, path + L"\\missing"); });
    EXPECT_NE(std::string::npos, none.find(Line("DriverSettings", "(not set)")));
}

} // namespace
