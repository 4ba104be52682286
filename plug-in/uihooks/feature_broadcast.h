// Tells every top-level window that the printer's installed features or
// finishing settings changed ("MSG_UPDATE_FEATURES").
#pragma once

#include <windows.h>

namespace vorn {

// How long one window may keep the message before it is passed over. A
// window that answers gets the message synchronously; one that has stopped
// answering must not hold up the dialog's Apply for ever.
constexpr UINT kFeatureBroadcastTimeoutMs = 3000;

// Sends the registered message, wParam 0 and lParam 0, to each top-level
// window in turn.
void BroadcastFeatureUpdate() noexcept;

} // namespace vorn
