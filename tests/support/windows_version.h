// Runs the test program as Windows XP (5.1) under Wine: Wine takes the
// version a program reports from HKCU\Software\Wine\AppDefaults\<exe>
// "Version" when the program starts, so the program sets that value for
// itself, starts itself again and answers with the copy's exit code. The
// value is removed again afterwards.
//
// Use it once in a test program, at namespace scope:
//   static const bool relaunched = RunAsWindowsVersion(L"winxp", 5, 1);
#pragma once

#include <windows.h>

#include <string>

inline bool RunningAs(DWORD major, DWORD minor) {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExW(&version) && version.dwMajorVersion == major &&
           version.dwMinorVersion == minor;
}

// Returns only in the copy that runs as the wanted version (or, when the
// setting takes no effect, in the first copy, whose tests then fail).
inline bool RunAsWindowsVersion(const wchar_t* wineName, DWORD major, DWORD minor) {
    if (RunningAs(major, minor) || GetEnvironmentVariableW(L"VORN_RELAUNCHED", nullptr, 0)) {
        return true;
    }
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const wchar_t* name = wcsrchr(path, L'\\') ? wcsrchr(path, L'\\') + 1 : path;
    const std::wstring keyPath = std::wstring(L"Software\\Wine\\AppDefaults\\") + name;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return true;
    }
    RegSetValueExW(key, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(wineName),
                   static_cast<DWORD>((wcslen(wineName) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);

    SetEnvironmentVariableW(L"VORN_RELAUNCHED", L"1");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    std::wstring commandLine = GetCommandLineW();
    DWORD exitCode = 1;
    if (CreateProcessW(path, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    RegDeleteKeyW(HKEY_CURRENT_USER, keyPath.c_str());
    ExitProcess(exitCode);
}
