// Which context is current after a run of CommonUIProp calls: the property
// pages are added with it.
#include "option_tree_host.h"
#include "support/spooler_printers.h"
#include "uihooks/common_ui.h"
#include "uihooks/plugin_context.h"

#include <gtest/gtest.h>

namespace {

using vorn::CurrentPluginContext;

class CurrentContextTest : public ::testing::Test {
  protected:
    testsupport::TestPrinter printer{L"UH Current Context", L"Vorn K310 PS"};
    standin::DriverUI driver;
    standin::OptionTreeHost first{driver, printer.Handle(), printer.Name(),
                                  GetModuleHandleW(nullptr)};
    standin::OptionTreeHost second{driver, printer.Handle(), printer.Name(),
                                   GetModuleHandleW(nullptr)};

    void* Call(standin::OptionTreeHost& tree, DWORD mode, bool withItems) {
        OEMCUIPPARAM& param = tree.PrepareCall(withItems);
        param.pOEMUserData = nullptr;
        EXPECT_EQ(S_OK, vorn::CommonUIProp(mode, &param, &driver));
        return param.pOEMUserData;
    }
};

TEST_F(CurrentContextTest, LatestKeptContextIsCurrent) {
    void* documentContext = Call(first, OEMCUIP_DOCPROP, true);
    ASSERT_NE(nullptr, documentContext);
    EXPECT_EQ(documentContext, CurrentPluginContext());
    void* printerContext = Call(second, OEMCUIP_PRNPROP, true);
    ASSERT_NE(nullptr, printerContext);
    EXPECT_EQ(printerContext, CurrentPluginContext());

    // A refused call leaves the current context alone.
    EXPECT_EQ(E_FAIL, vorn::CommonUIProp(7, &first.PrepareCall(true), &driver));
    EXPECT_EQ(printerContext, CurrentPluginContext());
}

TEST_F(CurrentContextTest, GivenBackContextIsNeverCurrent) {
    ASSERT_NE(nullptr, Call(first, OEMCUIP_DOCPROP, true));
    for (DWORD mode : {OEMCUIP_DOCPROP, OEMCUIP_PRNPROP}) {
        EXPECT_EQ(nullptr, Call(second, mode, false));
        EXPECT_EQ(nullptr, CurrentPluginContext()) << mode;
    }
    void* kept = Call(second, OEMCUIP_DOCPROP, true);
    EXPECT_EQ(kept, CurrentPluginContext());
}

} // namespace
