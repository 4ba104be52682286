// Counts that only grow confidence (host cycles, random inputs) run small by
// default; VORN_FULL_COUNTS=1 runs them in full.
#pragma once

#include <windows.h>

namespace testsupport {

inline int CountOf(int byDefault, int full) {
    wchar_t value[8] = {};
    return GetEnvironmentVariableW(L"VORN_FULL_COUNTS", value, 8) == 1 && value[0] == L'1'
               ? full
               : byDefault;
}

} // namespace testsupport
