// How a test or the demo describes printers to the stand-in spooler
// (winspool.drv in the program's folder). The functions are looked up in the
// loaded stand-in, so callers need no import library for them.
#pragma once

#include <windows.h>

namespace standin {

// Failures a printer can be told to show.
enum SpoolerFailure : DWORD {
    kFailGetPrinter2 = 0x1,    // GetPrinterW level 2
    kFailGetPrinter5 = 0x2,    // GetPrinterW level 5
    kFailGetDriver = 0x4,      // GetPrinterDriverW
    kFailOpen = 0x8,           // OpenPrinterW answers FALSE
    kOpenGivesNoHandle = 0x10, // OpenPrinterW answers TRUE with a null handle
};

struct SpoolerControl {
    void(WINAPI* Reset)();
    BOOL(WINAPI* AddPrinter)
    (const wchar_t* name, const wchar_t* driverName, DWORD attributes, const wchar_t* configFile);
    BOOL(WINAPI* SetFailures)(const wchar_t* name, DWORD failures);
    BOOL(WINAPI* SetPrinterData)
    (const wchar_t* name, const wchar_t* value, DWORD type, const void* data, DWORD size);
    void(WINAPI* SetDriverDirectory)(const char* directory);
    DWORD(WINAPI* LastOpenAccess)();
    LONG(WINAPI* OpenHandles)();

    // Resolves the functions in the winspool.drv loaded in this process.
    bool Load() {
        HMODULE spooler = GetModuleHandleW(L"winspool.drv");
        if (!spooler) {
            spooler = LoadLibraryW(L"winspool.drv");
        }
        if (!spooler) {
            return false;
        }
        Reset = reinterpret_cast<decltype(Reset)>(
            reinterpret_cast<void*>(GetProcAddress(spooler, "StandInSpooler_Reset")));
        AddPrinter = reinterpret_cast<decltype(AddPrinter)>(
            reinterpret_cast<void*>(GetProcAddress(spooler, "StandInSpooler_AddPrinter")));
        SetFailures = reinterpret_cast<decltype(SetFailures)>(
            reinterpret_cast<void*>(GetProcAddress(spooler, "StandInSpooler_SetFailures")));
        SetPrinterData = reinterpret_cast<decltype(SetPrinterData)>(
            reinterpret_cast<void*>(GetProcAddress(spooler, "StandInSpooler_SetPrinterData")));
        SetDriverDirectory = reinterpret_cast<decltype(SetDriverDirectory)>(
            reinterpret_cast<void*>(GetProcAddress(spooler, "StandInSpooler_SetDriverDirectory")));
        LastOpenAccess = reinterpret_cast<decltype(LastOpenAccess)>(
            reinterpret_cast<void*>(GetProcAddress(spooler, "StandInSpooler_LastOpenAccess")));
        OpenHandles = reinterpret_cast<decltype(OpenHandles)>(
            reinterpret_cast<void*>(GetProcAddress(spooler, "StandInSpooler_OpenHandles")));
        return Reset && AddPrinter && SetFailures && SetPrinterData && SetDriverDirectory &&
               LastOpenAccess && OpenHandles;
    }
};

} // namespace standin
