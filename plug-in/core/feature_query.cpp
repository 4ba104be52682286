#include "feature_query.h"

#include <cstring>

namespace vorn {

bool QueryDriverFeature(IPrintOemDriverUI* driver, POEMUIOBJ uiObject, const char* feature,
                        char* out, DWORD outBytes) noexcept {
    if (!out || outBytes == 0) {
        return false;
    }
    out[0] = '\0';
    if (!driver || !feature) {
        return false;
    }
    DWORD needed = 0;
    DWORD options = 0;
    driver->DrvGetDriverSetting(uiObject, feature, nullptr, 0, &needed, &options);
    // An answer holds at least its terminator; one that cannot fit is refused
    // before the host may write it.
    if (needed == 0 || needed > outBytes) {
        return false;
    }
    // Cleared first, so that nothing left from an earlier answer can
    // lengthen this one.
    std::memset(out, 0, outBytes);
    DWORD answered = needed;
    const HRESULT hr =
        driver->DrvGetDriverSetting(uiObject, feature, out, needed, &answered, &options);
    // The keyword must end within the bytes the host was given: an answer
    // cut short, or a buffer filled without a terminator, is no keyword.
    if (hr != S_OK || answered > needed || !std::memchr(out, '\0', needed)) {
        out[0] = '\0';
        return false;
    }
    return true;
}

} // namespace vorn
