// What the program that starts the stand-in ticket software tells it, through
// environment variables the stand-ins read as they start or are called, and
// how it finds them again. Shared by the stand-ins, the tests and the demo.
#pragma once

namespace standin::knobs {

// The editor ("vornjtwxp.exe"). It also ends when its window is closed.
// File that receives the editor's own path and its command line (UTF-16,
// one per line).
constexpr wchar_t kEditorLog[] = L"VORN_EDITOR_LOG";
// HKLM key (a printer's PrinterDriverData) the editor hands back through.
constexpr wchar_t kEditorKey[] = L"VORN_EDITOR_KEY";
// "SelectedTicket" to write there (not written if unset).
constexpr wchar_t kEditorSelected[] = L"VORN_EDITOR_SELECTED";
// "JTEditorExitCode" to write there (not written if unset).
constexpr wchar_t kEditorExit[] = L"VORN_EDITOR_EXIT";
// Milliseconds until it ends by itself (default 300).
constexpr wchar_t kEditorLifetime[] = L"VORN_EDITOR_LIFETIME";
// "1": the window starts minimized.
constexpr wchar_t kEditorMinimized[] = L"VORN_EDITOR_MINIMIZED";
// "1": ends at once with an access-violation code, writing no hand-back, as
// a crashing editor would.
constexpr wchar_t kEditorCrash[] = L"VORN_EDITOR_CRASH";
// "1": acts as a person finishing with the ticket it was started on: unless
// told otherwise above, it hands back that ticket with exit code 0 and ends
// after 2.5 seconds; its window shows the ticket.
constexpr wchar_t kEditorDemo[] = L"VORN_EDITOR_DEMO";

// The ticket library ("vornjtwxp.dll"), loaded into the starting program.
// "1": create nothing and answer 5.
constexpr wchar_t kLibraryFail[] = L"VORN_TICKETLIB_FAIL";
// File that receives the new-ticket record as it arrived.
constexpr wchar_t kLibraryRecord[] = L"VORN_TICKETLIB_RECORD";
// Milliseconds to stay inside the call after the record was saved (a slow
// library, for tests of what happens meanwhile elsewhere in the process).
constexpr wchar_t kLibraryHoldMs[] = L"VORN_TICKETLIB_HOLD_MS";

// Every knob above: a test's leftovers would steer the next.
constexpr const wchar_t* kAll[] = {kEditorLog,      kEditorKey,       kEditorSelected, kEditorExit,
                                   kEditorLifetime, kEditorMinimized, kEditorCrash,    kEditorDemo,
                                   kLibraryFail,    kLibraryRecord,   kLibraryHoldMs};

// The external page library ("VORNPSXPS.DLL") sets this to its variant's
// name while loaded, so that a test can tell whether it was loaded at all.
constexpr wchar_t kPageLibraryLoaded[] = L"VORNPSXPS_LOADED";
// When set, the address (hexadecimal) of a page callback in the test program
// that the page it makes is given, so that the test sees the page destroyed.
constexpr wchar_t kPageLibraryCallback[] = L"VORNPSXPS_PAGE_CALLBACK";

// The class of the editor's window.
constexpr wchar_t kEditorWindowClass[] = L"VornTicketEditorStandIn";

} // namespace standin::knobs
