#include "page_state.h"

#include "../resource_ids.h"

namespace vorn {

namespace {

// Delivery modes by their index in the list.
constexpr LRESULT kModeHoldForPin = 2;
constexpr LRESULT kModeArchive = 7;

} // namespace

const int kAddressControls[4] = {IDC_ADDRESS_LABEL, IDC_ADDRESS, IDC_MESSAGE_LABEL, IDC_MESSAGE};
const int kPinControls[3] = {IDC_PIN_LABEL, IDC_PIN, IDC_PIN_RANGE};

DestinationPageState* DestinationState(HWND page) noexcept {
    return PageState<DestinationPageState>(page);
}

void NotifyPageChanged(HWND page) noexcept {
    SendMessageW(GetParent(page), PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
}

void NotifyPageUnchanged(HWND page) noexcept {
    SendMessageW(GetParent(page), PSM_UNCHANGED, reinterpret_cast<WPARAM>(page), 0);
}

void EnableControls(HWND page, const int* ids, size_t count, bool enable) noexcept {
    for (size_t i = 0; i < count; ++i) {
        EnableWindow(GetDlgItem(page, ids[i]), enable ? TRUE : FALSE);
    }
}

bool ModeTakesPin(LRESULT mode) noexcept {
    return mode == kModeHoldForPin || mode == kModeArchive;
}

bool ModeAllowsEmptyPin(LRESULT mode) noexcept {
    return mode != kModeHoldForPin;
}

} // namespace vorn
