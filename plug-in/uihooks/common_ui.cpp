#include "common_ui.h"

#include "driver_settings.h"
#include "option_tree_callbacks.h"
#include "../core/plugin_context.h"

namespace vorn {

HRESULT CommonUIProp(DWORD mode, POEMCUIPPARAM param, IPrintOemDriverUI* driver) noexcept {
    if ((mode != OEMCUIP_DOCPROP && mode != OEMCUIP_PRNPROP) || !param) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    PluginContext* context = CreatePluginContext(param, driver);
    if (mode == OEMCUIP_PRNPROP) {
        // A printer tree carries no pages and nothing tells of its end: it
        // is the process's latest context, but not this thread's own, whose
        // entry would outlive the host's heap and be taken at a later
        // sheet's start on this thread.
        ForgetThreadContext();
    }
    if (!context) {
        // The host's dialog works on without the plug-in's part.
        return S_OK;
    }
    // The plug-in adds no items of its own; it only needs the callback,
    // which the host installs only for a tree the plug-in takes part in.
    if (!param->pOEMOptItems) {
        param->cOEMOptItems = 0;
        if (mode == OEMCUIP_PRNPROP) {
            param->OEMCUIPCallback = nullptr;
        }
        ReleasePluginContext(context);
        return S_OK;
    }
    param->OEMCUIPCallback =
        mode == OEMCUIP_DOCPROP ? DocumentPropertiesCallback : PrinterPropertiesCallback;
    param->pOEMUserData = context;
    return S_OK;
}

LONG APIENTRY PrinterPropertiesCallback(PCPSUICBPARAM callbackParam, POEMCUIPPARAM param) noexcept {
    if (callbackParam && param && callbackParam->Reason == CPSUICB_REASON_APPLYNOW) {
        WriteDriverSettingsKey(static_cast<PluginContext*>(param->pOEMUserData), false);
    }
    return CPSUICB_ACTION_NONE;
}

} // namespace vorn
