#include "preferences_demo.h"

#include "demo_printer.h"
#include "option_tree_host.h"
#include "property_sheet_host.h"
#include "section_printout.h"
#include "shot_taker.h"
#include "walkthrough.h"

#include <cstdio>
#include <string>

namespace {

constexpr wchar_t kCaption[] = L"Vorn K340 PS Printing Preferences";

// The driver's answers about the printer's installed options and the
// document's output bin, from which the plug-in builds "DriverSettings".
void DescribeInstalledOptions(standin::PluginHost& host) {
    auto& features = host.Driver().features;
    features["OptionPunch"] = "Punch2and3Holes";
    features["OptionHCF"] = "True";
    features["OptionFinisher"] = "Booklet";
    features["OptionInterposer"] = "True";
    features["OutputBin"] = "Upper";
}

} // namespace

int ShowPrintingPreferences(standin::PluginHost& host) {
    wchar_t headless[8] = {};
    const bool walk = GetEnvironmentVariableW(L"VORN_HEADLESS", headless, 8) > 0;
    DemoPrinter printer(!walk);
    if (!printer.Ready()) {
        std::printf("The stand-in spooler or ticket software could not be set up.\n");
        return 1;
    }
    DescribeInstalledOptions(host);
    std::printf("Printer \"%s\" (driver \"%s\"); tickets in %s\n",
                Narrow(DemoPrinter::kName).c_str(), Narrow(DemoPrinter::kDriverName).c_str(),
                Narrow(printer.TicketsFolder()).c_str());

    bool ok = true;
    {
        standin::PropertySheetHost sheet(host);
        if (sheet.Begin(DemoPrinter::kName) != S_OK || sheet.Init() != S_OK) {
            std::printf("The plug-in did not take part in the printing preferences.\n");
            return 1;
        }
        std::printf("Pages the plug-in added: %u; sheet title \"%s\"\n",
                    static_cast<unsigned>(sheet.pages.size()),
                    sheet.header.pTitle ? Narrow(sheet.header.pTitle).c_str() : "");
        std::fflush(stdout);
        bool pressedOk = false;
        if (walk) {
            pressedOk = WalkPrintingPreferences(sheet, kCaption, &ok);
            ok = ok && pressedOk;
        } else {
            pressedOk = sheet.ShowModal(kCaption) > 0;
            std::printf("Printing preferences closed with %s.\n", pressedOk ? "OK" : "Cancel");
        }
        if (pressedOk) {
            // The driver's own sheet tells the plug-in's option tree to apply.
            standin::CallTreeCallback(sheet.optionTreeParam, CPSUICB_REASON_APPLYNOW);
        }
        sheet.End(pressedOk ? CPSUI_OK : CPSUI_CANCEL);
        std::printf("\nWhat the job carries now.\n");
        PrintSection(stdout,
                     *reinterpret_cast<const vorn::PrivateDevmode*>(sheet.devmode.Private()),
                     host.Module());
    }
    PrintPrinterValues(stdout, printer.DataKeyPath());
    return ok ? 0 : 1;
}
