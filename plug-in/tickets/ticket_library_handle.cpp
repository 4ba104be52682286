#include "ticket_library_handle.h"

namespace vorn {

namespace {
HMODULE g_ticketLibrary = nullptr;
} // namespace

HMODULE TicketLibraryHandle() noexcept {
    return g_ticketLibrary;
}
void SetTicketLibraryHandle(HMODULE library) noexcept {
    g_ticketLibrary = library;
}

} // namespace vorn
