// What the hostile ticket tests share: a printer with its ticket folder, the
// ticket software's registry values saved and put back, a person answering
// message boxes, and the Tickets page opened on them.
#pragma once

#include "../tickets/ticket_sheet.h"

#include "core/names.h"
#include "tickets/tickets_page.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace hostiletickets {

using namespace tickettest;
using Entries = std::vector<std::wstring>;

inline std::wstring FullPath(const std::wstring& path) {
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return full;
}

class HostileTicketPage : public ::testing::Test {
  protected:
    HostileTicketPage(const wchar_t* printerName, const wchar_t* folderName)
        : printer(Unique(printerName)), folder(folderName),
          softwarePath(HKEY_LOCAL_MACHINE, vorn::names::kTicketSoftwareKey,
                       vorn::names::kTicketSoftwarePathValue),
          editorDefault(HKEY_LOCAL_MACHINE, vorn::names::kTicketEditorKey,
                        vorn::names::kTicketEditorTicketsValue) {}
    std::unique_ptr<TicketSheet> OpenPage() {
        person.Clear();
        auto sheet = std::make_unique<TicketSheet>(PluginModule(), vorn::TicketsPageProc,
                                                   &printer.Context());
        EXPECT_TRUE(sheet->Open());
        return sheet;
    }

    BoxAnswerer person;
    TicketPrinter printer;
    TempFolder folder;
    SavedValue softwarePath;
    SavedValue editorDefault;
};

} // namespace hostiletickets
