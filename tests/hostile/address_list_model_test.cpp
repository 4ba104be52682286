// Ten thousand hostile address lists through CheckAddressList, each in a
// buffer that ends at an inaccessible page, compared with a model written
// from the rules: control characters anywhere, lone surrogates, quotes,
// stray '@' and '.', addresses around the 64-unit limit and lists far
// longer than any field.
#include "destination/field_checks.h"
#include "support/guarded_buffer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <random>
#include <string>
#include <vector>

namespace {

struct Outcome {
    int length = 0;
    std::wstring text; // the normalised list when valid
};

bool IsListSeparator(wchar_t c) {
    return c == L' ' || c == L',';
}

// One address: user '@' domain; neither part holds a separator or a second
// '@'; the domain does not start with '.', holds a '.' and ends in at least
// two units after its last '.'; 64 units at most.
bool ModelAddress(const std::wstring& address) {
    const size_t at = address.find(L'@');
    if (at == 0 || at == std::wstring::npos || address.size() > 64) {
        return false;
    }
    const std::wstring domain = address.substr(at + 1);
    if (domain.empty() || domain.front() == L'.' || domain.find(L'@') != std::wstring::npos) {
        return false;
    }
    const size_t dot = domain.rfind(L'.');
    return dot != std::wstring::npos && domain.size() - dot > 2;
}

Outcome ModelList(const std::wstring& input) {
    // Spaces at the front go first; then every unit is looked at, the
    // trailing spaces included.
    const size_t start = input.find_first_not_of(L' ');
    const std::wstring rest = start == std::wstring::npos ? L"" : input.substr(start);
    for (wchar_t c : rest) {
        if (c < 0x20 || c == L'"') {
            return {};
        }
    }
    std::vector<std::wstring> addresses;
    std::wstring current;
    for (wchar_t c : rest) {
        if (IsListSeparator(c)) {
            if (current.empty() && addresses.empty()) {
                return {}; // a list may not start with a comma
            }
            if (!current.empty()) {
                addresses.push_back(current);
                current.clear();
            }
        } else {
            current += c;
        }
    }
    if (!current.empty()) {
        addresses.push_back(current);
    }
    if (addresses.empty()) {
        return {};
    }
    Outcome outcome;
    for (const std::wstring& address : addresses) {
        if (!ModelAddress(address)) {
            return {};
        }
        outcome.text += (outcome.text.empty() ? L"" : L" ") + address;
    }
    // A list longer than is stored is refused whole, never cut.
    if (outcome.text.size() > 64) {
        return {};
    }
    outcome.length = static_cast<int>(outcome.text.size());
    return outcome;
}

// The check on a copy that ends flush against an inaccessible page.
Outcome Checked(const std::wstring& text) {
    testsupport::GuardedBuffer buffer((text.size() + 1) * sizeof(wchar_t));
    auto* units = reinterpret_cast<wchar_t*>(buffer.Data());
    wmemcpy(units, text.c_str(), text.size() + 1);
    Outcome outcome;
    outcome.length = vorn::CheckAddressList(units);
    if (outcome.length > 0) {
        outcome.text.assign(units, wcsnlen(units, text.size() + 1));
    }
    return outcome;
}

class HostileLists {
  public:
    explicit HostileLists(unsigned seed) : random_(seed) {}

    std::wstring Next() {
        std::wstring text = Pick(4) == 0 ? std::wstring(Pick(3), L' ') : L"";
        // Mostly a handful of addresses; now and then a list of hundreds.
        const int count = Pick(20) == 0 ? 50 + Pick(400) : 1 + Pick(3);
        for (int i = 0; i < count; ++i) {
            text += Address();
            text += Separators();
            if (Pick(40) == 0) {
                text.insert(Pick(static_cast<int>(text.size()) + 1), 1, Hostile());
            }
        }
        return text;
    }

  private:
    int Pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }

    wchar_t Ordinary() {
        static const wchar_t kUnits[] = {L'a',   L'z',   L'Q',   L'0',   L'-',   L'_',
                                         L'.',   L'+',   0x007F, 0x00E9, 0x4E2D, 0xD800,
                                         0xDC00, 0xDBFF, 0xFFFF, L'\'',  L';',   L'x'};
        return kUnits[Pick(sizeof(kUnits) / sizeof(kUnits[0]))];
    }
    // What must make a list invalid or split it: controls, quotes, '@'.
    wchar_t Hostile() {
        switch (Pick(4)) {
        case 0:
            return static_cast<wchar_t>(1 + Pick(31));
        case 1:
            return L'"';
        case 2:
            return L'@';
        default:
            return Pick(2) ? L'\t' : 0x007F;
        }
    }
    std::wstring Run(int length) {
        std::wstring run;
        for (int i = 0; i < length; ++i) {
            run += Ordinary();
        }
        return run;
    }
    // Lengths straddle the 64-unit limit; the domain mostly ends well.
    std::wstring Address() {
        std::wstring address = Run(Pick(8) == 0 ? 0 : 1 + Pick(Pick(3) == 0 ? 40 : 12)) + L"@";
        address += Pick(10) == 0 ? Run(1 + Pick(5)) : L"h" + Run(Pick(Pick(3) == 0 ? 24 : 8));
        if (Pick(6) != 0) {
            address += L"." + std::wstring(2 + Pick(2), L'c');
        }
        return address;
    }
    std::wstring Separators() {
        std::wstring run;
        const int length = Pick(5) == 0 ? 0 : 1 + Pick(3);
        for (int i = 0; i < length; ++i) {
            run += Pick(2) ? L' ' : L',';
        }
        return run;
    }

    std::mt19937 random_;
};

TEST(HostileAddressLists, TenThousandAgreeWithTheModel) {
    HostileLists lists(0x5EED1207);
    int valid = 0, long_lists = 0, invalid = 0;
    for (int i = 0; i < 10000; ++i) {
        const std::wstring text = lists.Next();
        if (text.size() > 255) {
            ++long_lists;
        }
        const Outcome expected = ModelList(text);
        const Outcome actual = Checked(text);
        ASSERT_EQ(expected.length, actual.length)
            << "case " << i << ", " << text.size() << " units";
        if (expected.length > 0) {
            ++valid;
            ASSERT_EQ(expected.text, actual.text) << "case " << i;
        } else {
            ++invalid;
        }
    }
    std::printf("[ figures  ] 10000 lists: %d valid, %d invalid, %d longer than 255 units\n", valid,
                invalid, long_lists);
    // The comparison covered both outcomes and the long lists.
    EXPECT_GT(valid, 1000);
    EXPECT_GT(invalid, 1000);
    EXPECT_GT(long_lists, 200);
}

TEST(HostileAddressLists, EveryControlCharacterMakesTheListInvalid) {
    const std::wstring good = L"first@host.com, second@host.org";
    for (wchar_t c = 1; c < 0x20; ++c) {
        for (size_t at : {size_t{0}, size_t{5}, good.size()}) {
            std::wstring text = good;
            text.insert(at, 1, c);
            EXPECT_EQ(0, Checked(text).length) << "unit " << int(c) << " at " << at;
        }
    }
    // DEL and lone surrogates are ordinary units here.
    for (wchar_t c : {wchar_t{0x7F}, wchar_t{0xD800}, wchar_t{0xDC00}}) {
        std::wstring text = L"u" + std::wstring(1, c) + L"@host.com";
        EXPECT_EQ(static_cast<int>(text.size()), Checked(text).length) << int(c);
    }
}

} // namespace
