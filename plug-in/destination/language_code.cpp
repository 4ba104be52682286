#include "commit.h"

#include "../core/handles.h"
#include "../core/module.h"
#include "../core/names.h"

namespace vorn {

namespace {

constexpr WORD kEnglishCode = 2;
constexpr DWORD kModulePathChars = 256;

struct LanguageCode {
    WORD languageId;
    WORD code;
};
constexpr LanguageCode kLanguageCodes[] = {
    {0x0416, 0}, // Portuguese (Brazil)
    {0x0407, 1}, // German
    {0x0409, 2}, // English (United States)
    {0x040A, 3}, // Spanish
    {0x040C, 4}, // French
    {0x0410, 5}, // Italian
    {0x0411, 6}, // Japanese
    {0x0413, 7}, // Dutch
};

} // namespace

WORD LanguageCodeFor(WORD languageId) noexcept {
    for (const LanguageCode& entry : kLanguageCodes) {
        if (entry.languageId == languageId) {
            return entry.code;
        }
    }
    return kEnglishCode;
}

WORD GetUiLanguageCode() noexcept {
    wchar_t path[kModulePathChars] = {};
    // Windows XP leaves a name that fills the buffer unterminated: such a
    // name is cut anyway and names no file, so it counts as a failure.
    const DWORD length = GetModuleFileNameW(ModuleInstance(), path, kModulePathChars);
    if (length == 0 || length >= kModulePathChars) {
        return kEnglishCode;
    }
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) {
        return kEnglishCode;
    }
    UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
    GlobalLock lock(memory.Get());
    if (!lock.Get()) {
        return kEnglishCode;
    }
    WORD code = kEnglishCode;
    void* translation = nullptr;
    UINT translationBytes = 0;
    if (GetFileVersionInfoW(path, 0, size, lock.Get()) &&
        VerQueryValueW(lock.Get(), names::kVersionTranslationQuery, &translation,
                       &translationBytes) &&
        translation && translationBytes >= sizeof(DWORD)) {
        code = LanguageCodeFor(LOWORD(*static_cast<const DWORD*>(translation)));
    }
    return code;
}

} // namespace vorn
