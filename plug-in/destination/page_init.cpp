#include "destination_page.h"
#include "page_handlers.h"
#include "field_checks.h"
#include "page_state.h"

#include "../core/private_devmode.h"
#include "../core/safe_string.h"
#include "../resource_ids.h"
#include "../uihooks/model_class.h"
#include "../core/plugin_context.h"

#include <prsht.h>

namespace vorn {

namespace {

constexpr int kStringChars = 256;
constexpr WPARAM kJobNameLimit = kJobNameChars - 1;
constexpr WPARAM kUserNameLimit = kUserNameChars - 1;
constexpr WPARAM kPinLimit = kPinChars - 1;
// The address list and the message take no more than is stored.
constexpr WPARAM kAddressLimit = kMaxAddressListChars;
constexpr WPARAM kMessageLimit = kMaxMessageChars;
// Model families 0 and 1 offer the delivery modes up to "Save".
constexpr int kLastSmallFamily = 1;

// The delivery mode to show: one the printer's list does not offer opens
// the page at "Print now", so that the commit never stores a missing entry.
int OfferedMode(BYTE stored, UINT lastString) {
    return stored <= lastString - IDS_DELIVERY_FIRST ? stored : 0;
}

template <size_t N> void Terminate(wchar_t (&field)[N]) {
    field[N - 1] = L'\0';
}

void TerminateTextFields(DeliveryBlock& block) {
    Terminate(block.jobName);
    for (auto& name : block.userNames) {
        Terminate(name);
    }
    Terminate(block.pin);
    for (auto& address : block.emailAddresses) {
        Terminate(address);
    }
    Terminate(block.emailMessage);
}

} // namespace

void InitDestinationPage(HWND page, LPARAM pageDescription) noexcept {
    const auto* description = PointerFrom<const PROPSHEETPAGEW*>(pageDescription);
    auto* context = description ? PointerFrom<PluginContext*>(description->lParam) : nullptr;
    SetWindowLongPtrW(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(context));
    const PrivateDevmode* devmode = ContextPrivateDevmode(context);
    const HINSTANCE instance = PageInstance(page);

    LoadPageLabels(page, instance);
    DestinationPageState* state = CreatePageState<DestinationPageState>(page);
    if (!state) {
        return; // no memory for the page's record: the page stays inert
    }
    state->loading = true;
    DeliveryBlock& working = state->working;
    if (devmode) {
        working = devmode->delivery;
        TerminateTextFields(working); // stored text may lack its terminator
    }

    if (working.jobName[0] != L'\0') {
        SetDlgItemTextW(page, IDC_JOBNAME, working.jobName);
    } else {
        wchar_t useApplication[kStringChars] = {};
        LoadStringW(instance, IDS_USE_APP_SETTING, useApplication, kStringChars);
        SetDlgItemTextW(page, IDC_JOBNAME, useApplication);
    }
    SendDlgItemMessageW(page, IDC_JOBNAME, EM_LIMITTEXT, kJobNameLimit, 0);

    FillListFromSlots(page, IDC_USERNAME, kUserNameSlots, 0, kUserNameChars,
                      &working.userNames[0][0]);
    SendDlgItemMessageW(page, IDC_USERNAME, CB_LIMITTEXT, kUserNameLimit, 0);

    const int family = GetModelClass(context ? context->printer : nullptr, nullptr);
    const UINT lastMode = family <= kLastSmallFamily ? IDS_DELIVERY_SAVE : IDS_DELIVERY_LAST;
    const int mode = OfferedMode(working.deliveryMode, lastMode);
    FillListFromStrings(page, IDC_DELIVERY, IDS_DELIVERY_FIRST, lastMode, mode, instance);

    EnableControls(page, kPinControls, ModeTakesPin(mode));
    SendDlgItemMessageW(page, IDC_PIN, EM_LIMITTEXT, kPinLimit, 0);
    SetDlgItemTextW(page, IDC_PIN, working.pin);

    const int notify =
        working.emailNotify <= IDS_NOTIFY_LAST - IDS_NOTIFY_FIRST ? working.emailNotify : 0;
    FillListFromStrings(page, IDC_NOTIFY, IDS_NOTIFY_FIRST, IDS_NOTIFY_LAST, notify, instance);
    if (notify == 0) {
        EnableControls(page, kAddressControls, false);
    }

    // No input method while an address is typed.
    EnumChildWindows(GetDlgItem(page, IDC_ADDRESS), DisableImeProc, 0);
    FillListFromSlots(page, IDC_ADDRESS, kEmailAddressSlots, 0, kEmailAddressChars,
                      &working.emailAddresses[0][0]);
    SendDlgItemMessageW(page, IDC_ADDRESS, CB_LIMITTEXT, kAddressLimit, 0);

    SetDlgItemTextW(page, IDC_MESSAGE, working.emailMessage);
    SendDlgItemMessageW(page, IDC_MESSAGE, EM_LIMITTEXT, kMessageLimit, 0);
    state->loading = false;
}

} // namespace vorn
