#include "feature_broadcast.h"

#include "../core/names.h"

namespace vorn {

namespace {

// Threads that let the message time out during one broadcast. A thread has
// more than one top-level window (its input-method window among them), and
// each would otherwise cost the full timeout again.
constexpr size_t kMaxHungThreads = 16;

struct Broadcast {
    UINT message;
    DWORD hungThreads[kMaxHungThreads];
    size_t hungCount;

    bool IsHung(DWORD thread) const noexcept {
        for (size_t i = 0; i < hungCount; ++i) {
            if (hungThreads[i] == thread) {
                return true;
            }
        }
        return false;
    }
    void MarkHung(DWORD thread) noexcept {
        if (hungCount < kMaxHungThreads) {
            hungThreads[hungCount++] = thread;
        }
    }
};

BOOL CALLBACK SendToWindow(HWND window, LPARAM state) {
    // EnumWindows passes its caller's state only as an integer.
    // NOLINTNEXTLINE(performance-no-int-to-ptr)
    auto& broadcast = *reinterpret_cast<Broadcast*>(state);
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (broadcast.IsHung(thread)) {
        return TRUE;
    }
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(window, broadcast.message, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                             kFeatureBroadcastTimeoutMs, &ignored) &&
        GetLastError() == ERROR_TIMEOUT) {
        broadcast.MarkHung(thread);
    }
    return TRUE; // every window gets its turn, whatever the last one did
}

} // namespace

void BroadcastFeatureUpdate() noexcept {
    Broadcast broadcast{};
    broadcast.message = RegisterWindowMessageW(names::kUpdateFeaturesMessage);
    if (broadcast.message == 0) {
        return;
    }
    EnumWindows(SendToWindow, reinterpret_cast<LPARAM>(&broadcast));
}

} // namespace vorn
