#include "page_handlers.h"

#include "../resource_ids.h"
#include "../uihooks/page_help.h"

namespace vorn {

namespace {

constexpr HelpPopup kHelpPopups[] = {
    {IDC_JOBNAME_LABEL, HELP_CTX_JOBNAME},
    {IDC_JOBNAME, HELP_CTX_JOBNAME},
    {IDC_USERNAME_LABEL, HELP_CTX_USERNAME},
    {IDC_USERNAME, HELP_CTX_USERNAME},
    {IDC_DELIVERY_LABEL, HELP_CTX_DELIVERY},
    {IDC_DELIVERY, HELP_CTX_DELIVERY},
    {IDC_PIN_LABEL, HELP_CTX_PIN},
    {IDC_PIN, HELP_CTX_PIN},
    {IDC_PIN_RANGE, HELP_CTX_PIN},
    {IDC_NOTIFY_LABEL, HELP_CTX_NOTIFY},
    {IDC_NOTIFY, HELP_CTX_NOTIFY},
    {IDC_ADDRESS_LABEL, HELP_CTX_ADDRESS},
    {IDC_ADDRESS, HELP_CTX_ADDRESS},
    {IDC_MESSAGE_LABEL, HELP_CTX_MESSAGE},
    {IDC_MESSAGE, HELP_CTX_MESSAGE},
    {IDOK, HELP_CTX_OK},
    {IDCANCEL, HELP_CTX_CANCEL},
    {IDC_DEFAULTS_BUTTON, HELP_CTX_DEFAULTS},
    {IDC_HELP_UNUSED_1027, HELP_CTX_1027},
};

} // namespace

void OnDestinationHelp(HWND page, const HELPINFO* help) noexcept {
    ShowPageHelp(page, help, HELP_DESTINATION_TOPIC, kHelpPopups);
}

} // namespace vorn
