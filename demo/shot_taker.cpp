#include "shot_taker.h"

#include <cstdio>

void PumpMessages(DWORD ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
            if (!root || !IsDialogMessageW(root, &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

std::string Narrow(const std::wstring& text) {
    char out[MAX_PATH * 3] = {};
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out, sizeof(out) - 1, nullptr, nullptr);
    return out;
}

ShotTaker::ShotTaker() {
    wchar_t unixPath[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"VORN_SHOTS_DIR", unixPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    folder_ = std::wstring(L"Z:") + unixPath; // Wine's drive for "/"
    for (wchar_t& c : folder_) {
        c = c == L'/' ? L'\\' : c;
    }
    unixFolder_ = unixPath;
}

void ShotTaker::Take(HWND window, const wchar_t* name) {
    if (!Enabled() || !window) {
        return;
    }
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(window);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    PumpMessages(600);
    RECT rect{};
    GetWindowRect(window, &rect);
    // Written aside and renamed, so that the script never reads half a file.
    const std::wstring ready = folder_ + L"\\" + name + L".ready";
    const std::wstring part = ready + L".part";
    FILE* file = _wfopen(part.c_str(), L"w");
    if (!file) {
        return;
    }
    std::fprintf(file, "%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top,
                 rect.left, rect.top);
    std::fclose(file);
    if (!MoveFileExW(part.c_str(), ready.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return;
    }
    const DWORD start = GetTickCount();
    while (GetFileAttributesW(ready.c_str()) != INVALID_FILE_ATTRIBUTES &&
           GetTickCount() - start < 20000) {
        PumpMessages(50);
    }
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    std::printf("  screenshot         %s/%s.png\n", Narrow(unixFolder_).c_str(),
                Narrow(name).c_str());
    std::fflush(stdout);
}
