// Writing the Destination page back into the private DEVMODE section when
// the page is left: every field is read into the page's working copy, the
// PIN and address are checked once more, the histories are kept, and the
// whole delivery block is copied into the section.
#pragma once

#include <windows.h>

namespace vorn {

struct PluginContext;

// 0 when the page may be left; the field the user chose to correct (the
// PIN 1317 or the address 1324, the address winning when both apply).
int CommitDestinationPage(HWND page, HINSTANCE instance, PluginContext* context) noexcept;

// Notification language code for the language of this module's own version
// resource; 2 (English) when it cannot be read.
WORD GetUiLanguageCode() noexcept;
// The code for one language identifier; 2 for those not listed.
WORD LanguageCodeFor(WORD languageId) noexcept;

} // namespace vorn
