// The bounded string helpers every text of the plug-in goes through: each
// row starts from a buffer of 0xCC bytes holding `before`, calls one helper
// with a capacity in bytes, and states the result and the buffer's text.
#include "core/safe_string.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

using namespace vorn;

namespace {

template <typename Char> struct Row {
    const char* what;
    std::basic_string<Char> before;
    std::function<HRESULT(Char*)> call;
    HRESULT hr;
    std::basic_string<Char> after;
};

template <typename Char, size_t N> void Check(const Row<Char> (&rows)[N]) {
    for (const Row<Char>& row : rows) {
        Char buffer[32];
        std::memset(buffer, 0xCC, sizeof(buffer));
        std::memcpy(buffer, row.before.c_str(), (row.before.size() + 1) * sizeof(Char));
        EXPECT_EQ(row.hr, row.call(buffer)) << row.what;
        EXPECT_EQ(row.after, std::basic_string<Char>(buffer)) << row.what;
    }
}

#define ROW(before, call, hr, after)                                                               \
    {                                                                                              \
#call, before, [](auto* b) { return call; }, hr, after                                     \
    }
constexpr HRESULT kCut = kStrSafeInsufficientBuffer;

TEST(SafeString, HelpersCutAndTerminateWithinTheirCapacity) {
    const Row<wchar_t> wide[] = {
        ROW(L"", StringCopy(b, 16, L"abc"), S_OK, L"abc"),
        ROW(L"", StringCopy(b, 16, L"1234567"), S_OK, L"1234567"), // capacity-1 fits
        ROW(L"", StringCopy(b, 8, L"abcdef"), kCut, L"abc"),
        ROW(L"x", StringCopy(b, 2, L"nonempty"), kCut, L""),
        ROW(L"qr", StringCopy(b, 0, L"a"), E_INVALIDARG, L"qr"),
        ROW(L"qr", StringCopy(b, 1, L"a"), E_INVALIDARG, L"qr"),
        ROW(L"qr", StringCopy(b, (kStrSafeMaxChars + 1) * 2, L"a"), E_INVALIDARG, L"qr"),
        ROW(L"ab", StringAppend(b, 12, L"cd"), S_OK, L"abcd"),
        ROW(L"abcd", StringAppend(b, 12, L"efg"), kCut, L"abcde"),
        ROW(L"abc", StringAppend(b, 6, L"x"), E_INVALIDARG, L"abc"), // unterminated
        ROW(L"", FormatWide(b, 32, L"'%s' #%d", L"abc", 7), S_OK, L"'abc' #7"),
        ROW(L"", FormatWide(b, 10, L"%s", L"abcdef"), kCut, L"abcd"),
        ROW(L"", FormatWide(b, 10, L"%s", L"abcd"), S_OK, L"abcd"),
        ROW(L"z", FormatWide(b, 1, L"%s", L"a"), E_INVALIDARG, L"z"),
    };
    const Row<char> narrow[] = {
        ROW("", FormatNarrow(b, 12, "%s\\3\\%s", "C:", "x.hlp"), S_OK, "C:\\3\\x.hlp"),
        ROW("", FormatNarrow(b, 4, "%s", "abcdef"), kCut, "abc"),
        ROW("q", FormatNarrow(b, 0, "%s", "a"), E_INVALIDARG, "q"),
        ROW("", StringAppendNarrowN(b, 6, "host.domain", 4), S_OK, "host"),
        ROW("host", StringAppendNarrowN(b, 6, "xyz", 3), kCut, "hostx"),
    };
    Check(wide);
    Check(narrow);
}

} // namespace
