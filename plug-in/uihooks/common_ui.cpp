#include "common_ui.h"

namespace vorn {

HRESULT CommonUIProp(DWORD, POEMCUIPPARAM, IPrintOemDriverUI*) noexcept {
    return E_NOTIMPL;
}

} // namespace vorn
