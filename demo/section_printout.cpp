#include "section_printout.h"

#include "core/names.h"
#include "resource_ids.h"
#include "shot_taker.h"
#include "uihooks/driver_settings.h"

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <vector>

namespace {

namespace bits = vorn::driver_settings;

constexpr DWORD kPunchMask = 0xF000;

struct NamedBits {
    DWORD mask;
    DWORD value;
    const char* name;
};

constexpr NamedBits kSettingNames[] = {
    {bits::kInterposer, bits::kInterposer, "interposer"},
    {bits::kOutputBinMask, bits::kOutputBinMain, "output bin Main"},
    {bits::kOutputBinMask, bits::kOutputBinUpper, "output bin Upper"},
    {bits::kOutputBinMask, bits::kOutputBinBooklet, "output bin Booklet"},
    {bits::kStapler, bits::kStapler, "stapler"},
    {bits::kBookletFinisher, bits::kBookletFinisher, "booklet finisher"},
    {kPunchMask, bits::kPunch2Holes, "punch 2 holes"},
    {kPunchMask, bits::kPunch3Holes, "punch 3 holes"},
    {kPunchMask, bits::kPunch4Holes, "punch 4 holes"},
    {kPunchMask, bits::kPunch2And3Holes, "punch 2 and 3 holes"},
    {kPunchMask, bits::kPunch2And4Holes, "punch 2 and 4 holes"},
    {bits::kHighCapacityFeeder, bits::kHighCapacityFeeder, "high-capacity feeder"},
};

constexpr const char* kMailLanguages[] = {
    "Portuguese (Brazil)",
    "German",
    "English (United States)",
    "Spanish",
    "French",
    "Italian",
    "Japanese",
    "Dutch",
};

// A fixed field may lack its terminator: never read past its end.
void PrintText(FILE* out, const char* label, const wchar_t* text, size_t chars) {
    std::fprintf(out, "  %-18s \"%s\"\n", label,
                 Narrow(std::wstring(text, wcsnlen(text, chars))).c_str());
}

std::string PluginString(HMODULE plugin, UINT id) {
    wchar_t text[256] = {};
    return LoadStringW(plugin, id, text, 256) > 0 ? Narrow(text) : std::string("unknown");
}

// A value of the key as raw bytes; false when it is not there.
bool ReadValue(HKEY key, const wchar_t* name, DWORD* type, std::vector<BYTE>* data) {
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, type, nullptr, &size) != ERROR_SUCCESS) {
        return false;
    }
    data->assign(size + sizeof(wchar_t), 0); // room for a missing terminator
    return RegQueryValueExW(key, name, nullptr, type, data->data(), &size) == ERROR_SUCCESS;
}

void PrintValue(FILE* out, HKEY key, const wchar_t* name) {
    const std::string label = Narrow(name);
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!key || !ReadValue(key, name, &type, &data)) {
        std::fprintf(out, "  %-18s (not set)\n", label.c_str());
        return;
    }
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::fprintf(out, "  %-18s \"%s\"\n", label.c_str(),
                     Narrow(reinterpret_cast<const wchar_t*>(data.data())).c_str());
        return;
    }
    if (type == REG_DWORD && data.size() >= sizeof(DWORD)) {
        DWORD value = 0;
        std::memcpy(&value, data.data(), sizeof(value));
        if (std::wcscmp(name, vorn::names::kDriverSettings) == 0) {
            std::fprintf(out, "  %-18s 0x%08lX: %s\n", label.c_str(),
                         static_cast<unsigned long>(value), DescribeDriverSettings(value).c_str());
        } else {
            std::fprintf(out, "  %-18s %lu\n", label.c_str(), static_cast<unsigned long>(value));
        }
        return;
    }
    std::fprintf(out, "  %-18s (type %lu, %u bytes)\n", label.c_str(),
                 static_cast<unsigned long>(type),
                 static_cast<unsigned>(data.size() - sizeof(wchar_t)));
}

} // namespace

std::string DescribeDriverSettings(DWORD settings) {
    std::string text;
    DWORD named = 0;
    for (const NamedBits& entry : kSettingNames) {
        if ((settings & entry.mask) == entry.value) {
            text += text.empty() ? "" : ", ";
            text += entry.name;
            named |= entry.mask;
        }
    }
    if (const DWORD unknown = settings & ~named) {
        char rest[48];
        std::snprintf(rest, sizeof(rest), "%sunknown bits 0x%lX", text.empty() ? "" : ", ",
                      static_cast<unsigned long>(unknown));
        text += rest;
    }
    return text.empty() ? "none" : text;
}

const char* MailLanguageName(WORD code) {
    return code < std::size(kMailLanguages) ? kMailLanguages[code] : "unknown";
}

void PrintSection(FILE* out, const vorn::PrivateDevmode& section, HMODULE plugin) {
    const vorn::DeliveryBlock& delivery = section.delivery;
    std::fprintf(out, "Private DEVMODE section (%lu bytes):\n",
                 static_cast<unsigned long>(sizeof(section)));
    std::fprintf(out, "  %-18s %lu\n", "dwSize", static_cast<unsigned long>(section.header.dwSize));
    std::fprintf(out, "  %-18s 0x%08lX\n", "dwSignature",
                 static_cast<unsigned long>(section.header.dwSignature));
    std::fprintf(out, "  %-18s %lu\n", "dwVersion",
                 static_cast<unsigned long>(section.header.dwVersion));
    std::fprintf(out, "  %-18s %u\n", "collate", section.collate);
    PrintText(out, "jobName", delivery.jobName, vorn::kJobNameChars);
    for (size_t i = 0; i < vorn::kUserNameSlots; ++i) {
        char label[32];
        std::snprintf(label, sizeof(label), "userNames[%u]", static_cast<unsigned>(i));
        PrintText(out, label, delivery.userNames[i], vorn::kUserNameChars);
    }
    PrintText(out, "pin", delivery.pin, vorn::kPinChars);
    for (size_t i = 0; i < vorn::kEmailAddressSlots; ++i) {
        char label[32];
        std::snprintf(label, sizeof(label), "emailAddresses[%u]", static_cast<unsigned>(i));
        PrintText(out, label, delivery.emailAddresses[i], vorn::kEmailAddressChars);
    }
    PrintText(out, "emailMessage", delivery.emailMessage, vorn::kEmailMessageChars);
    std::fprintf(out, "  %-18s \"%.*s\"\n", "hostName", static_cast<int>(vorn::kHostNameChars),
                 delivery.hostName);
    std::fprintf(out, "  %-18s %u \"%s\"\n", "deliveryMode", delivery.deliveryMode,
                 PluginString(plugin, IDS_DELIVERY_FIRST + delivery.deliveryMode).c_str());
    std::fprintf(out, "  %-18s %u \"%s\"\n", "emailNotify", delivery.emailNotify,
                 PluginString(plugin, IDS_NOTIFY_FIRST + delivery.emailNotify).c_str());
    std::fprintf(out, "  %-18s %u %s\n", "mailLanguage", delivery.mailLanguage,
                 MailLanguageName(delivery.mailLanguage));
    PrintText(out, "ticketPath", section.ticketPath, vorn::kTicketPathChars);
}

void PrintPrinterValues(FILE* out, const std::wstring& keyPath) {
    std::fprintf(out, "Printer values in HKLM\\%s:\n", Narrow(keyPath).c_str());
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        key = nullptr;
    }
    for (const wchar_t* name : {vorn::names::kDriverSettings, vorn::names::kCurrentTicketsDir,
                                vorn::names::kSelectedTicket, vorn::names::kEditorExitCode}) {
        PrintValue(out, key, name);
    }
    if (key) {
        RegCloseKey(key);
    }
}
