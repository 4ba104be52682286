// The Tickets document property page.
#pragma once

#include <windows.h>

namespace vorn {

// Dialog procedure of the page (template 1002); the page's lParam is the
// PluginContext of the sheet.
INT_PTR CALLBACK TicketsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace vorn
