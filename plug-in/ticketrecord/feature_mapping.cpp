#include "feature_mapping.h"

#include "option_reader.h"
#include "page_sizes.h"

#include <utility>

namespace vorn {

namespace {

// An option keyword and the ticket code it stands for.
struct OptionCode {
    const char* keyword;
    WORD code;
};

// The ticket's two two-sided codes trade places with the orientation.
constexpr WORD kOneSided = 3;
struct DuplexRow {
    const char* keyword;
    WORD portrait;
    WORD landscape;
};
constexpr DuplexRow kDuplexOptions[] = {
    {"DuplexNoTumble", 5, 4},
    {"DuplexTumble", 4, 5},
};

constexpr WORD kCollated = 3;
constexpr WORD kNotCollated = 1;

// Media: every rule whose part the keyword contains writes its values, in
// this order, so later rules win on the same field.
using MediaField = WORD NewTicketRecord::*;
struct MediaWrite {
    MediaField field;
    WORD value;
};
struct MediaRule {
    const char* part;
    const char* unlessPart; // the rule is skipped when the keyword holds this
    MediaWrite first;
    MediaWrite second; // field null when the rule writes one value
};
constexpr MediaField kKind = &NewTicketRecord::mediaKind;
constexpr MediaField kColor = &NewTicketRecord::mediaColor;
constexpr MediaField kNumber = &NewTicketRecord::mediaNumber;
constexpr MediaField kOpacity = &NewTicketRecord::mediaOpacity;
constexpr MediaField kHeavy = &NewTicketRecord::heavyMedia;
constexpr MediaRule kMediaRules[] = {
    {"Preprinted", nullptr, {&NewTicketRecord::preprinted, 1}, {}},
    {"Prepunched", nullptr, {&NewTicketRecord::prepunched, 1}, {}},
    {"Recycled", nullptr, {&NewTicketRecord::recycled, 1}, {}},
    {"Plain", nullptr, {kKind, 2}, {}},
    {"Letterhead", nullptr, {kKind, 1}, {}},
    {"Tabstock", nullptr, {kKind, 5}, {}},
    {"Labels", nullptr, {kKind, 8}, {}},
    {"Bond", nullptr, {kKind, 10}, {}},
    {"Cardstock", nullptr, {kKind, 7}, {kHeavy, 1}},
    {"Translucent", nullptr, {kOpacity, 3}, {}},
    {"Transparency", nullptr, {kKind, 6}, {kOpacity, 2}},
    {"Thick", nullptr, {kHeavy, 1}, {}},
    {"Special", nullptr, {kHeavy, 0}, {}},
    {"None", nullptr, {kColor, 37}, {}},
    {"Blue", nullptr, {kColor, 4}, {}},
    {"Green", nullptr, {kColor, 25}, {}},
    {"Grey", nullptr, {kColor, 19}, {}},
    {"Ivory", nullptr, {kColor, 28}, {}},
    {"Orange", nullptr, {kColor, 40}, {}},
    {"Pink", nullptr, {kColor, 43}, {}},
    {"Purple", nullptr, {kColor, 46}, {}},
    {"Red", nullptr, {kColor, 49}, {}},
    {"Yellow", nullptr, {kColor, 67}, {}},
    {"UserColor2", nullptr, {kColor, 73}, {}},
    {"UserColor", "UserColor2", {kColor, 58}, {}},
    // The highest digit from 2 to 9 is the media's number; the 2 of
    // "UserColor2" is a colour, not a number.
    {"2", "UserColor2", {kNumber, 2}, {}},
    {"3", nullptr, {kNumber, 3}, {}},
    {"4", nullptr, {kNumber, 4}, {}},
    {"5", nullptr, {kNumber, 5}, {}},
    {"6", nullptr, {kNumber, 6}, {}},
    {"7", nullptr, {kNumber, 7}, {}},
    {"8", nullptr, {kNumber, 8}, {}},
    {"9", nullptr, {kNumber, 9}, {}},
};
constexpr WORD kPlainMedia = 2;
constexpr WORD kOpaque = 1;

constexpr OptionCode kJogOptions[] = {{"EndOfJob", 4}, {"EndOfSet", 4}};
constexpr WORD kNoJog = 1;

constexpr WORD kNoStaple = 0xFFFF;
struct StapleSetting {
    WORD count;
    WORD kind;
    WORD edge;
    WORD angle;
};
struct StapleRow {
    const char* keyword;
    StapleSetting setting;
};
constexpr char kBookletOption[] = "Booklet";
constexpr StapleRow kStapleOptions[] = {
    {"LeftDiagonal", {1, 2, 2, 45}},   {"LeftHorizontal", {1, 2, 2, 0}},
    {"LeftVertical", {1, 2, 2, 90}},   {"RightDiagonal", {1, 2, 4, 135}},
    {"RightHorizontal", {1, 2, 4, 0}}, {"RightVertical", {1, 2, 4, 90}},
    {"DoubleLeft", {2, 4, 2, 90}},     {"DoubleRight", {2, 4, 3, 90}},
    {"DoubleTop", {2, 4, 4, 0}},       {kBookletOption, {kNoStaple, 3, 2, 0}},
};
constexpr StapleSetting kNoStapleSetting = {kNoStaple, 1, 0, 0};
// Booklets are always two-sided and collated.
constexpr WORD kBookletSides = 5;

constexpr OptionCode kOutputBins[] = {{"Upper", 19}, {"Booklet", 20}};
constexpr WORD kMainBin = 6;

// The installed punch unit, by the first part its keyword contains.
constexpr OptionCode kPunchUnits[] = {
    {"None", 0},       {"Punch2Hole", 2}, {"Punch2and3Holes", 2}, {"Punch2and4Holes", 2},
    {"Punch3Hole", 3}, {"Punch4Hole", 4},
};
// The chosen punch position; a hole count of 0 keeps the unit's count.
struct PunchPosition {
    const char* keyword;
    WORD edge;
    WORD holes;
};
constexpr PunchPosition kPunchPositions[] = {
    {"PunchBottom", 1, 0},  {"PunchLeft", 2, 0},  {"PunchRight", 3, 0},  {"PunchTop", 4, 0},
    {"Punch2Bottom", 1, 2}, {"Punch2Left", 2, 2}, {"Punch2Right", 3, 2}, {"Punch2Top", 4, 2},
    {"Punch3Bottom", 1, 3}, {"Punch3Left", 2, 3}, {"Punch3Right", 3, 3}, {"Punch3Top", 4, 3},
    {"Punch4Bottom", 1, 4}, {"Punch4Left", 2, 4}, {"Punch4Right", 3, 4}, {"Punch4Top", 4, 4},
};

void MapDuplex(NewTicketRecord& record, OptionReader& options, const DocumentShape& document) {
    const char* option = options.Read("Duplex");
    const DuplexRow* row = option ? FindOption(kDuplexOptions, option) : nullptr;
    if (!row) {
        record.sidesCode = kOneSided;
        return;
    }
    record.sidesCode = document.portrait ? row->portrait : row->landscape;
}

// Collated unless the driver says otherwise.
void MapCollate(NewTicketRecord& record, OptionReader& options) {
    const char* option = options.Read("Collate");
    record.collateCode = !option || IsOption(option, "True") ? kCollated : kNotCollated;
}

void MapMedia(NewTicketRecord& record, OptionReader& options) {
    record.mediaKind = kPlainMedia;
    record.mediaColor = 0;
    record.heavyMedia = 0;
    record.recycled = 0;
    const char* option = options.Read("MediaType");
    if (!option) {
        return;
    }
    record.mediaOpacity = kOpaque;
    record.mediaNumber = 0;
    record.preprinted = 0;
    record.prepunched = 0;
    for (const MediaRule& rule : kMediaRules) {
        if (!OptionContains(option, rule.part) ||
            (rule.unlessPart && OptionContains(option, rule.unlessPart))) {
            continue;
        }
        record.*rule.first.field = rule.first.value;
        if (rule.second.field) {
            record.*rule.second.field = rule.second.value;
        }
    }
}

void MapJog(NewTicketRecord& record, OptionReader& options) {
    const char* option = options.Read("Jog");
    const OptionCode* jog = option ? FindOption(kJogOptions, option) : nullptr;
    record.jogCode = jog ? jog->code : kNoJog;
}

void MapStaple(NewTicketRecord& record, OptionReader& options, const DocumentShape& document) {
    const char* option = options.Read("StapleLocation");
    const StapleRow* row = option ? FindOption(kStapleOptions, option) : nullptr;
    const StapleSetting& staple = row ? row->setting : kNoStapleSetting;
    record.stapleCount = staple.count;
    record.stapleKind = staple.kind;
    record.stapleEdge = staple.edge;
    record.stapleAngle = staple.angle;
    if (!row || !IsOption(option, kBookletOption)) {
        return;
    }
    // A booklet sheet carries two pages side by side: the sheet is the page
    // turned, whatever the orientation did before.
    record.sidesCode = kBookletSides;
    record.collateCode = kCollated;
    record.bookletPortrait = document.portrait ? 1 : 0;
    std::swap(record.pageWidth, record.pageHeight);
}

void MapOutputBin(NewTicketRecord& record, OptionReader& options) {
    const char* option = options.Read("OutputBin");
    const OptionCode* bin = option ? FindOption(kOutputBins, option) : nullptr;
    record.outputBinCode = bin ? bin->code : kMainBin;
}

WORD InstalledPunchHoles(const char* unit) {
    for (const OptionCode& row : kPunchUnits) {
        if (OptionContains(unit, row.keyword)) {
            return row.code;
        }
    }
    return 0;
}

void MapPunch(NewTicketRecord& record, OptionReader& options) {
    record.punchHoles = 0;
    record.punchEdge = 0;
    const char* unit = options.Read("OptionPunch");
    if (!unit) {
        return;
    }
    const WORD installedHoles = InstalledPunchHoles(unit);
    if (installedHoles == 0) {
        return;
    }
    const char* option = options.Read("Punch");
    const PunchPosition* position = option ? FindOption(kPunchPositions, option) : nullptr;
    if (!position) {
        return; // no position chosen: no holes
    }
    record.punchEdge = position->edge;
    record.punchHoles = position->holes ? position->holes : installedHoles;
}

} // namespace

void MapDriverFeatures(NewTicketRecord& record, const PluginContext* context,
                       const DocumentShape& document) noexcept {
    OptionReader options(context);
    MapDuplex(record, options, document);
    MapCollate(record, options);
    MapMedia(record, options);
    MapPageSize(record, options, document);
    MapJog(record, options);
    MapStaple(record, options, document);
    MapOutputBin(record, options);
    MapPunch(record, options);
}

} // namespace vorn
