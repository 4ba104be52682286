// "DriverSettings" as the two callbacks store it on Apply, and the broadcast
// that follows.
#include "option_tree_fixture.h"
#include "window_thread.h"

#include <map>
#include <string>

namespace {

using Features = std::map<std::string, std::string>;

class DriverSettingsTest : public OptionTreeFixture {
  protected:
    void SetUp() override {
        OptionTreeFixture::SetUp();
        MakePrinter(L"UH Driver Settings", L"Vorn Office PS");
    }
    // Applies a new tree of `mode` with these features and driver name.
    DWORD Apply(DWORD mode, const Features& features, const wchar_t* driver = L"Vorn Office PS") {
        testsupport::Spooler().AddPrinter(printer->Name().c_str(), driver, 0, L"");
        host.Driver().features = features;
        EXPECT_EQ(S_OK, tree->CallCommonUIProp(plugin, mode, true));
        EXPECT_EQ(CPSUICB_ACTION_NONE, tree->CallCallback(CPSUICB_REASON_APPLYNOW));
        return StoredSettings();
    }
    DWORD ApplyDocument(const Features& features, const wchar_t* driver = L"Vorn Office PS") {
        ForgetSettings();
        return Apply(OEMCUIP_DOCPROP, features, driver);
    }
};

TEST_F(DriverSettingsTest, DocumentApplyCombinesFeaturesAndModel) {
    const Features full = {{"OptionPunch", "Punch2and4Holes"},
                           {"OptionHCF", "True"},
                           {"OptionFinisher", "Booklet"},
                           {"OptionInterposer", "False"},
                           {"OutputBin", "Upper"}};
    EXPECT_EQ(0x8000u | 0x10000u | 0x200u | 0x20u, ApplyDocument(full));
    // Models 1, 2 and 4 always have a stapler; 3 and 5 do not.
    EXPECT_EQ(0x18320u, ApplyDocument(full, L"Vorn K335 PS"));
    EXPECT_EQ(0x18320u, ApplyDocument(full, L"Vorn K355 PS"));
    EXPECT_EQ(0x18320u, ApplyDocument(full, L"Vorn K355XS PS"));
    EXPECT_EQ(0x18220u, ApplyDocument(full, L"Vorn K340 PS"));
    EXPECT_EQ(0x18220u, ApplyDocument(full, L"Vorn K310 PS"));
    EXPECT_EQ(0x100u, ApplyDocument({{"OptionFinisher", "None"}}, L"Vorn K355 PS"));
}

TEST_F(DriverSettingsTest, EachOptionAddsItsBitsAndOthersNone) {
    struct Case {
        const char* feature;
        std::string option;
        DWORD bits;
    };
    const Case cases[] = {
        {"OptionPunch", "Punch2Hole", 0x2000},
        {"OptionPunch", "Punch3Hole", 0x3000},
        {"OptionPunch", "Punch4Hole", 0x4000},
        {"OptionPunch", "Punch4Holes", 0x4000},
        {"OptionPunch", "Punch2and3Holes", 0x6000},
        {"OptionPunch", "Punch2and4Holes", 0x8000},
        {"OptionPunch", "punch2hole", 0}, // keywords are case-sensitive
        // An answer too long for the 64-byte buffer is no known option.
        {"OptionPunch", "Punch2Hole" + std::string(60, 'x'), 0},
        {"OptionHCF", "True", 0x10000},
        {"OptionHCF", "TRUE", 0},
        {"OptionFinisher", "Stapler", 0x100},
        {"OptionFinisher", "Booklet", 0x200},
        {"OptionInterposer", "True", 0x1},
        {"OptionInterposer", "False", 0},
        {"OutputBin", "Main", 0x10},
        {"OutputBin", "Upper", 0x20},
        {"OutputBin", "Booklet", 0x30},
        {"OutputBin", "Lower", 0}, // an unknown bin adds nothing
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.bits, ApplyDocument({{c.feature, c.option}})) << c.feature << " " << c.option;
    }
    EXPECT_EQ(0u, ApplyDocument({}));
}

TEST_F(DriverSettingsTest, PrinterApplyCarriesTheStoredOutputBinOver) {
    EXPECT_EQ(0x10u, Apply(OEMCUIP_PRNPROP, {})) << "no value stored yet";
    // Values as the document path stores them, other bits included; reading
    // the bin as a decimal remainder got most of these wrong.
    const DWORD cases[][2] = {{0x10, 0x10},    {0x20, 0x20},   {0x30, 0x30},   {0x130, 0x30},
                              {0x18320, 0x20}, {0x8330, 0x30}, {0x4000, 0x10}, {0x1, 0x10}};
    for (const auto& [previous, bin] : cases) {
        StoreSettings(previous);
        EXPECT_EQ(bin | 0x2000u,
                  Apply(OEMCUIP_PRNPROP, {{"OptionPunch", "Punch2Hole"}, {"OutputBin", "Booklet"}}))
            << std::hex << previous;
    }
}

TEST_F(DriverSettingsTest, OnlyApplyStoresAndBroadcasts) {
    WindowThread listener;
    ASSERT_NE(nullptr, listener.Window());
    host.Driver().features = {{"OptionHCF", "True"}};
    for (DWORD mode : {OEMCUIP_DOCPROP, OEMCUIP_PRNPROP}) {
        OpenTree(mode);
        for (WORD reason :
             {CPSUICB_REASON_SEL_CHANGED, CPSUICB_REASON_UNDO_CHANGES, CPSUICB_REASON_KILLACTIVE}) {
            EXPECT_EQ(CPSUICB_ACTION_NONE, tree->CallCallback(reason));
        }
    }
    EXPECT_EQ(~0u, StoredSettings());
    EXPECT_EQ(0, listener.Received());

    // Sent, not posted: the other thread's window has it when Apply returns.
    Apply(OEMCUIP_DOCPROP, {});
    EXPECT_EQ(1, listener.Received());
    Apply(OEMCUIP_PRNPROP, {});
    EXPECT_EQ(2, listener.Received());
    // Without the printer's key nothing is stored; the news goes out anyway.
    testsupport::RemoveKey(HKEY_LOCAL_MACHINE, dataKeyPath);
    Apply(OEMCUIP_DOCPROP, {{"OptionHCF", "True"}});
    EXPECT_EQ(3, listener.Received());
    EXPECT_FALSE(testsupport::KeyExists(HKEY_LOCAL_MACHINE, dataKeyPath));
}

} // namespace
