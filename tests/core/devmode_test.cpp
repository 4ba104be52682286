// The private DEVMODE section through IPrintOemUI::DevMode, as the host
// calls it: its size, its defaults, and convert and merge of sections of
// every shape, stored ones included, whose sizes may be anything.
#include "support/full_counts.h"
#include "support/guarded_buffer.h"
#include "support/plugin_fixture.h"

#include "core/private_devmode.h"

#include <winsock.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using vorn::PrivateDevmode;
constexpr DWORD kSize = 2924;
constexpr DWORD kSignature = 0x4D534654; // "TFSM"

class DevModeTest : public PluginFixture {};

TEST_F(DevModeTest, RefusesWhatItCannotServeAndSizesOnly) {
    OEMDMPARAM param{};
    for (DWORD mode : {0u, 5u, 100u}) {
        SetLastError(0);
        EXPECT_EQ(E_FAIL, plugin->DevMode(mode, &param));
        EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    }
    SetLastError(0);
    EXPECT_EQ(E_FAIL, plugin->DevMode(OEMDM_SIZE, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    // Defaults need somewhere to go.
    DWORD size = 0;
    SetLastError(0);
    EXPECT_EQ(E_FAIL, standin::CallDevMode(plugin, OEMDM_DEFAULT, nullptr, nullptr, &size));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    EXPECT_EQ(0u, size);

    // The size touches nothing else.
    std::vector<BYTE> in(kSize, 0x11), out(kSize, 0x22);
    size = 5;
    ASSERT_EQ(S_OK, standin::CallDevMode(plugin, OEMDM_SIZE, in.data(), out.data(), &size));
    EXPECT_EQ(kSize, size);
    EXPECT_EQ(std::vector<BYTE>(kSize, 0x11), in);
    EXPECT_EQ(std::vector<BYTE>(kSize, 0x22), out);
}

// ctest runs this test again as users of 16 and 17 characters.
TEST_F(DevModeTest, DefaultWritesOnlyItsFields) {
    standin::HostDevmode dm;
    std::memset(dm.Private(), 0x5A, kSize);
    DWORD size = 0;
    ASSERT_EQ(S_OK, standin::CallDevMode(plugin, OEMDM_DEFAULT, nullptr, dm.Private(), &size));
    EXPECT_EQ(kSize, size);
    auto* p = reinterpret_cast<PrivateDevmode*>(dm.Private());
    EXPECT_EQ(kSize, p->header.dwSize);
    EXPECT_EQ(kSignature, p->header.dwSignature);
    EXPECT_EQ(1u, p->header.dwVersion);
    EXPECT_STREQ(L"", p->delivery.jobName);
    EXPECT_STREQ(L"", p->delivery.pin);
    EXPECT_EQ(0, p->delivery.emailNotify);

    wchar_t user[64] = {};
    DWORD chars = 64;
    ASSERT_TRUE(GetUserNameW(user, &chars));
    if (const char* expectLength = std::getenv("VORN_EXPECT_USER_LENGTH")) {
        EXPECT_EQ(static_cast<size_t>(std::atoi(expectLength)), wcslen(user));
    }
    // A name too long for the slot leaves it empty rather than cut.
    EXPECT_STREQ(wcslen(user) <= 16 ? user : L"", p->delivery.userNames[0]);

    // The host's name as Windows Sockets answers it, cut at the first dot.
    WSADATA data;
    ASSERT_EQ(0, WSAStartup(MAKEWORD(2, 0), &data));
    const hostent* host = gethostbyname(nullptr);
    ASSERT_NE(nullptr, host);
    std::string expected(host->h_name);
    WSACleanup();
    expected = expected.substr(0, expected.find('.')).substr(0, sizeof(p->delivery.hostName) - 1);
    EXPECT_EQ(expected, std::string(p->delivery.hostName));

    // Untouched: collate, other history slots, delivery mode, ticket path.
    EXPECT_EQ(0x5A5A, p->collate);
    EXPECT_EQ(0x5A, p->delivery.deliveryMode);
    EXPECT_EQ(0x5A, dm.Private()[2404]);
    EXPECT_EQ(0x5A, dm.Private()[2923]);
    EXPECT_EQ(0x5A, reinterpret_cast<BYTE*>(p->delivery.userNames[1])[0]);
    EXPECT_EQ(0x5A, reinterpret_cast<BYTE*>(p->delivery.emailAddresses[0])[0]);
}

// Convert and merge: an input of 0x11 bytes onto an output of 0x22 bytes
// with room before and behind it; the input may be the output itself. The
// output's bytes from 12 up to `copiedTo` must be the input's, all others
// its own; its header must read as given.
constexpr int kNoInput = 0, kInput = 1, kOutputAsInput = 2;
struct Shape {
    DWORD mode;
    int input;
    DWORD inSize, inSignature;
    bool hasOut;
    DWORD outSize, outSignature, outVersion;
    DWORD size, signature, version; // the output's header afterwards
    size_t copiedTo;
};
constexpr DWORD kC = OEMDM_CONVERT, kM = OEMDM_MERGE, kAny = 0xFFFFFFFF, kOther = 0x12345678;
constexpr Shape kShapes[] = {
    // Same signature: the smaller size is copied, the header stamped.
    {kC, kInput, 2000, kSignature, true, kSize, kSignature, 1, kSize, kSignature, 1, 2000},
    {kM, kInput, 2000, kSignature, true, kSize, kSignature, 1, kSize, kSignature, 1, 2000},
    // A foreign section copies nothing.
    {kC, kInput, kSize, kOther, true, 100, kSignature, 9, kSize, kSignature, 1, 12},
    {kM, kInput, kSize, kSignature, true, kSize, kOther, 3, kSize, kSignature, 1, 12},
    // Stored sizes that lie: nothing beyond the section, no header alone.
    {kM, kInput, 0, kSignature, true, kAny, kSignature, 1, kSize, kSignature, 1, 12},
    {kM, kInput, 4, kSignature, true, kAny, kSignature, 1, kSize, kSignature, 1, 12},
    {kM, kInput, 11, kSignature, true, kAny, kSignature, 1, kSize, kSignature, 1, 12},
    {kM, kInput, 12, kSignature, true, kAny, kSignature, 1, kSize, kSignature, 1, 12},
    {kM, kInput, 13, kSignature, true, kAny, kSignature, 1, kSize, kSignature, 1, 13},
    {kM, kInput, 2925, kSignature, true, kAny, kSignature, 1, kSize, kSignature, 1, kSize},
    {kM, kInput, kAny, kSignature, true, kAny, kSignature, 1, kSize, kSignature, 1, kSize},
    // The output as its own input keeps its bytes; its header is stamped.
    {kC, kOutputAsInput, 0, 0, true, kAny, kSignature, 7, kSize, kSignature, 1, 12},
    {kM, kOutputAsInput, 0, 0, true, 100, kOther, 7, kSize, kSignature, 1, 12},
    // No input: convert leaves the output alone, merge stamps it.
    {kC, kNoInput, 0, 0, true, 5, 0, 0, 5, 0, 0, 12},
    {kM, kNoInput, 0, 0, true, 5, 0, 0, kSize, kSignature, 1, 12},
    // No output: the input is left as it was.
    {kM, kInput, kSize, kSignature, false, 0, 0, 0, 0, 0, 0, 0},
    {kC, kInput, kSize, kSignature, false, 0, 0, 0, 0, 0, 0, 0},
};

TEST_F(DevModeTest, ConvertAndMergeSectionsOfEveryShape) {
    constexpr size_t kBefore = 16; // the output's room before its section
    for (const Shape& s : kShapes) {
        SCOPED_TRACE(::testing::Message() << "mode " << s.mode << " in " << s.input << "/"
                                          << s.inSize << " out " << s.hasOut << "/" << s.outSize);
        std::vector<BYTE> in(3000, 0x11), out(kBefore + 3000, 0x22);
        BYTE* section = out.data() + kBefore;
        reinterpret_cast<PrivateDevmode*>(in.data())->header = {s.inSize, s.inSignature, 7};
        const OEM_DMEXTRAHEADER outHeader = {s.outSize, s.outSignature, s.outVersion};
        reinterpret_cast<PrivateDevmode*>(section)->header = outHeader;
        const std::vector<BYTE> inBefore = in;
        void* input = s.input == kInput ? in.data() : s.input == kOutputAsInput ? section : nullptr;
        ASSERT_EQ(S_OK, standin::CallDevMode(plugin, s.mode, input, s.hasOut ? section : nullptr,
                                             nullptr));
        EXPECT_EQ(inBefore, in);
        if (!s.hasOut) {
            continue;
        }
        const OEM_DMEXTRAHEADER& h = reinterpret_cast<PrivateDevmode*>(section)->header;
        EXPECT_EQ(s.size, h.dwSize);
        EXPECT_EQ(s.signature, h.dwSignature);
        EXPECT_EQ(s.version, h.dwVersion);
        for (size_t i = 0; i < out.size(); ++i) {
            if (i < kBefore || i >= kBefore + 12) {
                ASSERT_EQ(i >= kBefore && i < kBefore + s.copiedTo ? 0x11 : 0x22, out[i])
                    << "byte " << static_cast<long>(i - kBefore);
            }
        }
    }
}

DWORD RandomSize(std::mt19937& rng) {
    const DWORD sizes[] = {rng(), rng() % 16, kSize, 0xFFFFFFFF, rng() % 4000};
    return sizes[std::min<DWORD>(rng() % 6, 4)];
}

// Random sections between inaccessible pages, with any size and signature,
// missing, or the output as its own input: nothing is read or written
// outside them, and a written output reads as a section of the plug-in's.
TEST_F(DevModeTest, RandomSectionsStayInsideTheirBounds) {
    std::mt19937 rng(20261206);
    const int cases = testsupport::CountOf(10000, 100000);
    using testsupport::GuardedBuffer;
    GuardedBuffer in(kSize), out(kSize), before(kSize, GuardedBuffer::Guard::Before);
    for (int i = 0; i < cases; ++i) {
        for (GuardedBuffer* buffer : {&in, &out}) {
            for (size_t b = 0; b < kSize; b += 4) {
                const DWORD r = rng();
                std::memcpy(buffer->Data() + b, &r, 4);
            }
        }
        auto* inDm = reinterpret_cast<PrivateDevmode*>(in.Data());
        auto* outDm = reinterpret_cast<PrivateDevmode*>(out.Data());
        inDm->header.dwSize = RandomSize(rng);
        outDm->header.dwSize = RandomSize(rng);
        inDm->header.dwSignature = rng() % 4 != 0 ? kSignature : rng();
        outDm->header.dwSignature = rng() % 8 ? kSignature : rng();
        const DWORD mode = rng() % 2 ? OEMDM_CONVERT : OEMDM_MERGE;
        const DWORD missing = rng() % 10; // 0: no input, 1: no output, 2: the output as input
        void* inPtr = missing == 0 ? nullptr : missing == 2 ? out.Data() : in.Data();
        void* outPtr = missing == 1 ? nullptr : out.Data();
        ASSERT_EQ(S_OK, standin::CallDevMode(plugin, mode, inPtr, outPtr, nullptr));
        if (outPtr && (inPtr || mode == OEMDM_MERGE)) {
            ASSERT_EQ(kSize, outDm->header.dwSize) << i;
            ASSERT_EQ(1u, outDm->header.dwVersion) << i;
            if (mode == OEMDM_MERGE) {
                ASSERT_EQ(kSignature, outDm->header.dwSignature) << i;
            }
        }
        // The same bytes again with the guard in front of the output.
        if (outPtr && inPtr && inPtr != outPtr && i % 10 == 0) {
            std::memcpy(before.Data(), out.Data(), kSize);
            ASSERT_EQ(S_OK, standin::CallDevMode(plugin, mode, in.Data(), before.Data(), nullptr));
        }
    }
    std::printf("[ figures  ] %d random sections\n", cases);
}

} // namespace
