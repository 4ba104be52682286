// Apply of the printing preferences while another program's top-level
// window has stopped answering: the document callback's broadcast passes it
// over within its timeout, the other windows still get the message before
// Apply ends, and the pages still report to the host.
#include "sheet_fixture.h"
#include "window_thread.h"

#include "support/spooler_printers.h"
#include "uihooks/feature_broadcast.h"

#include <cstdio>

namespace {

class HungWindow : public PluginFixture {};

TEST_F(HungWindow, ApplyOfTheSheetWaitsNoLongerThanTheBroadcastTimeout) {
    constexpr wchar_t kPrinter[] = L"UH Hung Window K340";
    testsupport::Spooler().AddPrinter(kPrinter, L"Vorn K340 PS", 0, L"vornpsui.dll");
    standin::EditorPresence editor;
    WindowThread hung, answering;
    ASSERT_NE(nullptr, hung.Window());
    standin::PropertySheetHost sheet(host);
    standin::HostPage tree(&sheet.optionTreeParam); // its Apply runs the document callback
    const HWND window = ShowWithTreePage(sheet, tree, kPrinter);
    ASSERT_NE(nullptr, window);
    auto timedApply = [&] {
        sheet.results.clear();
        const DWORD start = GetTickCount();
        SendMessageW(window, PSM_APPLY, 0, 0);
        return GetTickCount() - start;
    };
    // Windows of the desktop's own programs may still be starting up; one
    // Apply with every window answering lets them settle first.
    const DWORD settled = timedApply();
    hung.Hang();
    const DWORD withHung[] = {timedApply(), timedApply()};
    std::printf("[ figures  ] sheet Apply, every window answering: %lu ms; one window hung: "
                "%lu ms, again %lu ms (broadcast timeout %u ms)\n",
                settled, withHung[0], withHung[1], vorn::kFeatureBroadcastTimeoutMs);
    // Generous, yet below twice the timeout: the hung thread's other
    // top-level windows (its input-method window) must not cost it again.
    for (DWORD ms : withHung) {
        EXPECT_LT(ms, 2 * vorn::kFeatureBroadcastTimeoutMs);
    }
    EXPECT_EQ(3, tree.applies);
    EXPECT_EQ(3, answering.Received());
    EXPECT_EQ(1, hung.Received()) << "only the message sent before it hung";
    // The Destination page and the callback reported OK each time.
    ASSERT_EQ(2u, sheet.results.size());
    for (const auto& result : sheet.results) {
        EXPECT_EQ(CPSUI_OK, result.second);
    }
    hung.Resume();
    PropSheet_PressButton(window, PSBTN_CANCEL);
    EXPECT_TRUE(sheet.PumpUntilClosed(5000));
    EXPECT_EQ(S_OK, sheet.End(CPSUI_CANCEL));
}

} // namespace
