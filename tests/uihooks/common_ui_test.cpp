// CommonUIProp through the loaded plug-in: which calls keep a context and
// install a callback, and what the kept context holds.
#include "option_tree_fixture.h"

#include <string>

namespace {

class CommonUIPropTest : public OptionTreeFixture {
  protected:
    void SetUp() override {
        OptionTreeFixture::SetUp();
        MakePrinter(L"UH CommonUI", L"Vorn K340 PS");
    }
    // Blocks the plug-in holds in the tree's heap.
    int BusyHeapBlocks() {
        int blocks = 0;
        PROCESS_HEAP_ENTRY entry{};
        HeapLock(tree->Heap());
        while (HeapWalk(tree->Heap(), &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
                ++blocks;
            }
        }
        HeapUnlock(tree->Heap());
        return blocks;
    }
};

TEST_F(CommonUIPropTest, RefusesUnknownModes) {
    for (DWORD mode : {0u, 3u, 42u, 0xFFFFFFFFu}) {
        SetLastError(0);
        EXPECT_EQ(E_FAIL, tree->CallCommonUIProp(plugin, mode, true)) << mode;
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError()) << mode;
        EXPECT_EQ(nullptr, tree->Param().OEMCUIPCallback);
        EXPECT_EQ(nullptr, tree->Param().pOEMUserData);
    }
    SetLastError(0);
    EXPECT_EQ(E_FAIL, plugin->CommonUIProp(OEMCUIP_DOCPROP, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(0, BusyHeapBlocks());
}

TEST_F(CommonUIPropTest, FirstCallWithoutItemsKeepsNothing) {
    for (DWORD mode : {OEMCUIP_DOCPROP, OEMCUIP_PRNPROP}) {
        OEMCUIPPARAM& param = tree->PrepareCall(false);
        param.cOEMOptItems = 7; // whatever the host left there
        EXPECT_EQ(S_OK, plugin->CommonUIProp(mode, &param)) << mode;
        EXPECT_EQ(0u, param.cOEMOptItems);
        EXPECT_EQ(nullptr, param.OEMCUIPCallback);
        EXPECT_EQ(0, BusyHeapBlocks()) << "context given back, mode " << mode;
    }
    // A callback left from an earlier printer tree is taken out.
    OpenTree(OEMCUIP_PRNPROP);
    EXPECT_EQ(S_OK, tree->CallCommonUIProp(plugin, OEMCUIP_PRNPROP, false));
    EXPECT_EQ(nullptr, tree->Param().OEMCUIPCallback);
}

TEST_F(CommonUIPropTest, CallWithItemsKeepsAFilledContext) {
    OpenTree(OEMCUIP_DOCPROP);
    const OEMCUIPCALLBACK documentCallback = tree->Param().OEMCUIPCallback;
    const vorn::PluginContext* context = Context();
    ASSERT_NE(nullptr, context);
    EXPECT_EQ(1, BusyHeapBlocks());
    EXPECT_EQ(tree->Heap(), context->heap);
    EXPECT_EQ(printer->Handle(), context->printer);
    EXPECT_EQ(static_cast<HANDLE>(host.Module()), context->module);
    EXPECT_EQ(host.Driver().UiObject(), context->uiObject);
    EXPECT_EQ(static_cast<IPrintOemDriverUI*>(&host.Driver()), context->driver);
    EXPECT_STREQ(L"UH CommonUI", context->printerName);
    // Left for the property-sheet code to fill.
    EXPECT_EQ(nullptr, context->sheetParam);
    EXPECT_EQ(nullptr, context->sheetFunction);
    EXPECT_EQ(nullptr, context->externalPage);
    EXPECT_EQ(nullptr, context->pageHandle);

    // The printer tree gets a context of its own and another callback.
    OpenTree(OEMCUIP_PRNPROP);
    EXPECT_NE(documentCallback, tree->Param().OEMCUIPCallback);
    EXPECT_NE(context, Context());
    EXPECT_EQ(2, BusyHeapBlocks());
}

TEST_F(CommonUIPropTest, LongPrinterNameIsCutInTheContext) {
    const std::wstring longName = L"UH CommonUI " + std::wstring(300, L'n');
    standin::OptionTreeHost longTree(host.Driver(), printer->Handle(), longName, host.Module());
    ASSERT_EQ(S_OK, longTree.CallCommonUIProp(plugin, OEMCUIP_DOCPROP, true));
    auto* context = static_cast<vorn::PluginContext*>(longTree.Param().pOEMUserData);
    ASSERT_NE(nullptr, context);
    EXPECT_EQ(longName.substr(0, 225), std::wstring(context->printerName));
}

TEST_F(CommonUIPropTest, MissingHandleInstallsNoCallback) {
    struct Case {
        const char* what;
        void (*blank)(OEMCUIPPARAM&);
    };
    const Case cases[] = {
        {"poemuiobj", [](OEMCUIPPARAM& p) { p.poemuiobj = nullptr; }},
        {"hPrinter", [](OEMCUIPPARAM& p) { p.hPrinter = nullptr; }},
        {"hModule", [](OEMCUIPPARAM& p) { p.hModule = nullptr; }},
        {"hOEMHeap", [](OEMCUIPPARAM& p) { p.hOEMHeap = nullptr; }},
    };
    for (const Case& c : cases) {
        for (DWORD mode : {OEMCUIP_DOCPROP, OEMCUIP_PRNPROP}) {
            standin::OptionTreeHost other(host.Driver(), printer->Handle(), printer->Name(),
                                          host.Module());
            OEMCUIPPARAM& param = other.PrepareCall(true);
            c.blank(param);
            EXPECT_EQ(S_OK, plugin->CommonUIProp(mode, &param)) << c.what;
            EXPECT_EQ(nullptr, param.OEMCUIPCallback) << c.what;
            EXPECT_EQ(nullptr, param.pOEMUserData) << c.what;
        }
    }
}

} // namespace
