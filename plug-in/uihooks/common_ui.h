// The host's option trees: CommonUIProp and the two callbacks it installs.
#pragma once

#include "../core/oem_interface.h"

namespace vorn {

HRESULT CommonUIProp(DWORD mode, POEMCUIPPARAM param, IPrintOemDriverUI* driver) noexcept;

} // namespace vorn
