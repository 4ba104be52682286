#include "ticket_list_measure.h"

#include "resource_ids.h"
#include "tickets/folder_watch.h"
#include "tickets/tickets.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

namespace bench {

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

constexpr DWORD kNoticeWaitMs = 2000;

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

// A folder of `tickets` empty ticket files, named `prefix` and a number.
std::wstring MakeFolder(const wchar_t* prefix, int tickets) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + prefix + L" bench " +
                                std::to_wstring(GetCurrentProcessId()) + L" " +
                                std::to_wstring(tickets);
    CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < tickets; ++i) {
        Touch(folder + L"\\" + prefix + TicketName(i));
    }
    return folder;
}

} // namespace

HWND CreateTicketsDialog(HMODULE plugin) {
    HWND frame = CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP, 0, 0, 600, 500, nullptr, nullptr,
                                 nullptr, nullptr);
    HWND page = frame
                    ? CreateDialogParamW(plugin, MAKEINTRESOURCEW(IDD_TICKETS), frame, PageProc, 0)
                    : nullptr;
    if (!page && frame) {
        DestroyWindow(frame);
    }
    return page;
}

void DestroyTicketsDialog(HWND page) {
    HWND frame = GetParent(page);
    DestroyWindow(page);
    DestroyWindow(frame);
}

TicketListFigures MeasureTicketList(HWND page, int tickets) {
    const std::wstring folder = MakeFolder(L"", tickets);
    HWND list = GetDlgItem(page, IDC_TICKET_LIST);
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(page, GWLP_HINSTANCE));

    TicketListFigures figures;
    figures.tickets = tickets;
    figures.bareMs = Best(
        kListRuns, [] {}, [&] { figures.enumerated = BareEnumeration(folder); });
    figures.fillMs = Best(
        kListRuns, [] {}, [&] { vorn::FillTicketList(folder.c_str(), nullptr, page, nullptr); });
    figures.listed = static_cast<long>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    figures.refreshUnchangedMs = Best(
        kListRuns, [] {}, [&] { vorn::RefreshTicketList(page, instance); });
    int next = tickets;
    int gone = 0;
    figures.refreshChangedMs = Best(
        kListRuns,
        [&] {
            Touch(folder + L"\\" + TicketName(next++));
            DeleteFileW((folder + L"\\" + TicketName(gone++)).c_str());
        },
        [&] { vorn::RefreshTicketList(page, instance); });
    figures.afterChanges = static_cast<long>(SendMessageW(list, LB_GETCOUNT, 0, 0));

    // The timer's tick as the page makes it: its first tick sets the watch.
    vorn::FolderWatch watch{};
    vorn::RefreshWatchedTicketList(page, &watch, instance);
    figures.tickUnchangedMs = Best(
        kListRuns, [] {}, [&] { vorn::RefreshWatchedTicketList(page, &watch, instance); });
    figures.tickAddedMs = Best(
        kListRuns,
        [&] {
            Touch(folder + L"\\" + TicketName(next++));
            // The notice comes from another thread: the tick is timed once
            // it is there (waiting leaves the watch fired).
            WaitForSingleObject(watch.notification.Get(), kNoticeWaitMs);
        },
        [&] { vorn::RefreshWatchedTicketList(page, &watch, instance); });
    figures.afterAdds = static_cast<long>(SendMessageW(list, LB_GETCOUNT, 0, 0));

    // Whole-list refreshes take long enough to be timed once each.
    const std::wstring missing = folder + L"\\missing";
    figures.refreshReturnedMs = Best(
        1,
        [&] {
            SetDlgItemTextW(page, IDC_TICKET_DIR, missing.c_str());
            vorn::RefreshTicketList(page, instance);
            SetDlgItemTextW(page, IDC_TICKET_DIR, folder.c_str());
        },
        [&] { vorn::RefreshTicketList(page, instance); });
    const std::wstring other = MakeFolder(L"other ", tickets);
    figures.refreshOtherFolderMs = Best(
        1, [&] { SetDlgItemTextW(page, IDC_TICKET_DIR, other.c_str()); },
        [&] { vorn::RefreshTicketList(page, instance); });
    figures.afterOtherFolder = static_cast<long>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    RemoveFolder(other);
    RemoveFolder(folder);
    return figures;
}

} // namespace bench
