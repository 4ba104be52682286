// The callbacks CommonUIProp installs in the host's option trees. The host
// calls them as the user changes or applies the tree; pOEMUserData of the
// record is the PluginContext made for that tree.
#pragma once

#include "../core/oem_interface.h"

namespace vorn {

// Pages-per-sheet selection after which the page order no longer applies.
constexpr LONG kPagesPerSheetResettingOrder = 6;

// Document tree: on Apply records "DriverSettings" with the document's
// output bin, resets the page order for pages-per-sheet selection 6, copies
// the collation into the private section and reports the result to the
// sheet. Leaves the tree's items as they are otherwise.
LONG APIENTRY DocumentPropertiesCallback(PCPSUICBPARAM callbackParam, POEMCUIPPARAM param) noexcept;

// Printer tree: on Apply records "DriverSettings", carrying the stored output
// bin over.
LONG APIENTRY PrinterPropertiesCallback(PCPSUICBPARAM callbackParam, POEMCUIPPARAM param) noexcept;

} // namespace vorn
