// Reading text values whose size the registry reports, bounded by the
// caller's buffer. Values written by other programs may be of any type and
// length; only a terminated REG_SZ that fits counts as read.
#pragma once

#include "../core/handles.h"

#include <windows.h>

#include <cstddef>

namespace vorn {

enum class TextValue {
    kRead,   // a terminated REG_SZ that fits the buffer
    kAbsent, // the size query did not report data (missing or empty value)
    kBad,    // wrong type, too long, not terminated, or the second query failed
};

// Asks for the value's size first, then reads it into the zero-filled
// buffer. On anything but kRead the buffer is left empty.
TextValue QueryTextValue(HKEY key, const wchar_t* name, wchar_t* buffer,
                         size_t bufferChars) noexcept;

} // namespace vorn
