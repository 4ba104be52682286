#include "about_box.h"

#include "../core/handles.h"
#include "../core/safe_string.h"
#include "../resource_ids.h"

namespace vorn {

namespace {

constexpr int kTextChars = 256;

HINSTANCE DialogInstance(HWND dialog) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): handles and records travel as integers
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
}

void SetTextFromString(HWND dialog, HINSTANCE instance, int control, UINT stringId) {
    wchar_t text[kTextChars] = {};
    LoadStringW(instance, stringId, text, kTextChars);
    SetDlgItemTextW(dialog, control, text);
}

void FillTexts(HWND dialog) {
    const HINSTANCE instance = DialogInstance(dialog);
    SetTextFromString(dialog, instance, IDC_ABOUT_PRODUCT, IDS_ABOUT_PRODUCT);

    wchar_t version[kTextChars] = {};
    LoadStringW(instance, IDS_ABOUT_VERSION, version, kTextChars);
    AppendInto(version, L" ");
    AppendInto(version, VORN_VERSION_TEXT_W);
    SetDlgItemTextW(dialog, IDC_ABOUT_VERSION, version);

    for (int id = IDS_ABOUT_LEGAL1; id <= IDS_ABOUT_LEGAL6; ++id) {
        // Each legal line's control carries the number of its string.
        SetTextFromString(dialog, instance, id, static_cast<UINT>(id));
    }
}

// Centres the logo on the invisible placeholder control.
void PaintLogo(HWND dialog) {
    PaintDc paint(dialog);
    if (!paint.Get()) {
        return;
    }
    RECT frame{};
    GetWindowRect(GetDlgItem(dialog, IDC_ABOUT_LOGO_FRAME), &frame);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&frame), 2);

    UniqueGdiObject logo(LoadBitmapW(DialogInstance(dialog), MAKEINTRESOURCEW(IDB_ABOUT_LOGO)));
    BITMAP description{};
    if (!logo || !GetObjectW(logo.Get(), sizeof(description), &description)) {
        return;
    }
    const int x = (frame.left + frame.right - description.bmWidth) / 2;
    const int y = (frame.top + frame.bottom - description.bmHeight) / 2;
    DrawTransparentBitmap(paint.Get(), static_cast<HBITMAP>(logo.Get()), x, y);
}

} // namespace

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        FillTexts(dialog);
        return TRUE;
    case WM_PAINT:
        PaintLogo(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 1);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace vorn
