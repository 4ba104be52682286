// Random private sections through the host's convert and merge calls, in
// guarded buffers: no fault, nothing written outside the 2924 bytes, and the
// header stamped as the host expects.
#include "support/guarded_buffer.h"
#include "support/plugin_fixture.h"

#include "core/private_devmode.h"

#include <cstdio>
#include <random>
#include <vector>

namespace {

using testsupport::GuardedBuffer;

class DevModeFuzz : public PluginFixture {};

DWORD RandomSize(std::mt19937& rng) {
    switch (rng() % 6) {
    case 0:
        return rng(); // anything up to 0xFFFFFFFF
    case 1:
        return rng() % 16; // shorter than a header
    case 2:
        return 2924;
    case 3:
        return 0xFFFFFFFF;
    default:
        return rng() % 4000;
    }
}

TEST_F(DevModeFuzz, RandomSectionsStayInsideTheirBounds) {
    std::mt19937 rng(20261206);
    const int kCases = 100000;
    GuardedBuffer in(2924), out(2924), before(2924, GuardedBuffer::Guard::Before);
    std::vector<BYTE> expected(2924);
    int sameBuffer = 0, foreign = 0, nulls = 0;
    for (int i = 0; i < kCases; ++i) {
        for (size_t b = 0; b < 2924; b += 4) {
            const DWORD r = rng();
            std::memcpy(in.Data() + b, &r, 4);
            const DWORD s = rng();
            std::memcpy(out.Data() + b, &s, 4);
        }
        auto* inDm = reinterpret_cast<vorn::PrivateDevmode*>(in.Data());
        auto* outDm = reinterpret_cast<vorn::PrivateDevmode*>(out.Data());
        inDm->header.dwSize = RandomSize(rng);
        outDm->header.dwSize = RandomSize(rng);
        const bool sameSignature = rng() % 4 != 0;
        inDm->header.dwSignature = sameSignature ? 0x4D534654 : rng();
        outDm->header.dwSignature = rng() % 8 ? 0x4D534654 : rng();
        foreign += inDm->header.dwSignature != outDm->header.dwSignature;

        const DWORD mode = rng() % 2 ? OEMDM_CONVERT : OEMDM_MERGE;
        void* inPtr = in.Data();
        void* outPtr = out.Data();
        switch (rng() % 10) {
        case 0:
            inPtr = nullptr;
            ++nulls;
            break;
        case 1:
            outPtr = nullptr;
            ++nulls;
            break;
        case 2:
            inPtr = outPtr;
            ++sameBuffer;
            break;
        default:
            break;
        }
        const bool stamped = outPtr && (inPtr || mode == OEMDM_MERGE);
        ASSERT_EQ(S_OK, standin::CallDevMode(plugin, mode, inPtr, outPtr, nullptr));
        if (stamped) {
            ASSERT_EQ(2924u, outDm->header.dwSize) << i;
            ASSERT_EQ(1u, outDm->header.dwVersion) << i;
            if (mode == OEMDM_MERGE) {
                ASSERT_EQ(0x4D534654u, outDm->header.dwSignature) << i;
            }
        }
        // The same bytes again with the guard in front of the output.
        if (outPtr && inPtr && inPtr != outPtr && i % 10 == 0) {
            std::memcpy(before.Data(), out.Data(), 2924);
            ASSERT_EQ(S_OK, standin::CallDevMode(plugin, mode, in.Data(), before.Data(), nullptr));
        }
    }
    std::printf("devmode fuzz: %d cases (%d foreign signatures, %d null sections, %d in==out)\n",
                kCases, foreign, nulls, sameBuffer);
}

} // namespace
