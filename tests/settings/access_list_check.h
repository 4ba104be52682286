// Checks an access list against the one printer keys get at initialisation:
// full control for S-1-5-4, then for S-1-5-32-544, and nothing else.
#pragma once

#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

inline void ExpectPrinterKeyAccessList(PACL acl) {
    ASSERT_NE(nullptr, acl);
    ACL_SIZE_INFORMATION size{};
    ASSERT_TRUE(GetAclInformation(acl, &size, sizeof(size), AclSizeInformation));
    ASSERT_EQ(2u, size.AceCount);
    const wchar_t* expectedSids[] = {L"S-1-5-4", L"S-1-5-32-544"};
    for (DWORD i = 0; i < 2; ++i) {
        void* raw = nullptr;
        ASSERT_TRUE(GetAce(acl, i, &raw));
        auto* ace = static_cast<ACCESS_ALLOWED_ACE*>(raw);
        EXPECT_EQ(ACCESS_ALLOWED_ACE_TYPE, ace->Header.AceType) << i;
        EXPECT_EQ(0, ace->Header.AceFlags) << "no inheritance, entry " << i;
        EXPECT_EQ(static_cast<ACCESS_MASK>(KEY_ALL_ACCESS), ace->Mask) << i;
        PSID expected = nullptr;
        ASSERT_TRUE(ConvertStringSidToSidW(expectedSids[i], &expected));
        EXPECT_TRUE(EqualSid(expected, &ace->SidStart)) << i;
        LocalFree(expected);
    }
}
