// The ticket list against a bare enumeration of the same folder: building
// it (FillTicketList), refreshing it with and without a change, and the
// refresh timer's tick with the folder watched, on the real Tickets dialog
// from the plug-in DLL. Shared by the benchmarks.
#pragma once

#include <windows.h>

namespace bench {

struct TicketListFigures {
    int tickets = 0;
    size_t enumerated = 0; // files the bare walk saw
    long listed = 0;       // entries after FillTicketList
    long afterChanges = 0; // entries after the last refresh
    double bareMs = 0;     // FindFirstFileW / FindNextFileW walk
    double fillMs = 0;
    double refreshUnchangedMs = 0;
    double refreshChangedMs = 0; // one file added and one removed before each
    double tickUnchangedMs = 0;  // the timer's tick, folder watched and still
    double tickAddedMs = 0;      // the tick after one file was added
    long afterAdds = 0;          // entries after those ticks
    // Refreshes that replace the whole list: the folder back after it
    // vanished (the list held "None" alone), and another folder of as many
    // tickets named in the field (Browse, a ticket handed back elsewhere).
    double refreshReturnedMs = 0;
    double refreshOtherFolderMs = 0;
    long afterOtherFolder = 0; // entries after the other folder's refresh
};

// Runs of each timing; the tick after an addition adds one ticket per run.
constexpr int kListRuns = 5;
constexpr int kTicksAfterAdding = kListRuns;

// The Tickets dialog of the plug-in, made without a sheet; null without a
// display. Destroy it and its frame with DestroyTicketsDialog.
HWND CreateTicketsDialog(HMODULE plugin);
void DestroyTicketsDialog(HWND page);

// Makes a folder of `tickets` empty ".jdf" files, measures (best of kListRuns
// runs each, in milliseconds), removes the folder.
TicketListFigures MeasureTicketList(HWND page, int tickets);

} // namespace bench
