// How long building and refreshing the ticket list, and the refresh timer's
// tick, take against a bare enumeration of the same folder, at 1,000 and
// 10,000 tickets. The list is
// the real Tickets dialog from the plug-in DLL. plugin_bench prints the same
// figures in its table; this program prints only these.
#include "fault_exit.h"
#include "plugin_host.h"
#include "ticket_list_measure.h"

#include <windows.h>

#include <cstdio>

int main() {
    standin::EndProgramOnFault([] { return std::string("the ticket list benchmark"); });
    HMODULE plugin = LoadLibraryW(standin::PluginDllPath().c_str());
    if (!plugin) {
        std::printf("cannot load the plug-in\n");
        return 1;
    }
    HWND page = bench::CreateTicketsDialog(plugin);
    if (!page) {
        std::printf("cannot create the Tickets dialog (no display?)\n");
        return 1;
    }
    for (int size : {1000, 10000}) {
        const bench::TicketListFigures f = bench::MeasureTicketList(page, size);
        std::printf("%6d tickets (enumerated %zu, listed %ld, after changes %ld)\n", f.tickets,
                    f.enumerated, f.listed, f.afterChanges);
        std::printf("  bare FindFirstFileW enumeration  %9.2f ms  x%.2f\n", f.bareMs, 1.0);
        std::printf("  FillTicketList                   %9.2f ms  x%.2f\n", f.fillMs,
                    f.fillMs / f.bareMs);
        std::printf("  RefreshTicketList, no change     %9.2f ms  x%.2f\n", f.refreshUnchangedMs,
                    f.refreshUnchangedMs / f.bareMs);
        std::printf("  RefreshTicketList, +1 -1 file    %9.2f ms  x%.2f\n", f.refreshChangedMs,
                    f.refreshChangedMs / f.bareMs);
        std::printf("  timer tick, folder still         %9.4f ms  x%.4f\n", f.tickUnchangedMs,
                    f.tickUnchangedMs / f.bareMs);
        std::printf("  timer tick after +1 file         %9.2f ms  x%.2f (listed then %ld)\n",
                    f.tickAddedMs, f.tickAddedMs / f.bareMs, f.afterAdds);
        std::printf("  RefreshTicketList, folder back   %9.2f ms  x%.2f\n", f.refreshReturnedMs,
                    f.refreshReturnedMs / f.bareMs);
        std::printf("  RefreshTicketList, other folder  %9.2f ms  x%.2f (listed then %ld)\n",
                    f.refreshOtherFolderMs, f.refreshOtherFolderMs / f.bareMs, f.afterOtherFolder);
        std::fflush(stdout);
    }
    bench::DestroyTicketsDialog(page);
    return 0;
}
