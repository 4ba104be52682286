// The ticket library ("vornjtwxp.dll") is loaded by the Tickets page when it
// opens and freed when the property sheet is destroyed; this is the one
// module-wide handle both use.
#pragma once

#include <windows.h>

namespace vorn {

// The loaded ticket library, or null. The Tickets page stores the handle it
// loads here; sheet destruction frees it and sets it back to null.
HMODULE& TicketLibraryHandle() noexcept;

} // namespace vorn
