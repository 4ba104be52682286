// How long building and refreshing the ticket list takes against a bare
// enumeration of the same folder, at 1,000 and 10,000 tickets. The list is
// the real Tickets dialog from the plug-in DLL.
#include "plugin_host.h"
#include "resource_ids.h"
#include "tickets/tickets.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

namespace {

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Best of several runs, in milliseconds; prepare() runs untimed before each.
double Best(int runs, const std::function<void()>& prepare, const std::function<void()>& work) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        prepare();
        const double start = Now();
        work();
        best = std::min(best, Now() - start);
    }
    return best;
}

INT_PTR CALLBACK PageProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

void Touch(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
}

std::wstring TicketName(int n) {
    wchar_t name[32];
    swprintf(name, 32, L"ticket%05d.jdf", n);
    return name;
}

size_t BareEnumeration(const std::wstring& folder) {
    size_t count = 0;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*.jdf").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return 0;
    }
    do {
        ++count;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return count;
}

void RemoveFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileW((folder + L"\\" + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

void Measure(HWND page, int size) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"ticket bench " +
                                std::to_wstring(GetCurrentProcessId()) + L" " +
                                std::to_wstring(size);
    CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < size; ++i) {
        Touch(folder + L"\\" + TicketName(i));
    }
    HWND list = GetDlgItem(page, IDC_TICKET_LIST);
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(page, GWLP_HINSTANCE));
    const int runs = 5;

    size_t seen = 0;
    const double bare = Best(
        runs, [] {}, [&] { seen = BareEnumeration(folder); });
    const double fill = Best(
        runs, [] {}, [&] { vorn::FillTicketList(folder.c_str(), nullptr, page, nullptr); });
    const LRESULT filled = SendMessageW(list, LB_GETCOUNT, 0, 0);
    const double unchanged = Best(
        runs, [] {}, [&] { vorn::RefreshTicketList(page, instance); });
    int next = size;
    int gone = 0;
    const double changed = Best(
        runs,
        [&] {
            Touch(folder + L"\\" + TicketName(next++));
            DeleteFileW((folder + L"\\" + TicketName(gone++)).c_str());
        },
        [&] { vorn::RefreshTicketList(page, instance); });
    const LRESULT after = SendMessageW(list, LB_GETCOUNT, 0, 0);

    std::printf("%6d tickets (enumerated %zu, listed %ld, after changes %ld)\n", size, seen,
                static_cast<long>(filled), static_cast<long>(after));
    std::printf("  bare FindFirstFileW enumeration  %9.2f ms  x%.2f\n", bare, 1.0);
    std::printf("  FillTicketList                   %9.2f ms  x%.2f\n", fill, fill / bare);
    std::printf("  RefreshTicketList, no change     %9.2f ms  x%.2f\n", unchanged,
                unchanged / bare);
    std::printf("  RefreshTicketList, +1 -1 file    %9.2f ms  x%.2f\n", changed, changed / bare);
    std::fflush(stdout);
    RemoveFolder(folder);
}

} // namespace

int main() {
    HMODULE plugin = LoadLibraryW(standin::PluginDllPath().c_str());
    if (!plugin) {
        std::printf("cannot load the plug-in\n");
        return 1;
    }
    HWND frame = CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP, 0, 0, 600, 500, nullptr, nullptr,
                                 nullptr, nullptr);
    HWND page = CreateDialogParamW(plugin, MAKEINTRESOURCEW(IDD_TICKETS), frame, PageProc, 0);
    if (!page) {
        std::printf("cannot create the Tickets dialog (no display?)\n");
        return 1;
    }
    for (int size : {1000, 10000}) {
        Measure(page, size);
    }
    DestroyWindow(page);
    DestroyWindow(frame);
    return 0;
}
