// DocumentPropertySheets: adds the plug-in's pages to the printing
// preferences and answers the other stages of the sheet's life.
#pragma once

#include "../core/oem_interface.h"

namespace vorn {

struct PluginContext;

// Called by the host once per stage (reason) of the sheet's life. At
// initialisation it adds the Destination page, and the Tickets page when the
// ticket editor is installed and the printer qualifies.
HRESULT DocumentPropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam) noexcept;

// True when the machine-wide "Path" of the ticket software names a folder
// that holds the editor program as a file.
bool IsTicketEditorInstalled() noexcept;

// False only for a connection to a shared printer that lacks the direct
// attribute; every failure to find out counts as true.
bool ShouldShowTicketsPage(const PluginContext* context) noexcept;

// True on Windows XP (5.1), where an external library makes the
// Destination page.
bool IsWindowsXP() noexcept;

// Loads `fileName` from the printer driver's folder by its full path; null
// when the spooler does not name that folder or the library does not load.
HMODULE LoadLibraryFromDriverDir(const PluginContext* context, const wchar_t* fileName) noexcept;

} // namespace vorn
