#include "deferred_checks.h"

#include "field_checks.h"
#include "field_messages.h"
#include "page_state.h"
#include "../resource_ids.h"

namespace vorn {

int CheckPendingPin(HWND page, HINSTANCE instance) noexcept {
    DestinationPageState* state = DestinationState(page);
    if (!state || !state->pinCheckPending) {
        return 0;
    }
    state->pinCheckPending = false;
    QuietScope quiet(*state);
    const LRESULT mode = SendDlgItemMessageW(page, IDC_DELIVERY, CB_GETCURSEL, 0, 0);
    wchar_t pin[kFieldTextChars] = {};
    GetDlgItemTextW(page, IDC_PIN, pin, kFieldTextChars);
    if (IsValidPin(pin, ModeAllowsEmptyPin(mode))) {
        NotifyPageChanged(page);
        return 1;
    }
    if (AskAboutInvalidPin(page, instance, pin, MB_OK) == IDOK) {
        ShowFallbackPin(page);
        SetFocus(GetDlgItem(page, IDC_DELIVERY));
    } else {
        FocusWholeField(page, IDC_PIN);
    }
    return 1;
}

int CheckPendingAddress(HWND page, HINSTANCE instance) noexcept {
    DestinationPageState* state = DestinationState(page);
    if (!state || !state->addressCheckPending) {
        return 0;
    }
    state->addressCheckPending = false;
    QuietScope quiet(*state);
    wchar_t address[kFieldTextChars] = {};
    GetDlgItemTextW(page, IDC_ADDRESS, address, kFieldTextChars);
    if (CheckAddressList(address) > 0) {
        return 1;
    }
    if (AskAboutInvalidAddress(page, instance, address, MB_OK) == IDOK) {
        TurnOffEmailNotice(page);
        SetFocus(GetDlgItem(page, IDC_NOTIFY));
    } else {
        FocusWholeField(page, IDC_ADDRESS);
        NotifyPageUnchanged(page);
    }
    return 1;
}

} // namespace vorn
