// A host that answers feature queries badly: answers of every length, sizes
// that lie, buffers filled to the last byte without a terminator, failures
// on either call. The new-ticket record and both DEVMODEs sit flush against
// inaccessible pages, so a stray write or read faults at once.
#include "support/guarded_buffer.h"

#include "core/feature_query.h"
#include "core/private_devmode.h"
#include "driver_ui.h"
#include "spooler_control.h"
#include "ticketrecord/ticket_translator.h"
#include "core/plugin_context.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

using testsupport::GuardedBuffer;
using Answer = standin::DriverUI::Answer;

constexpr const char* kFeatures[] = {"Duplex",    "Collate",     "MediaType",
                                     "PageSize",  "Jog",         "StapleLocation",
                                     "OutputBin", "OptionPunch", "Punch"};
constexpr wchar_t kPrinter[] = L"Hostile Feature Printer";
constexpr wchar_t kTicketDirectory[] = L"C:\\Tickets";
constexpr DWORD kOptionBuffer = 64; // what the translator gives each query

enum class Failure { None, FirstCall, SecondCall };

class HostileFeatureAnswers : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(spooler.Load());
        ASSERT_TRUE(spooler.AddPrinter(kPrinter, L"Vorn K340 PS", 0, L"vornpsui.dll"));
        ASSERT_TRUE(OpenPrinterW(const_cast<wchar_t*>(kPrinter), &context.printer, nullptr));
        ResetDevmodes(true);
        sheet.cbSize = sizeof(sheet);
        sheet.pPublicDM = reinterpret_cast<DEVMODEW*>(publicDm.Data());
        sheet.pOEMDM = privateDm.Data();
        context.uiObject = driver.UiObject();
        context.driver = &driver;
        context.sheetParam = &sheet;
    }
    void TearDown() override { ClosePrinter(context.printer); }

    void ResetDevmodes(bool portrait) {
        publicDm.Fill(0);
        auto* dm = reinterpret_cast<DEVMODEW*>(publicDm.Data());
        dm->dmSize = sizeof(DEVMODEW);
        dm->dmDriverExtra = 2924;
        dm->dmOrientation = portrait ? DMORIENT_PORTRAIT : DMORIENT_LANDSCAPE;
        dm->dmCopies = 2;
        privateDm.Fill(0);
        publicCopy.assign(publicDm.Data(), publicDm.Data() + publicDm.Size());
        privateCopy.assign(privateDm.Data(), privateDm.Data() + privateDm.Size());
    }

    // Every feature answers `option` the same hostile way.
    void AnswerAll(const std::string& option, DWORD claimed, bool useClaim, Failure failure) {
        for (const char* feature : kFeatures) {
            driver.features[feature] = option;
            if (useClaim) {
                driver.claimedSize[feature] = claimed;
            } else {
                driver.claimedSize.erase(feature);
            }
            driver.failingFirst[feature] = failure == Failure::FirstCall;
            driver.failing[feature] = failure == Failure::SecondCall;
        }
        driver.queried.clear();
    }

    // Fills a zeroed record in a guarded buffer (guard after or before, in
    // turn) and checks what lies outside the written fields.
    vorn::NewTicketRecord Fill() {
        GuardedBuffer& buffer = (++fills % 2) ? recordAfter : recordBefore;
        buffer.Fill(0);
        auto* record = reinterpret_cast<vorn::NewTicketRecord*>(buffer.Data());
        std::memcpy(record->ticketDirectory, kTicketDirectory, sizeof(kTicketDirectory));
        vorn::FillNewTicketRecord(record, &context);
        ExpectOnlyFieldsWritten(*record);
        EXPECT_EQ(0, std::memcmp(publicCopy.data(), publicDm.Data(), publicDm.Size()));
        EXPECT_EQ(0, std::memcmp(privateCopy.data(), privateDm.Data(), privateDm.Size()));
        return *record;
    }

    template <typename Field> static bool AllZero(const Field& field) {
        const auto* bytes = reinterpret_cast<const BYTE*>(&field);
        return std::all_of(bytes, bytes + sizeof(field), [](BYTE b) { return b == 0; });
    }
    template <size_t N> static bool Terminated(const wchar_t (&field)[N]) {
        return std::wmemchr(field, L'\0', N) != nullptr;
    }
    static void ExpectOnlyFieldsWritten(const vorn::NewTicketRecord& r) {
        EXPECT_EQ(0, r.reservedWords[0] | r.reservedWords[1]);
        EXPECT_TRUE(AllZero(r.reserved1770));
        EXPECT_TRUE(AllZero(r.reserved1786));
        EXPECT_TRUE(AllZero(r.reserved1964));
        EXPECT_TRUE(AllZero(r.reserved2858));
        EXPECT_TRUE(AllZero(r.reserved3058));
        EXPECT_STREQ(kTicketDirectory, r.ticketDirectory);
        EXPECT_TRUE(AllZero(r.ticketFileName));
        EXPECT_TRUE(Terminated(r.printerName) && Terminated(r.modelCode) && Terminated(r.jobName) &&
                    Terminated(r.userName) && Terminated(r.pin) && Terminated(r.emailAddress) &&
                    Terminated(r.emailMessage));
    }

    standin::SpoolerControl spooler{};
    standin::DriverUI driver;
    GuardedBuffer publicDm{sizeof(DEVMODEW)};
    GuardedBuffer privateDm{2924};
    GuardedBuffer recordAfter{sizeof(vorn::NewTicketRecord)};
    GuardedBuffer recordBefore{sizeof(vorn::NewTicketRecord), GuardedBuffer::Guard::Before};
    std::vector<BYTE> publicCopy, privateCopy;
    OEMUIPSPARAM sheet{};
    vorn::PluginContext context{};
    int fills = 0;
};

// The sizes a lying host states for an answer of `trueSize` bytes.
std::vector<DWORD> ClaimsFor(DWORD trueSize) {
    return {trueSize,      trueSize - 1,      trueSize + 1, 0,         1,
            kOptionBuffer, kOptionBuffer + 1, trueSize * 2, 0xFFFFFFFF};
}

constexpr Answer kAnswers[] = {Answer::Honest, Answer::FillGiven, Answer::Unterminated};
constexpr Failure kFailures[] = {Failure::None, Failure::FirstCall, Failure::SecondCall};

// The record's fields that the host's answers decide: sides, collate, media
// kind, opacity, page code, width, height, jog, staples, output bin, punch
// holes, punch edge, copies.
using Codes = std::tuple<int, int, int, int, int, double, double, int, int, int, int, int, int>;

Codes CodesOf(const vorn::NewTicketRecord& r) {
    return Codes(r.sidesCode, r.collateCode, r.mediaKind, r.mediaOpacity, r.pageCode, r.pageWidth,
                 r.pageHeight, r.jogCode, r.stapleCount, r.outputBinCode, r.punchHoles, r.punchEdge,
                 r.copies);
}

// No answer read: every feature's fallback (US Letter, no finishing).
Codes Fallback(bool portrait) {
    return Codes(3, 3, 2, 0, 9, portrait ? 612.0 : 792.0, portrait ? 792.0 : 612.0, 1, 0xFFFF, 6, 0,
                 0, 2);
}

// Whether the translator may take the host's answer as the option keyword:
// only a whole, terminated answer that fits its buffer.
bool Readable(DWORD trueSize, DWORD claimed, Answer answer, Failure failure) {
    return failure == Failure::None && answer != Answer::Unterminated && claimed >= trueSize &&
           claimed <= kOptionBuffer;
}

TEST_F(HostileFeatureAnswers, QueryNeverTakesStaleOrUnterminatedBytes) {
    GuardedBuffer out(kOptionBuffer);
    auto query = [&](const char* stale) {
        out.Fill(0);
        std::memcpy(out.Data(), stale, std::strlen(stale));
        return vorn::QueryDriverFeature(&driver, driver.UiObject(), "MediaType",
                                        reinterpret_cast<char*>(out.Data()), kOptionBuffer);
    };
    driver.features["MediaType"] = "Plain";

    // The host writes exactly the five letters it claimed, no terminator:
    // what the buffer held before must not become part of the keyword.
    driver.answer = Answer::Unterminated;
    driver.claimedSize["MediaType"] = 5;
    EXPECT_FALSE(query("PlainBlue"));
    EXPECT_STREQ("", reinterpret_cast<char*>(out.Data()));

    // A claimed size of 0 that the host then answers "successfully".
    driver.answer = Answer::FillGiven;
    driver.claimedSize["MediaType"] = 0;
    EXPECT_FALSE(query("Recycled"));
    EXPECT_STREQ("", reinterpret_cast<char*>(out.Data()));

    // The same host, claiming enough, gives the keyword and nothing more.
    driver.claimedSize["MediaType"] = 40;
    EXPECT_TRUE(query("Transparency Recycled"));
    EXPECT_STREQ("Plain", reinterpret_cast<char*>(out.Data()));
}

TEST_F(HostileFeatureAnswers, AnswersOfEveryLengthAndSizeFallBackOrReadTrue) {
    int cases = 0;
    for (DWORD length = 0; length <= 300; ++length) {
        // 'x' is in no option table: a readable answer takes each feature's
        // "any other option" row, an unreadable one its fallback.
        const std::string option(length, 'x');
        const DWORD trueSize = length + 1;
        for (Answer answer : kAnswers) {
            driver.answer = answer;
            for (DWORD claimed : ClaimsFor(trueSize)) {
                for (Failure failure : kFailures) {
                    AnswerAll(option, claimed, true, failure);
                    const vorn::NewTicketRecord r = Fill();
                    const bool readable = Readable(trueSize, claimed, answer, failure);
                    SCOPED_TRACE(::testing::Message()
                                 << "length " << length << " claimed " << claimed << " answer "
                                 << static_cast<int>(answer) << " failure "
                                 << static_cast<int>(failure));
                    ++cases;
                    // Unlisted keywords keep the record's page code (0, A3).
                    ASSERT_EQ(readable ? Codes(3, 1, 2, 1, 0, 842.0, 1191.0, 1, 0xFFFF, 6, 0, 0, 2)
                                       : Fallback(true),
                              CodesOf(r));
                }
            }
        }
    }
    std::printf("[ hostile  ] %d feature-answer cases through FillNewTicketRecord\n", cases);
}

// Real keywords, the same hostile ways: read whole, or the documented
// fallback, never anything between.
TEST_F(HostileFeatureAnswers, RealKeywordsReadWholeOrFallBack) {
    struct Choice {
        const char* feature;
        const char* option;
    };
    const Choice choices[] = {
        {"Duplex", "DuplexTumble"}, {"Collate", "False"},          {"MediaType", "Transparency"},
        {"PageSize", "A4"},         {"Jog", "EndOfSet"},           {"StapleLocation", "DoubleLeft"},
        {"OutputBin", "Upper"},     {"OptionPunch", "Punch3Hole"}, {"Punch", "PunchTop"}};
    int cases = 0;
    for (bool portrait : {true, false}) {
        ResetDevmodes(portrait);
        for (Answer answer : kAnswers) {
            driver.answer = answer;
            for (Failure failure : kFailures) {
                for (int claimKind = 0; claimKind < 9; ++claimKind) {
                    bool allReadable = true;
                    for (const Choice& c : choices) {
                        const DWORD trueSize = static_cast<DWORD>(std::strlen(c.option) + 1);
                        const DWORD claimed = ClaimsFor(trueSize)[claimKind];
                        driver.features[c.feature] = c.option;
                        driver.claimedSize[c.feature] = claimed;
                        driver.failingFirst[c.feature] = failure == Failure::FirstCall;
                        driver.failing[c.feature] = failure == Failure::SecondCall;
                        allReadable = allReadable && Readable(trueSize, claimed, answer, failure);
                    }
                    // Claims relative to each answer's size: all the features
                    // are readable together or not at all, except the claims
                    // pinned to the buffer's size.
                    if (claimKind == 5 || claimKind == 6) {
                        continue;
                    }
                    const vorn::NewTicketRecord r = Fill();
                    ++cases;
                    SCOPED_TRACE(::testing::Message()
                                 << "portrait " << portrait << " answer "
                                 << static_cast<int>(answer) << " failure "
                                 << static_cast<int>(failure) << " claim " << claimKind);
                    const Codes read(portrait ? 4 : 5, 1, 6, 2, 1, portrait ? 595.0 : 842.0,
                                     portrait ? 842.0 : 595.0, 4, 2, 19, 3, 4, 2);
                    EXPECT_EQ(allReadable ? read : Fallback(portrait), CodesOf(r));
                }
            }
        }
    }
    std::printf("[ hostile  ] %d real-keyword cases\n", cases);
}

// Random bytes in both DEVMODEs: text without terminators, any delivery
// mode, any size fields. The record's text stays terminated in its fields.
TEST_F(HostileFeatureAnswers, RandomDevmodesStayInsideTheirBounds) {
    std::mt19937 rng(61206);
    AnswerAll("DuplexTumble", 0, false, Failure::None);
    const int kCases = 5000;
    for (int i = 0; i < kCases; ++i) {
        for (GuardedBuffer* dm : {&publicDm, &privateDm}) {
            for (size_t b = 0; b < dm->Size(); ++b) {
                dm->Data()[b] = static_cast<BYTE>(rng() % 3 ? rng() | 1 : rng());
            }
        }
        publicCopy.assign(publicDm.Data(), publicDm.Data() + publicDm.Size());
        privateCopy.assign(privateDm.Data(), privateDm.Data() + privateDm.Size());
        const vorn::NewTicketRecord r = Fill();
        ASSERT_LE(r.notifyKind, 2) << i;
        if (::testing::Test::HasFailure()) {
            FAIL() << "case " << i;
        }
    }
    std::printf("[ hostile  ] %d random DEVMODE pairs\n", kCases);
}

} // namespace
