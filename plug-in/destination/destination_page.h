// The Destination page of the printing preferences: job name, user name,
// delivery mode, PIN and e-mail notice, edited on dialog 1000 and written
// back into the private DEVMODE section when the page is left.
#pragma once

#include <windows.h>

namespace vorn {

// The page's dialog procedure; its lParam at creation is the page
// description, whose lParam is the sheet's PluginContext.
INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Sets the page's label and button texts from the string table.
void LoadPageLabels(HWND page, HINSTANCE instance) noexcept;
// Fills a combo box with `count` texts from consecutive slots of `slotWidth`
// units, in slot order (empty slots as empty entries), and selects one.
void FillListFromSlots(HWND page, int id, int count, int selection, size_t slotWidth,
                       const wchar_t* slots) noexcept;
// Fills a combo box with the strings firstString..lastString and selects
// one; a selection past the end leaves none selected.
void FillListFromStrings(HWND page, int id, UINT firstString, UINT lastString, int selection,
                         HINSTANCE instance) noexcept;
// Detaches the input method from a window; TRUE so that an enumeration
// goes on.
BOOL CALLBACK DisableImeProc(HWND child, LPARAM unused);

} // namespace vorn
