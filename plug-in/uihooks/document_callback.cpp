#include "option_tree_callbacks.h"

#include "driver_settings.h"
#include "../core/plugin_context.h"
#include "../core/private_devmode.h"

namespace vorn {

namespace {

// The item's previous selection as the host is told of it.
constexpr DWORD kReportedPreviousSelection = 1;

bool PagesPerSheetResetsOrder(const OEMCUIPPARAM& param) noexcept {
    if (!param.pDrvOptItems) {
        return false;
    }
    for (DWORD i = 0; i < param.cDrvOptItems; ++i) {
        const OPTITEM& item = param.pDrvOptItems[i];
        if (item.DMPubID == DMPUB_NUP && item.Sel == kPagesPerSheetResettingOrder) {
            return true;
        }
    }
    return false;
}

void ResetPageOrder(const OEMCUIPPARAM& param, const PluginContext& context,
                    ULONG_PTR hostUserData) noexcept {
    PFN_DrvUpdateUISetting update = nullptr;
    if (context.uiObject && context.uiObject->pOemUIProcs) {
        update = context.uiObject->pOemUIProcs->DrvUpdateUISetting;
    }
    for (DWORD i = 0; i < param.cDrvOptItems; ++i) {
        OPTITEM& item = param.pDrvOptItems[i];
        if (item.DMPubID != DMPUB_PAGEORDER) {
            continue;
        }
        item.Sel = 0;
        if (update) {
            // The host hands its own object over as an integer.
            // NOLINTNEXTLINE(performance-no-int-to-ptr)
            update(reinterpret_cast<PVOID>(hostUserData), &item, kReportedPreviousSelection,
                   OEMCUIP_DOCPROP);
        }
    }
}

// The pages edit the private section of the sheet's DEVMODE; the collation
// is set in the host's own tree, so it is copied across on Apply.
void CopyCollation(const OEMCUIPPARAM& param, const PluginContext& context) noexcept {
    PrivateDevmode* privateSection = ContextPrivateDevmode(&context);
    if (!param.pPublicDM || !privateSection) {
        return;
    }
    privateSection->collate = static_cast<WORD>(param.pPublicDM->dmCollate);
}

// The sheet needs a page to hold the result: the externally made Destination
// page when there is one, else the plug-in's own page.
void ReportResultToSheet(const PluginContext& context) noexcept {
    if (!context.sheetFunction) {
        return;
    }
    const HANDLE page =
        context.externalPage ? static_cast<HANDLE>(context.externalPage) : context.pageHandle;
    context.sheetFunction(context.sheet, CPSFUNC_SET_RESULT, reinterpret_cast<LPARAM>(page),
                          CPSUI_OK);
}

} // namespace

LONG APIENTRY DocumentPropertiesCallback(PCPSUICBPARAM callbackParam,
                                         POEMCUIPPARAM param) noexcept {
    if (!callbackParam || !param || callbackParam->Reason != CPSUICB_REASON_APPLYNOW) {
        return CPSUICB_ACTION_NONE;
    }
    auto* context = static_cast<PluginContext*>(param->pOEMUserData);
    if (!context) {
        return CPSUICB_ACTION_NONE;
    }
    WriteDriverSettingsKey(context, true);
    if (PagesPerSheetResetsOrder(*param)) {
        ResetPageOrder(*param, *context, callbackParam->UserData);
    }
    CopyCollation(*param, *context);
    ReportResultToSheet(*context);
    return CPSUICB_ACTION_NONE;
}

} // namespace vorn
