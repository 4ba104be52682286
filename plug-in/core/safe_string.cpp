#include "safe_string.h"

#include <cstdarg>
#include <cstdio>

namespace vorn {

namespace {

// Copies at most capacity-1 characters and terminates; reports truncation.
HRESULT CopyWithCapacity(wchar_t* dest, size_t capacity, const wchar_t* src) noexcept {
    size_t i = 0;
    if (src) {
        for (; i < capacity && src[i] != L'\0'; ++i) {
            dest[i] = src[i];
        }
    }
    if (i == capacity) {
        dest[capacity - 1] = L'\0';
        return kStrSafeInsufficientBuffer;
    }
    dest[i] = L'\0';
    return S_OK;
}

} // namespace

size_t BoundedLength(const wchar_t* text, size_t maxChars) noexcept {
    size_t n = 0;
    while (n < maxChars && text[n] != L'\0') {
        ++n;
    }
    return n;
}

HRESULT StringCopy(wchar_t* dest, size_t destBytes, const wchar_t* src) noexcept {
    const size_t capacity = destBytes / sizeof(wchar_t);
    if (capacity == 0 || capacity > kStrSafeMaxChars || !dest) {
        return E_INVALIDARG;
    }
    return CopyWithCapacity(dest, capacity, src);
}

HRESULT StringAppend(wchar_t* dest, size_t destBytes, const wchar_t* src) noexcept {
    const size_t capacity = destBytes / sizeof(wchar_t);
    if (capacity == 0 || capacity > kStrSafeMaxChars || !dest) {
        return E_INVALIDARG;
    }
    const size_t length = BoundedLength(dest, capacity);
    if (length == capacity) {
        return E_INVALIDARG;
    }
    return CopyWithCapacity(dest + length, capacity - length, src);
}

HRESULT FormatWide(wchar_t* dest, size_t destBytes, const wchar_t* format, ...) noexcept {
    const size_t capacity = destBytes / sizeof(wchar_t);
    if (capacity == 0 || capacity > kStrSafeMaxChars || !dest || !format) {
        return E_INVALIDARG;
    }
    va_list args;
    va_start(args, format);
    // The C runtime's own formatter: "%s" in a wide format is wide text.
    const int written = _vsnwprintf(dest, capacity - 1, format, args);
    va_end(args);
    dest[capacity - 1] = L'\0';
    if (written < 0 || static_cast<size_t>(written) > capacity - 1) {
        return kStrSafeInsufficientBuffer;
    }
    dest[written] = L'\0';
    return S_OK;
}

HRESULT FormatNarrow(char* dest, size_t destChars, const char* format, ...) noexcept {
    if (destChars == 0 || destChars > kStrSafeMaxChars || !dest || !format) {
        return E_INVALIDARG;
    }
    va_list args;
    va_start(args, format);
    const int written = _vsnprintf(dest, destChars - 1, format, args);
    va_end(args);
    dest[destChars - 1] = '\0';
    if (written < 0 || static_cast<size_t>(written) > destChars - 1) {
        return kStrSafeInsufficientBuffer;
    }
    dest[written] = '\0';
    return S_OK;
}

HRESULT StringCopyNarrow(char* dest, size_t destChars, const char* src) noexcept {
    if (destChars == 0 || destChars > kStrSafeMaxChars || !dest) {
        return E_INVALIDARG;
    }
    dest[0] = '\0';
    return StringAppendNarrowN(dest, destChars, src, static_cast<size_t>(-1));
}

HRESULT StringAppendNarrowN(char* dest, size_t destChars, const char* src,
                            size_t srcChars) noexcept {
    if (destChars == 0 || destChars > kStrSafeMaxChars || !dest) {
        return E_INVALIDARG;
    }
    size_t length = 0;
    while (length < destChars && dest[length] != '\0') {
        ++length;
    }
    if (length == destChars) {
        return E_INVALIDARG;
    }
    size_t i = 0;
    for (; src && i < srcChars && src[i] != '\0'; ++i) {
        if (length + i == destChars - 1) {
            dest[length + i] = '\0';
            return kStrSafeInsufficientBuffer;
        }
        dest[length + i] = src[i];
    }
    dest[length + i] = '\0';
    return S_OK;
}

} // namespace vorn
