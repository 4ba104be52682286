#include "preferences_demo.h"

#include "editor_presence.h"
#include "property_sheet_host.h"
#include "spooler_control.h"

#include "resource_ids.h"

#include <cstdio>
#include <string>

namespace {

constexpr wchar_t kPrinter[] = L"Vorn K335 PS (demo)";

void Pump(DWORD ms) {
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

// Screenshots are taken by scripts/demo.sh, which watches the folder: for
// each shot the demo writes "<name>.ready" holding the window's rectangle,
// and waits until the script has captured the screen and removed the file.
class ShotTaker {
  public:
    ShotTaker() {
        wchar_t unixPath[MAX_PATH] = {};
        if (GetEnvironmentVariableW(L"VORN_SHOTS_DIR", unixPath, MAX_PATH)) {
            folder_ = std::wstring(L"Z:") + unixPath; // Wine's drive for "/"
            for (wchar_t& c : folder_) {
                c = c == L'/' ? L'\\' : c;
            }
            unixFolder_ = unixPath;
        }
    }
    bool Enabled() const { return !folder_.empty(); }
    const std::wstring& UnixFolder() const { return unixFolder_; }

    void Take(HWND window, const wchar_t* name) {
        if (!Enabled() || !window) {
            return;
        }
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(window);
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        Pump(600);
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
            Pump(50);
        }
        std::printf("  screenshot         %s/%s.png\n", Narrow(unixFolder_).c_str(),
                    Narrow(name).c_str());
        std::fflush(stdout);
    }

  private:
    std::wstring folder_;
    std::wstring unixFolder_;
};

ShotTaker* g_shots = nullptr;

HWND FindAboutBox() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM out) -> BOOL {
            wchar_t caption[16] = {};
            GetWindowTextW(window, caption, 16);
            if (IsWindowVisible(window) && std::wstring(caption) == L"About") {
                *reinterpret_cast<HWND*>(out) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Runs while the About box's own modal loop does: photographs it and
// presses its OK button.
void CALLBACK PhotographAboutBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND about = FindAboutBox();
    if (!about) {
        return;
    }
    KillTimer(nullptr, timer);
    g_shots->Take(about, L"about");
    SendMessageW(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
}

int RunHeadless(standin::PropertySheetHost& sheet) {
    ShotTaker shots;
    g_shots = &shots;
    HWND window = sheet.ShowModeless(L"Vorn K335 PS Printing Preferences");
    if (!window) {
        std::printf("Could not show the property sheet.\n");
        return 1;
    }
    SetWindowPos(window, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Pump(300);
    std::printf("Printing preferences shown with tabs:");
    for (const std::wstring& title : sheet.TabTitles()) {
        std::printf(" \"%s\"", Narrow(title).c_str());
    }
    std::printf("\n");
    if (shots.Enabled()) {
        std::printf("Screenshots go to %s\n", Narrow(shots.UnixFolder()).c_str());
    }
    HWND destination = sheet.PageWindow(0);
    shots.Take(window, L"destination");
    if (sheet.pages.size() > 1) {
        sheet.PageWindow(1);
        shots.Take(window, L"tickets");
        sheet.PageWindow(0);
    }
    // The About button opens a modal box; a timer photographs and closes it.
    SetTimer(nullptr, 0, 200, PhotographAboutBox);
    SendMessageW(destination, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_BUTTON, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(destination, IDC_ABOUT_BUTTON)));
    PropSheet_PressButton(window, PSBTN_OK);
    const bool closed = sheet.PumpUntilClosed(10000);
    sheet.End(CPSUI_OK);
    std::printf("Printing preferences closed with OK%s.\n", closed ? "" : " (timed out)");
    return closed ? 0 : 1;
}

} // namespace

int ShowPrintingPreferences(standin::PluginHost& host) {
    standin::SpoolerControl spooler{};
    if (!spooler.Load()) {
        std::printf("The stand-in spooler is not loaded.\n");
        return 1;
    }
    spooler.AddPrinter(kPrinter, L"Vorn K335 PS", PRINTER_ATTRIBUTE_LOCAL,
                       L"C:\\windows\\system32\\spool\\drivers\\x64\\3\\vornpsui.dll");
    // The ticket editor looks installed, so that the Tickets tab appears.
    standin::EditorPresence editor;

    standin::PropertySheetHost sheet(host);
    if (sheet.Begin(kPrinter) != S_OK || sheet.Init() != S_OK) {
        std::printf("The plug-in did not take part in the printing preferences.\n");
        return 1;
    }
    std::printf("Pages the plug-in added: %u; sheet title \"%s\"\n",
                static_cast<unsigned>(sheet.pages.size()),
                sheet.header.pTitle ? Narrow(sheet.header.pTitle).c_str() : "");
    wchar_t headless[8] = {};
    if (GetEnvironmentVariableW(L"VORN_HEADLESS", headless, 8)) {
        return RunHeadless(sheet);
    }
    const INT_PTR result = sheet.ShowModal(L"Vorn K335 PS Printing Preferences");
    sheet.End(result > 0 ? CPSUI_OK : CPSUI_CANCEL);
    return 0;
}
