// One pass of everything a host can do with the plug-in today: load the DLL,
// create the object, size, default, convert and merge a DEVMODE, fill a
// new-ticket record through a context of its own, release, unload.
#pragma once

#include <windows.h>
#include <winspool.h>

#include "core/oem_interface.h"
#include "driver_ui.h"
#include "plugin_host.h"
#include "ticketrecord/ticket_translator.h"
#include "uihooks/plugin_context.h"

#include <gtest/gtest.h>

#include <cstring>

namespace testsupport {

inline void RunHostCycle(const wchar_t* printerName) {
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
    host.Unload();
}

} // namespace testsupport
