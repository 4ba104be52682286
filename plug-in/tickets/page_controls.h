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

// Room for a message with a whole path of any length the page forms: a
// person must see which folder or file the message is about.
constexpr size_t kTicketMessageBytes = 1024;

// Message box of the page: text string textId, with insert in place of "%s"
// when given (formatted into textBytes), caption "Vorn PS Printer Driver".
int ShowTicketMessage(HWND owner, HINSTANCE instance, UINT textId, UINT type,
                      const wchar_t* insert = nullptr,
                      size_t textBytes = kTicketMessageBytes) noexcept;

// Refuses the directory text shown: the field gets the focus with its whole
// text selected, then the "invalid directory" message. The focus moves first
// because the box gives it back to the window that had it, and a list getting
// it would ask again.
void RefuseDirectoryText(HWND page, HINSTANCE instance, const wchar_t* directory) noexcept;

// The directory edit's text, at most bufferChars - 1 characters.
void ReadDirectoryText(HWND page, wchar_t (&buffer)[kTicketPathBufferChars]) noexcept;

// Text of one list entry; false (buffer empty) when it does not fit.
bool ReadListEntry(HWND list, int index, wchar_t (&buffer)[kTicketPathBufferChars]) noexcept;

// directory + "\" + name, one separator between them even when the
// directory ends in one; false when the buffer would cut it.
bool JoinDirectoryPath(const wchar_t* directory, const wchar_t* name,
                       wchar_t (&buffer)[kTicketPathBufferChars]) noexcept;

// The path of the ticket `entry` (its name without ".jdf") in directory,
// joined as above; false when cut.
bool BuildTicketPath(const wchar_t* directory, const wchar_t* entry,
                     wchar_t (&buffer)[kTicketPathBufferChars]) noexcept;

} // namespace vorn
