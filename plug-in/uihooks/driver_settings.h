// "DriverSettings": the per-printer summary of installed options and the
// chosen output bin, which other programs read after MSG_UPDATE_FEATURES.
#pragma once

#include "../core/plugin_context.h"

namespace vorn::driver_settings {

constexpr DWORD kInterposer = 0x1;
constexpr DWORD kOutputBinMask = 0x30;
constexpr DWORD kOutputBinMain = 0x10;
constexpr DWORD kOutputBinUpper = 0x20;
constexpr DWORD kOutputBinBooklet = 0x30;
constexpr DWORD kStapler = 0x100;
constexpr DWORD kBookletFinisher = 0x200;
constexpr DWORD kPunch2Holes = 0x2000;
constexpr DWORD kPunch3Holes = 0x3000;
constexpr DWORD kPunch4Holes = 0x4000;
constexpr DWORD kPunch2And3Holes = 0x6000;
constexpr DWORD kPunch2And4Holes = 0x8000;
constexpr DWORD kHighCapacityFeeder = 0x10000;

} // namespace vorn::driver_settings

namespace vorn {

// Builds "DriverSettings" from the host's current features and the printer's
// model, stores it in the printer's data and broadcasts the change (also
// when the store failed). The output bin comes from the document's
// "OutputBin" when useDocumentOutputBin is set, else it is carried over from
// the stored value. True when the value was stored.
bool WriteDriverSettingsKey(PluginContext* context, bool useDocumentOutputBin) noexcept;

} // namespace vorn
