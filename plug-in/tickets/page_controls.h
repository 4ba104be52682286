// Small operations on the Tickets page's controls shared by the list, the
// page procedure and the editor hand-off.
#pragma once

#include "tickets.h"
#include "../uihooks/page_window.h"

#include <windows.h>

namespace vorn {

struct PluginContext;

// The property sheet frame that holds the page.
HWND SheetFrame(HWND page) noexcept;

// Loads string id into buffer (always terminated, empty when missing).
void LoadPageString(HINSTANCE instance, UINT id, wchar_t* buffer, int bufferChars) noexcept;

// Message box of the page: text string textId, with insert in place of "%s"
// when given (formatted into textBytes), caption "Vorn PS Printer Driver".
int ShowTicketMessage(HWND owner, HINSTANCE instance, UINT textId, UINT type,
                      const wchar_t* insert = nullptr, size_t textBytes = 512) noexcept;

// The directory edit's text, at most bufferChars - 1 characters.
void ReadDirectoryText(HWND page, wchar_t (&buffer)[kTicketPathBufferChars]) noexcept;

// Text of one list entry; false (buffer empty) when it does not fit.
bool ReadListEntry(HWND list, int index, wchar_t (&buffer)[kTicketPathBufferChars]) noexcept;

// directory + "\" + entry + ".jdf", bounded by the buffer; false when cut.
bool BuildTicketPath(const wchar_t* directory, const wchar_t* entry,
                     wchar_t (&buffer)[kTicketPathBufferChars]) noexcept;

} // namespace vorn
