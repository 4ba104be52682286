#include "property_sheets.h"

#include "page_procs.h"
#include "../core/plugin_context.h"

#include "../core/handles.h"
#include "../core/names.h"
#include "../resource_ids.h"

namespace vorn {

namespace {

enum class Page { Destination, Tickets };

constexpr int kTitleChars = 512;
using PageTitle = wchar_t[kTitleChars];

// The title lives in the caller's buffer for the call: the host copies it
// when it creates the page. (Sheets of other threads add pages at the same
// time, so no buffer of the module may serve them all.)
void FillPageDescription(PluginContext* context, Page page, PageTitle& title) {
    const bool destination = page == Page::Destination;
    title[0] = L'\0';
    LoadStringW(static_cast<HINSTANCE>(context->module),
                destination ? IDS_DESTINATION_TITLE : IDS_TICKETS_TITLE, title, kTitleChars);

    PROPSHEETPAGEW& description = context->page;
    description = PROPSHEETPAGEW{};
    description.dwSize = sizeof(PROPSHEETPAGEW);
    description.dwFlags = PSP_USETITLE;
    description.hInstance = static_cast<HINSTANCE>(context->module);
    description.pszTemplate = MAKEINTRESOURCEW(destination ? IDD_DESTINATION : IDD_TICKETS);
    description.pszTitle = title;
    description.pfnDlgProc = destination ? DestinationPageProc : TicketsPageProc;
    description.lParam = reinterpret_cast<LPARAM>(context);
}

// Hands the host the page description and keeps the handle it answers
// where that page reports from; true when it answered one.
bool AddOwnPage(PluginContext* context, Page page) {
    if (!context->sheetFunction) {
        return false;
    }
    HANDLE& handle = page == Page::Destination ? context->pageHandle : context->ticketsPageHandle;
    // NOLINTNEXTLINE(performance-no-int-to-ptr): handles and records travel as integers
    handle = reinterpret_cast<HANDLE>(context->sheetFunction(
        context->sheet, CPSFUNC_ADD_PROPSHEETPAGEW, reinterpret_cast<LPARAM>(&context->page), 0));
    return handle != nullptr;
}

using ExternalPageCreator = HPROPSHEETPAGE(WINAPI*)(PROPSHEETPAGEW*);

// On Windows XP the external library makes the Destination page from the
// same description; without it (or its page) the plug-in's own is added.
bool AddDestinationPage(PluginContext* context) {
    if (!context->sheetFunction) {
        return false;
    }
    if (!IsWindowsXP()) {
        return AddOwnPage(context, Page::Destination);
    }
    UniqueModule library(LoadLibraryFromDriverDir(context, names::kExternalPageDll));
    if (!library) {
        return AddOwnPage(context, Page::Destination);
    }
    const auto create = reinterpret_cast<ExternalPageCreator>(
        reinterpret_cast<void*>(GetProcAddress(library.Get(), names::kExternalPageExport)));
    const HPROPSHEETPAGE page = create ? create(&context->page) : nullptr;
    if (!page) {
        return AddOwnPage(context, Page::Destination);
    }
    // NOLINTNEXTLINE(performance-no-int-to-ptr): handles and records travel as integers
    context->externalPage = reinterpret_cast<HPROPSHEETPAGE>(context->sheetFunction(
        context->sheet, CPSFUNC_ADD_HPROPSHEETPAGE, reinterpret_cast<LPARAM>(page), 0));
    if (!context->externalPage) {
        // A page the host did not take belongs to nobody else: it would
        // stay behind, with its resources, for the life of the process.
        DestroyPropertySheetPage(page);
        return false;
    }
    return true;
}

// A context that the option tree filled far enough to carry the pages.
PluginContext* UsableContext() {
    PluginContext* context = CurrentPluginContext();
    return context && context->module ? context : nullptr;
}

// Adds one page at the sheet's initialisation; false when nothing was added.
// The sheet keeps the context it was built with, so that its end can forget it.
bool AddPage(PROPSHEETUI_INFO& info, PluginContext* context, Page page) {
    info.UserData = reinterpret_cast<ULONG_PTR>(context);
    context->page = PROPSHEETPAGEW{};
    // NOLINTNEXTLINE(performance-no-int-to-ptr): handles and records travel as integers
    context->sheetParam = reinterpret_cast<OEMUIPSPARAM*>(info.lParamInit);
    context->sheet = info.hComPropSheet;
    context->sheetFunction = info.pfnComPropSheet;
    PageTitle title;
    FillPageDescription(context, page, title);
    const bool added = page == Page::Destination
                           ? AddDestinationPage(context)
                           : ShouldShowTicketsPage(context) && AddOwnPage(context, Page::Tickets);
    // The description outlives the call; its title does not.
    context->page.pszTitle = nullptr;
    return added;
}

HRESULT RunPageStep(PPROPSHEETUI_INFO info, LPARAM lParam, Page page) {
    if (!info || info->Version != PROPSHEETUI_INFO_VERSION) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    switch (info->Reason) {
    case PROPSHEETUI_REASON_INIT: {
        // Without a context from the option tree there is nothing to give
        // the pages: refuse rather than add a page with no parameter.
        PluginContext* context = UsableContext();
        if (!context) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return E_FAIL;
        }
        info->Result = AddPage(*info, context, page) ? 1 : 0;
        break;
    }
    case PROPSHEETUI_REASON_GET_INFO_HEADER: {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): handles and records travel as integers
        auto* header = reinterpret_cast<PROPSHEETUI_INFO_HEADER*>(lParam);
        if (header) {
            header->pTitle = const_cast<wchar_t*>(names::kInfoHeaderTitle);
        }
        info->Result = 1;
        break;
    }
    case PROPSHEETUI_REASON_DESTROY:
        // The host discards the context's heap after this: no thread may
        // build a sheet with it any more. Each page let go of its own
        // resources when its window went.
        // NOLINTNEXTLINE(performance-no-int-to-ptr): handles and records travel as integers
        ForgetPluginContext(reinterpret_cast<const PluginContext*>(info->UserData));
        info->UserData = 0;
        info->Result = 1;
        break;
    case PROPSHEETUI_REASON_SET_RESULT: {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): handles and records travel as integers
        const auto* result = reinterpret_cast<const SETRESULT_INFO*>(lParam);
        info->Result = result ? result->Result : 0;
        break;
    }
    case PROPSHEETUI_REASON_GET_ICON:
    default:
        info->Result = 0;
        break;
    }
    return S_OK;
}

} // namespace

HRESULT DocumentPropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam) noexcept {
    HRESULT result = RunPageStep(info, lParam, Page::Destination);
    // A refused call keeps its own error: the editor's lookup would replace it.
    if (FAILED(result) || !IsTicketEditorInstalled()) {
        return result;
    }
    const bool destinationAdded = info->Reason == PROPSHEETUI_REASON_INIT && info->Result == 1;
    result = RunPageStep(info, lParam, Page::Tickets);
    // A Tickets page left out (a connection the editor cannot serve) does
    // not undo the Destination page the sheet already has.
    if (destinationAdded) {
        info->Result = 1;
    }
    return result;
}

} // namespace vorn
