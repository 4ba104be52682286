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

template <typename Char> void Check(const Row<Char>& row) {
    Char buffer[32];
    std::memset(buffer, 0xCC, sizeof(buffer));
    std::memcpy(buffer, row.before.c_str(), (row.before.size() + 1) * sizeof(Char));
    EXPECT_EQ(row.hr, row.call(buffer)) << row.what;
    EXPECT_EQ(row.after, std::basic_string<Char>(buffer)) << row.what;
}

TEST(SafeString, WideHelpersCutAndTerminateWithinTheirCapacity) {
    constexpr HRESULT kCut = kStrSafeInsufficientBuffer;
    const Row<wchar_t> rows[] = {
        {"copy", L"", [](wchar_t* b) { return StringCopy(b, 16, L"abc"); }, S_OK, L"abc"},
        {"copy of capacity-1", L"", [](wchar_t* b) { return StringCopy(b, 16, L"1234567"); }, S_OK,
         L"1234567"},
        {"copy cut", L"", [](wchar_t* b) { return StringCopy(b, 8, L"abcdef"); }, kCut, L"abc"},
        {"copy into one", L"x", [](wchar_t* b) { return StringCopy(b, 2, L"nonempty"); }, kCut,
         L""},
        {"copy into none", L"qr", [](wchar_t* b) { return StringCopy(b, 0, L"a"); }, E_INVALIDARG,
         L"qr"},
        {"copy into half", L"qr", [](wchar_t* b) { return StringCopy(b, 1, L"a"); }, E_INVALIDARG,
         L"qr"},
        {"copy past the limit", L"qr",
         [](wchar_t* b) { return StringCopy(b, (kStrSafeMaxChars + 1) * 2, L"a"); }, E_INVALIDARG,
         L"qr"},
        {"append", L"ab", [](wchar_t* b) { return StringAppend(b, 12, L"cd"); }, S_OK, L"abcd"},
        {"append cut", L"abcd", [](wchar_t* b) { return StringAppend(b, 12, L"efg"); }, kCut,
         L"abcde"},
        {"append to unterminated", L"abc", [](wchar_t* b) { return StringAppend(b, 6, L"x"); },
         E_INVALIDARG, L"abc"},
        {"format", L"", [](wchar_t* b) { return FormatWide(b, 32, L"'%s' #%d", L"abc", 7); }, S_OK,
         L"'abc' #7"},
        {"format cut", L"", [](wchar_t* b) { return FormatWide(b, 10, L"%s", L"abcdef"); }, kCut,
         L"abcd"},
        {"format of capacity-1", L"", [](wchar_t* b) { return FormatWide(b, 10, L"%s", L"abcd"); },
         S_OK, L"abcd"},
        {"format into half", L"z", [](wchar_t* b) { return FormatWide(b, 1, L"%s", L"a"); },
         E_INVALIDARG, L"z"},
    };
    for (const auto& row : rows) {
        Check(row);
    }
}

TEST(SafeString, NarrowHelpersCutAndTerminateWithinTheirCapacity) {
    constexpr HRESULT kCut = kStrSafeInsufficientBuffer;
    const Row<char> rows[] = {
        {"format", "", [](char* b) { return FormatNarrow(b, 12, "%s\\3\\%s", "C:", "x.hlp"); },
         S_OK, "C:\\3\\x.hlp"},
        {"format cut", "", [](char* b) { return FormatNarrow(b, 4, "%s", "abcdef"); }, kCut, "abc"},
        {"format into none", "q", [](char* b) { return FormatNarrow(b, 0, "%s", "a"); },
         E_INVALIDARG, "q"},
        {"append a count", "", [](char* b) { return StringAppendNarrowN(b, 6, "host.domain", 4); },
         S_OK, "host"},
        {"append cut", "host", [](char* b) { return StringAppendNarrowN(b, 6, "xyz", 3); }, kCut,
         "hostx"},
    };
    for (const auto& row : rows) {
        Check(row);
    }
}

} // namespace
