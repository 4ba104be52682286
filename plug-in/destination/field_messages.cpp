#include "field_messages.h"

#include "field_checks.h"
#include "page_state.h"
#include "../core/safe_string.h"
#include "../resource_ids.h"

namespace vorn {

namespace {

constexpr int kStringChars = 256;
constexpr size_t kPinMessageBytes = 512;
constexpr size_t kAddressMessageBytes = 1024;

int Ask(HWND page, HINSTANCE instance, const wchar_t* text, UINT beep) {
    wchar_t caption[kStringChars] = {};
    LoadStringW(instance, IDS_CAPTION, caption, kStringChars);
    MessageBeep(beep);
    return MessageBoxW(page, text, caption, MB_OKCANCEL | MB_ICONEXCLAMATION);
}

} // namespace

int AskAboutInvalidPin(HWND page, HINSTANCE instance, const wchar_t* entered, UINT beep) noexcept {
    wchar_t format[kStringChars] = {};
    LoadStringW(instance, IDS_INVALID_PIN, format, kStringChars);
    wchar_t shown[kPinDigits + 1] = {};
    CopyInto(shown, entered);
    wchar_t message[kPinMessageBytes / sizeof(wchar_t)] = {};
    FormatWide(message, sizeof(message), format, shown);
    return Ask(page, instance, message, beep);
}

int AskAboutInvalidAddress(HWND page, HINSTANCE instance, const wchar_t* address,
                           UINT beep) noexcept {
    wchar_t format[kStringChars] = {};
    LoadStringW(instance, IDS_INVALID_ADDRESS, format, kStringChars);
    wchar_t message[kAddressMessageBytes / sizeof(wchar_t)] = {};
    FormatWide(message, sizeof(message), format, address);
    return Ask(page, instance, message, beep);
}

void ShowFallbackPin(HWND page) noexcept {
    SetDlgItemTextW(page, IDC_PIN, kFallbackPin);
}

void TurnOffEmailNotice(HWND page) noexcept {
    SendDlgItemMessageW(page, IDC_NOTIFY, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageW(page, IDC_ADDRESS, CB_SETCURSEL, 0, 0);
    SetDlgItemTextW(page, IDC_ADDRESS, L"");
    SetDlgItemTextW(page, IDC_MESSAGE, L"");
    EnableControls(page, kAddressControls, false);
}

void FocusWholeField(HWND page, int id) noexcept {
    SetFocus(GetDlgItem(page, id));
    // The combo boxes select in their edit fields through their own message.
    if (id == IDC_ADDRESS || id == IDC_USERNAME) {
        SendDlgItemMessageW(page, id, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    } else {
        SendDlgItemMessageW(page, id, EM_SETSEL, 0, -1);
    }
}

} // namespace vorn
