#include "private_devmode.h"

#include "module.h"
#include "safe_string.h"

#include <algorithm>
#include <cstring>

namespace vorn {

namespace {

void StampHeader(PrivateDevmode* dm) noexcept {
    dm->header.dwSize = kPrivateDevmodeSize;
    dm->header.dwSignature = kPluginSignature;
    dm->header.dwVersion = kPluginVersion;
}

void SetDefaults(PrivateDevmode* dm) noexcept {
    StampHeader(dm);
    GetLocalHostShortName(dm->delivery.hostName);

    // A name that does not fit 16 characters makes the call fail; the slot
    // then stays empty rather than holding a cut name.
    wchar_t user[kUserNameChars] = {};
    DWORD chars = kUserNameChars;
    if (!GetUserNameW(user, &chars)) {
        user[0] = L'\0';
    }
    user[kUserNameChars - 1] = L'\0';
    CopyInto(dm->delivery.userNames[0], user);

    dm->delivery.jobName[0] = L'\0';
    dm->delivery.pin[0] = L'\0';
    dm->delivery.emailNotify = 0;
}

// Sizes come from stored sections and may be anything: nothing beyond our
// own 2924 bytes is ever read or written, and a size that does not even
// cover the header copies nothing.
DWORD BoundedSectionSize(DWORD stated) noexcept {
    if (stated < sizeof(OEM_DMEXTRAHEADER)) {
        return 0;
    }
    return std::min(stated, kPrivateDevmodeSize);
}

void Convert(const PrivateDevmode* in, PrivateDevmode* out) noexcept {
    if (!in || !out) {
        return;
    }
    if (in->header.dwSignature != out->header.dwSignature) {
        out->header.dwSize = kPrivateDevmodeSize;
        out->header.dwSignature = kPluginSignature;
    } else {
        const DWORD bytes =
            std::min(BoundedSectionSize(in->header.dwSize), BoundedSectionSize(out->header.dwSize));
        if (bytes != 0 && in != out) {
            std::memmove(out, in, bytes);
        }
        out->header.dwSize = kPrivateDevmodeSize;
    }
    out->header.dwVersion = kPluginVersion;
}

} // namespace

HRESULT HandleDevMode(DWORD mode, POEMDMPARAM param) noexcept {
    if (!param || mode < OEMDM_SIZE || mode > OEMDM_MERGE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    auto* in = static_cast<const PrivateDevmode*>(param->pOEMDMIn);
    auto* out = static_cast<PrivateDevmode*>(param->pOEMDMOut);
    switch (mode) {
    case OEMDM_SIZE:
        param->cbBufSize = kPrivateDevmodeSize;
        break;
    case OEMDM_DEFAULT:
        if (!out) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return E_FAIL;
        }
        SetDefaults(out);
        param->cbBufSize = kPrivateDevmodeSize;
        break;
    case OEMDM_CONVERT:
        Convert(in, out);
        break;
    case OEMDM_MERGE:
        Convert(in, out);
        if (out) {
            StampHeader(out);
        }
        break;
    }
    return S_OK;
}

} // namespace vorn
