// Where the separate job-ticket software is installed, as its installer
// records it machine-wide. Every part of the plug-in that looks for the
// editor or its library reads the folder here, with one rule.
#pragma once

#include <windows.h>

namespace vorn {

struct TicketSoftwarePaths {
    wchar_t folder[MAX_PATH];  // the editor's folder ("Path")
    wchar_t editor[MAX_PATH];  // folder + "\vornjtwxp.exe"
    wchar_t library[MAX_PATH]; // folder + "\vornjtwxp.dll"
};

// True when "Path" is a terminated REG_SZ holding a full path that fits MAX_PATH
// characters with its terminator and both full paths fit as well; otherwise
// the software counts as not installed and every path is empty.
bool ReadTicketSoftwarePaths(TicketSoftwarePaths& paths) noexcept;

// Loads the ticket library by its full path, its own dependencies found
// beside it; null when the software is not installed or the load fails.
HMODULE LoadTicketLibrary() noexcept;

} // namespace vorn
