// NewTicketRecord: the fixed record handed to the ticket library
// ("vornjtwxp.dll", JTP_CreateNewJobTicket), which writes a new job ticket
// from it. The library reads it by byte offset, so the layout never changes:
// 3064 bytes, little-endian, UTF-16 text terminated inside its field. The
// reservedNNNN ranges are never written and keep the caller's zeros.
#pragma once

#include <windows.h>

#include <cstddef>

namespace vorn {

constexpr size_t kNewTicketRecordSize = 3064;
constexpr size_t kTicketPrinterNameChars = 222;
constexpr size_t kTicketModelCodeChars = 37;
constexpr size_t kTicketDirectoryChars = 260;
constexpr size_t kTicketFileNameChars = 260;
constexpr size_t kTicketJobNameChars = 81;
constexpr size_t kTicketUserNameChars = 17;
constexpr size_t kTicketPinChars = 5;
constexpr size_t kTicketEmailAddressChars = 65;
constexpr size_t kTicketEmailMessageChars = 256;

struct NewTicketRecord {
    WORD reservedWords[2]; // always 0
    wchar_t printerName[kTicketPrinterNameChars];
    wchar_t modelCode[kTicketModelCodeChars];       // empty when the driver is not known
    wchar_t ticketDirectory[kTicketDirectoryChars]; // set by the Tickets page
    wchar_t ticketFileName[kTicketFileNameChars];   // set by the ticket library
    wchar_t jobName[kTicketJobNameChars];
    wchar_t userName[kTicketUserNameChars];
    WORD deliveryCode;
    wchar_t pin[kTicketPinChars];
    BYTE reserved1770[2];
    WORD mediaKind;
    SHORT pageCode; // 0..27, the library reads it signed
    WORD mediaNumber;
    WORD mediaColor;
    WORD mediaOpacity; // 1 opaque, 2 transparency, 3 translucent, 0 unknown
    WORD recycled;
    WORD heavyMedia;
    BYTE reserved1786[6];
    double pageWidth;  // points, 1/72 inch
    double pageHeight; // points
    WORD copies;
    WORD collateCode; // 3 collated, 1 not
    WORD jogCode;     // 1 no jog, 4 jog
    WORD sidesCode;   // 3 one-sided, 4 and 5 two-sided
    WORD stapleCount; // 0xFFFF: no staple
    WORD stapleEdge;
    WORD stapleKind;
    WORD stapleAngle; // degrees
    WORD punchHoles;
    WORD punchEdge; // 0 none, 1 bottom, 2 left, 3 right, 4 top
    WORD outputBinCode;
    WORD notifyOn;
    WORD notifyKind; // 0 none, 1 completion, 2 completion and errors
    wchar_t emailAddress[kTicketEmailAddressChars];
    BYTE reserved1964[382];
    wchar_t emailMessage[kTicketEmailMessageChars];
    BYTE reserved2858[194];
    WORD preprinted;
    WORD prepunched;
    WORD bookletPortrait;
    BYTE reserved3058[6];
};

#define VORN_TICKET_FIELD(field, offset, bytes)                                                    \
    static_assert(offsetof(NewTicketRecord, field) == (offset), #field " offset");                 \
    static_assert(sizeof(NewTicketRecord::field) == (bytes), #field " size")

VORN_TICKET_FIELD(reservedWords, 0, 4);
VORN_TICKET_FIELD(printerName, 4, 444);
VORN_TICKET_FIELD(modelCode, 448, 74);
VORN_TICKET_FIELD(ticketDirectory, 522, 520);
VORN_TICKET_FIELD(ticketFileName, 1042, 520);
VORN_TICKET_FIELD(jobName, 1562, 162);
VORN_TICKET_FIELD(userName, 1724, 34);
VORN_TICKET_FIELD(deliveryCode, 1758, 2);
VORN_TICKET_FIELD(pin, 1760, 10);
VORN_TICKET_FIELD(reserved1770, 1770, 2);
VORN_TICKET_FIELD(mediaKind, 1772, 2);
VORN_TICKET_FIELD(pageCode, 1774, 2);
VORN_TICKET_FIELD(mediaNumber, 1776, 2);
VORN_TICKET_FIELD(mediaColor, 1778, 2);
VORN_TICKET_FIELD(mediaOpacity, 1780, 2);
VORN_TICKET_FIELD(recycled, 1782, 2);
VORN_TICKET_FIELD(heavyMedia, 1784, 2);
VORN_TICKET_FIELD(reserved1786, 1786, 6);
VORN_TICKET_FIELD(pageWidth, 1792, 8);
VORN_TICKET_FIELD(pageHeight, 1800, 8);
VORN_TICKET_FIELD(copies, 1808, 2);
VORN_TICKET_FIELD(collateCode, 1810, 2);
VORN_TICKET_FIELD(jogCode, 1812, 2);
VORN_TICKET_FIELD(sidesCode, 1814, 2);
VORN_TICKET_FIELD(stapleCount, 1816, 2);
VORN_TICKET_FIELD(stapleEdge, 1818, 2);
VORN_TICKET_FIELD(stapleKind, 1820, 2);
VORN_TICKET_FIELD(stapleAngle, 1822, 2);
VORN_TICKET_FIELD(punchHoles, 1824, 2);
VORN_TICKET_FIELD(punchEdge, 1826, 2);
VORN_TICKET_FIELD(outputBinCode, 1828, 2);
VORN_TICKET_FIELD(notifyOn, 1830, 2);
VORN_TICKET_FIELD(notifyKind, 1832, 2);
VORN_TICKET_FIELD(emailAddress, 1834, 130);
VORN_TICKET_FIELD(reserved1964, 1964, 382);
VORN_TICKET_FIELD(emailMessage, 2346, 512);
VORN_TICKET_FIELD(reserved2858, 2858, 194);
VORN_TICKET_FIELD(preprinted, 3052, 2);
VORN_TICKET_FIELD(prepunched, 3054, 2);
VORN_TICKET_FIELD(bookletPortrait, 3056, 2);
VORN_TICKET_FIELD(reserved3058, 3058, 6);
#undef VORN_TICKET_FIELD

static_assert(sizeof(double) == 8 && sizeof(SHORT) == 2 && sizeof(wchar_t) == 2);
static_assert(sizeof(NewTicketRecord) == kNewTicketRecordSize);

} // namespace vorn
