#include "driver_settings.h"

#include "feature_broadcast.h"
#include "model_class.h"
#include "../core/names.h"
#include "../settings/printer_data.h"

#include <cstring>

namespace vorn {

namespace {

using namespace driver_settings;

// PPD option keywords and what each adds; the first equal keyword wins.
struct OptionBits {
    const char* option;
    DWORD bits;
};

constexpr OptionBits kPunchOptions[] = {
    {"Punch2Hole", kPunch2Holes},          {"Punch3Hole", kPunch3Holes},
    {"Punch4Hole", kPunch4Holes},          {"Punch2and3Holes", kPunch2And3Holes},
    {"Punch2and4Holes", kPunch2And4Holes}, {"Punch4Holes", kPunch4Holes},
};
// The option of an installable feature that is fitted.
constexpr char kInstalled[] = "True";
constexpr OptionBits kFinisherOptions[] = {{"Stapler", kStapler}, {"Booklet", kBookletFinisher}};
constexpr OptionBits kOutputBinOptions[] = {
    {"Main", kOutputBinMain}, {"Upper", kOutputBinUpper}, {"Booklet", kOutputBinBooklet}};

// The host answers option keywords in a buffer of this size; longer answers
// count as unknown options.
constexpr DWORD kOptionBufferBytes = 64;

// Model indexes of the printers that always have a stapler.
constexpr int kStaplerModels[] = {1, 2, 4};

template <size_t N>
DWORD BitsForFeature(const PluginContext* context, const char* feature,
                     const OptionBits (&options)[N]) noexcept {
    char answer[kOptionBufferBytes] = {};
    if (!QueryContextFeature(context, feature, answer, sizeof(answer))) {
        return 0;
    }
    for (const OptionBits& entry : options) {
        if (std::strcmp(answer, entry.option) == 0) {
            return entry.bits;
        }
    }
    return 0;
}

bool FeatureInstalled(const PluginContext* context, const char* feature) noexcept {
    char answer[kOptionBufferBytes] = {};
    return QueryContextFeature(context, feature, answer, sizeof(answer)) &&
           std::strcmp(answer, kInstalled) == 0;
}

// The printer-properties tree has no output bin of its own: keep the one the
// document path stored last (bits 0x30), the main bin when there is none.
DWORD CarriedOverOutputBin(const PluginContext* context) noexcept {
    DWORD previous = 0;
    DWORD size = sizeof(previous);
    if (!ReadPrinterDataValue(names::kDriverSettings, &previous, context, &size) ||
        size != sizeof(previous)) {
        previous = 0;
    }
    const DWORD bin = previous & kOutputBinMask;
    return bin ? bin : kOutputBinMain;
}

bool ModelHasStapler(const PluginContext* context) noexcept {
    int modelIndex = 0;
    GetModelClass(context->printer, &modelIndex);
    for (int model : kStaplerModels) {
        if (modelIndex == model) {
            return true;
        }
    }
    return false;
}

} // namespace

bool WriteDriverSettingsKey(PluginContext* context, bool useDocumentOutputBin) noexcept {
    if (!context) {
        return false;
    }
    DWORD settings = 0;
    settings |= BitsForFeature(context, "OptionPunch", kPunchOptions);
    if (FeatureInstalled(context, "OptionHCF")) {
        settings |= kHighCapacityFeeder;
    }
    settings |= BitsForFeature(context, "OptionFinisher", kFinisherOptions);
    if (FeatureInstalled(context, "OptionInterposer")) {
        settings |= kInterposer;
    }
    settings |= useDocumentOutputBin ? BitsForFeature(context, "OutputBin", kOutputBinOptions)
                                     : CarriedOverOutputBin(context);
    if (ModelHasStapler(context)) {
        settings |= kStapler;
    }
    const bool stored = WritePrinterDataValue(names::kDriverSettings, &settings, REG_DWORD,
                                              sizeof(settings), context);
    BroadcastFeatureUpdate();
    return stored;
}

} // namespace vorn
