#include "demo_printer.h"

#include "core/names.h"

#include <shlwapi.h>
#include <winspool.h>

// After winspool.h, whose AddPrinter macro renames its member alike.
#include "spooler_control.h"

namespace {

constexpr const wchar_t* kSampleTickets[] = {L"Annual report.jdf", L"Booklet A5.jdf",
                                             L"Proofs.jdf"};

std::wstring PrinterKeyPath() {
    return std::wstring(vorn::names::kLocalPrintersPath) + DemoPrinter::kName;
}

void WriteSampleTicket(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    static const char kTicket[] = "<?xml version=\"1.0\"?>\n<JDF Type=\"Combined\"/>\n";
    DWORD written = 0;
    WriteFile(file, kTicket, sizeof(kTicket) - 1, &written, nullptr);
    CloseHandle(file);
}

void DeleteTickets(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + vorn::names::kTicketSearchPattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::wstring path = folder + L"\\" + found.cFileName;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

} // namespace

DemoPrinter::DemoPrinter(bool personAtScreen) : ticketsFolder_(software_.TicketsFolder()) {
    standin::SpoolerControl spooler{};
    if (!spooler.Load()) {
        return;
    }
    spooler.AddPrinter(kName, kDriverName, PRINTER_ATTRIBUTE_LOCAL,
                       L"C:\\windows\\system32\\spool\\drivers\\x64\\3\\vornpsui.dll");
    // A fresh key each run: what an earlier run left would change the walk.
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, PrinterKeyPath().c_str());
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, DataKeyPath().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    RegCloseKey(key);
    for (const wchar_t* ticket : kSampleTickets) {
        WriteSampleTicket(ticketsFolder_ + L"\\" + ticket);
    }
    // The stand-in editor hands back the ticket it was started on, through
    // this printer's key, as the real one does when a person saves.
    SetEnvironmentVariableW(L"VORN_EDITOR_DEMO", L"1");
    SetEnvironmentVariableW(L"VORN_EDITOR_KEY", DataKeyPath().c_str());
    SetEnvironmentVariableW(L"VORN_EDITOR_LIFETIME", personAtScreen ? L"3600000" : nullptr);
    ready_ = software_.Installed();
}

DemoPrinter::~DemoPrinter() {
    DeleteTickets(ticketsFolder_);
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, PrinterKeyPath().c_str());
}

std::wstring DemoPrinter::DataKeyPath() const {
    return PrinterKeyPath() + vorn::names::kPrinterDriverDataSuffix;
}
