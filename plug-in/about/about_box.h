// The About box: a modal dialog (template IDD_ABOUT) showing the product
// line, the version, the legal notice and the logo, whose white pixels let
// the dialog's background show through.
//
// The Destination page opens it with
//   DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUT), page, AboutDlgProc, 0);
// it ends with result 1 whichever way the user closes it.
#pragma once

#include <windows.h>

namespace vorn {

// Dialog procedure of the About box. Texts and the logo come from the
// instance the dialog window was created from.
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Draws the whole bitmap with its upper-left corner at x, y of the target,
// leaving out every pixel of the bitmap's key colour. The target's
// background and text colours are left as they were. The bitmap's key
// pixels are blackened on the way, so the caller discards it afterwards.
void DrawTransparentBitmap(HDC target, HBITMAP bitmap, int x, int y) noexcept;

// The colour of the first pixel of scan line 0 (the bottom-left pixel of a
// bottom-up bitmap). Black for formats it cannot decode, magenta when the
// pixel row cannot be read.
COLORREF GetBitmapKeyColor(HDC dc, HBITMAP bitmap, const BITMAP& description) noexcept;

} // namespace vorn
