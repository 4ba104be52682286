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
void SetWatch(FolderWatch& watch, const wchar_t* directory, bool exists, DWORD now) noexcept {
    watch.notification.Reset();
    watch.existed = exists ? 1 : 0;
    if (exists) {
        // Names added, removed or renamed are all the list shows of a
        // folder. A watch that cannot be set is INVALID_HANDLE_VALUE, which
        // the owner holds as none.
        watch.notification.Reset(
            FindFirstChangeNotificationW(directory, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME));
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
        const bool exists = IsExistingPath(directory, false);
        if (!WalkDue(*watch, directory, exists, now)) {
            return;
        }
        SetWatch(*watch, directory, exists, now);
    }
    RefreshTicketList(page, instance);
}

} // namespace vorn
