// One pass of everything a host can do with the plug-in: load the DLL,
// create the object, size, default, convert and merge a DEVMODE, fill a
// new-ticket record through a context of its own and, when asked, run the
// printing preferences: CommonUIProp for the document tree, the sheet with
// the plug-in's pages beside a page of the host's own (whose Apply runs the
// plug-in's callback), every page shown, Apply, OK, SET_RESULT and DESTROY;
// then release and unload.
#pragma once

#include <windows.h>
#include <winspool.h>

#include "core/oem_interface.h"
#include "driver_ui.h"
#include "host_page.h"
#include "plugin_host.h"
#include "property_sheet_host.h"
#include "ticketrecord/ticket_translator.h"
#include "core/plugin_context.h"

#include <gtest/gtest.h>

#include <cstring>

namespace testsupport {

// Opens the printing preferences with the host's document-tree page `tree`
// beside the plug-in's pages (`expectedPages` of them, when not 0) and
// looks at every page.
inline void ShowPreferences(standin::PropertySheetHost& sheet, standin::HostPage& tree,
                            const wchar_t* printerName, size_t expectedPages, HWND* window) {
    ASSERT_EQ(S_OK, sheet.Begin(printerName));
    ASSERT_NE(nullptr, sheet.optionTreeParam.OEMCUIPCallback);
    ASSERT_EQ(S_OK, sheet.Init());
    if (expectedPages) {
        ASSERT_EQ(expectedPages, sheet.pages.size());
    }
    sheet.pages.push_back({tree.Create(), nullptr, false});
    *window = sheet.ShowModeless();
    ASSERT_NE(nullptr, *window);
    for (int index = static_cast<int>(sheet.pages.size()) - 1; index >= 0; --index) {
        ASSERT_NE(nullptr, sheet.PageWindow(index)) << "page " << index;
    }
}

// The printing preferences as a person uses them: every page looked at,
// Apply, then OK. `expectedPages` counts the plug-in's pages.
inline void RunPreferencesSheet(standin::PluginHost& host, const wchar_t* printerName,
                                size_t expectedPages) {
    standin::PropertySheetHost sheet(host);
    standin::HostPage tree(&sheet.optionTreeParam);
    HWND window = nullptr;
    ASSERT_NO_FATAL_FAILURE(ShowPreferences(sheet, tree, printerName, expectedPages, &window));
    SendMessageW(window, PSM_APPLY, 0, 0);
    EXPECT_EQ(1, tree.applies);
    EXPECT_EQ(CPSUICB_ACTION_NONE, tree.lastAction);
    // The Destination page and the document callback both report OK.
    EXPECT_GE(sheet.results.size(), 2u);
    PropSheet_PressButton(window, PSBTN_OK);
    ASSERT_TRUE(sheet.PumpUntilClosed(5000));
    EXPECT_EQ(S_OK, sheet.End(CPSUI_OK));
    // The Tickets page loaded the ticket library; the sheet's end frees it.
    EXPECT_EQ(nullptr, GetModuleHandleW(L"vornjtwxp.dll"));
}

inline void RunHostCycle(const wchar_t* printerName, size_t sheetPages = 0) {
    standin::PluginHost host;
    std::string error;
    ASSERT_TRUE(host.Load(standin::PluginDllPath(), &error)) << error;
    IPrintOemUI* plugin = host.Plugin();

    DWORD size = 0;
    ASSERT_EQ(S_OK, standin::CallDevMode(plugin, OEMDM_SIZE, nullptr, nullptr, &size));
    standin::HostDevmode current, incoming;
    ASSERT_EQ(S_OK, standin::CallDevMode(plugin, OEMDM_DEFAULT, nullptr, current.Private(), &size));
    ASSERT_EQ(S_OK,
              standin::CallDevMode(plugin, OEMDM_DEFAULT, nullptr, incoming.Private(), &size));
    ASSERT_EQ(S_OK, standin::CallDevMode(plugin, OEMDM_CONVERT, incoming.Private(),
                                         current.Private(), &size));
    ASSERT_EQ(S_OK, standin::CallDevMode(plugin, OEMDM_MERGE, incoming.Private(), current.Private(),
                                         &size));

    standin::DriverUI& driver = host.Driver();
    driver.features["Duplex"] = "DuplexTumble";
    driver.features["PageSize"] = "A4";
    driver.features["StapleLocation"] = "Booklet";
    OEMUIPSPARAM sheet{};
    sheet.cbSize = sizeof(sheet);
    sheet.pPublicDM = current.Public();
    sheet.pOEMDM = current.Private();
    vorn::PluginContext context{};
    ASSERT_TRUE(OpenPrinterW(const_cast<wchar_t*>(printerName), &context.printer, nullptr));
    context.uiObject = driver.UiObject();
    context.driver = &driver;
    context.sheetParam = &sheet;
    vorn::NewTicketRecord record;
    std::memset(&record, 0, sizeof(record));
    vorn::FillNewTicketRecord(&record, &context);
    ClosePrinter(context.printer);
    ASSERT_EQ(5, record.sidesCode);

    if (sheetPages) {
        RunPreferencesSheet(host, printerName, sheetPages);
        if (::testing::Test::HasFatalFailure()) {
            return;
        }
    }
    host.Unload();
    EXPECT_EQ(nullptr, GetModuleHandleW(L"vornpsui.dll"));
}

} // namespace testsupport
