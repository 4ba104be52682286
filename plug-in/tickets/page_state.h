// The working record of one Tickets page, attached to its list label
// (control 1330) so that every operation that has the page window finds it.
#pragma once

#include "folder_watch.h"
#include "tickets.h"

#include <windows.h>

#include <cstddef>

namespace vorn {

struct NewTicketRecord;

constexpr WORD kNoEditorButton = 0xFFFF;

struct TicketsPageState {
    HGLOBAL recordHandle;    // NewTicketRecord of a New action, or null
    NewTicketRecord* record; // its locked address
    wchar_t focusDirectory[kTicketPathBufferChars];
    wchar_t newTicketPath[kTicketPathBufferChars];
    PROCESS_INFORMATION editor;
    DWORD editorRunning;
    DWORD busy; // the page itself is moving the focus or asking the user
    WORD lastEditorButton;
    FolderWatch folderWatch; // what the refresh timer knew of the folder at its last walk
};

static_assert(offsetof(TicketsPageState, recordHandle) == 0);
static_assert(offsetof(TicketsPageState, record) == 8);
static_assert(offsetof(TicketsPageState, focusDirectory) == 16);
static_assert(offsetof(TicketsPageState, newTicketPath) == 536);
static_assert(offsetof(TicketsPageState, editor) == 1056);
static_assert(offsetof(TicketsPageState, editorRunning) == 1080);
static_assert(offsetof(TicketsPageState, busy) == 1084);
static_assert(offsetof(TicketsPageState, lastEditorButton) == 1088);
static_assert(offsetof(TicketsPageState, folderWatch) == 1096);
static_assert(sizeof(TicketsPageState) == 1640);

// The page's record, or null when none could be made.
TicketsPageState* TicketsState(HWND page) noexcept;
void AttachPageState(HWND page, TicketsPageState* state) noexcept;

} // namespace vorn
