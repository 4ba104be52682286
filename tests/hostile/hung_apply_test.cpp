// Apply of the real printing-preferences sheet while another program's
// top-level window has stopped answering: the document callback's broadcast
// passes it over after its timeout, and the pages still report to the host.
#include "host_cycle.h"

#include "editor_presence.h"
#include "spooler_control.h"
#include "support/plugin_fixture.h"
#include "uihooks/feature_broadcast.h"
#include "uihooks/window_thread.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

constexpr wchar_t kPrinter[] = L"Hostile Hung Apply K340";

class HungApply : public PluginFixture {};

TEST_F(HungApply, ApplyOfTheSheetWaitsNoLongerThanTheBroadcastTimeout) {
    standin::SpoolerControl spooler{};
    ASSERT_TRUE(spooler.Load());
    ASSERT_TRUE(spooler.AddPrinter(kPrinter, L"Vorn K340 PS", 0, L"vornpsui.dll"));
    standin::EditorPresence editor;
    WindowThread hung, answering;
    ASSERT_NE(nullptr, hung.Window());
    {
        standin::PropertySheetHost sheet(host);
        standin::HostPage tree(&sheet.optionTreeParam);
        HWND window = nullptr;
        ASSERT_NO_FATAL_FAILURE(testsupport::ShowPreferences(sheet, tree, kPrinter, 0, &window));
        auto timedApply = [&] {
            sheet.results.clear();
            const DWORD start = GetTickCount();
            SendMessageW(window, PSM_APPLY, 0, 0);
            return GetTickCount() - start;
        };
        // The first Apply lets the desktop's own windows settle.
        const DWORD settled = timedApply();
        hung.Hang();
        const DWORD withHung[] = {timedApply(), timedApply()};
        std::printf("[ figures  ] sheet Apply, every window answering: %lu ms; one window hung: "
                    "%lu ms, again %lu ms (broadcast timeout %u ms)\n",
                    settled, withHung[0], withHung[1], vorn::kFeatureBroadcastTimeoutMs);
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
}

} // namespace
