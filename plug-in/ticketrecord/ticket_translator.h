// TicketTranslator: collects the driver's current settings into a new-ticket
// record for the ticket library. It only reads: no setting, DEVMODE, file or
// registry value is changed and nothing is shown.
#pragma once

#include "new_ticket_record.h"

namespace vorn {

struct PluginContext;

// Fills `record` (zero-filled by the caller, ticketDirectory already set)
// from the context's printer, DEVMODEs and feature options. It cannot fail
// as a whole: whatever cannot be read falls back to its default, and
// ticketDirectory and ticketFileName are left as they are.
void FillNewTicketRecord(NewTicketRecord* record, const PluginContext* context) noexcept;

} // namespace vorn
