// Stand-in for the separate ticket editor "vornjtwxp.exe". It shows a titled
// window and does what the program that started it asks (knobs::kEditor...).
// It also ends when its window is closed.
#include "ticketsoft_knobs.h"

#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

namespace {

namespace knobs = standin::knobs;

std::wstring Env(const wchar_t* name, bool* present = nullptr) {
    wchar_t value[2048] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 2048);
    if (present) {
        *present = length > 0 && length < 2048;
    }
    return length < 2048 ? value : L"";
}

void WriteLog() {
    const std::wstring log = Env(knobs::kEditorLog);
    if (log.empty()) {
        return;
    }
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring text = std::wstring(self) + L"\n" + GetCommandLineW() + L"\n";
    HANDLE file = CreateFileW(log.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, text.c_str(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written,
                  nullptr);
        CloseHandle(file);
    }
}

bool DemoMode() {
    return Env(knobs::kEditorDemo) == L"1";
}

// The command line is "<program> <option> <ticket> <printer>", the
// program's path unquoted, blanks and all: the ticket follows the option.
std::wstring TicketOnCommandLine() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring ticket;
    for (int i = 1; arguments && i + 1 < count; ++i) {
        if (lstrcmpW(arguments[i], L"-n") == 0 || lstrcmpW(arguments[i], L"-jt") == 0) {
            ticket = arguments[i + 1];
            break;
        }
    }
    LocalFree(arguments);
    return ticket;
}

void WriteHandBack() {
    const std::wstring keyPath = Env(knobs::kEditorKey);
    if (keyPath.empty()) {
        return;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS) {
        return;
    }
    bool present = false;
    std::wstring selected = Env(knobs::kEditorSelected, &present);
    if (!present && DemoMode()) {
        selected = TicketOnCommandLine();
        present = !selected.empty();
    }
    if (present) {
        RegSetValueExW(key, L"SelectedTicket", 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(selected.c_str()),
                       static_cast<DWORD>((selected.size() + 1) * sizeof(wchar_t)));
    }
    std::wstring exitCode = Env(knobs::kEditorExit, &present);
    if (!present && DemoMode()) {
        exitCode = L"0";
        present = true;
    }
    if (present) {
        const DWORD value = static_cast<DWORD>(std::wcstoul(exitCode.c_str(), nullptr, 10));
        RegSetValueExW(key, L"JTEditorExitCode", 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&value), sizeof(value));
    }
    RegCloseKey(key);
}

LRESULT CALLBACK EditorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER || message == WM_CLOSE) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT area;
        GetClientRect(window, &area);
        InflateRect(&area, -16, -16);
        const std::wstring text = L"Editing the job ticket\n\n" + TicketOnCommandLine() +
                                  L"\n\nThis stand-in edits nothing: closing its window "
                                  L"hands the ticket back to the printing preferences.";
        SetBkMode(dc, TRANSPARENT);
        SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        DrawTextW(dc, text.c_str(), -1, &area, DT_LEFT | DT_WORDBREAK | DT_PATH_ELLIPSIS);
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WriteLog();
    if (Env(knobs::kEditorCrash) == L"1") {
        TerminateProcess(GetCurrentProcess(), 0xC0000005);
    }
    WriteHandBack();
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = EditorWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = knobs::kEditorWindowClass;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&windowClass);
    HWND window =
        CreateWindowW(knobs::kEditorWindowClass, L"Vorn Job Ticket Editor", WS_OVERLAPPEDWINDOW, 40,
                      40, 400, 300, nullptr, nullptr, instance, nullptr);
    if (!window) {
        return 2;
    }
    ShowWindow(window, Env(knobs::kEditorMinimized) == L"1" ? SW_SHOWMINNOACTIVE : SW_SHOW);
    const std::wstring lifetime = Env(knobs::kEditorLifetime);
    const UINT defaultLifetime = DemoMode() ? 2500 : 300;
    SetTimer(window, 1,
             lifetime.empty() ? defaultLifetime : std::wcstoul(lifetime.c_str(), nullptr, 10),
             nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
