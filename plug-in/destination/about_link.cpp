#include "about_link.h"

#include "../resource_ids.h"

namespace vorn {

void ShowAboutBox(HWND owner, HINSTANCE instance) noexcept {
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutDlgProc, 0);
}

// A stand-in About procedure for builds without the About subsystem; the
// real definition takes its place at link time.
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
