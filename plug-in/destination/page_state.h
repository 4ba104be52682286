// What one Destination page keeps while it is open: its working copy of the
// delivery settings and the flags of the checks deferred to the next focus
// move. Each page has its own record, so two printing-preferences sheets in
// one process never overwrite each other's edits.
#pragma once

#include "../core/private_devmode.h"

#include <windows.h>
#include <prsht.h>

#include "../uihooks/page_window.h"

namespace vorn {

struct PluginContext;

struct DestinationPageState {
    DeliveryBlock working{};
    bool pinCheckPending = false;     // check the PIN when the focus lands elsewhere
    bool addressCheckPending = false; // the same for the address list
    bool defaultsJustPressed = false; // the address field lost the focus to Defaults
    bool loading = false;             // the fields are being filled, not edited
    bool filtering = false;           // the live filter is setting a field's text
    // The page itself is asking about a field or moving the focus: those
    // focus moves are not the user's and neither run nor schedule checks.
    bool quiet = false;
};

// Keeps the page quiet for as long as it lives.
class QuietScope {
  public:
    explicit QuietScope(DestinationPageState& state) noexcept
        : state_(state), before_(state.quiet) {
        state_.quiet = true;
    }
    ~QuietScope() { state_.quiet = before_; }
    QuietScope(const QuietScope&) = delete;
    QuietScope& operator=(const QuietScope&) = delete;

  private:
    DestinationPageState& state_;
    bool before_;
};

// The page's record, or null before WM_INITDIALOG and after WM_DESTROY.
DestinationPageState* DestinationState(HWND page) noexcept;

// The page's PluginContext, kept in the page window's user data.
PluginContext* PageContext(HWND page) noexcept;

// Notices to the sheet (the page's parent) that the page's fields changed,
// or that they are back as they were.
void NotifyPageChanged(HWND page) noexcept;
void NotifyPageUnchanged(HWND page) noexcept;

// Enables or disables a run of controls.
void EnableControls(HWND page, const int* ids, size_t count, bool enable) noexcept;
template <size_t N> void EnableControls(HWND page, const int (&ids)[N], bool enable) noexcept {
    EnableControls(page, ids, N, enable);
}

// The delivery modes that take a PIN, and whether an empty one will do.
bool ModeTakesPin(LRESULT mode) noexcept;
bool ModeAllowsEmptyPin(LRESULT mode) noexcept;

// The controls that follow the notification type and the delivery mode.
extern const int kAddressControls[4];
extern const int kPinControls[3];

} // namespace vorn
