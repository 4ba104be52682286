// DocumentPropertySheets: adds the plug-in's pages to the printing
// preferences.
#pragma once

#include "../core/oem_interface.h"

namespace vorn {

HRESULT DocumentPropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam) noexcept;

} // namespace vorn
