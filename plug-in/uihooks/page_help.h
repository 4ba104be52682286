// Windows Help for the plug-in's pages: the help file in the printer-driver
// directory, the page's topic for F1, and pop-ups for single controls.
#pragma once

#include <windows.h>

#include <cstddef>

namespace vorn {

constexpr size_t kHelpPathChars = 256;

struct HelpPopup {
    int control;
    DWORD context;
};

// "vornps<lang>.hlp" in the version folder of the local driver directory.
void BuildHelpFilePath(char (&path)[kHelpPathChars]) noexcept;

// WM_HELP of a page: F1 alone opens `topic`; otherwise a control with an
// entry in `popups` gets its pop-up. Controls without one get nothing.
void ShowPageHelp(HWND page, const HELPINFO* help, DWORD topic, const HelpPopup* popups,
                  size_t popupCount) noexcept;
template <size_t N>
void ShowPageHelp(HWND page, const HELPINFO* help, DWORD topic,
                  const HelpPopup (&popups)[N]) noexcept {
    ShowPageHelp(page, help, topic, popups, N);
}

} // namespace vorn
