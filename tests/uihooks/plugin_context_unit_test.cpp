// Which context is current after a run of CommonUIProp calls: the property
// pages are added with it.
#include "option_tree_host.h"
#include "support/spooler_printers.h"
#include "uihooks/common_ui.h"
#include "core/plugin_context.h"

#include <gtest/gtest.h>

namespace {

TEST(CurrentPluginContext, LatestKeptContextUntilOneIsGivenBack) {
    testsupport::TestPrinter printer(L"UH Current Context", L"Vorn K310 PS");
    standin::DriverUI driver;
    standin::OptionTreeHost tree(driver, printer.Handle(), printer.Name(),
                                 GetModuleHandleW(nullptr));
    auto call = [&](DWORD mode, bool withItems) {
        OEMCUIPPARAM& param = tree.PrepareCall(withItems);
        param.pOEMUserData = nullptr;
        vorn::CommonUIProp(mode, &param, &driver);
        return param.pOEMUserData;
    };
    void* documentContext = call(OEMCUIP_DOCPROP, true);
    ASSERT_NE(nullptr, documentContext);
    EXPECT_EQ(documentContext, vorn::CurrentPluginContext());
    void* printerContext = call(OEMCUIP_PRNPROP, true);
    EXPECT_NE(documentContext, printerContext);
    EXPECT_EQ(printerContext, vorn::CurrentPluginContext());
    call(7, true); // refused
    EXPECT_EQ(printerContext, vorn::CurrentPluginContext());

    for (DWORD mode : {OEMCUIP_DOCPROP, OEMCUIP_PRNPROP}) {
        call(OEMCUIP_DOCPROP, true);
        EXPECT_EQ(nullptr, call(mode, false));
        EXPECT_EQ(nullptr, vorn::CurrentPluginContext()) << "given back, mode " << mode;
    }
}

} // namespace
