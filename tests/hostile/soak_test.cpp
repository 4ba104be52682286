// Host cycles, each with the printing preferences: after the first cycle has
// settled what Wine and the runtime keep for good, nothing the process holds
// may grow.
#include "core/plugin_context.h"
#include "support/full_counts.h"
#include "resource_meter.h"
#include "support/spooler_printers.h"
#include "ticketrecord/ticket_translator.h"
#include "uihooks/sheet_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using standin::PrintFigures;
using standin::ResourceFigures;
using standin::ResourceMeter;

constexpr wchar_t kPrinter[] = L"Hostile Soak Printer";

// One pass of everything a host does with the plug-in: load the DLL, create
// the object, size, default, convert and merge a DEVMODE, fill a new-ticket
// record through a context of its own, run the printing preferences (the
// plug-in's pages beside a page of the host's own, whose Apply runs the
// plug-in's callback; every page shown, Apply, OK, SET_RESULT and DESTROY),
// then release and unload.
void RunHostCycle() {
    standin::PluginHost host;
    std::string error;
    ASSERT_TRUE(host.Load(standin::PluginDllPath(), &error)) << error;
    IPrintOemUI* plugin = host.Plugin();
    DWORD size = 0;
    ASSERT_EQ(S_OK, standin::CallDevMode(plugin, OEMDM_SIZE, nullptr, nullptr, &size));
    standin::HostDevmode current, incoming;
    for (standin::HostDevmode* devmode : {&current, &incoming}) {
        ASSERT_EQ(S_OK,
                  standin::CallDevMode(plugin, OEMDM_DEFAULT, nullptr, devmode->Private(), &size));
    }
    for (DWORD mode : {OEMDM_CONVERT, OEMDM_MERGE}) {
        ASSERT_EQ(S_OK,
                  standin::CallDevMode(plugin, mode, incoming.Private(), current.Private(), &size));
    }

    standin::DriverUI& driver = host.Driver();
    driver.features = {
        {"Duplex", "DuplexTumble"}, {"PageSize", "A4"}, {"StapleLocation", "Booklet"}};
    OEMUIPSPARAM sheetParam{};
    sheetParam.cbSize = sizeof(sheetParam);
    sheetParam.pPublicDM = current.Public();
    sheetParam.pOEMDM = current.Private();
    vorn::PluginContext context{};
    ASSERT_TRUE(OpenPrinterW(const_cast<wchar_t*>(kPrinter), &context.printer, nullptr));
    context.uiObject = driver.UiObject();
    context.driver = &driver;
    context.sheetParam = &sheetParam;
    vorn::NewTicketRecord record{};
    vorn::FillNewTicketRecord(&record, &context);
    ClosePrinter(context.printer);
    ASSERT_EQ(5, record.sidesCode);

    {
        standin::PropertySheetHost sheet(host);
        standin::HostPage tree(&sheet.optionTreeParam);
        const HWND window = ShowWithTreePage(sheet, tree, kPrinter);
        ASSERT_NE(nullptr, window);
        ASSERT_EQ(3u, sheet.pages.size()); // Destination, Tickets and the host's own
        SendMessageW(window, PSM_APPLY, 0, 0);
        EXPECT_EQ(1, tree.applies);
        EXPECT_EQ(CPSUICB_ACTION_NONE, tree.lastAction);
        // The Destination page and the document callback both report OK.
        EXPECT_GE(sheet.results.size(), 2u);
        PropSheet_PressButton(window, PSBTN_OK);
        ASSERT_TRUE(sheet.PumpUntilClosed(5000));
        EXPECT_EQ(S_OK, sheet.End(CPSUI_OK));
    }
    // The Tickets page loaded the ticket library; the sheet's end frees it.
    EXPECT_EQ(nullptr, GetModuleHandleW(L"vornjtwxp.dll"));
    host.Unload();
    EXPECT_EQ(nullptr, GetModuleHandleW(L"vornpsui.dll"));
}

TEST(HostCycleSoak, CyclesWithTheSheetHoldNoMoreThanTheFirst) {
    // The meter counts exactly, so a steady leak shows at a hundred cycles as
    // it does at a thousand; VORN_FULL_COUNTS=1 runs the thousand.
    const int kCycles = testsupport::CountOf(100, 1000);
    standin::EditorPresence editor;
    ASSERT_TRUE(editor.Installed());
    ASSERT_TRUE(testsupport::Spooler().AddPrinter(kPrinter, L"Vorn K355XS PS", 0, L"vornpsui.dll"));

    const ResourceFigures start = ResourceMeter::Measure();
    const DWORD startTime = GetTickCount();
    RunHostCycle();
    ASSERT_FALSE(::testing::Test::HasFatalFailure()) << "first cycle";
    const ResourceFigures afterFirst = ResourceMeter::Measure();
    for (int i = 1; i < kCycles; ++i) {
        RunHostCycle();
        ASSERT_FALSE(::testing::Test::HasFatalFailure()) << "cycle " << i;
    }
    const DWORD elapsed = GetTickCount() - startTime;
    const ResourceFigures afterAll = ResourceMeter::Measure();
    std::printf("[ resource ] %d cycles, each with the preferences sheet, %lu ms\n", kCycles,
                elapsed);
    PrintFigures("before the first cycle", start);
    PrintFigures("after the first cycle", afterFirst);
    PrintFigures("after the last cycle", afterAll);
    const ResourceFigures growth = afterAll - afterFirst;
    PrintFigures("growth after the first", growth);
    EXPECT_EQ(0, testsupport::Spooler().OpenHandles());
    // A fixed slack for what the runtime may still be settling; a leak of
    // one handle, one object or a few bytes per cycle is far beyond it.
    EXPECT_LE(growth.kernelHandles, 4);
    EXPECT_LE(growth.gdiObjects, 4);
    EXPECT_LE(growth.heapBytes, 8192);
}

} // namespace
