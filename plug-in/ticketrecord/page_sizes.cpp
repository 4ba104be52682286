#include "page_sizes.h"

#include <iterator>
#include <utility>

namespace vorn {

namespace {

constexpr char kPageSizeFeature[] = "PageSize";
constexpr SHORT kLetterPageCode = 9;
// One code for several sizes; the keyword, asked for again, tells which.
constexpr SHORT kSizedByNamePageCode = 20;

struct PageName {
    const char* keyword;
    SHORT code;
};

constexpr PageName kPageNames[] = {
    {"A3", 0},
    {"A4", 1},
    {"A4Tab", 2},
    {"A5", 3},
    {"B4", 4},
    {"B5", 5},
    {"Executive", 6},
    {"FanFoldGermanLegal", 7},
    {"elevenbyseventeen", 8},
    {"Letter", 9},
    {"LetterTab", 10},
    {"Statement", 11},
    {"10x14Page", 12},
    {"11x15", 13},
    {"8x10", 14},
    {"8x10.5", 15},
    {"8x13", 16},
    {"8.25x13", 17},
    {"170x210", 18},
    {"182x210", 19},
    {"210x340", kSizedByNamePageCode},
    {"ReplyPaidCard", kSizedByNamePageCode},
    {"8.25x14", kSizedByNamePageCode},
    {"11x14", kSizedByNamePageCode},
    {"10x15", kSizedByNamePageCode},
    {"CustomPageSize", kSizedByNamePageCode},
    {"Legal", 21},
    {"8K", 22},
    {"16K", 23},
    {"100x148", 24},
    {"A6", 25},
    {"B6", 26},
    {"12x18", 27},
};

// Portrait sense: the width is the shorter side.
struct Points {
    double width;
    double height;
};

// Indexed by page code.
constexpr Points kPageDimensions[] = {
    {842, 1191}, {595, 842},  {631, 842},  {420, 595}, {729, 1032}, {516, 729},
    {522, 756},  {612, 936},  {792, 1224}, {612, 792}, {648, 792},  {396, 612},
    {720, 1008}, {792, 1080}, {576, 720},  {576, 756}, {576, 936},  {594, 936},
    {481, 595},  {515, 595},  {0, 0}, // sized by name
    {612, 1008}, {757, 1106}, {553, 757},  {283, 420}, {297, 420},  {363, 516},
    {864, 1296},
};
static_assert(std::size(kPageDimensions) == 28);

struct NamedSize {
    const char* keyword;
    Points size;
};

// "CustomPageSize", and any name not listed, takes the DEVMODE's size.
constexpr NamedSize kSizesByName[] = {
    {"210x340", {595, 964}}, {"ReplyPaidCard", {420, 566}}, {"8.25x14", {594, 1008}},
    {"11x14", {792, 1008}},  {"10x15", {720, 1080}},
};

// Tenths of a millimetre to points, unrounded: the ticket keeps the exact size
// the user entered.
double TenthsOfMillimetreToPoints(SHORT tenths) noexcept {
    return static_cast<double>(tenths) / 254.0 * 72.0;
}

Points SizeByName(OptionReader& options, const DocumentShape& document) noexcept {
    const char* option = options.Read(kPageSizeFeature);
    const NamedSize* named = option ? FindOption(kSizesByName, option) : nullptr;
    if (named) {
        return named->size;
    }
    return {TenthsOfMillimetreToPoints(document.paperWidth),
            TenthsOfMillimetreToPoints(document.paperLength)};
}

} // namespace

void MapPageSize(NewTicketRecord& record, OptionReader& options,
                 const DocumentShape& document) noexcept {
    record.pageWidth = 0.0;
    record.pageHeight = 0.0;
    // A keyword in no table keeps the code the record holds.
    if (const char* option = options.Read(kPageSizeFeature)) {
        if (const PageName* name = FindOption(kPageNames, option)) {
            record.pageCode = name->code;
        }
    } else {
        record.pageCode = kLetterPageCode;
    }

    Points size{0.0, 0.0};
    if (record.pageCode == kSizedByNamePageCode) {
        size = SizeByName(options, document);
    } else if (record.pageCode >= 0 &&
               static_cast<size_t>(record.pageCode) < std::size(kPageDimensions)) {
        // A code the caller left outside the table gets no size rather than
        // a read past it.
        size = kPageDimensions[record.pageCode];
    }
    if (!document.portrait) {
        std::swap(size.width, size.height);
    }
    record.pageWidth = size.width;
    record.pageHeight = size.height;
}

} // namespace vorn
