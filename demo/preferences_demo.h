// The printing preferences of a demo printer, with the plug-in's pages.
#pragma once

#include "plugin_host.h"

// Shows the sheet: modally for a person, or, when VORN_HEADLESS is set,
// shortly, taking screenshots of the Destination tab, the Tickets tab and
// the About box into VORN_SHOTS_DIR. Answers the program's exit code.
int ShowPrintingPreferences(standin::PluginHost& host);
