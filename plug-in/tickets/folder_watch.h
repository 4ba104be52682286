// Spares the Tickets page's refresh timer its walk of the ticket folder while
// nothing in the folder can have changed: the page watches the folder for
// files added, removed and renamed, and walks it only when the watch fired,
// the directory text changed, the folder vanished or came back, or the last
// walk is long enough ago.
#pragma once

#include "tickets.h"
#include "../core/handles.h"

#include <windows.h>

namespace vorn {

// What the page knew of its folder at its last walk. A value-initialised
// record ({}) has made no walk yet.
struct FolderWatch {
    UniqueChangeNotification notification;          // set on `directory`, or none
    wchar_t directory[kTicketPathBufferChars] = {}; // the directory text of that walk
    DWORD lastWalk = 0;                             // its GetTickCount()
    DWORD walked = 0;                               // nonzero once there was one
    DWORD existed = 0;                              // `directory` was a folder then
};

// The refresh timer's work: RefreshTicketList when the folder named by the
// directory edit may have changed since the last walk. Without a record
// (null) it walks at every tick.
void RefreshWatchedTicketList(HWND page, FolderWatch* watch, HINSTANCE instance) noexcept;

// Lets go of the folder; the next tick walks it afresh.
inline void StopWatchingFolder(FolderWatch& watch) noexcept {
    watch.notification.Reset();
    watch.walked = 0;
}

} // namespace vorn
