// The page size step of a new ticket: PPD page size keyword to the ticket
// library's page code and the page's dimensions in points.
#pragma once

#include "feature_mapping.h"
#include "option_reader.h"

namespace vorn {

// Writes pageCode, pageWidth and pageHeight, the dimensions turned to the
// document's orientation.
void MapPageSize(NewTicketRecord& record, OptionReader& options,
                 const DocumentShape& document) noexcept;

} // namespace vorn
