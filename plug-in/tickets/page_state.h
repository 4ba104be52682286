// The working record of one Tickets page, kept like every page's record in
// the page window (see PageState in page_window.h).
#pragma once

#include "folder_watch.h"
#include "tickets.h"
#include "../core/handles.h"

#include <windows.h>

namespace vorn {

struct NewTicketRecord;

constexpr WORD kNoEditorButton = 0xFFFF;

struct TicketsPageState {
    // This page's own reference to the ticket library: another sheet of the
    // process closing cannot take it away while this page may call it.
    UniqueModule ticketLibrary;
    // The NewTicketRecord of a New action (fixed memory), or none.
    UniqueGlobal recordMemory;
    wchar_t focusDirectory[kTicketPathBufferChars] = {};
    wchar_t newTicketPath[kTicketPathBufferChars] = {};
    // The editor started by this page, while it runs.
    UniqueKernelHandle editorProcess;
    UniqueKernelHandle editorThread;
    DWORD editorProcessId = 0;
    bool editorRunning = false;
    bool busy = false; // the page itself is moving the focus or asking the user
    WORD lastEditorButton = kNoEditorButton;
    FolderWatch folderWatch; // what the refresh timer knew of the folder at its last walk

    NewTicketRecord* Record() const noexcept {
        return static_cast<NewTicketRecord*>(static_cast<void*>(recordMemory.Get()));
    }
    void ReleaseRecord() noexcept { recordMemory.Reset(); }
    // The editor is no longer this page's to watch.
    void ForgetEditor() noexcept {
        editorProcess.Reset();
        editorThread.Reset();
        editorProcessId = 0;
        editorRunning = false;
    }
};

// The page's record, or null before WM_INITDIALOG and after WM_DESTROY.
TicketsPageState* TicketsState(HWND page) noexcept;

} // namespace vorn
