// The pure text rules of the Destination page, at their bounds, and the
// address-list check against an independent model on random lists.
#include "destination/field_checks.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace vorn;

namespace {

struct Scanned {
    int result;
    std::wstring text;
};

Scanned Scan(const std::wstring& input, bool trim) {
    std::vector<wchar_t> buffer(input.begin(), input.end());
    buffer.push_back(L'\0');
    const int result = ScanFieldText(buffer.data(), trim);
    return {result, buffer.data()};
}

Scanned CheckList(const std::wstring& input) {
    std::vector<wchar_t> buffer(input.begin(), input.end());
    buffer.push_back(L'\0');
    const int result = CheckAddressList(buffer.data());
    return {result, buffer.data()};
}

} // namespace

TEST(ScanFieldText, TrimsBothEndsAndReportsTheLength) {
    EXPECT_EQ(Scan(L"  ab  ", true).result, 2);
    EXPECT_EQ(Scan(L"  ab  ", true).text, L"ab");
    EXPECT_EQ(Scan(L" a b ", true).text, L"a b"); // inner spaces stay
    EXPECT_EQ(Scan(L"  ab  ", false).result, 6);
    EXPECT_EQ(Scan(L"  ab  ", false).text, L"  ab  ");
}

TEST(ScanFieldText, EmptyAndBlankTextsGiveZero) {
    EXPECT_EQ(Scan(L"", false).result, 0);
    EXPECT_EQ(Scan(L"", true).result, 0);
    EXPECT_EQ(Scan(L"    ", true).result, 0);
    EXPECT_EQ(Scan(L"    ", true).text, L"");
}

TEST(ScanFieldText, RejectedCharacterGivesTheComplementOfItsPosition) {
    EXPECT_EQ(Scan(L"a\"b", false).result, -2);
    EXPECT_EQ(Scan(L"\tab", false).result, -1);
    EXPECT_EQ(Scan(L"abc\x1f", false).result, ~3);
    EXPECT_EQ(Scan(L"ab ~\x7f\xe9", false).result, 6); // 32 and above pass
    // The position counts after the leading spaces were removed.
    EXPECT_EQ(Scan(L"   x\"", true).result, -2);
    EXPECT_EQ(Scan(L"   x\"  ", true).text, L"x\"  "); // refused text is not end-trimmed
}

TEST(IsValidPin, FourDigitsAlwaysEmptyOnlyWhenAllowed) {
    for (bool allowEmpty : {false, true}) {
        EXPECT_TRUE(IsValidPin(L"0000", allowEmpty));
        EXPECT_TRUE(IsValidPin(L"9999", allowEmpty));
        EXPECT_FALSE(IsValidPin(L"123", allowEmpty));
        EXPECT_FALSE(IsValidPin(L"12345", allowEmpty));
        EXPECT_FALSE(IsValidPin(L"12a4", allowEmpty));
        EXPECT_FALSE(IsValidPin(L"12/4", allowEmpty)); // just below '0'
        EXPECT_FALSE(IsValidPin(L"12:4", allowEmpty)); // just above '9'
        EXPECT_FALSE(IsValidPin(L" 123", allowEmpty));
    }
    EXPECT_FALSE(IsValidPin(L"", false));
    EXPECT_TRUE(IsValidPin(L"", true));
    EXPECT_FALSE(IsValidPin(nullptr, true));
}

TEST(MeasureAddress, AcceptsTheSmallestAddressAndItsVariants) {
    EXPECT_EQ(MeasureAddress(L"a@b.cd"), 6);
    EXPECT_EQ(MeasureAddress(L"  a@b.cd"), 8); // leading spaces are counted
    EXPECT_EQ(MeasureAddress(L"a@b.cd, x@y.zz"), 6);
    EXPECT_EQ(MeasureAddress(L"a@b..cd"), 7);
    EXPECT_EQ(MeasureAddress(L"j.r.doe@mail-host.example"), 25);
}

TEST(MeasureAddress, RefusesMalformedAddresses) {
    EXPECT_EQ(MeasureAddress(L"a@b.c"), 0);    // one character after the last dot
    EXPECT_EQ(MeasureAddress(L"@b.cd"), 0);    // empty user part
    EXPECT_EQ(MeasureAddress(L"a@.bcd"), 0);   // domain starts with a dot
    EXPECT_EQ(MeasureAddress(L"a@bcd"), 0);    // no dot in the domain
    EXPECT_EQ(MeasureAddress(L"a@b.cd@e"), 0); // runs into another '@'
    EXPECT_EQ(MeasureAddress(L"a@"), 0);
    EXPECT_EQ(MeasureAddress(L"a b@c.de"), 0); // user part ends at a space
    EXPECT_EQ(MeasureAddress(L"a@ b.cd"), 0);
    EXPECT_EQ(MeasureAddress(L""), 0);
}

TEST(MeasureAddress, SixtyFourUnitsAtMost) {
    const std::wstring domain = L"@example.com"; // 12 units
    const std::wstring at64 = std::wstring(52, L'u') + domain;
    const std::wstring at65 = std::wstring(53, L'u') + domain;
    EXPECT_EQ(MeasureAddress(at64.c_str()), 64);
    EXPECT_EQ(MeasureAddress(at65.c_str()), 0);
    // Leading spaces count towards the limit.
    EXPECT_EQ(MeasureAddress((L" " + at64).c_str()), 0);
}

TEST(CheckAddressList, NormalisesSeparators) {
    EXPECT_EQ(CheckList(L"a@b.cd,,,e@f.gh").result, 13);
    EXPECT_EQ(CheckList(L"a@b.cd,,,e@f.gh").text, L"a@b.cd e@f.gh");
    EXPECT_EQ(CheckList(L"  a@b.cd  ").result, 6);
    EXPECT_EQ(CheckList(L"  a@b.cd  ").text, L"a@b.cd");
    EXPECT_EQ(CheckList(L"a@b.cd, ,e@f.gh,").text, L"a@b.cd e@f.gh");
    EXPECT_EQ(CheckList(L"a@b.cd, ,e@f.gh,").result, 13);
    EXPECT_EQ(CheckList(L"a@b.cd e@f.gh").result, 13);
}

TEST(CheckAddressList, RefusesInvalidLists) {
    EXPECT_EQ(CheckList(L"a@b.cd,e@fgh").result, 0);
    EXPECT_EQ(CheckList(L"a@b.cd;e@f.gh").result, 0); // semicolons do not separate
    EXPECT_EQ(CheckList(L"").result, 0);
    EXPECT_EQ(CheckList(L"   ").result, 0);
    EXPECT_EQ(CheckList(L",a@b.cd").result, 0);
    EXPECT_EQ(CheckList(L"a@b.cd,\"x\"@f.gh").result, 0);
    // An address and the whole list each hold at most 64: a longer list is
    // refused whole, since storing it cut would name another address.
    const std::wstring at64 = std::wstring(52, L'u') + L"@example.com";
    EXPECT_EQ(CheckList(at64).result, 64);
    EXPECT_EQ(CheckList(at64 + L"u").result, 0);
    EXPECT_EQ(CheckList(L"  " + at64 + L" ,, ").result, 64); // measured once normalised
    EXPECT_EQ(CheckList(at64 + L"," + at64).result, 0);
    const std::wstring at31 = std::wstring(19, L'u') + L"@example.com";
    EXPECT_EQ(CheckList(at31 + L",,  " + at31 + L"u").result, 64);
    EXPECT_EQ(CheckList(at31 + L" " + at31 + L"uu").result, 0);
}

namespace {

// An independent statement of the list rule: trim, refuse control characters
// and quotes, split at runs of commas and spaces, check each piece.
bool ModelAddressValid(const std::wstring& a) {
    const size_t at = a.find(L'@');
    if (at == std::wstring::npos || at == 0 || a.find(L'@', at + 1) != std::wstring::npos) {
        return false;
    }
    const std::wstring domain = a.substr(at + 1);
    const size_t lastDot = domain.rfind(L'.');
    return !domain.empty() && domain[0] != L'.' && lastDot != std::wstring::npos &&
           domain.size() - lastDot - 1 >= 2 && a.size() <= 64;
}

Scanned ModelCheckList(std::wstring text) {
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) {
        return {0, L""};
    }
    text = text.substr(first, text.find_last_not_of(L' ') - first + 1);
    for (wchar_t c : text) {
        if (c < L' ' || c == L'"') {
            return {0, L""};
        }
    }
    if (text[0] == L',') {
        return {0, L""};
    }
    std::wstring out;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t end = text.find_first_of(L" ,", pos);
        const std::wstring piece = text.substr(pos, end - pos);
        if (!ModelAddressValid(piece)) {
            return {0, L""};
        }
        if (!out.empty()) {
            out += L' ';
        }
        out += piece;
        if (end == std::wstring::npos) {
            break;
        }
        pos = text.find_first_not_of(L" ,", end);
        if (pos == std::wstring::npos) {
            break;
        }
    }
    if (out.size() > 64) {
        return {0, L""};
    }
    return {static_cast<int>(out.size()), out};
}

} // namespace

TEST(CheckAddressList, AgreesWithAnIndependentModelOnRandomLists) {
    std::mt19937 random(20261206);
    const wchar_t alphabet[] = {L'a', L'b', L'x', L'.', L'.',  L'@', L'@', L',',
                                L' ', L' ', L'-', L'"', L'\t', L';', L'1', L'z'};
    int valid = 0;
    for (int i = 0; i < 4000; ++i) {
        std::wstring text;
        // Mostly well-formed pieces, so that valid lists are common too.
        const int pieces = 1 + static_cast<int>(random() % 4);
        for (int p = 0; p < pieces; ++p) {
            if (random() % 3 != 0) {
                text += std::wstring(1 + random() % 12, L'u') + L"@h" +
                        std::wstring(random() % 12, L'd') + L".com";
            }
            const int noise = static_cast<int>(random() % 4);
            for (int n = 0; n < noise; ++n) {
                text += alphabet[random() % (sizeof(alphabet) / sizeof(alphabet[0]))];
            }
        }
        const Scanned expected = ModelCheckList(text);
        const Scanned actual = CheckList(text);
        ASSERT_EQ(actual.result, expected.result)
            << "list: [" << std::string(text.begin(), text.end()) << "]";
        if (expected.result > 0) {
            ++valid;
            ASSERT_EQ(actual.text, expected.text);
        }
    }
    EXPECT_GT(valid, 400); // the comparison covered both outcomes
}
