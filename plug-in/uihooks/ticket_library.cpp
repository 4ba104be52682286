#include "ticket_library.h"

namespace vorn {

HMODULE& TicketLibraryHandle() noexcept {
    static HMODULE library = nullptr;
    return library;
}

} // namespace vorn
