// Bounded text operations. Every copy into a fixed field goes through these:
// over-long text is cut and terminated, never overrun. They answer as the
// platform's StringCbCopyW / StringCbCatW / StringCbPrintfW /
// StringCchPrintfA do, so callers may rely on the same result codes.
#pragma once

#include <windows.h>
#include <cstddef>

namespace vorn {

constexpr HRESULT kStrSafeInsufficientBuffer = static_cast<HRESULT>(0x8007007A);
constexpr size_t kStrSafeMaxChars = 2147483647;

// Copies src into dest, whose size is given in bytes.
HRESULT StringCopy(wchar_t* dest, size_t destBytes, const wchar_t* src) noexcept;
// Appends src to the text already in dest, whose size is given in bytes.
HRESULT StringAppend(wchar_t* dest, size_t destBytes, const wchar_t* src) noexcept;
// Formats into dest, whose size is given in bytes.
HRESULT FormatWide(wchar_t* dest, size_t destBytes, const wchar_t* format, ...) noexcept;
// Formats 8-bit text into dest, whose size is given in characters.
HRESULT FormatNarrow(char* dest, size_t destChars, const char* format, ...) noexcept;
// Copies 8-bit text into dest, whose size is given in characters.
HRESULT StringCopyNarrow(char* dest, size_t destChars, const char* src) noexcept;
// Appends up to srcChars characters of src to dest (size in characters).
HRESULT StringAppendNarrowN(char* dest, size_t destChars, const char* src,
                            size_t srcChars) noexcept;

// Array forms: the bound is the array itself.
template <size_t N> HRESULT CopyInto(wchar_t (&dest)[N], const wchar_t* src) noexcept {
    return StringCopy(dest, sizeof(dest), src);
}
template <size_t N> HRESULT AppendInto(wchar_t (&dest)[N], const wchar_t* src) noexcept {
    return StringAppend(dest, sizeof(dest), src);
}

// Length of text within a bound of maxChars; maxChars when unterminated.
size_t BoundedLength(const wchar_t* text, size_t maxChars) noexcept;

} // namespace vorn
