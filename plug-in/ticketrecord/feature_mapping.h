// The driver features of a new ticket: each PPD feature's selected option
// turned into the ticket library's codes. Used by FillNewTicketRecord.
#pragma once

#include "new_ticket_record.h"

namespace vorn {

struct PluginContext;

// What the feature steps need of the public DEVMODE.
struct DocumentShape {
    bool portrait = true;
    SHORT paperWidth = 0;  // tenths of a millimetre, for custom page sizes
    SHORT paperLength = 0; // tenths of a millimetre
};

// Writes the duplex, collation, media, page size, jog, staple and booklet,
// output bin and punch fields, in that order (booklet output overrides what
// duplex, collation and page size wrote).
void MapDriverFeatures(NewTicketRecord& record, const PluginContext* context,
                       const DocumentShape& document) noexcept;

} // namespace vorn
