#include "model_class.h"

#include "../core/handles.h"

#include <winspool.h>

#include <cwchar>

namespace vorn {

namespace {

struct ModelRow {
    const wchar_t* code;
    const wchar_t* unlessAlso; // the row does not apply when this is present too
    int family;
    int index;
};

// Later rows override earlier ones.
constexpr ModelRow kModelRows[] = {
    {L"K335", nullptr, 1, 1},   {L"K355", L"K355XS", 1, 2}, {L"K340", nullptr, 2, 3},
    {L"K355XS", nullptr, 2, 4}, {L"K310", nullptr, 3, 5},   {L"K312", nullptr, 3, 6},
    {L"K325", nullptr, 3, 7},   {L"K326", nullptr, 3, 8},
};

} // namespace

int ModelClassOfDriverName(const wchar_t* driverName, int* modelIndex) noexcept {
    if (!driverName) {
        return 0;
    }
    int family = 0;
    for (const ModelRow& row : kModelRows) {
        if (std::wcsstr(driverName, row.code) &&
            !(row.unlessAlso && std::wcsstr(driverName, row.unlessAlso))) {
            family = row.family;
            if (modelIndex) {
                *modelIndex = row.index;
            }
        }
    }
    return family;
}

int GetModelClass(HANDLE printer, int* modelIndex) noexcept {
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    if (needed < sizeof(PRINTER_INFO_2W)) {
        return 0;
    }
    HeapBuffer buffer(needed);
    if (!buffer || !GetPrinterW(printer, 2, buffer.As(), needed, &needed)) {
        return 0;
    }
    return ModelClassOfDriverName(buffer.As<PRINTER_INFO_2W>()->pDriverName, modelIndex);
}

} // namespace vorn
