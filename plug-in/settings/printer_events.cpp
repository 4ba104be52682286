#include "printer_events.h"

namespace vorn {

HRESULT HandlePrinterEvent(PWSTR, INT, DWORD, LPARAM) noexcept {
    return S_OK;
}

} // namespace vorn
