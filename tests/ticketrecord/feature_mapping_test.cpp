// Driver feature options turned into the record's codes.
#include "ticket_record_fixture.h"

#include <optional>
#include <vector>

using namespace offsets;

namespace {

constexpr const char* kAllFeatures[] = {"Duplex",    "Collate",     "MediaType",
                                        "PageSize",  "Jog",         "StapleLocation",
                                        "OutputBin", "OptionPunch", "Punch"};

// The host's answer for "PageSize" changes after it was read once: shows
// which answer the page size step uses for its second query.
class ChangingPageSizeDriver final : public IPrintOemDriverUI {
  public:
    ChangingPageSizeDriver(standin::DriverUI& inner, std::optional<std::string> next)
        : inner_(inner), next_(std::move(next)) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        return inner_.QueryInterface(riid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return inner_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return inner_.Release(); }
    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pci, PCSTR feature, PVOID out, DWORD size,
                                                  PDWORD needed, PDWORD returned) override {
        const HRESULT hr = inner_.DrvGetDriverSetting(pci, feature, out, size, needed, returned);
        if (out && hr == S_OK && std::string(feature) == "PageSize") {
            if (next_) {
                inner_.features["PageSize"] = *next_;
            } else {
                inner_.features.erase("PageSize");
            }
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE h, PCSTR a, PCSTR b) override {
        return inner_.DrvUpgradeRegistrySetting(h, a, b);
    }
    HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID pci, PVOID item, DWORD previous,
                                                 DWORD mode) override {
        return inner_.DrvUpdateUISetting(pci, item, previous, mode);
    }

  private:
    standin::DriverUI& inner_;
    std::optional<std::string> next_;
};

class FeatureMappingTest : public TicketRecordTest {
  protected:
    // Fills a fresh record with one feature set to `option` (none: absent).
    void FillWith(const char* feature, const char* option, bool landscape = false) {
        driver.features.erase(feature);
        if (option) {
            driver.features[feature] = option;
        }
        devmode.Public()->dmOrientation = landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
        std::memset(&record, 0, sizeof(record));
        Fill();
    }
    void ExpectPage(SHORT code, double width, double height, const std::string& what) {
        EXPECT_EQ(code, I16(kPageCode)) << what;
        EXPECT_EQ(width, F64(kPageWidth)) << what;
        EXPECT_EQ(height, F64(kPageHeight)) << what;
    }
};

TEST_F(FeatureMappingTest, SidesFollowDuplexAndOrientation) {
    struct Case {
        const char* option;
        bool landscape;
        WORD sides;
    };
    const Case cases[] = {{"DuplexNoTumble", false, 5},
                          {"DuplexNoTumble", true, 4},
                          {"DuplexTumble", false, 4},
                          {"DuplexTumble", true, 5},
                          {"None", false, 3},
                          {"duplextumble", true, 3},
                          {nullptr, true, 3}};
    for (const Case& c : cases) {
        FillWith("Duplex", c.option, c.landscape);
        EXPECT_EQ(c.sides, U16(kSidesCode)) << (c.option ? c.option : "(none)") << c.landscape;
    }
}

TEST_F(FeatureMappingTest, CollatedUnlessTheDriverSaysOtherwiseJogAndBinByName) {
    const std::pair<const char*, WORD> collate[] = {
        {"True", 3}, {"False", 1}, {"true", 1}, {nullptr, 3}};
    for (const auto& [option, code] : collate) {
        FillWith("Collate", option);
        EXPECT_EQ(code, U16(kCollateCode)) << (option ? option : "(none)");
    }
    const std::pair<const char*, WORD> jog[] = {
        {"EndOfJob", 4}, {"EndOfSet", 4}, {"None", 1}, {"EndOfJobs", 1}, {nullptr, 1}};
    for (const auto& [option, code] : jog) {
        FillWith("Jog", option);
        EXPECT_EQ(code, U16(kJogCode)) << (option ? option : "(none)");
    }
    const std::pair<const char*, WORD> bins[] = {
        {"Upper", 19}, {"Booklet", 20}, {"Main", 6}, {"Lower", 6}, {nullptr, 6}};
    for (const auto& [option, code] : bins) {
        FillWith("OutputBin", option);
        EXPECT_EQ(code, U16(kOutputBinCode)) << (option ? option : "(none)");
    }
}

TEST_F(FeatureMappingTest, MediaRulesCombineLaterOnesWinning) {
    struct Case {
        const char* option;
        WORD kind, number, color, opacity, recycled, heavy, preprinted, prepunched;
    };
    const Case cases[] = {
        {"RecycledBlue", 2, 0, 4, 1, 1, 0, 0, 0},
        {"CardstockSpecial", 7, 0, 0, 1, 0, 0, 0, 0},
        {"CardstockThick", 7, 0, 0, 1, 0, 1, 0, 0},
        {"UserColor2", 2, 0, 73, 1, 0, 0, 0, 0},
        {"UserColor5", 2, 5, 58, 1, 0, 0, 0, 0},
        {"UserColor2Tray9", 2, 9, 73, 1, 0, 0, 0, 0},
        {"Plain28", 2, 8, 0, 1, 0, 0, 0, 0},
        {"Bond10", 10, 0, 0, 1, 0, 0, 0, 0},
        {"Transparency", 6, 0, 0, 2, 0, 0, 0, 0},
        {"TranslucentLabels", 8, 0, 0, 3, 0, 0, 0, 0},
        {"PreprintedTabstockNone", 5, 0, 37, 1, 0, 0, 1, 0},
        {"PrepunchedLetterheadRedGrey", 1, 0, 49, 1, 0, 0, 0, 1},
        {"blue", 2, 0, 0, 1, 0, 0, 0, 0},
        {nullptr, 2, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        FillWith("MediaType", c.option);
        const std::string what = c.option ? c.option : "(none)";
        EXPECT_EQ(c.kind, U16(kMediaKind)) << what;
        EXPECT_EQ(c.number, U16(kMediaNumber)) << what;
        EXPECT_EQ(c.color, U16(kMediaColor)) << what;
        EXPECT_EQ(c.opacity, U16(kMediaOpacity)) << what;
        EXPECT_EQ(c.recycled, U16(kRecycled)) << what;
        EXPECT_EQ(c.heavy, U16(kHeavyMedia)) << what;
        EXPECT_EQ(c.preprinted, U16(kPreprinted)) << what;
        EXPECT_EQ(c.prepunched, U16(kPrepunched)) << what;
    }
}

TEST_F(FeatureMappingTest, PageSizesInPointsTurnedWithTheDocument) {
    struct Case {
        const char* option;
        bool landscape;
        SHORT code;
        double width, height;
    };
    const Case cases[] = {
        {"A4", false, 1, 595, 842},
        {"A4", true, 1, 842, 595},
        {"Letter", false, 9, 612, 792},
        {"Legal", true, 21, 1008, 612},
        {"8x10.5", false, 15, 576, 756},
        {"12x18", false, 27, 864, 1296},
        {"ReplyPaidCard", false, 20, 420, 566},
        {"11x14", true, 20, 1008, 792},
        {"210x340", false, 20, 595, 964},
        {"Tabloid", false, 0, 842, 1191}, // unknown: the fresh record's code 0
        {nullptr, false, 9, 612, 792},
        {nullptr, true, 9, 792, 612},
    };
    for (const Case& c : cases) {
        FillWith("PageSize", c.option, c.landscape);
        ExpectPage(c.code, c.width, c.height,
                   std::string(c.option ? c.option : "(none)") + (c.landscape ? " landscape" : ""));
    }
}

TEST_F(FeatureMappingTest, CustomPageSizeIsConvertedWithoutRounding) {
    DEVMODEW* dm = devmode.Public();
    dm->dmPaperWidth = 2100;
    dm->dmPaperLength = 2970;
    FillWith("PageSize", "CustomPageSize");
    ExpectPage(20, 2100 / 254.0 * 72.0, 2970 / 254.0 * 72.0, "A4 by hand");
    ExpectPage(20, 595.275590551181, 841.8897637795276, "A4 by hand");

    dm->dmPaperWidth = 2159;
    dm->dmPaperLength = 2794;
    FillWith("PageSize", "CustomPageSize");
    ExpectPage(20, 612.0, 792.0, "Letter by hand");
    FillWith("PageSize", "CustomPageSize", true);
    ExpectPage(20, 792.0, 612.0, "Letter by hand, landscape");

    // The second query decides: its own name, or the DEVMODE when unreadable.
    ChangingPageSizeDriver changedToCard(driver, "ReplyPaidCard");
    context.driver = &changedToCard;
    FillWith("PageSize", "11x14");
    ExpectPage(20, 420.0, 566.0, "second answer ReplyPaidCard");
    ChangingPageSizeDriver unreadable(driver, std::nullopt);
    context.driver = &unreadable;
    FillWith("PageSize", "11x14");
    ExpectPage(20, 612.0, 792.0, "second answer unreadable");
}

TEST_F(FeatureMappingTest, PageCodeOutsideTheTableGetsNoSize) {
    record.pageCode = 99; // a record the caller did not clear
    driver.features["PageSize"] = "Tabloid";
    Fill();
    ExpectPage(99, 0.0, 0.0, "stale code");
}

TEST_F(FeatureMappingTest, StaplesAndBookletOutput) {
    struct Case {
        const char* option;
        WORD count, kind, edge, angle;
    };
    const Case cases[] = {{"LeftVertical", 1, 2, 2, 90},       {"RightDiagonal", 1, 2, 4, 135},
                          {"DoubleRight", 2, 4, 3, 90},        {"DoubleTop", 2, 4, 4, 0},
                          {"Booklet", 0xFFFF, 3, 2, 0},        {"None", 0xFFFF, 1, 0, 0},
                          {"LeftDiagonally", 0xFFFF, 1, 0, 0}, {nullptr, 0xFFFF, 1, 0, 0}};
    for (const Case& c : cases) {
        FillWith("StapleLocation", c.option);
        const std::string what = c.option ? c.option : "(none)";
        EXPECT_EQ(c.count, U16(kStapleCount)) << what;
        EXPECT_EQ(c.kind, U16(kStapleKind)) << what;
        EXPECT_EQ(c.edge, U16(kStapleEdge)) << what;
        EXPECT_EQ(c.angle, U16(kStapleAngle)) << what;
        EXPECT_EQ(what == "Booklet" ? 1 : 0, U16(kBookletPortrait)) << what;
    }

    // A booklet is two-sided and collated whatever else is chosen; its sheet
    // is the page turned once more.
    driver.features = {{"Duplex", "None"}, {"Collate", "False"}, {"PageSize", "A4"}};
    FillWith("StapleLocation", "Booklet");
    EXPECT_EQ(5, U16(kSidesCode));
    EXPECT_EQ(3, U16(kCollateCode));
    EXPECT_EQ(1, U16(kBookletPortrait));
    ExpectPage(1, 842, 595, "portrait booklet");
    FillWith("StapleLocation", "Booklet", true);
    EXPECT_EQ(5, U16(kSidesCode));
    EXPECT_EQ(0, U16(kBookletPortrait));
    ExpectPage(1, 595, 842, "landscape booklet");
}

TEST_F(FeatureMappingTest, PunchHolesFromTheUnitAndThePosition) {
    struct Case {
        const char* unit;
        const char* position;
        WORD holes, edge;
        bool positionAsked;
    };
    const Case cases[] = {
        {"Punch3Hole", "Punch2Left", 2, 2, true},
        {"Punch3Hole", "PunchTop", 3, 4, true},
        {"Punch2and3Holes", "PunchRight", 2, 3, true},
        {"Punch4Hole", "Punch3Bottom", 3, 1, true},
        {"Punch4Hole", "None", 0, 0, true},
        {"Punch2Hole", nullptr, 0, 0, true},
        {"None", "PunchLeft", 0, 0, false},
        {"HolePuncher", "PunchLeft", 0, 0, false},
        {nullptr, "PunchLeft", 0, 0, false},
    };
    for (const Case& c : cases) {
        driver.queried.clear();
        driver.features.erase("Punch");
        if (c.position) {
            driver.features["Punch"] = c.position;
        }
        FillWith("OptionPunch", c.unit);
        const std::string what = std::string(c.unit ? c.unit : "(none)") + " with " +
                                 (c.position ? c.position : "(none)");
        EXPECT_EQ(c.holes, U16(kPunchHoles)) << what;
        EXPECT_EQ(c.edge, U16(kPunchEdge)) << what;
        EXPECT_EQ(c.positionAsked, driver.queried.back() == "Punch") << what;
    }
}

TEST_F(FeatureMappingTest, FeaturesAreAskedInOrderAndPageSizeTwiceForCode20) {
    driver.features = {{"PageSize", "CustomPageSize"}, {"OptionPunch", "Punch3Hole"}};
    Fill();
    const std::vector<std::string> expected = {
        "Duplex", "Collate",        "MediaType", "PageSize",    "PageSize",
        "Jog",    "StapleLocation", "OutputBin", "OptionPunch", "Punch"};
    EXPECT_EQ(expected, driver.queried);
}

// Missing, failing and over-long answers all count as unreadable; each
// feature then falls back to its own default.
TEST_F(FeatureMappingTest, UnreadableFeaturesFallBack) {
    const std::string tooLong(64, 'A');
    for (int variant = 0; variant < 3; ++variant) {
        driver.features.clear();
        driver.failing.clear();
        if (variant == 1) {
            // Options that would each change the record were they readable.
            driver.features = {{"Duplex", "DuplexTumble"},
                               {"Collate", "False"},
                               {"MediaType", "CardstockBlue"},
                               {"PageSize", "A3"},
                               {"Jog", "EndOfJob"},
                               {"StapleLocation", "Booklet"},
                               {"OutputBin", "Upper"},
                               {"OptionPunch", "Punch4Hole"},
                               {"Punch", "PunchLeft"}};
        }
        for (const char* feature : kAllFeatures) {
            if (variant == 1) {
                driver.failing[feature] = true;
            } else if (variant == 2) {
                driver.features[feature] = tooLong + "Blue";
            }
        }
        std::memset(&record, 0, sizeof(record));
        Fill();
        const std::string what = "variant " + std::to_string(variant);
        ExpectPage(9, 612, 792, what);
        const std::pair<size_t, WORD> defaults[] = {
            {kSidesCode, 3},       {kCollateCode, 3},   {kMediaKind, 2},        {kMediaColor, 0},
            {kMediaOpacity, 0},    {kJogCode, 1},       {kStapleCount, 0xFFFF}, {kStapleKind, 1},
            {kBookletPortrait, 0}, {kOutputBinCode, 6}, {kPunchHoles, 0},       {kPunchEdge, 0}};
        for (const auto& [offset, code] : defaults) {
            EXPECT_EQ(code, U16(offset)) << what << ", word at " << offset;
        }
    }

    // 63 characters and the terminator still fit the 64-byte option buffer.
    FillWith("MediaType", (std::string(59, 'x') + "Blue").c_str());
    EXPECT_EQ(4, U16(kMediaColor));
    FillWith("MediaType", (std::string(60, 'x') + "Blue").c_str());
    EXPECT_EQ(0, U16(kMediaColor));
    EXPECT_EQ(0, U16(kMediaOpacity));
}

} // namespace
