// A thousand host cycles: after the first has settled what Wine and the
// runtime keep for good, nothing the process holds may grow.
#include "host_cycle.h"

#include "spooler_control.h"
#include "support/resource_meter.h"

#include <gtest/gtest.h>

namespace {

using testsupport::ResourceFigures;
using testsupport::ResourceMeter;

constexpr wchar_t kPrinter[] = L"Hostile Soak Printer";

TEST(HostCycleSoak, ThousandCyclesHoldNoMoreThanTheFirst) {
    standin::SpoolerControl spooler{};
    ASSERT_TRUE(spooler.Load());
    ASSERT_TRUE(spooler.AddPrinter(kPrinter, L"Vorn K355XS PS", 0, L"vornpsui.dll"));

    const ResourceFigures start = ResourceMeter::Measure();
    testsupport::RunHostCycle(kPrinter);
    const ResourceFigures afterFirst = ResourceMeter::Measure();
    constexpr int kCycles = 1000;
    for (int i = 1; i < kCycles; ++i) {
        testsupport::RunHostCycle(kPrinter);
        if (HasFatalFailure()) {
            FAIL() << "cycle " << i;
        }
    }
    const ResourceFigures afterAll = ResourceMeter::Measure();
    testsupport::PrintFigures("before the first cycle", start);
    testsupport::PrintFigures("after the first cycle", afterFirst);
    testsupport::PrintFigures("after 1000 cycles", afterAll);
    const ResourceFigures growth = afterAll - afterFirst;
    testsupport::PrintFigures("growth over 999 cycles", growth);
    EXPECT_EQ(0, spooler.OpenHandles());
    // A fixed slack for what the runtime may still be settling; a leak of
    // one handle, one object or a few bytes per cycle is far beyond it.
    EXPECT_LE(growth.kernelHandles, 4);
    EXPECT_LE(growth.gdiObjects, 4);
    EXPECT_LE(growth.heapBytes, 8192);
}

} // namespace
