// What the plug-in costs its host, each figure with its ratio to the bare
// cost it cannot avoid. Times come from QueryPerformanceCounter: each figure
// is the median of several runs of many iterations, per operation.
#include <windows.h>
#include <winspool.h>

#include "core/oem_interface.h"
#include "driver_ui.h"
#include "editor_presence.h"
#include "fault_exit.h"
#include "host_page.h"
#include "local_printer.h"
#include "person.h"
#include "plugin_host.h"
#include "property_sheet_host.h"
#include "resource_meter.h"
#include "resource_ids.h"
#include "ticket_list_measure.h"
#include "ticketrecord/ticket_translator.h"
#include "core/plugin_context.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 7;
constexpr DWORD kPrivateSize = 2924;
constexpr wchar_t kPrinter[] = L"Bench Printer";

// Keeps the compiler from dropping work whose result nobody reads.
inline void KeepAlive(const void* p) {
    asm volatile("" : : "g"(p) : "memory");
}

double SecondsPerTick() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1.0 / static_cast<double>(frequency.QuadPart);
}

// Median over kRuns of the time per iteration, in microseconds.
double MedianMicroseconds(int iterations, const std::function<void()>& operation) {
    static const double secondsPerTick = SecondsPerTick();
    operation(); // warm caches and first-use state
    std::vector<double> runs;
    for (int run = 0; run < kRuns; ++run) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        for (int i = 0; i < iterations; ++i) {
            operation();
        }
        QueryPerformanceCounter(&end);
        runs.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * secondsPerTick * 1e6 /
                       iterations);
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

// Median over kSheetRuns of opening a sheet: open() builds and shows it
// (timed, with what it posted), then the sheet is closed untimed.
constexpr int kSheetRuns = 9;
// Wine's first sheets of a process take several times longer (fonts,
// classes, X resources); each series first opens a few untimed.
constexpr int kSheetWarmups = 5;
double MedianSheetMicroseconds(const std::function<void(standin::PropertySheetHost&)>& open,
                               standin::PluginHost& host) {
    static const double secondsPerTick = SecondsPerTick();
    std::vector<double> runs;
    for (int run = 0; run < kSheetWarmups + kSheetRuns; ++run) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        standin::PropertySheetHost sheet(host);
        open(sheet);
        standin::Pump(0); // what the sheet posted while it opened
        QueryPerformanceCounter(&end);
        if (run >= kSheetWarmups) {
            runs.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * secondsPerTick *
                           1e6);
        }
        if (sheet.Sheet()) {
            PropSheet_PressButton(sheet.Sheet(), PSBTN_CANCEL);
            sheet.PumpUntilClosed(5000);
        }
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

// What the process holds more while a sheet that open() built stays open on
// its second page, past the Tickets page's first tick (which sets its folder
// watch); a sheet of the same kind was opened and closed before, so that
// first-use costs of the window system are not counted.
constexpr DWORD kHeldAfterMs = 1500;
standin::ResourceFigures HeldWhileOpen(const std::function<void(standin::PropertySheetHost&)>& open,
                                       standin::PluginHost& host) {
    standin::ResourceFigures held{};
    for (int run = 0; run < 2; ++run) {
        const standin::ResourceFigures before = standin::ResourceMeter::Measure();
        standin::PropertySheetHost sheet(host);
        open(sheet);
        sheet.ShowEveryPage();
        PropSheet_SetCurSel(sheet.Sheet(), nullptr, 1); // the Tickets page in front
        standin::Pump(kHeldAfterMs, sheet.Sheet());
        held = standin::ResourceMeter::Measure() - before;
        if (sheet.Sheet()) {
            PropSheet_PressButton(sheet.Sheet(), PSBTN_CANCEL);
            sheet.PumpUntilClosed(5000);
        }
    }
    return held;
}

// The pages' own WM_INITDIALOG work, timed by a procedure that stands in
// front of the plug-in's for the page at `Index`.
DLGPROC g_pageProcs[2] = {};
std::vector<double> g_initMicros[2];

template <int Index>
INT_PTR CALLBACK TimedPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_INITDIALOG) {
        return g_pageProcs[Index](page, message, wParam, lParam);
    }
    static const double secondsPerTick = SecondsPerTick();
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    const INT_PTR result = g_pageProcs[Index](page, message, wParam, lParam);
    QueryPerformanceCounter(&end);
    g_initMicros[Index].push_back(static_cast<double>(end.QuadPart - start.QuadPart) *
                                  secondsPerTick * 1e6);
    return result;
}

INT_PTR CALLBACK TrivialDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// Makes the sheet's pages again from the plug-in's descriptions, each with
// procs[i] in place of the plug-in's procedure (kept in g_pageProcs).
void ReplacePageProcs(standin::PropertySheetHost& sheet, const DLGPROC (&procs)[2]) {
    for (size_t i = 0; i < sheet.pages.size() && i < 2; ++i) {
        if (!sheet.pages[i].fromDescription) {
            continue;
        }
        PROPSHEETPAGEW description = sheet.calls[i].page;
        g_pageProcs[i] = description.pfnDlgProc;
        description.pfnDlgProc = procs[i];
        DestroyPropertySheetPage(sheet.pages[i].page);
        sheet.pages[i].page = CreatePropertySheetPageW(&description);
    }
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A sheet page made from one of the plug-in's dialog templates, with a
// procedure that does nothing and without calling the plug-in at all.
HPROPSHEETPAGE TemplatePage(HMODULE plugin, int dialog) {
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof(page);
    page.dwFlags = PSP_USETITLE;
    page.hInstance = plugin;
    page.pszTemplate = MAKEINTRESOURCEW(dialog);
    page.pszTitle = L"Page";
    page.pfnDlgProc = TrivialDialogProc;
    return CreatePropertySheetPageW(&page);
}

// A page's dialog template made with a procedure that does nothing: what
// its controls alone cost.
double MedianTemplateMicroseconds(HMODULE plugin, int dialog) {
    static const double secondsPerTick = SecondsPerTick();
    HWND frame = CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP, 0, 0, 600, 500, nullptr, nullptr,
                                 nullptr, nullptr);
    std::vector<double> runs;
    for (int run = 0; run <= kSheetRuns; ++run) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        HWND page =
            CreateDialogParamW(plugin, MAKEINTRESOURCEW(dialog), frame, TrivialDialogProc, 0);
        QueryPerformanceCounter(&end);
        DestroyWindow(page);
        if (run > 0) {
            runs.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * secondsPerTick *
                           1e6);
        }
    }
    DestroyWindow(frame);
    return Median(runs);
}

void PrintRow(const char* what, double micros, const char* baseline, double baseMicros) {
    std::printf("%-34s %12.3f us   %-34s %10.3f us   x%8.2f\n", what, micros, baseline, baseMicros,
                micros / baseMicros);
}

// The feature queries FillNewTicketRecord makes, replayed bare: the same
// two calls per feature into the same 64-byte buffer.
void ReplayQueries(standin::DriverUI& driver, const std::vector<std::string>& features) {
    char buffer[64];
    for (const std::string& feature : features) {
        DWORD needed = 0, options = 0;
        driver.DrvGetDriverSetting(driver.UiObject(), feature.c_str(), nullptr, 0, &needed,
                                   &options);
        if (needed && needed <= sizeof(buffer)) {
            driver.DrvGetDriverSetting(driver.UiObject(), feature.c_str(), buffer, needed, &needed,
                                       &options);
        }
    }
    KeepAlive(buffer);
}

} // namespace

int main() {
    standin::EndProgramOnFault([] { return std::string("the benchmark"); });
    const std::wstring dllPath = standin::PluginDllPath();
    std::printf("%-34s %15s   %-34s %13s   %9s\n", "operation", "time", "bare cost", "time",
                "ratio");

    // Loading the plug-in: the host's whole start against the loader's share.
    const double bareLoad = MedianMicroseconds(200, [&] {
        HMODULE module = LoadLibraryW(dllPath.c_str());
        FreeLibrary(module);
    });
    const double hostLoad = MedianMicroseconds(200, [&] {
        standin::PluginHost host;
        if (!host.Load(dllPath)) {
            std::fprintf(stderr, "the plug-in did not load\n");
        }
        host.Unload();
    });
    PrintRow("DLL load + object + unload", hostLoad, "LoadLibrary + FreeLibrary", bareLoad);

    // DEVMODE operations against copying the section once.
    standin::PluginHost host;
    if (!host.Load(dllPath)) {
        std::fprintf(stderr, "the plug-in did not load\n");
        return 1;
    }
    IPrintOemUI* plugin = host.Plugin();
    std::vector<BYTE> from(kPrivateSize, 0x11), to(kPrivateSize, 0x22);
    const double copy = MedianMicroseconds(200000, [&] {
        std::memcpy(to.data(), from.data(), kPrivateSize);
        KeepAlive(to.data());
    });
    standin::HostDevmode current, incoming;
    DWORD size = 0;
    standin::CallDevMode(plugin, OEMDM_DEFAULT, nullptr, incoming.Private(), &size);
    const double sizeOp = MedianMicroseconds(200000, [&] {
        DWORD bytes = 0;
        standin::CallDevMode(plugin, OEMDM_SIZE, nullptr, nullptr, &bytes);
    });
    const double defaultOp = MedianMicroseconds(200, [&] {
        DWORD bytes = kPrivateSize;
        standin::CallDevMode(plugin, OEMDM_DEFAULT, nullptr, current.Private(), &bytes);
    });
    const double convertOp = MedianMicroseconds(200000, [&] {
        DWORD bytes = kPrivateSize;
        standin::CallDevMode(plugin, OEMDM_CONVERT, incoming.Private(), current.Private(), &bytes);
    });
    const double mergeOp = MedianMicroseconds(200000, [&] {
        DWORD bytes = kPrivateSize;
        standin::CallDevMode(plugin, OEMDM_MERGE, incoming.Private(), current.Private(), &bytes);
    });
    PrintRow("DevMode size", sizeOp, "memcpy of 2924 bytes", copy);
    PrintRow("DevMode default", defaultOp, "memcpy of 2924 bytes", copy);
    PrintRow("DevMode convert", convertOp, "memcpy of 2924 bytes", copy);
    PrintRow("DevMode merge", mergeOp, "memcpy of 2924 bytes", copy);

    // A new-ticket record against the feature queries it cannot do without.
    const standin::LocalPrinter printer(kPrinter, L"Vorn K340 PS", 0, L"vornpsui.dll");
    if (!printer.Described()) {
        std::fprintf(stderr, "the stand-in spooler is missing\n");
        return 1;
    }
    standin::DriverUI driver;
    driver.features = {{"Duplex", "DuplexNoTumble"},
                       {"Collate", "True"},
                       {"MediaType", "Recycled Blue 3"},
                       {"PageSize", "A4"},
                       {"Jog", "EndOfSet"},
                       {"StapleLocation", "LeftDiagonal"},
                       {"OutputBin", "Upper"},
                       {"OptionPunch", "Punch2and4Holes"},
                       {"Punch", "Punch4Left"}};
    OEMUIPSPARAM sheet{};
    sheet.cbSize = sizeof(sheet);
    sheet.pPublicDM = current.Public();
    sheet.pOEMDM = current.Private();
    vorn::PluginContext context{};
    context.printer = printer.Handle();
    context.uiObject = driver.UiObject();
    context.driver = &driver;
    context.sheetParam = &sheet;
    vorn::NewTicketRecord record;
    std::memset(&record, 0, sizeof(record));
    vorn::FillNewTicketRecord(&record, &context);
    const std::vector<std::string> features = driver.queried;
    const double fill = MedianMicroseconds(20000, [&] {
        vorn::FillNewTicketRecord(&record, &context);
        KeepAlive(&record);
        driver.queried.clear();
    });
    const double queries = MedianMicroseconds(20000, [&] {
        ReplayQueries(driver, features);
        driver.queried.clear();
    });
    char label[64];
    std::snprintf(label, sizeof(label), "%zu bare feature queries", features.size());
    PrintRow("FillNewTicketRecord", fill, label, queries);
    ClosePrinter(context.printer);

    // Opening the printing preferences: the host's start (DEVMODE defaults,
    // CommonUIProp, the sheet's initialisation) and the sheet with the
    // plug-in's pages, against the same sheet with one empty page.
    standin::EditorPresence editor; // so that the Tickets page is offered too
    size_t pluginPages = 0;
    auto openWithPlugin = [&](standin::PropertySheetHost& sheet) {
        sheet.Begin(kPrinter);
        sheet.Init();
        pluginPages = sheet.pages.size();
        sheet.ShowModeless();
    };
    standin::HostPage emptyPage;
    auto openEmpty = [&](standin::PropertySheetHost& sheet, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            sheet.pages.push_back({emptyPage.Create(), nullptr, false});
        }
        sheet.ShowModeless();
    };
    const double sheetOpen = MedianSheetMicroseconds(openWithPlugin, host);
    const double emptyOpen =
        MedianSheetMicroseconds([&](standin::PropertySheetHost& s) { openEmpty(s, 1); }, host);
    const double sheetAll = MedianSheetMicroseconds(
        [&](standin::PropertySheetHost& s) {
            openWithPlugin(s);
            s.ShowEveryPage();
        },
        host);
    const double emptyAll = MedianSheetMicroseconds(
        [&](standin::PropertySheetHost& s) {
            openEmpty(s, pluginPages);
            s.ShowEveryPage();
        },
        host);
    std::snprintf(label, sizeof(label), "sheet, %zu empty pages shown", pluginPages);
    // The same sheet with the plug-in's two dialog templates, procedures that
    // do nothing and no call into the plug-in: what the pages' controls cost
    // the window system, and so what the plug-in's code adds on top of them.
    auto openTemplates = [&](standin::PropertySheetHost& s) {
        for (int dialog : {IDD_DESTINATION, IDD_TICKETS}) {
            s.pages.push_back({TemplatePage(host.Module(), dialog), nullptr, false});
        }
        s.ShowModeless();
    };
    const double templatesOpen = MedianSheetMicroseconds(openTemplates, host);
    const double templatesAll = MedianSheetMicroseconds(
        [&](standin::PropertySheetHost& s) {
            openTemplates(s);
            s.ShowEveryPage();
        },
        host);
    PrintRow("preferences sheet opened", sheetOpen, "sheet with one empty page", emptyOpen);
    PrintRow("same templates, empty procedures", templatesOpen, "sheet with one empty page",
             emptyOpen);
    PrintRow("preferences sheet opened", sheetOpen, "same templates, empty procedures",
             templatesOpen);
    PrintRow("preferences sheet, every page shown", sheetAll, label, emptyAll);
    PrintRow("preferences sheet, every page shown", sheetAll, "same templates, empty procedures",
             templatesAll);

    // What a sheet left open on its Tickets page holds, beside the same
    // templates with empty procedures: the plug-in's idle cost.
    const standin::ResourceFigures heldByPlugin = HeldWhileOpen(openWithPlugin, host);
    const standin::ResourceFigures heldByTemplates = HeldWhileOpen(openTemplates, host);
    standin::PrintFigures("held: preferences sheet open", heldByPlugin);
    standin::PrintFigures("held: same templates, empty procedures", heldByTemplates);
    standin::PrintFigures("held: the plug-in's share", heldByPlugin - heldByTemplates);

    // Where the sheet's time goes: the pages' WM_INITDIALOG work against
    // the bare creation of their templates' controls.
    for (auto& runs : g_initMicros) {
        runs.clear();
    }
    MedianSheetMicroseconds(
        [&](standin::PropertySheetHost& s) {
            s.Begin(kPrinter);
            s.Init();
            ReplacePageProcs(s, {TimedPageProc<0>, TimedPageProc<1>});
            s.ShowModeless();
            s.ShowEveryPage();
        },
        host);
    PrintRow("Destination page WM_INITDIALOG", Median(g_initMicros[0]),
             "Destination template alone",
             MedianTemplateMicroseconds(host.Module(), IDD_DESTINATION));
    PrintRow("Tickets page WM_INITDIALOG", Median(g_initMicros[1]), "Tickets template alone",
             MedianTemplateMicroseconds(host.Module(), IDD_TICKETS));

    // Listing the ticket directory against a bare FindFirstFileW walk of the
    // same folder, on the plug-in's own Tickets dialog.
    HWND ticketsPage = bench::CreateTicketsDialog(host.Module());
    bench::TicketListFigures largest;
    if (ticketsPage) {
        for (int tickets : {1000, 10000}) {
            const bench::TicketListFigures f = bench::MeasureTicketList(ticketsPage, tickets);
            largest = f;
            char bare[64];
            std::snprintf(bare, sizeof(bare), "FindFirstFile walk, %d files", tickets);
            std::snprintf(label, sizeof(label), "ticket list filled, %d", tickets);
            PrintRow(label, f.fillMs * 1000, bare, f.bareMs * 1000);
            std::snprintf(label, sizeof(label), "ticket list refreshed, %d", tickets);
            PrintRow(label, f.refreshUnchangedMs * 1000, bare, f.bareMs * 1000);
            std::snprintf(label, sizeof(label), "refreshed after +1 -1, %d", tickets);
            PrintRow(label, f.refreshChangedMs * 1000, bare, f.bareMs * 1000);
            std::snprintf(label, sizeof(label), "timer tick, folder still, %d", tickets);
            PrintRow(label, f.tickUnchangedMs * 1000, bare, f.bareMs * 1000);
            std::snprintf(label, sizeof(label), "timer tick after +1, %d", tickets);
            PrintRow(label, f.tickAddedMs * 1000, bare, f.bareMs * 1000);
            std::snprintf(label, sizeof(label), "refreshed, folder back, %d", tickets);
            PrintRow(label, f.refreshReturnedMs * 1000, bare, f.bareMs * 1000);
            std::snprintf(label, sizeof(label), "refreshed, other folder, %d", tickets);
            PrintRow(label, f.refreshOtherFolderMs * 1000, bare, f.bareMs * 1000);
            // The list starts with its entry for a new ticket; each tick
            // after an addition lists one more.
            if (f.listed != tickets + 1 || f.afterChanges != tickets + 1 ||
                f.afterAdds != f.afterChanges + bench::kTicksAfterAdding ||
                f.afterOtherFolder != tickets + 1) {
                std::printf("  (listed %ld, after changes %ld, after additions %ld of %d)\n",
                            f.listed, f.afterChanges, f.afterAdds, tickets);
            }
        }
        bench::DestroyTicketsDialog(ticketsPage);
    } else {
        std::printf("no display: sheet and ticket list not measured\n");
    }

    std::printf("goal: DevMode convert within 5 times the memcpy: %s (x%.2f)\n",
                convertOp <= 5 * copy ? "met" : "NOT met", convertOp / copy);
    if (largest.tickets > 0) {
        std::printf("goal: at %d tickets a tick with the folder still within 1%% of the bare walk: "
                    "%s (x%.4f)\n",
                    largest.tickets,
                    largest.tickUnchangedMs <= 0.01 * largest.bareMs ? "met" : "NOT met",
                    largest.tickUnchangedMs / largest.bareMs);
        std::printf("goal: at %d tickets the fill within 1.5 times the bare walk: %s (x%.2f)\n",
                    largest.tickets, largest.fillMs <= 1.5 * largest.bareMs ? "met" : "NOT met",
                    largest.fillMs / largest.bareMs);
    }
    std::printf("goal: preferences sheet within 1.5 times the empty sheet: %s (x%.2f)\n",
                sheetOpen <= 1.5 * emptyOpen ? "met" : "NOT met", sheetOpen / emptyOpen);
    // The pages' controls alone set a floor no page code can go below.
    std::printf("      floor set by the pages' controls on this system: x%.2f; "
                "the plug-in's code adds x%.2f\n",
                templatesOpen / emptyOpen, sheetOpen / templatesOpen);
    host.Unload();
    return 0;
}
