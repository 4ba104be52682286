#include "registry_text.h"

#include "../core/safe_string.h"

#include <cstring>

namespace vorn {

TextValue QueryTextValue(HKEY key, const wchar_t* name, wchar_t* buffer,
                         size_t bufferChars) noexcept {
    if (!buffer || bufferChars == 0) {
        return TextValue::kBad;
    }
    std::memset(buffer, 0, bufferChars * sizeof(wchar_t));
    if (!key) {
        return TextValue::kAbsent;
    }
    DWORD type = REG_NONE;
    DWORD size = 0;
    // A data pointer with size 0 makes the registry answer ERROR_MORE_DATA
    // and the size, without writing anything.
    LONG status =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    if (status != ERROR_MORE_DATA) {
        return TextValue::kAbsent;
    }
    const DWORD capacityBytes = static_cast<DWORD>(bufferChars * sizeof(wchar_t));
    if (type != REG_SZ || size > capacityBytes) {
        return TextValue::kBad;
    }
    status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    if (status != ERROR_SUCCESS || type != REG_SZ ||
        BoundedLength(buffer, bufferChars) == bufferChars) {
        std::memset(buffer, 0, bufferChars * sizeof(wchar_t));
        return TextValue::kBad;
    }
    return TextValue::kRead;
}

} // namespace vorn
