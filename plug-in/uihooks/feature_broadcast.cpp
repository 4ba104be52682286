#include "feature_broadcast.h"

#include "../core/names.h"

namespace vorn {

namespace {

BOOL CALLBACK SendToWindow(HWND window, LPARAM message) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, static_cast<UINT>(message), 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                        kFeatureBroadcastTimeoutMs, &ignored);
    return TRUE; // every window gets its turn, whatever the last one did
}

} // namespace

void BroadcastFeatureUpdate() noexcept {
    const UINT message = RegisterWindowMessageW(names::kUpdateFeaturesMessage);
    if (message == 0) {
        return;
    }
    EnumWindows(SendToWindow, static_cast<LPARAM>(message));
}

} // namespace vorn
