#include "option_tree_host.h"

namespace standin {

OptionTreeHost::OptionTreeHost(DriverUI& driver, HANDLE printer, const std::wstring& printerName,
                               HMODULE pluginModule)
    : driver_(driver), printerName_(printerName), heap_(HeapCreate(0, 0, 0)) {
    DEVMODEW* dm = devmode_.Public();
    dm->dmSize = sizeof(DEVMODEW);
    dm->dmDriverExtra = static_cast<WORD>(devmode_.PrivateSize());
    dm->dmFields = DM_COLLATE;
    dm->dmCollate = DMCOLLATE_FALSE;

    param_.cbSize = sizeof(param_);
    param_.poemuiobj = driver_.UiObject();
    param_.hPrinter = printer;
    param_.pPrinterName = printerName_.data();
    param_.hModule = pluginModule;
    param_.hOEMHeap = heap_;
    param_.pPublicDM = dm;
    param_.pOEMDM = devmode_.Private();

    sheetParam_.cbSize = sizeof(sheetParam_);
    sheetParam_.poemuiobj = driver_.UiObject();
    sheetParam_.hPrinter = printer;
    sheetParam_.pPrinterName = printerName_.data();
    sheetParam_.hModule = pluginModule;
    sheetParam_.hOEMHeap = heap_;
    sheetParam_.pPublicDM = dm;
    sheetParam_.pOEMDM = devmode_.Private();

    oemItem_.cbSize = sizeof(oemItem_);
}

OptionTreeHost::~OptionTreeHost() {
    // Whatever the plug-in kept in the heap goes with it, as with the host.
    if (heap_) {
        HeapDestroy(heap_);
    }
}

void OptionTreeHost::AddDriverItem(BYTE dmPubId, LONG selection) {
    OPTITEM item{};
    item.cbSize = sizeof(item);
    item.DMPubID = dmPubId;
    item.Sel = selection;
    driverItems.push_back(item);
}

OEMCUIPPARAM& OptionTreeHost::PrepareCall(bool withOemItems) {
    param_.pDrvOptItems = driverItems.empty() ? nullptr : driverItems.data();
    param_.cDrvOptItems = static_cast<DWORD>(driverItems.size());
    param_.pOEMOptItems = withOemItems ? &oemItem_ : nullptr;
    param_.cOEMOptItems = withOemItems ? 1 : 0;
    param_.dwFlags = 0;
    return param_;
}

HRESULT OptionTreeHost::CallCommonUIProp(IPrintOemUI* plugin, DWORD mode, bool withOemItems) {
    return plugin->CommonUIProp(mode, &PrepareCall(withOemItems));
}

LONG CallTreeCallback(OEMCUIPPARAM& tree, WORD reason, OPTITEM* currentItem) {
    if (!tree.OEMCUIPCallback) {
        return -1;
    }
    CPSUICBPARAM callback{};
    callback.cbSize = sizeof(callback);
    callback.Reason = reason;
    callback.pOptItem = tree.pDrvOptItems;
    callback.cOptItem = static_cast<WORD>(tree.cDrvOptItems);
    callback.pCurItem = currentItem;
    callback.OldSel = currentItem ? currentItem->Sel : 0;
    // The host's own object, through which item updates find it again.
    callback.UserData = reinterpret_cast<ULONG_PTR>(tree.poemuiobj);
    return tree.OEMCUIPCallback(&callback, &tree);
}

LONG OptionTreeHost::CallCallback(WORD reason, OPTITEM* currentItem) {
    return CallTreeCallback(param_, reason, currentItem);
}

LONG_PTR CALLBACK OptionTreeHost::SheetFunction(HANDLE sheet, UINT function, LPARAM lParam1,
                                                LPARAM lParam2) {
    auto* host = static_cast<OptionTreeHost*>(sheet);
    if (!host) {
        return 0;
    }
    host->sheetCalls.push_back({function, lParam1, lParam2});
    return 1;
}

} // namespace standin
