#include "property_sheets.h"

namespace vorn {

HRESULT DocumentPropertySheets(PPROPSHEETUI_INFO, LPARAM) noexcept {
    return E_NOTIMPL;
}

} // namespace vorn
