// The host's printing-preferences sheet, as the driver's UI module runs it
// around the plug-in:
//   1. Begin(printer): opens the printer through the spooler, fills the
//      DEVMODE with the plug-in's defaults and calls CommonUIProp for the
//      document tree, so that the plug-in makes its context;
//   2. Init(): DocumentPropertySheets at PROPSHEETUI_REASON_INIT (the
//      plug-in adds its pages through pfnComPropSheet, recorded in `calls`
//      and `pages`), then PROPSHEETUI_REASON_GET_INFO_HEADER;
//   3. ShowModeless() and Pump...() for tests, or ShowModal() for a person:
//      a real PropertySheetW with the collected pages;
//   4. End(result): PROPSHEETUI_REASON_SET_RESULT, then
//      PROPSHEETUI_REASON_DESTROY. The destructor does it if nobody did.
//
//   standin::PropertySheetHost sheet(host);
//   ASSERT_EQ(S_OK, sheet.Begin(L"Printer"));
//   ASSERT_EQ(S_OK, sheet.Init());
//   HWND window = sheet.ShowModeless();
//   HWND page = sheet.PageWindow(0);           // the first page's dialog
//   PropSheet_PressButton(window, PSBTN_OK);
//   sheet.PumpUntilClosed(5000);
//   sheet.End(CPSUI_OK);
//
// The pages run the plug-in's code: destroy this object before the
// PluginHost unloads the plug-in.
#pragma once

#include "plugin_host.h"

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

namespace standin {

class PropertySheetHost {
  public:
    // One call the plug-in made through pfnComPropSheet.
    struct SheetCall {
        UINT function = 0; // CPSFUNC_ADD_HPROPSHEETPAGE, _ADD_PROPSHEETPAGEW, _SET_RESULT...
        LPARAM lParam1 = 0;
        LPARAM lParam2 = 0;
        LONG_PTR answer = 0;   // what the host answered (0: refused)
        PROPSHEETPAGEW page{}; // copy of the description, for CPSFUNC_ADD_PROPSHEETPAGEW
        std::wstring title;    // its title, read during the call
    };
    // One page the sheet shows, in the order added.
    struct AddedPage {
        HPROPSHEETPAGE page = nullptr; // for PropertySheetW
        HANDLE handle = nullptr;       // what the plug-in was given for it
        bool fromDescription = false;  // CPSFUNC_ADD_PROPSHEETPAGEW (else an HPROPSHEETPAGE)
    };

    explicit PropertySheetHost(PluginHost& host);
    ~PropertySheetHost();
    PropertySheetHost(const PropertySheetHost&) = delete;
    PropertySheetHost& operator=(const PropertySheetHost&) = delete;

    // Step 1. E_FAIL when the printer does not open; else CommonUIProp's answer.
    HRESULT Begin(const std::wstring& printerName);
    // Step 2: INIT (lParamInit = &sheetParam), then GET_INFO_HEADER; answers INIT's result.
    HRESULT Init();
    // DocumentPropertySheets with `info` at `reason`, for tests of single reasons.
    HRESULT Call(WORD reason, LPARAM lParam = 0);

    // Step 3, for tests: the sheet window, or null when it cannot be made.
    HWND ShowModeless(const wchar_t* caption = L"Printing Preferences");
    // Runs the message loop until the sheet closes (OK, Cancel, close box)
    // or `timeoutMs` passes; then destroys the window. True when it closed.
    bool PumpUntilClosed(DWORD timeoutMs);
    // Runs the message loop for `ms` milliseconds (lets pages react).
    void Pump(DWORD ms);
    // Step 3, for a person: runs the sheet modally; PropertySheetW's answer.
    INT_PTR ShowModal(const wchar_t* caption = L"Printing Preferences", HWND owner = nullptr);

    // Step 4: SET_RESULT with `result` (CPSUI_OK or CPSUI_CANCEL), then DESTROY.
    HRESULT End(LRESULT result);

    HWND Sheet() const { return sheet_; }
    // The dialog window of page `index` of the open sheet, or null.
    HWND PageWindow(int index) const;
    // Makes every page's dialog (a sheet makes a page when it is first
    // shown), the first page last in front: false when one was not made.
    bool ShowEveryPage() const;
    // Titles the sheet shows on its tabs, in order.
    std::vector<std::wstring> TabTitles() const;

    // The records the host passes, filled by Begin() (its sheet function from the start).
    PROPSHEETUI_INFO info{};
    PROPSHEETUI_INFO_HEADER header{};
    OEMCUIPPARAM optionTreeParam{};
    OEMUIPSPARAM sheetParam{};
    HostDevmode devmode;
    HANDLE printer = nullptr;
    std::wstring printerName;

    // A host short of room: CPSFUNC_ADD_HPROPSHEETPAGE answers 0 and the
    // page given is not taken.
    bool refusePageHandles = false;

    std::vector<SheetCall> calls;
    std::vector<AddedPage> pages;
    // Results the pages reported with CPSFUNC_SET_RESULT: (page handle, result).
    std::vector<std::pair<HANDLE, LRESULT>> results;

  private:
    static LONG_PTR CALLBACK ComPropSheet(HANDLE hComPropSheet, UINT function, LPARAM lParam1,
                                          LPARAM lParam2);
    LONG_PTR OnCall(UINT function, LPARAM lParam1, LPARAM lParam2);
    bool MakeHeader(PROPSHEETHEADERW& sheetHeader, std::vector<HPROPSHEETPAGE>& handles,
                    const wchar_t* caption, HWND owner, DWORD flags);

    PluginHost& host_;
    HANDLE heap_ = nullptr;
    OPTITEM optionItems_[2]{};
    HWND sheet_ = nullptr;
    bool shown_ = false; // pages belong to a sheet window once it was made
    bool ended_ = false;
};

} // namespace standin
