// The printing preferences of a demo printer, with the plug-in's pages and
// the ticket software's stand-ins installed.
#pragma once

#include "plugin_host.h"

// Shows the sheet modally for a person; when VORN_HEADLESS is set, walks it
// instead (screenshots into VORN_SHOTS_DIR) and presses OK. Then prints the
// private DEVMODE section and the printer's values as they were left.
// Answers the program's exit code.
int ShowPrintingPreferences(standin::PluginHost& host);
