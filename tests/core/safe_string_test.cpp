#include "core/safe_string.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace vorn;

TEST(StringCopy, CopiesAndTerminatesWithinCapacity) {
    wchar_t buf[8];
    std::memset(buf, 0xCC, sizeof(buf));
    EXPECT_EQ(S_OK, StringCopy(buf, sizeof(buf), L"abc"));
    EXPECT_STREQ(L"abc", buf);
    // Exactly capacity-1 characters still fit.
    EXPECT_EQ(S_OK, StringCopy(buf, sizeof(buf), L"1234567"));
    EXPECT_STREQ(L"1234567", buf);
}

TEST(StringCopy, TruncatesAndReportsInsufficientBuffer) {
    wchar_t buf[4];
    std::memset(buf, 0xCC, sizeof(buf));
    EXPECT_EQ(kStrSafeInsufficientBuffer, StringCopy(buf, sizeof(buf), L"abcdef"));
    EXPECT_STREQ(L"abc", buf);

    wchar_t two[1] = {L'x'};
    EXPECT_EQ(kStrSafeInsufficientBuffer, StringCopy(two, 2, L"nonempty"));
    EXPECT_EQ(L'\0', two[0]);
}

TEST(StringCopy, RefusesZeroCapacityWithoutWriting) {
    wchar_t buf[2] = {L'q', L'r'};
    EXPECT_EQ(E_INVALIDARG, StringCopy(buf, 0, L"a"));
    EXPECT_EQ(E_INVALIDARG, StringCopy(buf, 1, L"a"));
    EXPECT_EQ(L'q', buf[0]);
    // A capacity past the platform's limit is refused as well.
    EXPECT_EQ(E_INVALIDARG, StringCopy(buf, (kStrSafeMaxChars + 1) * 2, L"a"));
    EXPECT_EQ(L'q', buf[0]);
}

TEST(StringAppend, AppendsAndTruncates) {
    wchar_t buf[6] = L"ab";
    EXPECT_EQ(S_OK, StringAppend(buf, sizeof(buf), L"cd"));
    EXPECT_STREQ(L"abcd", buf);
    EXPECT_EQ(kStrSafeInsufficientBuffer, StringAppend(buf, sizeof(buf), L"efg"));
    EXPECT_STREQ(L"abcde", buf);
}

TEST(StringAppend, RefusesUnterminatedDestination) {
    wchar_t buf[3] = {L'a', L'b', L'c'};
    EXPECT_EQ(E_INVALIDARG, StringAppend(buf, sizeof(buf), L"x"));
    EXPECT_EQ(L'a', buf[0]);
    EXPECT_EQ(L'c', buf[2]);
}

TEST(FormatWide, FormatsWideArgumentsAndCuts) {
    wchar_t buf[16];
    EXPECT_EQ(S_OK, FormatWide(buf, sizeof(buf), L"'%s' #%d", L"abc", 7));
    EXPECT_STREQ(L"'abc' #7", buf);
    wchar_t small[5];
    EXPECT_EQ(kStrSafeInsufficientBuffer, FormatWide(small, sizeof(small), L"%s", L"abcdef"));
    EXPECT_STREQ(L"abcd", small);
    // A result of exactly capacity-1 characters fits.
    EXPECT_EQ(S_OK, FormatWide(small, sizeof(small), L"%s", L"abcd"));
    EXPECT_STREQ(L"abcd", small);
    wchar_t untouched = L'z';
    EXPECT_EQ(E_INVALIDARG, FormatWide(&untouched, 1, L"%s", L"a"));
    EXPECT_EQ(L'z', untouched);
}

TEST(FormatNarrow, FormatsAndCuts) {
    char buf[12];
    EXPECT_EQ(S_OK, FormatNarrow(buf, sizeof(buf), "%s\\3\\%s", "C:", "x.hlp"));
    EXPECT_STREQ("C:\\3\\x.hlp", buf);
    char small[4];
    EXPECT_EQ(kStrSafeInsufficientBuffer, FormatNarrow(small, sizeof(small), "%s", "abcdef"));
    EXPECT_STREQ("abc", small);
    EXPECT_EQ(E_INVALIDARG, FormatNarrow(small, 0, "%s", "a"));
}

TEST(NarrowAppend, StopsAtCountAndCapacity) {
    char buf[6] = "";
    EXPECT_EQ(S_OK, StringAppendNarrowN(buf, sizeof(buf), "host.domain", 4));
    EXPECT_STREQ("host", buf);
    EXPECT_EQ(kStrSafeInsufficientBuffer, StringAppendNarrowN(buf, sizeof(buf), "xyz", 3));
    EXPECT_STREQ("hostx", buf);
}
