#include "ticket_software.h"

#include "registry_text.h"
#include "../core/handles.h"
#include "../core/names.h"
#include "../core/safe_string.h"

#include <cstring>

namespace vorn {

namespace {

// folder + "\" + file, false when the bound would cut it (a cut path names
// some other file).
bool JoinPath(const wchar_t* folder, const wchar_t* file, wchar_t (&path)[MAX_PATH]) noexcept {
    return FormatWide(path, sizeof(path), L"%s\\%s", folder, file) == S_OK;
}

bool IsSeparator(wchar_t c) noexcept {
    return c == L'\\' || c == L'/';
}

// "X:\..." or "\\server\share\...": a folder that stays the same whatever
// the host's current directory (an empty or relative one would be looked
// up there: "\vornjtwxp.exe" is the root of whatever drive is current).
bool IsFullPath(const wchar_t* path) noexcept {
    const bool letter =
        (path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z');
    return (letter && path[1] == L':' && IsSeparator(path[2])) ||
           (IsSeparator(path[0]) && IsSeparator(path[1]));
}

} // namespace

bool ReadTicketSoftwarePaths(TicketSoftwarePaths& paths) noexcept {
    std::memset(&paths, 0, sizeof(paths));
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, names::kTicketSoftwareKey, 0, KEY_QUERY_VALUE,
                      key.Receive()) != ERROR_SUCCESS) {
        return false;
    }
    const bool found = QueryTextValue(key.Get(), names::kTicketSoftwarePathValue, paths.folder,
                                      MAX_PATH) == TextValue::kRead &&
                       IsFullPath(paths.folder) &&
                       JoinPath(paths.folder, names::kTicketEditorExe, paths.editor) &&
                       JoinPath(paths.folder, names::kTicketLibraryDll, paths.library);
    if (!found) {
        std::memset(&paths, 0, sizeof(paths));
    }
    return found;
}

HMODULE LoadTicketLibrary() noexcept {
    TicketSoftwarePaths paths;
    if (!ReadTicketSoftwarePaths(paths)) {
        return nullptr;
    }
    // By its full path: a library of the same name in the application's
    // folder must not stand in for it, and the process's current directory
    // belongs to the host.
    return LoadLibraryExW(paths.library, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

} // namespace vorn
