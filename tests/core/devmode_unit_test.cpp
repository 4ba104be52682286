#include "core/private_devmode.h"

#include <gtest/gtest.h>

#include <winsock.h>

#include <cstring>

using namespace vorn;

TEST(HostShortName, IsTheFirstLabelOfTheLocalHostName) {
    char name[kHostNameChars];
    std::memset(name, 'x', sizeof(name));
    GetLocalHostShortName(name);

    // Compare with what Windows Sockets answers, cut at the first dot.
    WSADATA data;
    ASSERT_EQ(0, WSAStartup(MAKEWORD(2, 0), &data));
    const hostent* host = gethostbyname(nullptr);
    ASSERT_NE(nullptr, host);
    std::string expected(host->h_name);
    WSACleanup();
    expected = expected.substr(0, expected.find('.'));
    expected = expected.substr(0, kHostNameChars - 1);
    EXPECT_EQ(expected, std::string(name));
    EXPECT_EQ(nullptr, std::strchr(name, '.'));
}
