// The Destination page's text rules at their bounds. Random and hostile
// address lists against a model of the rules: hostile/address_list_model_test.
#include "destination/field_checks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vorn;

namespace {

struct Checked {
    int result;
    std::wstring text;
};

// scan: ScanFieldText without (0) or with (1) trimming; 2: CheckAddressList.
Checked Apply(int rule, const std::wstring& input) {
    std::vector<wchar_t> buffer(input.begin(), input.end());
    buffer.push_back(L'\0');
    const int result =
        rule == 2 ? CheckAddressList(buffer.data()) : ScanFieldText(buffer.data(), rule == 1);
    return {result, buffer.data()};
}

const std::wstring kAt64 = std::wstring(52, L'u') + L"@example.com";
const std::wstring kAt31 = std::wstring(19, L'u') + L"@example.com";

} // namespace

TEST(FieldRules, ScanAndAddressListsByRow) {
    const struct {
        int rule;
        std::wstring input;
        int result;
        const wchar_t* text; // null: not checked
    } rows[] = {
        {1, L"  ab  ", 2, L"ab"},
        {1, L" a b ", 3, L"a b"}, // inner spaces stay
        {0, L"  ab  ", 6, L"  ab  "},
        {0, L"", 0, L""},
        {1, L"", 0, L""},
        {1, L"    ", 0, L""},
        // A refused character: the complement of its position.
        {0, L"a\"b", -2, nullptr},
        {0, L"\tab", -1, nullptr},
        {0, L"abc\x1f", ~3, nullptr},
        {0, L"ab ~\x7f\xe9", 6, nullptr}, // 32 and above pass
        // counted after the leading spaces went; refused text not end-trimmed
        {1, L"   x\"  ", -2, L"x\"  "},
        // Address lists: separators normalised, trimmed.
        {2, L"a@b.cd,,,e@f.gh", 13, L"a@b.cd e@f.gh"},
        {2, L"  a@b.cd  ", 6, L"a@b.cd"},
        {2, L"a@b.cd, ,e@f.gh,", 13, L"a@b.cd e@f.gh"},
        {2, L"a@b.cd e@f.gh", 13, nullptr},
        {2, L"a@b.cd,e@fgh", 0, nullptr},
        {2, L"a@b.cd;e@f.gh", 0, nullptr}, // semicolons do not separate
        {2, L"", 0, nullptr},
        {2, L"   ", 0, nullptr},
        {2, L",a@b.cd", 0, nullptr},
        {2, L"a@b.cd,\"x\"@f.gh", 0, nullptr},
        // An address and the whole list hold 64 at most: a longer list is
        // refused whole, since storing it cut would name another address.
        {2, kAt64, 64, nullptr},
        {2, kAt64 + L"u", 0, nullptr},
        {2, L"  " + kAt64 + L" ,, ", 64, nullptr}, // measured once normalised
        {2, kAt64 + L"," + kAt64, 0, nullptr},
        {2, kAt31 + L",,  " + kAt31 + L"u", 64, nullptr},
        {2, kAt31 + L" " + kAt31 + L"uu", 0, nullptr},
    };
    for (const auto& row : rows) {
        const Checked got = Apply(row.rule, row.input);
        EXPECT_EQ(got.result, row.result) << row.rule << " [" << row.input << "]";
        if (row.text) {
            EXPECT_EQ(got.text, row.text) << row.rule << " [" << row.input << "]";
        }
    }
}

TEST(FieldRules, PinsAndAddressesByRow) {
    for (bool allowEmpty : {false, true}) {
        for (const wchar_t* pin : {L"0000", L"9999"}) {
            EXPECT_TRUE(IsValidPin(pin, allowEmpty)) << pin;
        }
        // (/ and : lie just below '0' and just above '9')
        for (const wchar_t* pin : {L"123", L"12345", L"12a4", L"12/4", L"12:4", L" 123"}) {
            EXPECT_FALSE(IsValidPin(pin, allowEmpty)) << pin;
        }
    }
    EXPECT_FALSE(IsValidPin(L"", false));
    EXPECT_TRUE(IsValidPin(L"", true));
    EXPECT_FALSE(IsValidPin(nullptr, true));

    const struct {
        std::wstring address;
        int measured;
    } rows[] = {
        {L"a@b.cd", 6},
        {L"  a@b.cd", 8}, // leading spaces are counted
        {L"a@b.cd, x@y.zz", 6},
        {L"a@b..cd", 7},
        {L"j.r.doe@mail-host.example", 25},
        {L"a@b.c", 0},    // one character after the last dot
        {L"@b.cd", 0},    // empty user part
        {L"a@.bcd", 0},   // domain starts with a dot
        {L"a@bcd", 0},    // no dot in the domain
        {L"a@b.cd@e", 0}, // runs into another '@'
        {L"a@", 0},
        {L"a b@c.de", 0}, // user part ends at a space
        {L"a@ b.cd", 0},
        {L"", 0},
        {kAt64, 64},
        {L"u" + kAt64, 0},
        {L" " + kAt64, 0}, // leading spaces count towards the limit
    };
    for (const auto& row : rows) {
        EXPECT_EQ(MeasureAddress(row.address.c_str()), row.measured) << "[" << row.address << "]";
    }
}
