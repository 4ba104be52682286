#include "page_help.h"

#include "../core/names.h"
#include "../core/safe_string.h"

#include <winspool.h>

namespace vorn {

namespace {

constexpr DWORD kDriverDirectoryBytes = 256;
constexpr size_t kHelpFileChars = 32;
constexpr BYTE kNt4MajorVersion = 4;

bool KeyDown(int key) noexcept {
    return GetKeyState(key) < 0;
}

} // namespace

void BuildHelpFilePath(char (&path)[kHelpPathChars]) noexcept {
    char directory[kDriverDirectoryBytes] = {};
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(directory),
                                    sizeof(directory), &needed)) {
        directory[0] = '\0';
    }
    directory[kDriverDirectoryBytes - 1] = '\0';
    char file[kHelpFileChars] = {};
    FormatNarrow(file, kHelpFileChars, names::kHelpFileFormat, names::kHelpLanguage);
    // NT 4 kept its help files in version folder 2, later systems in 3.
    const bool nt4 = LOBYTE(LOWORD(GetVersion())) == kNt4MajorVersion;
    FormatNarrow(path, kHelpPathChars, nt4 ? names::kHelpPathFormatNt4 : names::kHelpPathFormat,
                 directory, file);
}

void ShowPageHelp(HWND page, const HELPINFO* help, DWORD topic, const HelpPopup* popups,
                  size_t popupCount) noexcept {
    char path[kHelpPathChars] = {};
    BuildHelpFilePath(path);
    if (KeyDown(VK_F1) && !KeyDown(VK_SHIFT)) {
        WinHelpA(page, path, HELP_CONTEXT, topic);
        return;
    }
    if (!help) {
        return;
    }
    for (size_t i = 0; i < popupCount; ++i) {
        if (popups[i].control == help->iCtrlId) {
            WinHelpA(page, path, HELP_CONTEXTPOPUP, popups[i].context);
            return;
        }
    }
}

} // namespace vorn
