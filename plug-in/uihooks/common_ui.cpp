#include "common_ui.h"

#include "plugin_context.h"

namespace vorn {

// Placeholder until the option-tree callbacks land: the document tree keeps
// its context, so that the property sheet has one to give its pages.
HRESULT CommonUIProp(DWORD mode, POEMCUIPPARAM param, IPrintOemDriverUI* driver) noexcept {
    if (mode != OEMCUIP_DOCPROP || !param) {
        return E_NOTIMPL;
    }
    CreatePluginContext(param, driver);
    return S_OK;
}

} // namespace vorn
