#include "host_page.h"

#include "option_tree_host.h"

namespace standin {

namespace {

// A child dialog with no controls, the size of the plug-in's pages.
std::vector<BYTE> EmptyPageTemplate() {
    // Menu, class and title: one empty word each after the header.
    std::vector<BYTE> bytes(sizeof(DLGTEMPLATE) + 3 * sizeof(WORD), 0);
    auto* dialog = reinterpret_cast<DLGTEMPLATE*>(bytes.data());
    dialog->style = WS_CHILD | DS_CONTROL;
    dialog->cx = 266;
    dialog->cy = 218;
    return bytes;
}

} // namespace

HostPage::HostPage(OEMCUIPPARAM* tree) : tree_(tree), template_(EmptyPageTemplate()) {}

HPROPSHEETPAGE HostPage::Create() {
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof(page);
    page.dwFlags = PSP_DLGINDIRECT | PSP_USETITLE;
    page.pResource = reinterpret_cast<DLGTEMPLATE*>(template_.data());
    page.pszTitle = L"Layout";
    page.pfnDlgProc = Proc;
    page.lParam = reinterpret_cast<LPARAM>(this);
    return CreatePropertySheetPageW(&page);
}

INT_PTR CALLBACK HostPage::Proc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto* description = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
        SetWindowLongPtrW(page, GWLP_USERDATA, description->lParam);
        return TRUE;
    }
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == PSN_APPLY) {
        auto* self = reinterpret_cast<HostPage*>(GetWindowLongPtrW(page, GWLP_USERDATA));
        if (self) {
            self->OnApply();
        }
        SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
        return TRUE;
    }
    return FALSE;
}

void HostPage::OnApply() {
    ++applies;
    if (tree_) {
        lastAction = CallTreeCallback(*tree_, CPSUICB_REASON_APPLYNOW);
    }
}

} // namespace standin
