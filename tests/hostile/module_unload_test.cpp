// The host loads and unloads the plug-in for every dialog, inside the
// application's own process: an unload must give back all that the load
// took, or every print dialog costs the application memory for good.
#include "support/resource_meter.h"

#include "plugin_host.h"

#include <gtest/gtest.h>

namespace {

using testsupport::ResourceFigures;
using testsupport::ResourceMeter;

TEST(ModuleUnload, LoadAndUnloadKeepNothing) {
    const std::wstring path = standin::PluginDllPath();
    auto loadOnce = [&] {
        HMODULE module = LoadLibraryW(path.c_str());
        ASSERT_NE(nullptr, module);
        FreeLibrary(module);
    };
    loadOnce(); // the system DLLs it imports stay after the first time
    const ResourceFigures before = ResourceMeter::Measure();
    constexpr int kLoads = 20;
    for (int i = 0; i < kLoads; ++i) {
        loadOnce();
    }
    const ResourceFigures growth = ResourceMeter::Measure() - before;
    testsupport::PrintFigures("growth over 20 loads", growth);
    EXPECT_EQ(0, growth.kernelHandles);
    EXPECT_EQ(0, growth.gdiObjects);
    // Well below one kilobyte a load: the runtime's exception pool alone
    // is about 72 KB.
    EXPECT_LT(growth.heapBytes, 1024 * kLoads);
}

} // namespace
