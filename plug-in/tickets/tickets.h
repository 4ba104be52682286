// The job-ticket subsystem: the ticket directory and list of the Tickets
// page, and the hand-off to the separate ticket editor and ticket library.
// Everything here runs on the property sheet's window thread.
#pragma once

#include <windows.h>

#include <cstddef>

namespace vorn {

struct PluginContext;

// Paths of this subsystem are held in buffers of this many characters.
constexpr size_t kTicketPathBufferChars = MAX_PATH;

// ---- Ticket directory --------------------------------------------------

// True when the path's attributes can be read and say "directory"
// (expectFile false) or "not a directory" (expectFile true).
bool IsExistingPath(const wchar_t* path, bool expectFile) noexcept;

// "CurrentTicketsDir" of the context's printer into buffer; 1 only when it
// is a terminated string that names an existing directory, else 0 with the
// buffer empty.
int ReadTicketsDirectory(const PluginContext* context,
                         wchar_t (&buffer)[kTicketPathBufferChars]) noexcept;

// The ticket editor's default folder ("Tickets" of its machine-wide key);
// 1 when readable as a terminated string that fits, else 0 with the buffer
// empty. The folder's existence is not checked.
int ReadDefaultTicketsDirectory(wchar_t (&buffer)[kTicketPathBufferChars]) noexcept;

// Stores the full path of path as "CurrentTicketsDir"; failures are silent.
void WriteTicketsDirectory(const PluginContext* context, const wchar_t* path) noexcept;

// ---- Ticket list --------------------------------------------------------

// Rebuilds the list from a directory, or from the path of a selected ticket
// (whose folder becomes the directory). Either may be null; with neither the
// list holds "None" only and the user is told the settings are unreadable.
void FillTicketList(const wchar_t* directory, const wchar_t* selectedTicket, HWND page,
                    const PluginContext* context) noexcept;

// Reconciles the list with the folder named by the directory edit.
void RefreshTicketList(HWND page, HINSTANCE instance) noexcept;

// Description, buttons and the sheet's changed state after a selection.
void UpdateTicketSelection(HWND page, HINSTANCE instance) noexcept;

// Writes the choice into the private DEVMODE and "CurrentTicketsDir" when
// the page is left: 0 lets the page go, 1 keeps it (invalid directory).
int CommitTicketSelection(HWND page, HINSTANCE instance) noexcept;

// Control texts at the page's start.
void SetTicketsPageLabels(HWND page, HINSTANCE instance) noexcept;

// Chooses the directory at the page's start: the DEVMODE's ticket if it
// exists, else the saved directory chain below.
void FillTicketListAtStart(HWND page, const PluginContext* context) noexcept;
// "CurrentTicketsDir", else the editor's default folder, else none.
void FillTicketListFromSavedDirectory(HWND page, const PluginContext* context) noexcept;

} // namespace vorn
