// The Destination page's message handlers, one file each; the dialog
// procedure dispatches to them.
#pragma once

#include <windows.h>

namespace vorn {

// WM_INITDIALOG: attaches the page's record and shows the settings.
void InitDestinationPage(HWND page, LPARAM pageDescription) noexcept;
// WM_COMMAND from one of the page's controls.
void OnDestinationCommand(HWND page, int id, int code) noexcept;
// WM_HELP: the help topic of the page or the pop-up of a control.
void OnDestinationHelp(HWND page, const HELPINFO* help) noexcept;

} // namespace vorn
