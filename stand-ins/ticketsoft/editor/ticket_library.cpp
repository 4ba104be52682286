// Stand-in for the separate ticket library "vornjtwxp.dll". Its one export
// creates a ticket file in the record's directory and names it in the
// record. It is loaded into the test program itself, which steers it with
// environment variables:
//   VORN_TICKETLIB_FAIL    "1": create nothing and answer 5
//   VORN_TICKETLIB_RECORD  file that receives the record as it arrived
//   VORN_TICKETLIB_HOLD_MS milliseconds to stay inside the call after the
//                          record was saved (a slow library, for tests of
//                          what happens meanwhile elsewhere in the process)
#include "ticketrecord/new_ticket_record.h"

#include <windows.h>

#include <cwchar>
#include <string>

namespace __gnu_cxx {
// The C++ runtime's release of its emergency exception pool.
void __freeres() noexcept;
} // namespace __gnu_cxx

namespace {

std::wstring Env(const wchar_t* name) {
    wchar_t value[1024] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 1024);
    return length < 1024 ? value : L"";
}

void SaveRecord(const vorn::NewTicketRecord* record) {
    const std::wstring path = Env(L"VORN_TICKETLIB_RECORD");
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
    const std::wstring hold = Env(L"VORN_TICKETLIB_HOLD_MS");
    if (!hold.empty()) {
        Sleep(static_cast<DWORD>(std::wcstoul(hold.c_str(), nullptr, 10)));
    }
    if (Env(L"VORN_TICKETLIB_FAIL") == L"1") {
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
