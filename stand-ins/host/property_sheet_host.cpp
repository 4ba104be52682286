#include "property_sheet_host.h"

#include "person.h"

#include <winspool.h>

namespace standin {

namespace {
// Handles the host gives for added pages: distinct, non-null, and plainly
// not pointers.
constexpr UINT_PTR kFirstPageHandle = 0x7A000;
} // namespace

PropertySheetHost::PropertySheetHost(PluginHost& host) : host_(host) {
    info.hComPropSheet = static_cast<HANDLE>(this);
    info.pfnComPropSheet = ComPropSheet;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    heap_ = HeapCreate(0, 0x10000, 0);
}

PropertySheetHost::~PropertySheetHost() {
    if (sheet_) {
        DestroyWindow(sheet_);
        sheet_ = nullptr;
    }
    if (info.Version && !ended_ && host_.Plugin()) {
        End(CPSUI_CANCEL);
    }
    if (!shown_) {
        for (const AddedPage& added : pages) {
            if (added.page) {
                DestroyPropertySheetPage(added.page);
            }
        }
    }
    if (printer) {
        ClosePrinter(printer);
    }
    if (heap_) {
        HeapDestroy(heap_);
    }
}

HRESULT PropertySheetHost::Begin(const std::wstring& name) {
    printerName = name;
    if (!OpenPrinterW(printerName.data(), &printer, nullptr) || !printer) {
        printer = nullptr;
        return E_FAIL;
    }
    DWORD size = devmode.PrivateSize();
    CallDevMode(host_.Plugin(), OEMDM_DEFAULT, nullptr, devmode.Private(), &size);

    optionTreeParam.cbSize = sizeof(optionTreeParam);
    optionTreeParam.poemuiobj = host_.Driver().UiObject();
    optionTreeParam.hPrinter = printer;
    optionTreeParam.pPrinterName = printerName.data();
    optionTreeParam.hModule = host_.Module();
    optionTreeParam.hOEMHeap = heap_;
    optionTreeParam.pPublicDM = devmode.Public();
    optionTreeParam.pOEMDM = devmode.Private();
    optionTreeParam.pOEMOptItems = optionItems_;
    optionTreeParam.cOEMOptItems = 0;

    sheetParam.cbSize = sizeof(sheetParam);
    sheetParam.poemuiobj = optionTreeParam.poemuiobj;
    sheetParam.hPrinter = printer;
    sheetParam.pPrinterName = printerName.data();
    sheetParam.hModule = host_.Module();
    sheetParam.hOEMHeap = heap_;
    sheetParam.pPublicDM = devmode.Public();
    sheetParam.pOEMDM = devmode.Private();

    info.cbSize = sizeof(info);
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Flags = PSUIINFO_UNICODE;
    info.lParamInit = reinterpret_cast<LPARAM>(&sheetParam);

    return host_.Plugin()->CommonUIProp(OEMCUIP_DOCPROP, &optionTreeParam);
}

HRESULT PropertySheetHost::Init() {
    const HRESULT result = Call(PROPSHEETUI_REASON_INIT, info.lParamInit);
    header.cbSize = sizeof(header);
    Call(PROPSHEETUI_REASON_GET_INFO_HEADER, reinterpret_cast<LPARAM>(&header));
    return result;
}

HRESULT PropertySheetHost::Call(WORD reason, LPARAM lParam) {
    info.Reason = reason;
    return host_.Plugin()->DocumentPropertySheets(&info, lParam);
}

HRESULT PropertySheetHost::End(LRESULT result) {
    ended_ = true;
    SETRESULT_INFO setResult{};
    setResult.cbSize = sizeof(setResult);
    setResult.hSetResult = info.hComPropSheet;
    setResult.Result = result;
    Call(PROPSHEETUI_REASON_SET_RESULT, reinterpret_cast<LPARAM>(&setResult));
    return Call(PROPSHEETUI_REASON_DESTROY, 0);
}

LONG_PTR CALLBACK PropertySheetHost::ComPropSheet(HANDLE hComPropSheet, UINT function,
                                                  LPARAM lParam1, LPARAM lParam2) {
    auto* self = static_cast<PropertySheetHost*>(hComPropSheet);
    return self ? self->OnCall(function, lParam1, lParam2) : 0;
}

LONG_PTR PropertySheetHost::OnCall(UINT function, LPARAM lParam1, LPARAM lParam2) {
    SheetCall call;
    call.function = function;
    call.lParam1 = lParam1;
    call.lParam2 = lParam2;
    AddedPage added;
    switch (function) {
    case CPSFUNC_ADD_PROPSHEETPAGEW: {
        const auto* description = reinterpret_cast<const PROPSHEETPAGEW*>(lParam1);
        if (description) {
            call.page = *description;
            if (description->pszTitle && !IS_INTRESOURCE(description->pszTitle)) {
                call.title = description->pszTitle;
            }
            added.page = CreatePropertySheetPageW(description);
            added.fromDescription = true;
        }
        break;
    }
    case CPSFUNC_ADD_HPROPSHEETPAGE:
        if (!refusePageHandles) {
            added.page = reinterpret_cast<HPROPSHEETPAGE>(lParam1);
        }
        break;
    case CPSFUNC_SET_RESULT:
        results.emplace_back(reinterpret_cast<HANDLE>(lParam1), static_cast<LRESULT>(lParam2));
        call.answer = 1;
        break;
    default:
        break;
    }
    if (added.page) {
        added.handle = reinterpret_cast<HANDLE>(kFirstPageHandle + pages.size());
        pages.push_back(added);
        call.answer = reinterpret_cast<LONG_PTR>(added.handle);
    }
    calls.push_back(call);
    return call.answer;
}

bool PropertySheetHost::MakeHeader(PROPSHEETHEADERW& sheetHeader,
                                   std::vector<HPROPSHEETPAGE>& handles, const wchar_t* caption,
                                   HWND owner, DWORD flags) {
    if (pages.empty() || shown_) {
        return false;
    }
    for (const AddedPage& added : pages) {
        handles.push_back(added.page);
    }
    sheetHeader = PROPSHEETHEADERW{};
    sheetHeader.dwSize = sizeof(sheetHeader);
    sheetHeader.dwFlags = flags;
    sheetHeader.hwndParent = owner;
    sheetHeader.pszCaption = caption;
    sheetHeader.nPages = static_cast<UINT>(handles.size());
    sheetHeader.phpage = handles.data();
    shown_ = true;
    return true;
}

HWND PropertySheetHost::ShowModeless(const wchar_t* caption) {
    PROPSHEETHEADERW sheetHeader;
    std::vector<HPROPSHEETPAGE> handles;
    if (!MakeHeader(sheetHeader, handles, caption, nullptr, PSH_MODELESS)) {
        return nullptr;
    }
    sheet_ = reinterpret_cast<HWND>(PropertySheetW(&sheetHeader));
    if (sheet_) {
        ShowWindow(sheet_, SW_SHOW);
        UpdateWindow(sheet_);
    }
    return sheet_;
}

INT_PTR PropertySheetHost::ShowModal(const wchar_t* caption, HWND owner) {
    PROPSHEETHEADERW sheetHeader;
    std::vector<HPROPSHEETPAGE> handles;
    if (!MakeHeader(sheetHeader, handles, caption, owner, 0)) {
        return -1;
    }
    return PropertySheetW(&sheetHeader);
}

void PropertySheetHost::Pump(DWORD ms) {
    standin::Pump(ms, sheet_);
}

bool PropertySheetHost::PumpUntilClosed(DWORD timeoutMs) {
    // A modeless sheet that was ended has no current page any more.
    const bool closed =
        !sheet_ || standin::PumpUntil([this] { return !PropSheet_GetCurrentPageHwnd(sheet_); },
                                      timeoutMs, sheet_);
    if (closed && sheet_) {
        DestroyWindow(sheet_);
        sheet_ = nullptr;
    }
    return closed;
}

HWND PropertySheetHost::PageWindow(int index) const {
    if (!sheet_) {
        return nullptr;
    }
    PropSheet_SetCurSel(sheet_, nullptr, index);
    return PropSheet_GetCurrentPageHwnd(sheet_);
}

bool PropertySheetHost::ShowEveryPage() const {
    bool made = sheet_ != nullptr;
    for (int index = static_cast<int>(pages.size()) - 1; index >= 0; --index) {
        made = PageWindow(index) && made;
    }
    return made;
}

std::vector<std::wstring> PropertySheetHost::TabTitles() const {
    std::vector<std::wstring> titles;
    HWND tabs = sheet_ ? PropSheet_GetTabControl(sheet_) : nullptr;
    if (!tabs) {
        return titles;
    }
    const int count = TabCtrl_GetItemCount(tabs);
    for (int i = 0; i < count; ++i) {
        wchar_t text[128] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 128;
        SendMessageW(tabs, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        titles.emplace_back(text);
    }
    return titles;
}

} // namespace standin
