#include "feature_query.h"

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
    if (needed > outBytes) {
        return false;
    }
    const HRESULT hr =
        driver->DrvGetDriverSetting(uiObject, feature, out, needed, &needed, &options);
    // The host may still write less than it promised, or no terminator.
    out[outBytes - 1] = '\0';
    if (hr != S_OK || needed > outBytes) {
        out[0] = '\0';
        return false;
    }
    return true;
}

} // namespace vorn
