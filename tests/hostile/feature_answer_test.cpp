// A host that answers feature queries badly: answers of every length, sizes
// that lie, buffers filled to the last byte without a terminator, failures
// on either call. The record and both DEVMODEs sit flush against
// inaccessible pages (see the fixture), so a stray write or read faults at
// once, and every fill checks that only the record's fields were written.
#include "ticketrecord/ticket_record_fixture.h"

#include "core/feature_query.h"

#include <cstdio>
#include <random>
#include <tuple>

namespace {

using testsupport::GuardedBuffer;
using Answer = standin::DriverUI::Answer;

constexpr const char* kFeatures[] = {"Duplex",    "Collate",     "MediaType",
                                     "PageSize",  "Jog",         "StapleLocation",
                                     "OutputBin", "OptionPunch", "Punch"};
constexpr DWORD kOptionBuffer = 64; // what the translator gives each query

enum class Failure { None, FirstCall, SecondCall };

// The record's fields that the host's answers decide: sides, collate, media
// kind, colour, opacity, page code, width, height, jog, staples, staple kind,
// booklet, output bin, punch holes, punch edge, copies.
using Codes = std::tuple<int, int, int, int, int, int, double, double, int, int, int, int, int, int,
                         int, int>;

// No answer read: every feature's fallback (US Letter, no finishing).
Codes Fallback(bool portrait) {
    return Codes(3, 3, 2, 0, 0, 9, portrait ? 612.0 : 792.0, portrait ? 792.0 : 612.0, 1, 0xFFFF, 1,
                 0, 6, 0, 0, 2);
}

class HostileFeatureAnswers : public TicketRecordTest {
  protected:
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
    Codes Filled() {
        Fill();
        const auto& r = *reinterpret_cast<const vorn::NewTicketRecord*>(bytes);
        return Codes(r.sidesCode, r.collateCode, r.mediaKind, r.mediaColor, r.mediaOpacity,
                     r.pageCode, r.pageWidth, r.pageHeight, r.jogCode, r.stapleCount, r.stapleKind,
                     r.bookletPortrait, r.outputBinCode, r.punchHoles, r.punchEdge, r.copies);
    }
};

// The sizes a lying host states for an answer of `trueSize` bytes.
std::vector<DWORD> ClaimsFor(DWORD trueSize) {
    return {trueSize,      trueSize - 1,      trueSize + 1, 0,         1,
            kOptionBuffer, kOptionBuffer + 1, trueSize * 2, 0xFFFFFFFF};
}

constexpr Answer kAnswers[] = {Answer::Honest, Answer::FillGiven, Answer::Unterminated};
constexpr Failure kFailures[] = {Failure::None, Failure::FirstCall, Failure::SecondCall};

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
                    const Codes codes = Filled();
                    const bool readable = Readable(trueSize, claimed, answer, failure);
                    SCOPED_TRACE(::testing::Message()
                                 << "length " << length << " claimed " << claimed << " answer "
                                 << static_cast<int>(answer) << " failure "
                                 << static_cast<int>(failure));
                    ++cases;
                    // Unlisted keywords keep the record's page code (0, A3).
                    ASSERT_EQ(readable ? Codes(3, 1, 2, 0, 1, 0, 842.0, 1191.0, 1, 0xFFFF, 1, 0, 6,
                                               0, 0, 2)
                                       : Fallback(true),
                              codes);
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
    const Choice choices[] = {{"Duplex", "DuplexTumble"},
                              {"Collate", "False"},
                              {"MediaType", "TransparencyBlue"},
                              {"PageSize", "A4"},
                              {"Jog", "EndOfSet"},
                              {"StapleLocation", "DoubleLeft"},
                              {"OutputBin", "Upper"},
                              {"OptionPunch", "Punch3Hole"},
                              {"Punch", "PunchTop"}};
    int cases = 0;
    for (bool portrait : {true, false}) {
        ResetDevmodes(portrait ? DMORIENT_PORTRAIT : DMORIENT_LANDSCAPE);
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
                    const Codes codes = Filled();
                    ++cases;
                    SCOPED_TRACE(::testing::Message()
                                 << "portrait " << portrait << " answer "
                                 << static_cast<int>(answer) << " failure "
                                 << static_cast<int>(failure) << " claim " << claimKind);
                    const Codes read(portrait ? 4 : 5, 1, 6, 4, 2, 1, portrait ? 595.0 : 842.0,
                                     portrait ? 842.0 : 595.0, 4, 2, 4, 0, 19, 3, 4, 2);
                    EXPECT_EQ(allReadable ? read : Fallback(portrait), codes);
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
        Fill();
        ASSERT_LE(U16(1832), 2) << i; // the notice kind
        if (::testing::Test::HasFailure()) {
            FAIL() << "case " << i;
        }
    }
    std::printf("[ hostile  ] %d random DEVMODE pairs\n", kCases);
}

} // namespace
