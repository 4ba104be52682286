// The headless demo: walks the printing preferences as a person would
// (fills the Destination tab, makes, edits and deletes tickets, opens the
// About box), photographs each step and presses OK.
#pragma once

#include "property_sheet_host.h"

// True when the sheet closed with OK; `stepsDone` tells whether every step
// did what it should, with no message box left to answer.
bool WalkPrintingPreferences(standin::PropertySheetHost& sheet, const wchar_t* caption,
                             bool* stepsDone);
