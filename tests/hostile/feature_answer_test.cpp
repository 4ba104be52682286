// A host that answers feature queries badly: answers of every length, sizes
// that lie, buffers filled to the last byte without a terminator, failures
// on either call. The record and both DEVMODEs sit flush against
// inaccessible pages (see the fixture), so a stray write or read faults at
// once, and every fill checks that only the record's fields were written.
#include "ticketrecord/ticket_record_fixture.h"

#include <cstdio>
#include <random>
#include <tuple>

namespace {

using testsupport::GuardedBuffer;
using Answer = standin::DriverUI::Answer;

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
    Codes Filled() {
        Fill();
        const auto& r = *reinterpret_cast<const vorn::NewTicketRecord*>(bytes);
        return Codes(r.sidesCode, r.collateCode, r.mediaKind, r.mediaColor, r.mediaOpacity,
                     r.pageCode, r.pageWidth, r.pageHeight, r.jogCode, r.stapleCount, r.stapleKind,
                     r.bookletPortrait, r.outputBinCode, r.punchHoles, r.punchEdge, r.copies);
    }
};

// Every feature the translator asks for, with a keyword of its table.
constexpr std::pair<const char*, const char*> kKeywords[] = {
    {"Duplex", "DuplexTumble"}, {"Collate", "False"},          {"MediaType", "TransparencyBlue"},
    {"PageSize", "A4"},         {"Jog", "EndOfSet"},           {"StapleLocation", "DoubleLeft"},
    {"OutputBin", "Upper"},     {"OptionPunch", "Punch3Hole"}, {"Punch", "PunchTop"}};

// The sizes a lying host states for an answer of `trueSize` bytes.
std::vector<DWORD> ClaimsFor(DWORD trueSize) {
    return {trueSize,      trueSize - 1,      trueSize + 1, 0,         1,
            kOptionBuffer, kOptionBuffer + 1, trueSize * 2, 0xFFFFFFFF};
}

// Whether the translator may take the host's answer as the option keyword:
// only a whole, terminated answer that fits its buffer.
bool Readable(DWORD trueSize, DWORD claimed, Answer answer, Failure failure) {
    return failure == Failure::None && answer != Answer::Unterminated && claimed >= trueSize &&
           claimed <= kOptionBuffer;
}

// Every feature answers the same hostile way: with a real keyword (in
// portrait and landscape), or with 0 to 300 times 'x', which is in no option
// table, so that a readable answer takes each feature's "any other option"
// row. Each answer is read whole or falls back, never anything between.
TEST_F(HostileFeatureAnswers, AnswersReadWholeOrFallBack) {
    constexpr int kRealKeywords = -1;
    int cases = 0;
    for (bool portrait : {true, false}) {
        ResetDevmodes(portrait ? DMORIENT_PORTRAIT : DMORIENT_LANDSCAPE);
        for (int length = kRealKeywords; length <= (portrait ? 300 : kRealKeywords); ++length) {
            // Unlisted keywords keep the record's page code (0, A3).
            const Codes read =
                length == kRealKeywords
                    ? Codes(portrait ? 4 : 5, 1, 6, 4, 2, 1, portrait ? 595.0 : 842.0,
                            portrait ? 842.0 : 595.0, 4, 2, 4, 0, 19, 3, 4, 2)
                    : Codes(3, 1, 2, 0, 1, 0, 842.0, 1191.0, 1, 0xFFFF, 1, 0, 6, 0, 0, 2);
            for (Answer answer : {Answer::Honest, Answer::FillGiven, Answer::Unterminated}) {
                driver.answer = answer;
                for (Failure failure : {Failure::None, Failure::FirstCall, Failure::SecondCall}) {
                    for (size_t claim = 0; claim < ClaimsFor(0).size(); ++claim) {
                        bool allReadable = true;
                        for (const auto& [feature, keyword] : kKeywords) {
                            const std::string option =
                                length == kRealKeywords ? keyword : std::string(length, 'x');
                            const DWORD trueSize = static_cast<DWORD>(option.size() + 1);
                            const DWORD claimed = ClaimsFor(trueSize)[claim];
                            driver.features[feature] = option;
                            driver.claimedSize[feature] = claimed;
                            driver.failingFirst[feature] = failure == Failure::FirstCall;
                            driver.failing[feature] = failure == Failure::SecondCall;
                            allReadable =
                                allReadable && Readable(trueSize, claimed, answer, failure);
                        }
                        // Keywords of different lengths are readable together
                        // or not at all, except with the claims pinned to the
                        // buffer's size.
                        if (length == kRealKeywords && (claim == 5 || claim == 6)) {
                            continue;
                        }
                        driver.queried.clear();
                        SCOPED_TRACE(::testing::Message()
                                     << "portrait " << portrait << " length " << length
                                     << " answer " << static_cast<int>(answer) << " failure "
                                     << static_cast<int>(failure) << " claim " << claim);
                        ++cases;
                        ASSERT_EQ(allReadable ? read : Fallback(portrait), Filled());
                    }
                }
            }
        }
    }
    std::printf("[ hostile  ] %d feature-answer cases through FillNewTicketRecord\n", cases);
}

// Random bytes in both DEVMODEs: text without terminators, any delivery
// mode, any size fields. The record's text stays terminated in its fields.
TEST_F(HostileFeatureAnswers, RandomDevmodesStayInsideTheirBounds) {
    std::mt19937 rng(61206);
    for (const auto& [feature, keyword] : kKeywords) {
        driver.features[feature] = "DuplexTumble";
    }
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
