// Dialog procedures of the plug-in's two property pages. Each page gets the
// current PluginContext as its creation parameter (PROPSHEETPAGEW::lParam).
#pragma once

#include <windows.h>

namespace vorn {

// The Destination page (dialog IDD_DESTINATION).
INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// The Tickets page (dialog IDD_TICKETS).
INT_PTR CALLBACK TicketsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace vorn
