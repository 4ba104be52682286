// Placeholder Destination page: shows the template and opens the About box,
// so that the sheet can be assembled before the real page arrives.
#include "../about/about_box.h"
#include "../resource_ids.h"
#include "../uihooks/page_procs.h"

namespace vorn {

INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_ABOUT_BUTTON) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): handles and records travel as integers
        const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(page, GWLP_HINSTANCE));
        DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUT), page, AboutDlgProc, 0);
        return TRUE;
    }
    return FALSE;
}

} // namespace vorn
