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
    // Applies a fresh document tree with these features on a printer with
    // this driver; the stored value, or ~0 when none was stored.
    DWORD ApplyDocument(const Features& features, const wchar_t* driverName) {
        testsupport::Spooler().AddPrinter(printer->Name().c_str(), driverName, 0, L"");
        host.Driver().features = features;
        ForgetDriverSettings();
        EXPECT_EQ(S_OK, tree->CallCommonUIProp(plugin, OEMCUIP_DOCPROP, true));
        EXPECT_EQ(CPSUICB_ACTION_NONE, tree->CallCallback(CPSUICB_REASON_APPLYNOW));
        DWORD value = ~0u;
        return ReadDriverSettings(&value) ? value : ~0u;
    }
    DWORD ApplyPrinter(const Features& features) {
        host.Driver().features = features;
        EXPECT_EQ(S_OK, tree->CallCommonUIProp(plugin, OEMCUIP_PRNPROP, true));
        EXPECT_EQ(CPSUICB_ACTION_NONE, tree->CallCallback(CPSUICB_REASON_APPLYNOW));
        DWORD value = ~0u;
        return ReadDriverSettings(&value) ? value : ~0u;
    }
};

constexpr wchar_t kPlainModel[] = L"Vorn Office PS";

TEST_F(DriverSettingsTest, DocumentApplyCombinesFeaturesAndModel) {
    MakePrinter(L"UH DS Combined", kPlainModel);
    const Features full = {{"OptionPunch", "Punch2and4Holes"},
                           {"OptionHCF", "True"},
                           {"OptionFinisher", "Booklet"},
                           {"OptionInterposer", "False"},
                           {"OutputBin", "Upper"}};
    EXPECT_EQ(0x8000u | 0x10000u | 0x200u | 0x20u, ApplyDocument(full, kPlainModel));
    // Models 1, 2 and 4 always have a stapler; model 3 does not.
    EXPECT_EQ(0x18320u, ApplyDocument(full, L"Vorn K335 PS"));
    EXPECT_EQ(0x18320u, ApplyDocument(full, L"Vorn K355 PS"));
    EXPECT_EQ(0x18320u, ApplyDocument(full, L"Vorn K355XS PS"));
    EXPECT_EQ(0x18220u, ApplyDocument(full, L"Vorn K340 PS"));
    EXPECT_EQ(0x18220u, ApplyDocument(full, L"Vorn K310 PS"));

    DWORD type = 0, value = 0;
    ASSERT_TRUE(ReadDriverSettings(&value, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
}

TEST_F(DriverSettingsTest, EachOptionAddsItsBitsAndOthersNone) {
    MakePrinter(L"UH DS Options", kPlainModel);
    struct Case {
        const char* feature;
        const char* option;
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
        {"OptionPunch", "None", 0},
        {"OptionHCF", "True", 0x10000},
        {"OptionHCF", "TRUE", 0},
        {"OptionFinisher", "Stapler", 0x100},
        {"OptionFinisher", "Booklet", 0x200},
        {"OptionFinisher", "None", 0},
        {"OptionInterposer", "True", 0x1},
        {"OptionInterposer", "False", 0},
        {"OutputBin", "Main", 0x10},
        {"OutputBin", "Upper", 0x20},
        {"OutputBin", "Booklet", 0x30},
        {"OutputBin", "Lower", 0}, // an unknown bin adds nothing
        {"OutputBin", "MainTray", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.bits, ApplyDocument({{c.feature, c.option}}, kPlainModel))
            << c.feature << " " << c.option;
    }
    EXPECT_EQ(0u, ApplyDocument({}, kPlainModel));
    EXPECT_EQ(0x100u, ApplyDocument({{"OptionFinisher", "None"}}, L"Vorn K355 PS"));
}

TEST_F(DriverSettingsTest, AnswersTooLongOrFailedAddNothing) {
    MakePrinter(L"UH DS Long", kPlainModel);
    // An option name that does not fit the 64-byte answer buffer is unknown,
    // even when it starts like a known one.
    EXPECT_EQ(0x10000u, ApplyDocument({{"OptionPunch", "Punch2Hole" + std::string(60, 'x')},
                                       {"OptionHCF", "True"}},
                                      kPlainModel));
    host.Driver().failing["OptionFinisher"] = true;
    EXPECT_EQ(0x1u, ApplyDocument({{"OptionFinisher", "Stapler"}, {"OptionInterposer", "True"}},
                                  kPlainModel));
}

TEST_F(DriverSettingsTest, PrinterApplyCarriesTheStoredOutputBinOver) {
    MakePrinter(L"UH DS Carry", kPlainModel);
    // None stored yet: the main bin.
    EXPECT_EQ(0x10u, ApplyPrinter({}));
    struct Case {
        DWORD previous;
        DWORD bin;
    };
    // Values as the document path stores them, other bits included; reading
    // the bin as a decimal remainder got most of these wrong.
    const Case cases[] = {{0x10, 0x10},    {0x20, 0x20},   {0x30, 0x30},   {0x130, 0x30},
                          {0x18320, 0x20}, {0x8330, 0x30}, {0x4000, 0x10}, {0x1, 0x10}};
    for (const Case& c : cases) {
        WriteDriverSettings(c.previous);
        EXPECT_EQ(c.bin | 0x2000u,
                  ApplyPrinter({{"OptionPunch", "Punch2Hole"}, {"OutputBin", "Booklet"}}))
            << std::hex << c.previous;
    }
}

TEST_F(DriverSettingsTest, OnlyApplyStoresAnything) {
    MakePrinter(L"UH DS Reasons", kPlainModel);
    host.Driver().features = {{"OptionHCF", "True"}};
    for (DWORD mode : {OEMCUIP_DOCPROP, OEMCUIP_PRNPROP}) {
        ASSERT_EQ(S_OK, tree->CallCommonUIProp(plugin, mode, true));
        for (WORD reason :
             {CPSUICB_REASON_SEL_CHANGED, CPSUICB_REASON_PUSHBUTTON, CPSUICB_REASON_UNDO_CHANGES,
              CPSUICB_REASON_SETACTIVE, CPSUICB_REASON_KILLACTIVE}) {
            EXPECT_EQ(CPSUICB_ACTION_NONE, tree->CallCallback(reason));
        }
        DWORD value = 0;
        EXPECT_FALSE(ReadDriverSettings(&value)) << mode;
    }
}

TEST_F(DriverSettingsTest, EveryApplyBroadcastsEvenWhenTheStoreFails) {
    WindowThread listener;
    ASSERT_NE(nullptr, listener.Window());
    MakePrinter(L"UH DS Broadcast", kPlainModel);
    OpenTree(OEMCUIP_DOCPROP);
    tree->CallCallback(CPSUICB_REASON_SEL_CHANGED);
    EXPECT_EQ(0, listener.Received());
    // The message is sent, not posted: it has arrived when Apply returns.
    tree->CallCallback(CPSUICB_REASON_APPLYNOW);
    EXPECT_EQ(1, listener.Received());
    OpenTree(OEMCUIP_PRNPROP);
    tree->CallCallback(CPSUICB_REASON_APPLYNOW);
    EXPECT_EQ(2, listener.Received());

    // Without its key the printer's value cannot be stored; the other
    // programs are told all the same.
    testsupport::RemoveKey(HKEY_LOCAL_MACHINE, testsupport::LocalPrinterKeyPath(printer->Name()));
    OpenTree(OEMCUIP_DOCPROP);
    EXPECT_EQ(CPSUICB_ACTION_NONE, tree->CallCallback(CPSUICB_REASON_APPLYNOW));
    EXPECT_EQ(3, listener.Received());
    EXPECT_FALSE(testsupport::KeyExists(HKEY_LOCAL_MACHINE, dataKeyPath));
}

} // namespace
