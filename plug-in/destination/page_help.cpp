#include "page_handlers.h"

#include "../core/names.h"
#include "../core/safe_string.h"
#include "../resource_ids.h"

#include <winspool.h>

namespace vorn {

namespace {

constexpr DWORD kDriverDirectoryBytes = 256;
constexpr size_t kHelpFileChars = 32;
constexpr size_t kHelpPathChars = 256;
constexpr BYTE kNt4MajorVersion = 4;

struct HelpContext {
    int controlId;
    DWORD context;
};
constexpr HelpContext kHelpContexts[] = {
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

// The help file in the version folder of the local printer-driver directory.
void BuildHelpPath(char (&path)[kHelpPathChars]) {
    char directory[kDriverDirectoryBytes] = {};
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(directory),
                                    sizeof(directory), &needed)) {
        directory[0] = '\0';
    }
    directory[kDriverDirectoryBytes - 1] = '\0';
    char file[kHelpFileChars] = {};
    FormatNarrow(file, kHelpFileChars, names::kHelpFileFormat, names::kHelpLanguage);
    const bool nt4 = LOBYTE(LOWORD(GetVersion())) == kNt4MajorVersion;
    FormatNarrow(path, kHelpPathChars, nt4 ? names::kHelpPathFormatNt4 : names::kHelpPathFormat,
                 directory, file);
}

bool KeyDown(int key) {
    return GetKeyState(key) < 0;
}

} // namespace

void OnDestinationHelp(HWND page, const HELPINFO* help) noexcept {
    char path[kHelpPathChars] = {};
    BuildHelpPath(path);
    if (KeyDown(VK_F1) && !KeyDown(VK_SHIFT)) {
        WinHelpA(page, path, HELP_CONTEXT, HELP_DESTINATION_TOPIC);
        return;
    }
    if (!help) {
        return;
    }
    for (const HelpContext& entry : kHelpContexts) {
        if (entry.controlId == help->iCtrlId) {
            WinHelpA(page, path, HELP_CONTEXTPOPUP, entry.context);
            return;
        }
    }
}

} // namespace vorn
