// Stand-in for the separate ticket library "vornjtwxp.dll". Its one export
// creates a ticket file in the record's directory and names it in the
// record. It is loaded into the program that starts the editor, which steers
// it (knobs::kLibrary...).
#include "ticketrecord/new_ticket_record.h"
#include "ticketsoft_knobs.h"

#include <windows.h>

#include <cwchar>
#include <string>

namespace __gnu_cxx {
// The C++ runtime's release of its emergency exception pool.
void __freeres() noexcept;
} // namespace __gnu_cxx

namespace {

namespace knobs = standin::knobs;

std::wstring Env(const wchar_t* name) {
    wchar_t value[1024] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 1024);
    return length < 1024 ? value : L"";
}

void SaveRecord(const vorn::NewTicketRecord* record) {
    const std::wstring path = Env(knobs::kLibraryRecord);
    if (path.empty()) {
        return;
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, record, sizeof(*record), &written, nullptr);
        CloseHandle(file);
    }
}

} // namespace

extern "C" __declspec(dllexport) int WINAPI JTP_CreateNewJobTicket(vorn::NewTicketRecord* record) {
    if (!record) {
        return 1;
    }
    SaveRecord(record);
    const std::wstring hold = Env(knobs::kLibraryHoldMs);
    if (!hold.empty()) {
        Sleep(static_cast<DWORD>(std::wcstoul(hold.c_str(), nullptr, 10)));
    }
    if (Env(knobs::kLibraryFail) == L"1") {
        return 5;
    }
    wchar_t directory[vorn::kTicketDirectoryChars] = {};
    lstrcpynW(directory, record->ticketDirectory, vorn::kTicketDirectoryChars);
    for (int n = 1; n < 1000; ++n) {
        wchar_t name[64];
        swprintf(name, 64, L"New Ticket %d.jdf", n);
        const std::wstring path = std::wstring(directory) + L"\\" + name;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            lstrcpynW(record->ticketFileName, name, vorn::kTicketFileNameChars);
            return 0;
        }
    }
    return 3;
}

// The plug-in loads this library for every Tickets page and frees it when
// the sheet ends: give the statically linked runtime's exception pool back
// at each unload, as a well-behaved library does, so that the soak tests
// measure the plug-in and not this stand-in.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && !reserved) {
        __gnu_cxx::__freeres();
    }
    return TRUE;
}
