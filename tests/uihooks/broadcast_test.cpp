// A window that has stopped answering holds the Apply up no longer than the
// broadcast's timeout; the others still get the message before Apply ends.
#include "option_tree_fixture.h"
#include "window_thread.h"

#include "uihooks/feature_broadcast.h"

#include <cstdio>

namespace {

class BroadcastTest : public OptionTreeFixture {};

TEST_F(BroadcastTest, HungWindowIsPassedOverWithinTheTimeout) {
    MakePrinter(L"UH Broadcast", L"Vorn K335 PS");
    OpenTree(OEMCUIP_DOCPROP);
    WindowThread hung, answering;
    ASSERT_NE(nullptr, hung.Window());
    hung.Hang();
    DWORD elapsed[2];
    for (DWORD& ms : elapsed) {
        const DWORD start = GetTickCount();
        tree->CallCallback(CPSUICB_REASON_APPLYNOW);
        ms = GetTickCount() - start;
    }
    std::printf("[ figures  ] Apply with one hung window: %lu ms, again: %lu ms (timeout %u ms)\n",
                elapsed[0], elapsed[1], vorn::kFeatureBroadcastTimeoutMs);
    // Generous, yet below twice the timeout: the hung thread's other
    // top-level windows (its input-method window) must not cost it again.
    for (DWORD ms : elapsed) {
        EXPECT_LT(ms, 2 * vorn::kFeatureBroadcastTimeoutMs);
    }
    EXPECT_EQ(2, answering.Received());
    EXPECT_EQ(0, hung.Received());
    EXPECT_NE(~0u, StoredSettings());
}

} // namespace
