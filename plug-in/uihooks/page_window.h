// What every plug-in page reads from its own window: the module it was made
// from and the PluginContext kept as its window data.
#pragma once

#include <windows.h>

namespace vorn {

struct PluginContext;

// Window data, message parameters and window properties carry pointers as
// integers; this is the one place that turns them back.
template <typename Pointer> Pointer PointerFrom(LONG_PTR value) noexcept {
    return reinterpret_cast<Pointer>(value); // NOLINT(performance-no-int-to-ptr)
}

// The module instance the page was made from (its string table).
HINSTANCE PageInstance(HWND page) noexcept;
// The PluginContext kept as the page window's data.
PluginContext* PageContext(HWND page) noexcept;

} // namespace vorn
