// Model families: the printer's driver name sorted by the model codes in it.
#pragma once

#include <windows.h>

namespace vorn {

// Family 0 to 3 of the printer; `modelIndex` (may be null) receives the
// index of the last matching model code and is left alone when none matches.
int GetModelClass(HANDLE printer, int* modelIndex) noexcept;

// The same rule on a driver name already at hand.
int ModelClassOfDriverName(const wchar_t* driverName, int* modelIndex) noexcept;

} // namespace vorn
