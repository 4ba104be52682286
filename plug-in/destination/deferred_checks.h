// The checks the Destination page makes when the focus lands on another
// field after the PIN or the address was left. They change only the page's
// controls; the commit writes the settings.
#pragma once

#include <windows.h>

namespace vorn {

// Each returns 1 when its check was pending (it then ran, whatever the
// outcome) and 0 when nothing was pending.
int CheckPendingPin(HWND page, HINSTANCE instance) noexcept;
int CheckPendingAddress(HWND page, HINSTANCE instance) noexcept;

} // namespace vorn
