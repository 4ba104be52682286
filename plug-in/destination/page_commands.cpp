#include "page_handlers.h"

#include "../about/about_box.h"
#include "deferred_checks.h"
#include "field_checks.h"
#include "field_messages.h"
#include "page_state.h"
#include "../resource_ids.h"

#include <cwchar>

namespace vorn {

namespace {

constexpr int kNotifyNone = 0;
constexpr DWORD kLogonNameChars = 256;

// A check left pending by another field runs when the focus lands here;
// the address waits while the PIN message is being answered.
void CheckPendingFields(HWND page, HINSTANCE instance) {
    if (CheckPendingPin(page, instance) == 0) {
        CheckPendingAddress(page, instance);
    }
}

bool IsFocusNotice(int id, int code) {
    switch (id) {
    case IDC_JOBNAME:
    case IDC_PIN:
    case IDC_MESSAGE:
        return code == EN_SETFOCUS || code == EN_KILLFOCUS;
    case IDC_USERNAME:
    case IDC_DELIVERY:
    case IDC_NOTIFY:
    case IDC_ADDRESS:
        return code == CBN_SETFOCUS || code == CBN_KILLFOCUS;
    default:
        return false;
    }
}

bool FocusWentTo(HWND page, int id) {
    return GetFocus() == GetDlgItem(page, id);
}

LRESULT Selection(HWND page, int id) {
    return SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0);
}

// Refuses control characters and double quotes as they are typed: the
// character goes, the caret stays where it was. Pasted text may bring
// several; each goes, with one beep.
void FilterTypedText(HWND page, int id, bool comboBox) {
    DestinationPageState* state = DestinationState(page);
    if (!state || state->filtering) {
        return; // our own correction of the text
    }
    wchar_t text[kFieldTextChars] = {};
    GetDlgItemTextW(page, id, text, kFieldTextChars);
    int16_t scanned = ScanFieldText(text, false);
    if (scanned >= 0) {
        if (!state->loading) {
            NotifyPageChanged(page);
        }
        return;
    }
    const int caret = ~scanned;
    for (; scanned < 0; scanned = ScanFieldText(text, false)) {
        wchar_t* rejected = text + ~scanned;
        wmemmove(rejected, rejected + 1, wcslen(rejected + 1) + 1);
    }
    MessageBeep(MB_OK);
    state->filtering = true;
    SetDlgItemTextW(page, id, text);
    state->filtering = false;
    if (comboBox) {
        SendDlgItemMessageW(page, id, CB_SETEDITSEL, 0, MAKELPARAM(caret, caret));
    } else {
        SendDlgItemMessageW(page, id, EM_SETSEL, caret, caret);
    }
}

void RestoreDefaults(HWND page, HINSTANCE instance, DestinationPageState& state) {
    state.defaultsJustPressed = true;
    state.addressCheckPending = false;
    wchar_t text[kFieldTextChars] = {};
    LoadStringW(instance, IDS_USE_APP_SETTING, text, kFieldTextChars);
    SetDlgItemTextW(page, IDC_JOBNAME, text);
    wchar_t user[kLogonNameChars] = {};
    DWORD userChars = kLogonNameChars;
    if (!GetUserNameW(user, &userChars)) {
        user[0] = L'\0';
    }
    SetDlgItemTextW(page, IDC_USERNAME, user);
    SendDlgItemMessageW(page, IDC_DELIVERY, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageW(page, IDC_NOTIFY, CB_SETCURSEL, 0, 0);
    SetDlgItemTextW(page, IDC_PIN, L"");
    SetDlgItemTextW(page, IDC_ADDRESS, L"");
    SetDlgItemTextW(page, IDC_MESSAGE, L"");
    EnableControls(page, kPinControls, false);
    EnableControls(page, kAddressControls, false);
    FocusWholeField(page, IDC_JOBNAME);
    NotifyPageChanged(page);
}

void OnDeliveryCommand(HWND page, HINSTANCE instance, DestinationPageState& state, int code) {
    switch (code) {
    case CBN_SETFOCUS:
        // Back at the PIN's own list: the PIN is checked when this list is left.
        state.pinCheckPending = false;
        CheckPendingAddress(page, instance);
        break;
    case CBN_SELCHANGE:
        EnableControls(page, kPinControls, ModeTakesPin(Selection(page, IDC_DELIVERY)));
        NotifyPageChanged(page);
        break;
    case CBN_KILLFOCUS:
        if (ModeTakesPin(Selection(page, IDC_DELIVERY))) {
            state.pinCheckPending = true;
        }
        break;
    }
}

void OnNotifyTypeCommand(HWND page, HINSTANCE instance, DestinationPageState& state, int code) {
    switch (code) {
    case CBN_SETFOCUS:
        state.addressCheckPending = false;
        CheckPendingPin(page, instance);
        break;
    case CBN_SELCHANGE:
        EnableControls(page, kAddressControls, Selection(page, IDC_NOTIFY) != kNotifyNone);
        NotifyPageChanged(page);
        break;
    case CBN_KILLFOCUS:
        if (Selection(page, IDC_NOTIFY) != kNotifyNone) {
            state.addressCheckPending = true;
        }
        break;
    }
}

void OnAddressCommand(HWND page, HINSTANCE instance, DestinationPageState& state, int code) {
    switch (code) {
    case CBN_SETFOCUS:
        state.defaultsJustPressed = false;
        CheckPendingPin(page, instance);
        break;
    case CBN_EDITCHANGE:
        FilterTypedText(page, IDC_ADDRESS, true);
        break;
    case CBN_SELCHANGE:
        NotifyPageChanged(page);
        break;
    case CBN_KILLFOCUS:
        // Leaving for Defaults, or being emptied by it, is no reason to check.
        if (FocusWentTo(page, IDC_DEFAULTS_BUTTON)) {
            break;
        }
        if (state.defaultsJustPressed) {
            state.defaultsJustPressed = false;
        } else {
            state.addressCheckPending = true;
        }
        break;
    }
}

void OnPinCommand(HWND page, HINSTANCE instance, DestinationPageState& state, int code) {
    switch (code) {
    case EN_SETFOCUS:
        CheckPendingAddress(page, instance);
        break;
    case EN_CHANGE:
        if (!state.loading) {
            NotifyPageChanged(page);
        }
        break;
    case EN_KILLFOCUS:
        if (!FocusWentTo(page, IDC_DEFAULTS_BUTTON)) {
            state.pinCheckPending = true;
        }
        break;
    }
}

} // namespace

void OnDestinationCommand(HWND page, int id, int code) noexcept {
    DestinationPageState* state = DestinationState(page);
    if (!state || (state->quiet && IsFocusNotice(id, code))) {
        return;
    }
    const HINSTANCE instance = PageInstance(page);
    switch (id) {
    case IDC_ABOUT_BUTTON:
        // The box is modal and owned by the page; its result is not used.
        DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUT), page, AboutDlgProc, 0);
        break;
    case IDC_DEFAULTS_BUTTON:
        RestoreDefaults(page, instance, *state);
        break;
    case IDC_JOBNAME:
    case IDC_MESSAGE:
        if (code == EN_SETFOCUS) {
            CheckPendingFields(page, instance);
        } else if (code == EN_CHANGE) {
            FilterTypedText(page, id, false);
        }
        break;
    case IDC_USERNAME:
        if (code == CBN_SETFOCUS) {
            CheckPendingFields(page, instance);
        } else if (code == CBN_EDITCHANGE) {
            FilterTypedText(page, id, true);
        } else if (code == CBN_SELCHANGE) {
            NotifyPageChanged(page);
        }
        break;
    case IDC_DELIVERY:
        OnDeliveryCommand(page, instance, *state, code);
        break;
    case IDC_PIN:
        OnPinCommand(page, instance, *state, code);
        break;
    case IDC_NOTIFY:
        OnNotifyTypeCommand(page, instance, *state, code);
        break;
    case IDC_ADDRESS:
        OnAddressCommand(page, instance, *state, code);
        break;
    }
}

} // namespace vorn
