// Printer events the spooler passes on through the host.
#pragma once

#include "../core/oem_interface.h"

namespace vorn {

HRESULT HandlePrinterEvent(PWSTR printerName, INT driverEvent, DWORD flags, LPARAM lParam) noexcept;

} // namespace vorn
