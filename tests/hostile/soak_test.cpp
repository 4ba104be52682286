// Host cycles, each with the printing preferences (both of
// the plug-in's pages shown, Apply, OK): after the first cycle has settled
// what Wine and the runtime keep for good, nothing the process holds may
// grow.
#include "host_cycle.h"

#include "editor_presence.h"
#include "spooler_control.h"
#include "support/resource_meter.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using testsupport::ResourceFigures;
using testsupport::ResourceMeter;

constexpr wchar_t kPrinter[] = L"Hostile Soak Printer";
constexpr size_t kBothPages = 2; // Destination and Tickets

// The meter counts exactly, so a steady leak shows at a hundred cycles as it
// does at a thousand; VORN_FULL_COUNTS=1 runs the thousand.
int SoakCycles() {
    wchar_t full[8] = {};
    return GetEnvironmentVariableW(L"VORN_FULL_COUNTS", full, 8) == 1 && full[0] == L'1' ? 1000
                                                                                         : 100;
}

TEST(HostCycleSoak, CyclesWithTheSheetHoldNoMoreThanTheFirst) {
    const int kCycles = SoakCycles();
    standin::SpoolerControl spooler{};
    standin::EditorPresence editor;
    ASSERT_TRUE(spooler.Load());
    ASSERT_TRUE(spooler.AddPrinter(kPrinter, L"Vorn K355XS PS", 0, L"vornpsui.dll"));
    ASSERT_TRUE(editor.Installed());

    const ResourceFigures start = ResourceMeter::Measure();
    const DWORD startTime = GetTickCount();
    testsupport::RunHostCycle(kPrinter, kBothPages);
    ASSERT_FALSE(::testing::Test::HasFatalFailure()) << "first cycle";
    const ResourceFigures afterFirst = ResourceMeter::Measure();
    for (int i = 1; i < kCycles; ++i) {
        testsupport::RunHostCycle(kPrinter, kBothPages);
        if (::testing::Test::HasFatalFailure()) {
            FAIL() << "cycle " << i;
        }
    }
    const DWORD elapsed = GetTickCount() - startTime;
    const ResourceFigures afterAll = ResourceMeter::Measure();
    std::printf("[ resource ] %d cycles, each with the preferences sheet, %lu ms\n", kCycles,
                elapsed);
    testsupport::PrintFigures("before the first cycle", start);
    testsupport::PrintFigures("after the first cycle", afterFirst);
    testsupport::PrintFigures("after the last cycle", afterAll);
    const ResourceFigures growth = afterAll - afterFirst;
    testsupport::PrintFigures("growth after the first", growth);
    EXPECT_EQ(0, spooler.OpenHandles());
    // A fixed slack for what the runtime may still be settling; a leak of
    // one handle, one object or a few bytes per cycle is far beyond it.
    EXPECT_LE(growth.kernelHandles, 4);
    EXPECT_LE(growth.gdiObjects, 4);
    EXPECT_LE(growth.heapBytes, 8192);
}

} // namespace
