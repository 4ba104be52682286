// The demo: loads the plug-in into the stand-in host, asks what it is,
// prints the private DEVMODE section it makes for a new job, opens the
// printing preferences with the plug-in's pages and prints what they left.
#include "fault_exit.h"
#include "plugin_host.h"
#include "preferences_demo.h"
#include "section_printout.h"
#include "shot_taker.h"

#include "core/private_devmode.h"

#include <cstdio>

namespace {

void PrintWide(const char* label, const wchar_t* text) {
    std::printf("  %-18s \"%s\"\n", label, Narrow(text).c_str());
}

} // namespace

int main() {
    standin::EndProgramOnFault([] { return std::string("the demo"); });
    standin::PluginHost host;
    std::string error;
    if (!host.Load(standin::PluginDllPath(), &error)) {
        std::printf("Could not load the plug-in: %s\n", error.c_str());
        return 1;
    }
    IPrintOemUI* plugin = host.Plugin();
    DWORD value = 0, needed = 0;
    plugin->GetInfo(OEMGI_GETSIGNATURE, &value, sizeof(value), &needed);
    std::printf("Plug-in signature: 0x%08lX\n", static_cast<unsigned long>(value));
    plugin->GetInfo(OEMGI_GETVERSION, &value, sizeof(value), &needed);
    std::printf("Plug-in version:   %lu\n", static_cast<unsigned long>(value));
    wchar_t profile[16] = {};
    ULONG size = sizeof(profile);
    FLONG flags = 0;
    if (plugin->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, 0, profile, &size, &flags) ==
        S_OK) {
        PrintWide("Colour profile:", profile);
    }

    standin::HostDevmode dm;
    DWORD bufSize = 0;
    standin::CallDevMode(plugin, OEMDM_SIZE, nullptr, nullptr, &bufSize);
    standin::CallDevMode(plugin, OEMDM_DEFAULT, nullptr, dm.Private(), &bufSize);
    std::printf("\nWhat a new job carries.\n");
    PrintSection(stdout, *reinterpret_cast<vorn::PrivateDevmode*>(dm.Private()), host.Module());
    std::printf("\n");
    std::fflush(stdout);
    return ShowPrintingPreferences(host);
}
