// The feature broadcast meets windows of other threads: one that answers gets
// the message before Apply returns; one that hangs holds Apply up no longer
// than the broadcast's timeout.
#include "option_tree_fixture.h"
#include "window_thread.h"

#include "uihooks/feature_broadcast.h"

#include <cstdio>

namespace {

class BroadcastTest : public OptionTreeFixture {
  protected:
    void SetUp() override {
        OptionTreeFixture::SetUp();
        MakePrinter(L"UH Broadcast", L"Vorn K335 PS");
        OpenTree(OEMCUIP_DOCPROP);
    }
    DWORD TimedApply() {
        const DWORD start = GetTickCount();
        tree->CallCallback(CPSUICB_REASON_APPLYNOW);
        return GetTickCount() - start;
    }
};

TEST_F(BroadcastTest, HungWindowIsPassedOverWithinTheTimeout) {
    WindowThread hung;
    WindowThread answering;
    ASSERT_NE(nullptr, hung.Window());
    ASSERT_NE(nullptr, answering.Window());
    hung.Hang();

    const DWORD first = TimedApply();
    const DWORD second = TimedApply();
    std::printf("[ figures  ] Apply with one hung window: %lu ms, again: %lu ms "
                "(timeout %u ms)\n",
                static_cast<unsigned long>(first), static_cast<unsigned long>(second),
                vorn::kFeatureBroadcastTimeoutMs);
    // Generous, but below twice the timeout: the hung thread's other
    // top-level windows (its input-method window) must not cost it again.
    EXPECT_LT(first, 2 * vorn::kFeatureBroadcastTimeoutMs);
    EXPECT_LT(second, 2 * vorn::kFeatureBroadcastTimeoutMs);
    EXPECT_EQ(2, answering.Received());
    EXPECT_EQ(0, hung.Received());
    DWORD value = 0;
    EXPECT_TRUE(ReadDriverSettings(&value));

    hung.Resume(); // its queue still holds what it was sent
}

TEST_F(BroadcastTest, AnsweringWindowsCostLittle) {
    WindowThread first, second;
    const DWORD elapsed = TimedApply();
    std::printf("[ figures  ] Apply with two answering windows: %lu ms\n",
                static_cast<unsigned long>(elapsed));
    EXPECT_EQ(1, first.Received());
    EXPECT_EQ(1, second.Received());
}

} // namespace
