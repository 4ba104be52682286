// The About box's dialog procedure, which the About subsystem defines, and
// the page's way of opening the box with it.
#pragma once

#include <windows.h>

namespace vorn {

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the About box modally, owned by the page; its result is not used.
void ShowAboutBox(HWND owner, HINSTANCE instance) noexcept;

} // namespace vorn
