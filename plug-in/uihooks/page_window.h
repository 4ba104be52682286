// What every plug-in page reads from its own window: the module it was made
// from and the PluginContext kept as its window data.
#pragma once

#include <windows.h>

#include <new>

namespace vorn {

struct PluginContext;

// Window data, message parameters and window properties carry pointers as
// integers; this is the one place that turns them back.
template <typename Pointer> Pointer PointerFrom(LONG_PTR value) noexcept {
    return reinterpret_cast<Pointer>(value); // NOLINT(performance-no-int-to-ptr)
}

// Each page keeps its own working record in the dialog's DWLP_USER slot: made
// at WM_INITDIALOG, deleted at WM_DESTROY, so that two sheets in one process
// never share one. GWLP_USERDATA carries the context.
template <typename State> State* PageState(HWND page) noexcept {
    return PointerFrom<State*>(GetWindowLongPtrW(page, DWLP_USER));
}
template <typename State> void DeletePageState(HWND page) noexcept {
    delete PageState<State>(page);
    SetWindowLongPtrW(page, DWLP_USER, 0);
}
// Attaches a new record to the page; null when memory is short.
template <typename State> State* CreatePageState(HWND page) noexcept {
    DeletePageState<State>(page);
    auto* state = new (std::nothrow) State();
    SetWindowLongPtrW(page, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    return state;
}

// The module instance the page was made from (its string table).
HINSTANCE PageInstance(HWND page) noexcept;
// The PluginContext kept as the page window's data.
PluginContext* PageContext(HWND page) noexcept;

} // namespace vorn
