// The meter must see each kind of leak: a cycle that leaks one event
// handle, one brush or 64 heap bytes each time shows in its own figure.
#include "support/resource_meter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

using testsupport::ResourceFigures;
using testsupport::ResourceMeter;

constexpr int kCycles = 200;

ResourceFigures GrowthOver(const std::function<void()>& cycle) {
    cycle(); // the first cycle may settle lasting state
    const ResourceFigures before = ResourceMeter::Measure();
    for (int i = 1; i < kCycles; ++i) {
        cycle();
    }
    return ResourceMeter::Measure() - before;
}

TEST(ResourceMeter, SeesEveryPlantedLeakInItsOwnFigure) {
    std::vector<HANDLE> events;
    std::vector<HGDIOBJ> brushes;
    std::vector<void*> blocks;
    events.reserve(kCycles);
    brushes.reserve(kCycles);
    blocks.reserve(kCycles);
    const int leaks = kCycles - 1;

    const ResourceFigures eventLeak =
        GrowthOver([&] { events.push_back(CreateEventW(nullptr, TRUE, FALSE, nullptr)); });
    const ResourceFigures brushLeak =
        GrowthOver([&] { brushes.push_back(CreateSolidBrush(RGB(1, 2, 3))); });
    const ResourceFigures heapLeak =
        GrowthOver([&] { blocks.push_back(HeapAlloc(GetProcessHeap(), 0, 64)); });
    const ResourceFigures clean = GrowthOver([] {
        HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        CloseHandle(event);
        DeleteObject(CreateSolidBrush(RGB(1, 2, 3)));
        HeapFree(GetProcessHeap(), 0, HeapAlloc(GetProcessHeap(), 0, 64));
    });
    testsupport::PrintFigures("planted event leak", eventLeak);
    testsupport::PrintFigures("planted brush leak", brushLeak);
    testsupport::PrintFigures("planted 64-byte leak", heapLeak);
    testsupport::PrintFigures("same cycles, no leak", clean);

    EXPECT_EQ(leaks, eventLeak.kernelHandles);
    EXPECT_EQ(0, eventLeak.gdiObjects);
    EXPECT_EQ(leaks, brushLeak.gdiObjects);
    EXPECT_EQ(0, brushLeak.kernelHandles);
    EXPECT_GE(heapLeak.heapBytes, 64 * leaks);
    EXPECT_EQ(0, heapLeak.kernelHandles | heapLeak.gdiObjects);
    EXPECT_EQ(0, clean.kernelHandles | clean.gdiObjects);
    EXPECT_LT(clean.heapBytes, 64 * leaks);

    for (HANDLE event : events) {
        CloseHandle(event);
    }
    for (HGDIOBJ brush : brushes) {
        DeleteObject(brush);
    }
    for (void* block : blocks) {
        HeapFree(GetProcessHeap(), 0, block);
    }
}

} // namespace
