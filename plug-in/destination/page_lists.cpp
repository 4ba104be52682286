#include "destination_page.h"

#include "../core/safe_string.h"
#include "../resource_ids.h"

#include <imm.h>

namespace vorn {

namespace {

constexpr int kStringChars = 256;

constexpr int kLabelIds[] = {IDC_JOBNAME_LABEL, IDC_USERNAME_LABEL, IDC_DELIVERY_LABEL,
                             IDC_PIN_LABEL,     IDC_PIN_RANGE,      IDC_EMAIL_GROUP,
                             IDC_NOTIFY_LABEL,  IDC_ADDRESS_LABEL,  IDC_MESSAGE_LABEL,
                             IDC_ABOUT_BUTTON,  IDC_DEFAULTS_BUTTON};

} // namespace

void LoadPageLabels(HWND page, HINSTANCE instance) noexcept {
    for (int id : kLabelIds) {
        // Each label's string has the number of its control.
        wchar_t text[kStringChars] = {};
        LoadStringW(instance, static_cast<UINT>(id), text, kStringChars);
        SetDlgItemTextW(page, id, text);
    }
}

void FillListFromSlots(HWND page, int id, int count, int selection, size_t slotWidth,
                       const wchar_t* slots) noexcept {
    HWND list = GetDlgItem(page, id);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < count; ++i) {
        // Inserting at a position keeps the slot order despite the sorted style.
        wchar_t text[kStringChars] = {};
        const wchar_t* slot = slots + static_cast<size_t>(i) * slotWidth;
        StringCopy(text, (slotWidth < kStringChars ? slotWidth : kStringChars) * sizeof(wchar_t),
                   slot);
        SendMessageW(list, CB_INSERTSTRING, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    }
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(selection), 0);
}

void FillListFromStrings(HWND page, int id, UINT firstString, UINT lastString, int selection,
                         HINSTANCE instance) noexcept {
    HWND list = GetDlgItem(page, id);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    WPARAM position = 0;
    for (UINT string = firstString; string <= lastString; ++string, ++position) {
        wchar_t text[kStringChars] = {};
        LoadStringW(instance, string, text, kStringChars);
        SendMessageW(list, CB_INSERTSTRING, position, reinterpret_cast<LPARAM>(text));
    }
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(selection), 0);
}

BOOL CALLBACK DisableImeProc(HWND child, LPARAM) {
    ImmAssociateContext(child, nullptr);
    return TRUE;
}

} // namespace vorn
