// The real About box, created from the plug-in's resources and driven the
// way a person would: the test looks at it while it runs and closes it.
#include "about/about_box.h"

#include "plugin_host.h"
#include "resource_ids.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

HMODULE Plugin() {
    static HMODULE module = LoadLibraryW(standin::PluginDllPath().c_str());
    return module;
}

std::wstring StringOf(UINT id) {
    wchar_t text[256] = {};
    LoadStringW(Plugin(), id, text, 256);
    return text;
}

std::wstring ControlText(HWND dialog, int id) {
    wchar_t text[256] = {};
    GetDlgItemTextW(dialog, id, text, 256);
    return text;
}

// What the running box is checked and closed with.
std::function<void(HWND)> g_whileShown;
HWND g_found = nullptr;

BOOL CALLBACK FindAbout(HWND window, LPARAM) {
    wchar_t caption[32] = {};
    GetWindowTextW(window, caption, 32);
    if (IsWindowVisible(window) && std::wstring(caption) == L"About") {
        g_found = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    g_found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindAbout, 0);
    if (!g_found) {
        return;
    }
    KillTimer(nullptr, timer);
    auto action = std::move(g_whileShown);
    action(g_found);
}

// Runs the box; `whileShown` sees it once it is on screen and must close it.
INT_PTR RunAbout(std::function<void(HWND)> whileShown) {
    g_whileShown = std::move(whileShown);
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, OnTimer);
    // A safety net: a box nobody closes must not hang the test run.
    const UINT_PTR guard = SetTimer(nullptr, 0, 20000, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        g_found = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindAbout, 0);
        if (g_found) {
            EndDialog(g_found, -2);
        }
    });
    const INT_PTR result =
        DialogBoxParamW(Plugin(), MAKEINTRESOURCEW(IDD_ABOUT), nullptr, vorn::AboutDlgProc, 0);
    KillTimer(nullptr, timer);
    KillTimer(nullptr, guard);
    return result;
}

TEST(AboutBox, ShowsProductVersionAndLegalLines) {
    ASSERT_NE(nullptr, Plugin());
    const INT_PTR result = RunAbout([&](HWND dialog) {
        EXPECT_EQ(L"Vorn PS Printer Driver for Windows XP and Vista x64",
                  ControlText(dialog, IDC_ABOUT_PRODUCT));
        EXPECT_EQ(StringOf(IDS_ABOUT_VERSION) + L" 7.00", ControlText(dialog, IDC_ABOUT_VERSION));
        EXPECT_EQ(L"Version 7.00", ControlText(dialog, IDC_ABOUT_VERSION));
        for (int i = 0; i < 6; ++i) {
            const std::wstring legal = ControlText(dialog, IDC_ABOUT_LEGAL1 + i);
            EXPECT_FALSE(legal.empty()) << i;
            EXPECT_EQ(StringOf(IDS_ABOUT_LEGAL1 + i), legal) << i;
        }
        SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(1, result);
}

TEST(AboutBox, EscapeAndTheCloseBoxEndItWithOne) {
    ASSERT_NE(nullptr, Plugin());
    EXPECT_EQ(1, RunAbout([](HWND dialog) {
                  PostMessageW(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
                  PostMessageW(GetDlgItem(dialog, IDOK), WM_KEYUP, VK_ESCAPE, 0);
              }));
    EXPECT_EQ(1, RunAbout([](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }));
    EXPECT_EQ(1, RunAbout([](HWND dialog) { PostMessageW(dialog, WM_CLOSE, 0, 0); }));
}

TEST(AboutBox, LogoIsCentredOnItsPlaceholderWithWhiteLeftOut) {
    ASSERT_NE(nullptr, Plugin());
    EXPECT_EQ(1, RunAbout([&](HWND dialog) {
                  RedrawWindow(dialog, nullptr, nullptr,
                               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
                  RECT frame{};
                  GetWindowRect(GetDlgItem(dialog, IDC_ABOUT_LOGO_FRAME), &frame);
                  MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&frame), 2);
                  const int left = (frame.left + frame.right - 200) / 2;
                  const int top = (frame.top + frame.bottom - 82) / 2;
                  HDC dc = GetDC(dialog);
                  const COLORREF face = GetPixel(dc, 2, 2);
                  EXPECT_EQ(face, GetPixel(dc, left + 100, top + 78)); // white rows under the logo
                  EXPECT_EQ(face, GetPixel(dc, left + 0, top + 0));    // white corner of the band
                  EXPECT_EQ(face, GetPixel(dc, left + 25, top + 14));  // top of the "V", white: key
                  const COLORREF band = GetPixel(dc, left + 20, top + 30); // inside the blue band
                  EXPECT_NE(face, band);
                  EXPECT_LT(GetRValue(band), GetBValue(band));                    // blue
                  EXPECT_EQ(RGB(208, 32, 48), GetPixel(dc, left + 20, top + 70)); // red underline
                  ReleaseDC(dialog, dc);
                  SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
              }));
}

} // namespace
