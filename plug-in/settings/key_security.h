// Opens a printer's own registry key to interactive users, so that the
// plug-in's per-printer values can be written by whoever prints.
#pragma once

#include "../core/handles.h"

namespace vorn {

// The access list given to a printer's key: full control for the interactive
// users (S-1-5-4), then for the local Administrators (S-1-5-32-544), with no
// inheritance. Owns its SIDs and its memory.
class PrinterKeyAccessList {
  public:
    PrinterKeyAccessList() noexcept;
    PrinterKeyAccessList(const PrinterKeyAccessList&) = delete;
    PrinterKeyAccessList& operator=(const PrinterKeyAccessList&) = delete;

    // Null when any step of building it failed.
    PACL Get() const noexcept { return complete_ ? acl_.As<ACL>() : nullptr; }

  private:
    UniqueSid interactive_;
    UniqueSid administrators_;
    HeapBuffer acl_;
    bool complete_ = false;
};

// Replaces the access list of the key at `path` under HKEY_LOCAL_MACHINE by
// the list above. True when the key took it.
bool SetPrinterKeySecurity(const wchar_t* path) noexcept;

} // namespace vorn
