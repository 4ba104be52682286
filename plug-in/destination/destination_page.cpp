#include "destination_page.h"

#include "commit.h"
#include "page_handlers.h"
#include "page_state.h"
#include "../core/plugin_context.h"

#include <prsht.h>

namespace vorn {

namespace {

INT_PTR OnNotify(HWND page, const NMHDR* header) {
    PluginContext* context = PageContext(page);
    switch (header->code) {
    case PSN_SETACTIVE:
        SetWindowLongPtrW(page, DWLP_MSGRESULT, 0);
        if (DestinationPageState* state = DestinationState(page)) {
            state->pinCheckPending = false;
            state->addressCheckPending = false;
        }
        return TRUE;
    case PSN_KILLACTIVE: {
        // A field the user chose to correct keeps the page active.
        const int correct = CommitDestinationPage(page, PageInstance(page), context);
        // The commit has put the focus there already. Moving it again from a
        // combo box's edit field to the box itself would send the box's
        // focus notices once the commit is over and run a waiting check.
        if (correct != 0) {
            const HWND field = GetDlgItem(page, correct);
            const HWND focus = GetFocus();
            if (focus != field && !IsChild(field, focus)) {
                SetFocus(field);
            }
        }
        SetWindowLongPtrW(page, DWLP_MSGRESULT, correct);
        return correct;
    }
    case PSN_APPLY:
        if (context && context->sheetFunction) {
            context->sheetFunction(context->sheet, CPSFUNC_SET_RESULT,
                                   reinterpret_cast<LPARAM>(context->pageHandle), CPSUI_OK);
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        InitDestinationPage(page, lParam);
        return TRUE;
    case WM_COMMAND:
        OnDestinationCommand(page, LOWORD(wParam), HIWORD(wParam));
        return FALSE;
    case WM_NOTIFY:
        return lParam ? OnNotify(page, PointerFrom<const NMHDR*>(lParam)) : FALSE;
    case WM_HELP:
        OnDestinationHelp(page, PointerFrom<const HELPINFO*>(lParam));
        return TRUE;
    case WM_DESTROY:
        DeletePageState<DestinationPageState>(page);
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace vorn
