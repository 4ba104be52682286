#include "folder_watch.h"

#include "page_controls.h"
#include "../core/safe_string.h"

#include <cwchar>

namespace vorn {

namespace {

// Some folders never report a change (many network shares do not): they are
// walked at least this often all the same. Each walk also sets the watch
// afresh, so a watch that could not be set, or has stopped reporting, does
// not stay so.
constexpr DWORD kWalkAtLeastEveryMs = 10000;

bool HasFired(const FolderWatch& watch) noexcept {
    // A watch that cannot be asked any more counts as fired: it is replaced.
    return watch.notification && WaitForSingleObject(watch.notification.Get(), 0) != WAIT_TIMEOUT;
}

// A missing folder is "walked" at every tick: that only checks it is still
// missing, and leaves the list at "None" as it always has.
bool WalkDue(const FolderWatch& watch, const wchar_t* directory, bool exists, DWORD now) noexcept {
    return !watch.walked || !exists || !watch.existed ||
           std::wcscmp(directory, watch.directory) != 0 ||
           now - watch.lastWalk >= kWalkAtLeastEveryMs || HasFired(watch);
}

// Closes the old watch and sets a new one on directory, before the walk, so
// that a change made while the folder is read fires it for the next tick.
// The old watch goes first: a folder deleted while watched is kept (delete
// pending, its name taken) until the watch lets go of it, so a folder being
// deleted must not be watched again.
void SetWatch(FolderWatch& watch, const wchar_t* directory, DWORD now) noexcept {
    watch.notification.Reset();
    watch.existed = IsExistingPath(directory, false) ? 1 : 0;
    if (watch.existed) {
        // Names added, removed or renamed are all the list shows of a folder.
        const HANDLE notification =
            FindFirstChangeNotificationW(directory, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
        if (notification) {
            watch.notification.Reset(notification);
        }
    }
    CopyInto(watch.directory, directory);
    watch.lastWalk = now;
    watch.walked = 1;
}

} // namespace

void RefreshWatchedTicketList(HWND page, FolderWatch* watch, HINSTANCE instance) noexcept {
    if (watch) {
        wchar_t directory[kTicketPathBufferChars] = {};
        ReadDirectoryText(page, directory);
        const DWORD now = GetTickCount();
        if (!WalkDue(*watch, directory, IsExistingPath(directory, false), now)) {
            return;
        }
        SetWatch(*watch, directory, now);
    }
    RefreshTicketList(page, instance);
}

} // namespace vorn
