// Asks the host for the option currently selected for one driver feature.
#pragma once

#include "oem_interface.h"

namespace vorn {

// Answers true when the host reported the option of `feature` and it fitted
// `outBytes` bytes (terminator included); `out` is always left terminated.
// An answer longer than the buffer counts as a failed query: the host's
// stated size is never trusted to fit the caller's buffer. So does an answer
// without a terminator within the size the host stated (a size of 0, a cut
// answer, a buffer filled to its end): no byte of an earlier answer in `out`
// can become part of this one.
bool QueryDriverFeature(IPrintOemDriverUI* driver, POEMUIOBJ uiObject, const char* feature,
                        char* out, DWORD outBytes) noexcept;

} // namespace vorn
