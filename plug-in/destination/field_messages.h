// The two questions the page asks about an invalid entry, and the repairs
// their OK answers make to the page's controls. Shared by the checks made
// when the focus moves and by the commit.
#pragma once

#include <windows.h>

namespace vorn {

// Text read from a field of the page: 255 usable characters.
constexpr int kFieldTextChars = 256;

// Shows the invalid-PIN message for the entered text (its first four
// characters) after a beep of the given kind; IDOK or IDCANCEL.
int AskAboutInvalidPin(HWND page, HINSTANCE instance, const wchar_t* entered, UINT beep) noexcept;
// Shows the invalid-address message for the given text; IDOK or IDCANCEL.
int AskAboutInvalidAddress(HWND page, HINSTANCE instance, const wchar_t* address,
                           UINT beep) noexcept;

// Puts the fallback PIN into the PIN field.
void ShowFallbackPin(HWND page) noexcept;
// Turns the e-mail notice off on the page: type "None", empty address and
// message, their controls disabled.
void TurnOffEmailNotice(HWND page) noexcept;
// Moves the focus to a field with all of its text selected.
void FocusWholeField(HWND page, int id) noexcept;

} // namespace vorn
