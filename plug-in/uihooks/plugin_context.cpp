#include "plugin_context.h"

#include "../core/feature_query.h"
#include "../core/private_devmode.h"

namespace vorn {

PrivateDevmode* ContextPrivateDevmode(const PluginContext* context) noexcept {
    if (!context || !context->sheetParam) {
        return nullptr;
    }
    return static_cast<PrivateDevmode*>(context->sheetParam->pOEMDM);
}

DEVMODEW* ContextPublicDevmode(const PluginContext* context) noexcept {
    if (!context || !context->sheetParam) {
        return nullptr;
    }
    return context->sheetParam->pPublicDM;
}

bool QueryContextFeature(const PluginContext* context, const char* feature, char* out,
                         DWORD outBytes) noexcept {
    if (!context) {
        if (out && outBytes) {
            out[0] = '\0';
        }
        return false;
    }
    return QueryDriverFeature(context->driver, context->uiObject, feature, out, outBytes);
}

// Stand-in until the option-tree work lands.
PluginContext* CreatePluginContext(POEMCUIPPARAM, IPrintOemDriverUI*) noexcept { return nullptr; }
void ReleasePluginContext(PluginContext*) noexcept {}
PluginContext* CurrentPluginContext() noexcept { return nullptr; }

} // namespace vorn
