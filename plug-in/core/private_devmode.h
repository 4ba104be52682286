// PrivateDevmode: the plug-in's section of the driver's DEVMODE. It travels
// with every job and user setting, so its stored layout never changes.
#pragma once

#include "oem_interface.h"

#include <cstddef>

namespace vorn {

constexpr DWORD kPrivateDevmodeSize = 2924;
constexpr size_t kJobNameChars = 81;
constexpr size_t kUserNameSlots = 3;
constexpr size_t kUserNameChars = 17;
constexpr size_t kPinChars = 5;
constexpr size_t kEmailAddressSlots = 3;
constexpr size_t kEmailAddressChars = 256;
constexpr size_t kEmailMessageChars = 256;
constexpr size_t kHostNameChars = 32;
constexpr size_t kTicketPathChars = 260;

// The job-delivery settings: edited as one piece by the Destination page and
// copied as one piece into a new ticket.
struct DeliveryBlock {
    wchar_t jobName[kJobNameChars];
    wchar_t userNames[kUserNameSlots][kUserNameChars]; // most recent first
    wchar_t pin[kPinChars];
    wchar_t emailAddresses[kEmailAddressSlots][kEmailAddressChars]; // most recent first
    wchar_t emailMessage[kEmailMessageChars];
    BYTE reserved[32];
    char hostName[kHostNameChars]; // 8-bit
    WORD mailLanguage;
    BYTE deliveryMode;
    BYTE emailNotify;
};

struct PrivateDevmode {
    OEM_DMEXTRAHEADER header;
    WORD collate;
    DeliveryBlock delivery;
    wchar_t ticketPath[kTicketPathChars];
};

// Offsets within the whole section.
static_assert(offsetof(PrivateDevmode, header) == 0);
static_assert(offsetof(PrivateDevmode, collate) == 12);
static_assert(offsetof(PrivateDevmode, delivery) == 14);
static_assert(offsetof(PrivateDevmode, delivery) + offsetof(DeliveryBlock, jobName) == 14);
static_assert(offsetof(PrivateDevmode, delivery) + offsetof(DeliveryBlock, userNames) == 176);
static_assert(offsetof(PrivateDevmode, delivery) + offsetof(DeliveryBlock, pin) == 278);
static_assert(offsetof(PrivateDevmode, delivery) + offsetof(DeliveryBlock, emailAddresses) == 288);
static_assert(offsetof(PrivateDevmode, delivery) + offsetof(DeliveryBlock, emailMessage) == 1824);
static_assert(offsetof(PrivateDevmode, delivery) + offsetof(DeliveryBlock, reserved) == 2336);
static_assert(offsetof(PrivateDevmode, delivery) + offsetof(DeliveryBlock, hostName) == 2368);
static_assert(offsetof(PrivateDevmode, delivery) + offsetof(DeliveryBlock, mailLanguage) == 2400);
static_assert(offsetof(PrivateDevmode, delivery) + offsetof(DeliveryBlock, deliveryMode) == 2402);
static_assert(offsetof(PrivateDevmode, delivery) + offsetof(DeliveryBlock, emailNotify) == 2403);
static_assert(offsetof(PrivateDevmode, ticketPath) == 2404);
static_assert(sizeof(DeliveryBlock) == 2390);
static_assert(sizeof(PrivateDevmode) == kPrivateDevmodeSize);

// The four DevMode operations (size, default, convert, merge).
HRESULT HandleDevMode(DWORD mode, POEMDMPARAM param) noexcept;

// Writes the local computer's name up to its first '.' as 8-bit text into a
// field of kHostNameChars bytes; empty when it cannot be found. The name is
// looked up until one is found, then kept for the life of the process.
void GetLocalHostShortName(char (&out)[kHostNameChars]) noexcept;

} // namespace vorn
