// A page of the host's own beside the plug-in's: an empty dialog, as the
// driver's document tree page is to the plug-in. Given the option-tree
// record, its Apply runs the callback the plug-in installed in it, as the
// host does when the user applies the document tree.
//
//   standin::HostPage tree(&sheet.optionTreeParam);
//   sheet.pages.push_back({tree.Create(), nullptr, false});
//   sheet.ShowModeless();
#pragma once

#include "core/oem_interface.h"

#include <windows.h>
#include <prsht.h>

#include <vector>

namespace standin {

class HostPage {
  public:
    explicit HostPage(OEMCUIPPARAM* tree = nullptr);
    HostPage(const HostPage&) = delete;
    HostPage& operator=(const HostPage&) = delete;

    // A new page for a sheet; the sheet owns it (and this object must
    // outlive the sheet's window).
    HPROPSHEETPAGE Create();

    int applies = 0;      // PSN_APPLY the page received
    LONG lastAction = -1; // what the callback answered at the last Apply

  private:
    static INT_PTR CALLBACK Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
    void OnApply();

    OEMCUIPPARAM* tree_;
    std::vector<BYTE> template_;
};

} // namespace standin
