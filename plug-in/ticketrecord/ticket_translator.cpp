#include "ticket_translator.h"

#include "feature_mapping.h"

#include "../core/handles.h"
#include "../core/private_devmode.h"
#include "../core/safe_string.h"
#include "../core/plugin_context.h"

#include <cwchar>
#include <iterator>

namespace vorn {

namespace {

// The ticket library knows the printers by model codes of its own, found in
// the driver name. Every matching row writes its code, so the last one wins.
struct ModelCodeRow {
    const wchar_t* driverPart;
    const wchar_t* unlessPart; // the row is skipped when the name holds this
    const wchar_t* modelCode;
};
constexpr ModelCodeRow kModelCodes[] = {
    {L"K335", nullptr, L"K485"},   {L"K355", L"K355XS", L"K455"}, {L"K340", nullptr, L"K490"},
    {L"K355XS", nullptr, L"K456"}, {L"K310", nullptr, L"K461"},   {L"K325", nullptr, L"K475"},
};

// Indexed by the DEVMODE's delivery mode (the order of the Destination
// page's choices); any other mode prints now.
constexpr WORD kDeliveryCodes[] = {4, 2, 1, 3, 5, 6, 8, 7};
constexpr WORD kPrintNowDeliveryCode = 4;

constexpr BYTE kNotifyCompletion = 1;
constexpr BYTE kNotifyCompletionAndErrors = 2;

const wchar_t* ModelCodeOf(const wchar_t* driverName) noexcept {
    const wchar_t* code = nullptr;
    for (const ModelCodeRow& row : kModelCodes) {
        if (std::wcsstr(driverName, row.driverPart) &&
            !(row.unlessPart && std::wcsstr(driverName, row.unlessPart))) {
            code = row.modelCode;
        }
    }
    return code;
}

// When the spooler cannot answer, the name and the model code stay empty:
// nothing else in the record depends on them.
void FillPrinter(NewTicketRecord& record, HANDLE printer) noexcept {
    if (!printer) {
        return;
    }
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    HeapBuffer buffer;
    if (needed < sizeof(PRINTER_INFO_2W) || !buffer.Allocate(needed) ||
        !GetPrinterW(printer, 2, buffer.As(), needed, &needed)) {
        return;
    }
    const auto* info = buffer.As<PRINTER_INFO_2W>();
    if (info->pPrinterName) {
        CopyInto(record.printerName, info->pPrinterName);
    }
    if (info->pDriverName) {
        if (const wchar_t* code = ModelCodeOf(info->pDriverName)) {
            CopyInto(record.modelCode, code);
        }
    }
}

// PIN, job and user name travel whatever the delivery mode.
void FillDelivery(NewTicketRecord& record, const PrivateDevmode* devmode) noexcept {
    if (!devmode) {
        record.deliveryCode = kPrintNowDeliveryCode;
        return;
    }
    const DeliveryBlock& delivery = devmode->delivery;
    record.deliveryCode = delivery.deliveryMode < std::size(kDeliveryCodes)
                              ? kDeliveryCodes[delivery.deliveryMode]
                              : kPrintNowDeliveryCode;
    CopyInto(record.pin, delivery.pin);
    CopyInto(record.jobName, delivery.jobName);
    CopyInto(record.userName, delivery.userNames[0]);

    if (delivery.emailNotify != kNotifyCompletion &&
        delivery.emailNotify != kNotifyCompletionAndErrors) {
        return; // no notification: its address and message stay behind
    }
    record.notifyOn = 1;
    record.notifyKind = delivery.emailNotify;
    CopyInto(record.emailMessage, delivery.emailMessage);
    // The field holds 64 characters of the up to 255 the DEVMODE keeps.
    if (delivery.emailAddresses[0][0] != L'\0') {
        AppendInto(record.emailAddress, delivery.emailAddresses[0]);
    }
}

} // namespace

void FillNewTicketRecord(NewTicketRecord* record, const PluginContext* context) noexcept {
    if (!record) {
        return;
    }
    record->reservedWords[0] = 0;
    record->reservedWords[1] = 0;
    FillPrinter(*record, context ? context->printer : nullptr);

    // Without a public DEVMODE the document counts as portrait, no copies.
    DocumentShape document;
    if (const DEVMODEW* publicDevmode = ContextPublicDevmode(context)) {
        record->copies = static_cast<WORD>(publicDevmode->dmCopies);
        document.portrait = publicDevmode->dmOrientation == DMORIENT_PORTRAIT;
        document.paperWidth = publicDevmode->dmPaperWidth;
        document.paperLength = publicDevmode->dmPaperLength;
    } else {
        record->copies = 0;
    }
    MapDriverFeatures(*record, context, document);
    FillDelivery(*record, ContextPrivateDevmode(context));
}

} // namespace vorn
