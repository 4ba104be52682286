#include "ticket_list_measure.h"

#include "machine_changes.h"
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

// Fills `folder` with `tickets` empty ticket files, named `prefix` and a number.
void FillFolder(const standin::TempFolder& folder, const wchar_t* prefix, int tickets) {
    for (int i = 0; i < tickets; ++i) {
        folder.Touch(prefix + TicketName(i));
    }
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
    const standin::TempFolder tempFolder(L"bench");
    FillFolder(tempFolder, L"", tickets);
    const std::wstring& folder = tempFolder.Path();
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
            tempFolder.Touch(TicketName(next++));
            tempFolder.Remove(TicketName(gone++));
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
            tempFolder.Touch(TicketName(next++));
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
    const standin::TempFolder other(L"other bench");
    FillFolder(other, L"other ", tickets);
    figures.refreshOtherFolderMs = Best(
        1, [&] { SetDlgItemTextW(page, IDC_TICKET_DIR, other.Path().c_str()); },
        [&] { vorn::RefreshTicketList(page, instance); });
    figures.afterOtherFolder = static_cast<long>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    return figures;
}

} // namespace bench
