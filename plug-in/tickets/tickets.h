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
// The longest directory the page takes: a ticket's path in it ("\", a name
// of one character and ".jdf" after it) must still fit a stored path.
constexpr size_t kDirectoryFieldChars = kTicketPathBufferChars - 1 - 6;

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

// ---- Ticket editor and ticket library -----------------------------------

// Results of FindTicketEditor.
constexpr int kEditorFound = 0;
constexpr int kEditorKeyUnreadable = 1;
constexpr int kEditorMissing = 3;
// Results of LaunchTicketEditor.
constexpr int kEditorStarted = 0;
constexpr int kEditorNotStarted = 4;
// Results of ReadEditorResult.
constexpr int kResultRead = 0;
constexpr int kResultUnreadable = 1;
constexpr int kResultTicketMissing = 2;

// The editor's executable path ("Path" of the ticket software's key and
// "vornjtwxp.exe") into path.
int FindTicketEditor(wchar_t (&path)[kTicketPathBufferChars]) noexcept;

// Starts the editor on ticketPath (replaced by its full path) for the
// printer; newTicket chooses -n over -jt.
int LaunchTicketEditor(HWND page, bool newTicket, const wchar_t* executable,
                       wchar_t (&ticketPath)[kTicketPathBufferChars],
                       const wchar_t* printerName) noexcept;

// Brings the running editor's titled top-level windows to the front.
void ActivateTicketEditor(HWND page) noexcept;
struct EditorWindows {
    DWORD processId;
    HWND windows[100];
    DWORD count;
};
BOOL CALLBACK CollectEditorWindow(HWND window, LPARAM collection) noexcept;

// The New and Edit actions.
void CreateNewTicket(HWND page, const PluginContext* context, HINSTANCE instance) noexcept;
void EditSelectedTicket(HWND page, const PluginContext* context, HINSTANCE instance) noexcept;
// The Delete action.
void DeleteSelectedTicket(HWND page, HINSTANCE instance) noexcept;

// The editor's hand-back: "SelectedTicket" split into folder (ending in a
// backslash) and entry name, and "JTEditorExitCode".
int ReadEditorResult(const wchar_t* printerName, wchar_t (&folder)[kTicketPathBufferChars],
                     wchar_t (&name)[kTicketPathBufferChars], DWORD* exitCode,
                     const PluginContext* context) noexcept;

// The editor watch timer's work: notices the editor's end and takes its
// ticket.
void HandleEditorExit(HWND page, HINSTANCE instance) noexcept;

// The Browse button: the folder dialog, then the list refreshed from the
// folder chosen.
void BrowseTicketDirectory(HWND page, const PluginContext* context) noexcept;
UINT_PTR CALLBACK FolderDialogHook(HWND hook, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
LRESULT CALLBACK FolderDialogSubclassProc(HWND dialog, UINT message, WPARAM wParam,
                                          LPARAM lParam) noexcept;

} // namespace vorn
