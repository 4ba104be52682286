// The About box's dialog procedure, which the About subsystem defines; the
// Destination page opens the box with it.
#pragma once

#include <windows.h>

namespace vorn {

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace vorn
