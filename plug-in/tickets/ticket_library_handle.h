// The ticket library loaded for the Tickets page; one per process, released
// when the host destroys the pages.
#pragma once

#include <windows.h>

namespace vorn {

HMODULE TicketLibraryHandle() noexcept;
void SetTicketLibraryHandle(HMODULE library) noexcept;

} // namespace vorn
