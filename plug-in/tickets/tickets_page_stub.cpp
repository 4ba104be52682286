// Placeholder Tickets page, so that the sheet can be assembled before the
// real page arrives.
#include "../uihooks/page_procs.h"

namespace vorn {

INT_PTR CALLBACK TicketsPageProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

} // namespace vorn
