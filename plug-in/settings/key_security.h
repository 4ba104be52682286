// Opens a printer's own registry key to interactive users, so that the
// plug-in's per-printer values can be written by whoever prints.
#pragma once

namespace vorn {

// Replaces the access list of the key at `path` under HKEY_LOCAL_MACHINE by:
// full control for the interactive users (S-1-5-4), then for the local
// Administrators (S-1-5-32-544), neither inherited. True when the key took
// it.
bool SetPrinterKeySecurity(const wchar_t* path) noexcept;

} // namespace vorn
