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
    HWND field = GetDlgItem(page, id);
    SetFocus(field);
    // A combo box selects in its edit field through its own message.
    wchar_t className[16] = {};
    GetClassNameW(field, className, 16);
    if (lstrcmpiW(className, L"ComboBox") == 0) {
        SendMessageW(field, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    } else {
        SendMessageW(field, EM_SETSEL, 0, -1);
    }
}

} // namespace vorn
