#include "shot_taker.h"

#include "person.h"

#include <cstdio>

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
    standin::Pump(600);
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
    standin::PumpUntil([&] { return GetFileAttributesW(ready.c_str()) == INVALID_FILE_ATTRIBUTES; },
                       20000);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    std::printf("  screenshot         %s/%s.png\n", Narrow(unixFolder_).c_str(),
                Narrow(name).c_str());
    std::fflush(stdout);
}
