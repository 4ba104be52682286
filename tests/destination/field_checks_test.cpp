// The Destination page's text rules at their bounds, each text in a buffer
// that ends flush against an inaccessible page, so that a read past its
// terminator faults: free text, address lists of any length and content,
// single addresses and PINs.
#include "destination/field_checks.h"
#include "support/full_counts.h"
#include "support/guarded_buffer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <random>
#include <string>
#include <vector>

using namespace vorn;

namespace {

struct Checked {
    int result;
    std::wstring text;
};

// What a rule makes of a text and what it leaves in the buffer.
enum Rule { kScan, kScanTrimmed, kList, kMeasure };

Checked Apply(Rule rule, const std::wstring& input) {
    testsupport::GuardedBuffer buffer((input.size() + 1) * sizeof(wchar_t));
    auto* text = reinterpret_cast<wchar_t*>(buffer.Data());
    wmemcpy(text, input.c_str(), input.size() + 1);
    const int result = rule == kList      ? CheckAddressList(text)
                       : rule == kMeasure ? MeasureAddress(text)
                                          : ScanFieldText(text, rule == kScanTrimmed);
    return {result, text};
}

const std::wstring kAt64 = std::wstring(52, L'u') + L"@example.com";
const std::wstring kAt31 = std::wstring(19, L'u') + L"@example.com";

} // namespace

TEST(FieldRules, TextsAddressListsAndAddressesByRow) {
    std::wstring hundreds; // a list longer than any field
    for (int i = 0; i < 300; ++i) {
        hundreds += L"a@b.cd, ";
    }
    const struct {
        Rule rule;
        std::wstring input;
        int result;
        const wchar_t* text; // null: not checked
    } rows[] = {
        {kScanTrimmed, L" a b ", 3, L"a b"}, // inner spaces stay
        {kScan, L"  ab  ", 6, L"  ab  "},
        {kScan, L"", 0, L""},
        {kScanTrimmed, L"", 0, L""},
        {kScanTrimmed, L"    ", 0, L""},
        // A refused character: the complement of its position.
        {kScan, L"\tab", -1, nullptr},
        {kScan, L"abc\x1f", ~3, nullptr},
        {kScan, L"ab ~\x7f\xe9\xd800\xdc00", 8, nullptr}, // 32 and above pass, lone halves too
        // counted after the leading spaces went; refused text not end-trimmed
        {kScanTrimmed, L"   x\"  ", -2, L"x\"  "},
        // Address lists: separators normalised, trimmed.
        {kList, L"a@b.cd,,,e@f.gh", 13, L"a@b.cd e@f.gh"},
        {kList, L"  a@b.cd  ", 6, L"a@b.cd"},
        {kList, L"a@b.cd e@f.gh", 13, nullptr},
        {kList, L"a@b.cd,e@fgh", 0, nullptr},
        {kList, L"a@b.cd;e@f.gh", 0, nullptr}, // semicolons do not separate
        {kList, L"   ", 0, nullptr},
        {kList, L",a@b.cd", 0, nullptr},
        {kList, L"a@b.cd,\"x\"@f.gh", 0, nullptr},
        // Control characters anywhere, the trailing spaces included.
        {kList, L"\001a@b.cd", 0, nullptr},
        {kList, L"a@b.cd,\037e@f.gh", 0, nullptr},
        {kList, L"a@b.cd \t", 0, nullptr},
        {kList, L"u\x7f\xd800\xdc00@host.com", 13, nullptr}, // ordinary units here
        // An address and the whole list hold 64 at most: a longer list is
        // refused whole, since storing it cut would name another address.
        {kList, kAt64, 64, nullptr},
        {kList, kAt64 + L"u", 0, nullptr},
        {kList, L"  " + kAt64 + L" ,, ", 64, nullptr}, // measured once normalised
        {kList, kAt64 + L"," + kAt64, 0, nullptr},
        {kList, kAt31 + L",,  " + kAt31 + L"u", 64, nullptr},
        {kList, kAt31 + L" " + kAt31 + L"uu", 0, nullptr},
        {kList, hundreds, 0, nullptr},
        // One address: user '@' domain with a dot and two units after the last.
        {kList, L"a@b..cd", 7, nullptr},
        {kList, L"j.r.doe@mail-host.example", 25, nullptr},
        {kList, L"a@b.c", 0, nullptr},    // one character after the last dot
        {kList, L"@b.cd", 0, nullptr},    // empty user part
        {kList, L"a@.bcd", 0, nullptr},   // domain starts with a dot
        {kList, L"a@bcd", 0, nullptr},    // no dot in the domain
        {kList, L"a@b.cd@e", 0, nullptr}, // runs into another '@'
        {kList, L"a@", 0, nullptr},
        {kList, L"a b@c.de", 0, nullptr}, // user part ends at a space
        {kList, L"a@ b.cd", 0, nullptr},
        // Measured alone: leading spaces count, the first separator ends it.
        {kMeasure, L"  a@b.cd", 8, nullptr},
        {kMeasure, L"a@b.cd, x@y.zz", 6, nullptr},
        {kMeasure, L" " + kAt64, 0, nullptr},
        {kMeasure, L"", 0, nullptr},
    };
    for (const auto& row : rows) {
        const Checked got = Apply(row.rule, row.input);
        EXPECT_EQ(got.result, row.result) << row.rule << " [" << row.input << "]";
        if (row.text) {
            EXPECT_EQ(got.text, row.text) << row.rule << " [" << row.input << "]";
        }
    }
}

TEST(FieldRules, PinsAreFourDigits) {
    for (bool allowEmpty : {false, true}) {
        for (const wchar_t* pin : {L"0000", L"9999"}) {
            EXPECT_TRUE(IsValidPin(pin, allowEmpty)) << pin;
        }
        // (/ and : lie just below '0' and just above '9')
        for (const wchar_t* pin : {L"123", L"12345", L"12a4", L"12/4", L"12:4", L" 123"}) {
            EXPECT_FALSE(IsValidPin(pin, allowEmpty)) << pin;
        }
        EXPECT_EQ(IsValidPin(L"", allowEmpty), allowEmpty);
    }
    EXPECT_FALSE(IsValidPin(nullptr, true));
}

// Random lists built from parts whose answer is known: valid addresses of
// ordinary and odd units between runs of separators, normalised to one
// space each and refused whole beyond 64; and the same lists spoilt by a
// control character or a quote anywhere, or by an address without its '@'.
TEST(FieldRules, RandomListsGetTheAnswerOfTheirParts) {
    std::mt19937 rng(0x5EED1207);
    const auto units = [&rng](const std::wstring& from, size_t count) {
        std::wstring text;
        while (text.size() < count) {
            text += from[rng() % from.size()];
        }
        return text;
    };
    const std::wstring odd = L"az09-+!;\x7f\xd800\xdc00";
    const int cases = testsupport::CountOf(10000, 100000);
    int valid = 0;
    for (int i = 0; i < cases; ++i) {
        std::wstring list(rng() % 3, L' '), normalised;
        std::vector<size_t> ats;
        for (int count = 1 + rng() % 4; count > 0; --count) {
            const std::wstring user = units(odd + L".", 1 + rng() % 24);
            ats.push_back(list.size() + user.size());
            const std::wstring address = user + L"@" + units(odd, 1 + rng() % 8) +
                                         units(odd + L".", rng() % 8) + L"." +
                                         units(odd, 2 + rng() % 3);
            list += address + units(L" ,", count > 1 ? 1 + rng() % 3 : rng() % 3);
            normalised += (normalised.empty() ? L"" : L" ") + address;
        }
        const int spoil = rng() % 4; // 0: a unit no list holds, 1: an '@' gone, else none
        if (spoil == 0) {
            list.insert(rng() % (list.size() + 1), 1, rng() % 2 ? L'"' : wchar_t(1 + rng() % 31));
        } else if (spoil == 1) {
            list.erase(ats[rng() % ats.size()], 1);
        }
        const bool fits = spoil > 1 && normalised.size() <= 64;
        const Checked got = Apply(kList, list);
        ASSERT_EQ(got.result, fits ? static_cast<int>(normalised.size()) : 0)
            << i << " [" << list << "]";
        if (fits) {
            ASSERT_EQ(got.text, normalised) << i;
            ++valid;
        }
    }
    std::printf("[ figures  ] %d random lists, %d valid\n", cases, valid);
    EXPECT_GT(valid, cases / 10);
}
