#include "field_checks.h"

#include <cwchar>

namespace vorn {

namespace {

bool IsAddressBreak(wchar_t c) {
    return c == L'\0' || c == L' ' || c == L',' || c == L'@';
}
bool IsSeparator(wchar_t c) {
    return c == L' ' || c == L',';
}

} // namespace

int16_t ScanFieldText(wchar_t* text, bool trim) noexcept {
    if (!text) {
        return 0;
    }
    if (trim) {
        size_t leading = 0;
        while (text[leading] == L' ') {
            ++leading;
        }
        if (leading) {
            wmemmove(text, text + leading, wcslen(text + leading) + 1);
        }
    }
    // Field texts are at most 255 units; the bound keeps the result in range.
    int length = 0;
    for (; text[length] != L'\0' && length < INT16_MAX; ++length) {
        if (text[length] < L' ' || text[length] == L'"') {
            return static_cast<int16_t>(~length);
        }
    }
    if (trim) {
        while (length > 0 && text[length - 1] == L' ') {
            text[--length] = L'\0';
        }
    }
    return static_cast<int16_t>(length);
}

bool IsValidPin(const wchar_t* text, bool allowEmpty) noexcept {
    if (!text) {
        return false;
    }
    if (text[0] == L'\0') {
        return allowEmpty;
    }
    for (int i = 0; i < kPinDigits; ++i) {
        if (text[i] < L'0' || text[i] > L'9') {
            return false;
        }
    }
    return text[kPinDigits] == L'\0';
}

int MeasureAddress(const wchar_t* text) noexcept {
    if (!text) {
        return 0;
    }
    size_t count = 0;
    while (text[count] == L' ') {
        ++count;
    }
    const size_t userStart = count;
    while (!IsAddressBreak(text[count])) {
        ++count;
    }
    if (count == userStart || text[count] != L'@') {
        return 0;
    }
    ++count;
    if (IsAddressBreak(text[count]) || text[count] == L'.') {
        return 0;
    }
    bool hasDot = false;
    size_t afterLastDot = 0;
    for (; !IsAddressBreak(text[count]); ++count) {
        if (text[count] == L'.') {
            hasDot = true;
            afterLastDot = 0;
        } else {
            ++afterLastDot;
        }
    }
    if (!hasDot || afterLastDot < 2 || text[count] == L'@') {
        return 0;
    }
    return count > static_cast<size_t>(kMaxAddressChars) ? 0 : static_cast<int>(count);
}

int CheckAddressList(wchar_t* text) noexcept {
    const int16_t scanned = ScanFieldText(text, true);
    if (scanned < 0) {
        return 0;
    }
    int length = scanned;
    size_t pos = 0;
    while (text[pos] != L'\0') {
        const int measured = MeasureAddress(text + pos);
        if (measured == 0) {
            return 0;
        }
        pos += static_cast<size_t>(measured);
        size_t separators = 0;
        while (IsSeparator(text[pos + separators])) {
            ++separators;
        }
        if (text[pos + separators] == L'\0') {
            text[pos] = L'\0';
            length -= static_cast<int>(separators);
            return length > kMaxAddressListChars ? 0 : length;
        }
        text[pos] = L' ';
        if (separators > 1) {
            wchar_t* rest = text + pos + separators;
            wmemmove(text + pos + 1, rest, wcslen(rest) + 1);
            length -= static_cast<int>(separators) - 1;
        }
        ++pos;
    }
    return length > kMaxAddressListChars ? 0 : length;
}

} // namespace vorn
