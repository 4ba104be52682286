#include "page_window.h"

namespace vorn {

HINSTANCE PageInstance(HWND page) noexcept {
    return PointerFrom<HINSTANCE>(GetWindowLongPtrW(page, GWLP_HINSTANCE));
}

PluginContext* PageContext(HWND page) noexcept {
    return PointerFrom<PluginContext*>(GetWindowLongPtrW(page, GWLP_USERDATA));
}

} // namespace vorn
