#include "commit.h"

#include "field_checks.h"
#include "field_messages.h"
#include "page_state.h"
#include "../core/private_devmode.h"
#include "../core/safe_string.h"
#include "../resource_ids.h"
#include "../core/plugin_context.h"

#include <cstring>
#include <cwchar>

namespace vorn {

namespace {

constexpr size_t kStoredUserNameChars = kUserNameChars - 1; // 16
constexpr size_t kStoredAddressChars = kMaxAddressListChars;
static_assert(kStoredAddressChars < kEmailAddressChars);
constexpr int kMessageReadChars = kMaxMessageChars + 1;

// Makes text the most recent entry of a three-entry history. The comparison
// uses the text as it will be stored, so re-committing an over-long entry
// does not push it again. An entry equal to the second swaps the first two.
template <size_t Chars>
void RememberRecent(wchar_t (&entries)[3][Chars], const wchar_t* text, size_t storedChars) {
    wchar_t stored[Chars] = {};
    StringCopy(stored, (storedChars + 1) * sizeof(wchar_t), text);
    if (wcscmp(stored, entries[0]) == 0) {
        return;
    }
    if (wcscmp(stored, entries[1]) != 0) {
        CopyInto(entries[2], entries[1]);
    }
    CopyInto(entries[1], entries[0]);
    CopyInto(entries[0], stored);
}

// A list's selection as the byte stored; a list without a selection counts
// as its first entry, never as 255.
BYTE SelectionByte(HWND page, int id) {
    const LRESULT selection = SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0);
    return selection < 0 ? 0 : static_cast<BYTE>(selection);
}

void CommitJobName(HWND page, HINSTANCE instance, DeliveryBlock& working) {
    wchar_t text[kFieldTextChars] = {};
    GetDlgItemTextW(page, IDC_JOBNAME, text, kFieldTextChars);
    working.jobName[0] = L'\0';
    if (ScanFieldText(text, true) >= 1) {
        CopyInto(working.jobName, text);
        wchar_t useApplication[kFieldTextChars] = {};
        LoadStringW(instance, IDS_USE_APP_SETTING, useApplication, kFieldTextChars);
        if (wcscmp(working.jobName, useApplication) == 0) {
            working.jobName[0] = L'\0';
        }
    }
}

void CommitUserName(HWND page, DeliveryBlock& working) {
    wchar_t text[kFieldTextChars] = {};
    GetDlgItemTextW(page, IDC_USERNAME, text, kFieldTextChars);
    if (ScanFieldText(text, true) >= 0) {
        RememberRecent(working.userNames, text, kStoredUserNameChars);
    }
}

// Returns IDC_PIN when the user chose to correct the PIN, else 0.
int CommitPin(HWND page, HINSTANCE instance, DestinationPageState& state) {
    DeliveryBlock& working = state.working;
    working.pin[0] = L'\0';
    if (!ModeTakesPin(working.deliveryMode)) {
        return 0;
    }
    wchar_t text[kFieldTextChars] = {};
    GetDlgItemTextW(page, IDC_PIN, text, kFieldTextChars);
    if (IsValidPin(text, ModeAllowsEmptyPin(working.deliveryMode))) {
        CopyInto(working.pin, text);
        return 0;
    }
    state.pinCheckPending = false;
    if (AskAboutInvalidPin(page, instance, text, MB_ICONEXCLAMATION) == IDOK) {
        CopyInto(working.pin, kFallbackPin);
        ShowFallbackPin(page);
        return 0;
    }
    FocusWholeField(page, IDC_PIN);
    return IDC_PIN;
}

// Returns IDC_ADDRESS when the user chose to correct the address, else 0.
int CommitAddress(HWND page, HINSTANCE instance, DestinationPageState& state) {
    DeliveryBlock& working = state.working;
    if (working.emailNotify == 0) {
        working.emailAddresses[0][0] = L'\0';
        return 0;
    }
    wchar_t text[kFieldTextChars] = {};
    GetDlgItemTextW(page, IDC_ADDRESS, text, kFieldTextChars);
    if (CheckAddressList(text) > 0) {
        RememberRecent(working.emailAddresses, text, kStoredAddressChars);
        return 0;
    }
    state.addressCheckPending = false;
    working.emailAddresses[0][0] = L'\0';
    if (AskAboutInvalidAddress(page, instance, text, MB_OK) == IDOK) {
        working.emailNotify = 0;
        TurnOffEmailNotice(page);
        return 0;
    }
    FocusWholeField(page, IDC_ADDRESS);
    NotifyPageUnchanged(page);
    return IDC_ADDRESS;
}

void CommitMessage(HWND page, DeliveryBlock& working) {
    working.emailMessage[0] = L'\0';
    if (working.emailNotify == 0) {
        return; // the language of an earlier notice stays
    }
    wchar_t text[kMessageReadChars] = {};
    GetDlgItemTextW(page, IDC_MESSAGE, text, kMessageReadChars);
    if (ScanFieldText(text, true) >= 1) {
        CopyInto(working.emailMessage, text);
    }
    working.mailLanguage = GetUiLanguageCode();
}

// History entries carried over from the section the page opened with may be
// longer than an address list is ever stored: cut them as a new entry is.
void LimitAddressHistory(DeliveryBlock& working) {
    for (auto& entry : working.emailAddresses) {
        entry[kStoredAddressChars] = L'\0';
    }
}

} // namespace

int CommitDestinationPage(HWND page, HINSTANCE instance, PluginContext* context) noexcept {
    DestinationPageState* state = DestinationState(page);
    if (!state) {
        return 0;
    }
    QuietScope quiet(*state);
    DeliveryBlock& working = state->working;
    GetLocalHostShortName(working.hostName);
    CommitJobName(page, instance, working);
    CommitUserName(page, working);

    working.deliveryMode = SelectionByte(page, IDC_DELIVERY);
    int result = CommitPin(page, instance, *state);

    working.emailNotify = SelectionByte(page, IDC_NOTIFY);
    if (const int address = CommitAddress(page, instance, *state)) {
        result = address;
    }
    CommitMessage(page, working);
    LimitAddressHistory(working);

    if (PrivateDevmode* devmode = ContextPrivateDevmode(context)) {
        std::memcpy(&devmode->delivery, &working, sizeof(DeliveryBlock));
    }
    return result;
}

} // namespace vorn
