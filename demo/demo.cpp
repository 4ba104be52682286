// The demo: loads the plug-in into the stand-in host, asks what it is,
// prints the private DEVMODE section it makes for a new job, and opens the
// printing preferences with the plug-in's pages.
#include "plugin_host.h"
#include "preferences_demo.h"

#include "core/private_devmode.h"

#include <cstdio>

namespace {

void PrintWide(const char* label, const wchar_t* text) {
    char utf8[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof(utf8) - 1, nullptr, nullptr);
    std::printf("  %-18s \"%s\"\n", label, utf8);
}

void PrintSection(const vorn::PrivateDevmode& dm) {
    std::printf("Private DEVMODE section (%lu bytes):\n", static_cast<unsigned long>(sizeof(dm)));
    std::printf("  %-18s %lu\n", "dwSize", static_cast<unsigned long>(dm.header.dwSize));
    std::printf("  %-18s 0x%08lX\n", "dwSignature",
                static_cast<unsigned long>(dm.header.dwSignature));
    std::printf("  %-18s %lu\n", "dwVersion", static_cast<unsigned long>(dm.header.dwVersion));
    PrintWide("jobName", dm.delivery.jobName);
    for (int i = 0; i < 3; ++i) {
        char label[32];
        std::snprintf(label, sizeof(label), "userNames[%d]", i);
        PrintWide(label, dm.delivery.userNames[i]);
    }
    PrintWide("pin", dm.delivery.pin);
    std::printf("  %-18s \"%.31s\"\n", "hostName", dm.delivery.hostName);
    std::printf("  %-18s %u\n", "deliveryMode", dm.delivery.deliveryMode);
    std::printf("  %-18s %u\n", "emailNotify", dm.delivery.emailNotify);
    std::printf("  %-18s %u\n", "mailLanguage", dm.delivery.mailLanguage);
    PrintWide("ticketPath", dm.ticketPath);
}

} // namespace

int main() {
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
    PrintSection(*reinterpret_cast<vorn::PrivateDevmode*>(dm.Private()));
    return ShowPrintingPreferences(host);
}
