// An option tree as the driver's UI host builds it for CommonUIProp: the
// driver's own option items, a heap for the plug-in, the DEVMODE with the
// plug-in's private section, the sheet parameter the property pages get, and
// the calls of whatever callback the plug-in installs.
#pragma once

#include "core/oem_interface.h"
#include "driver_ui.h"
#include "plugin_host.h"

#include <string>
#include <vector>

namespace standin {

// Calls the callback the plug-in installed in `tree` with a CPSUICBPARAM as
// the host fills it for `reason`; -1 when none is installed.
LONG CallTreeCallback(OEMCUIPPARAM& tree, WORD reason, OPTITEM* currentItem = nullptr);

class OptionTreeHost {
  public:
    OptionTreeHost(DriverUI& driver, HANDLE printer, const std::wstring& printerName,
                   HMODULE pluginModule);
    ~OptionTreeHost();
    OptionTreeHost(const OptionTreeHost&) = delete;
    OptionTreeHost& operator=(const OptionTreeHost&) = delete;

    // The driver's own items; add them all before the first call.
    std::vector<OPTITEM> driverItems;
    void AddDriverItem(BYTE dmPubId, LONG selection);

    // Fills the record as the host does before CommonUIProp: the first call
    // of a tree passes no array for the plug-in's items, a later one an array
    // of one item.
    OEMCUIPPARAM& PrepareCall(bool withOemItems);
    HRESULT CallCommonUIProp(IPrintOemUI* plugin, DWORD mode, bool withOemItems);
    OEMCUIPPARAM& Param() { return param_; }

    // Calls the installed callback with a CPSUICBPARAM as the host fills it;
    // -1 when none is installed.
    LONG CallCallback(WORD reason, OPTITEM* currentItem = nullptr);

    HANDLE Heap() const { return heap_; }
    HostDevmode& Devmode() { return devmode_; }
    // What the host passes as lParamInit to the plug-in's property sheet.
    OEMUIPSPARAM& SheetParam() { return sheetParam_; }

    // The host's property-sheet function: records what it is asked to do.
    struct SheetCall {
        UINT function;
        LPARAM lParam1;
        LPARAM lParam2;
    };
    std::vector<SheetCall> sheetCalls;
    HANDLE SheetHandle() { return this; }
    static LONG_PTR CALLBACK SheetFunction(HANDLE sheet, UINT function, LPARAM lParam1,
                                           LPARAM lParam2);

  private:
    DriverUI& driver_;
    std::wstring printerName_;
    HANDLE heap_ = nullptr;
    HostDevmode devmode_;
    OPTITEM oemItem_{};
    OEMCUIPPARAM param_{};
    OEMUIPSPARAM sheetParam_{};
};

} // namespace standin
