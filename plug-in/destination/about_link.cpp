// A stand-in About procedure for builds without the About subsystem; the
// real definition replaces it at link time.
#include "about_link.h"

namespace vorn {

__attribute__((weak)) INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam,
                                                    LPARAM) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, 1);
        return TRUE;
    }
    return FALSE;
}

} // namespace vorn
