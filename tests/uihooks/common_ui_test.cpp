// CommonUIProp through the loaded plug-in: which calls keep a context and
// install a callback, and what the kept context holds.
#include "option_tree_fixture.h"

namespace {

class CommonUIPropTest : public OptionTreeFixture {
  protected:
    void SetUp() override {
        OptionTreeFixture::SetUp();
        MakePrinter(L"UH CommonUI", L"Vorn K340 PS");
    }
    // Blocks held in the tree's heap: the plug-in's contexts.
    int HeldBlocks() {
        int blocks = 0;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(tree->Heap(), &entry)) {
            blocks += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) ? 1 : 0;
        }
        return blocks;
    }
};

TEST_F(CommonUIPropTest, RefusesUnknownModesAndKeepsNothingWithoutItems) {
    for (DWORD mode : {0u, 3u, 0xFFFFFFFFu}) {
        SetLastError(0);
        EXPECT_EQ(E_FAIL, tree->CallCommonUIProp(plugin, mode, true)) << mode;
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError()) << mode;
    }
    SetLastError(0);
    EXPECT_EQ(E_FAIL, plugin->CommonUIProp(OEMCUIP_DOCPROP, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(nullptr, tree->Param().OEMCUIPCallback);

    // A tree's first call, without an item array: no items asked for, no
    // callback, the context given back.
    for (DWORD mode : {OEMCUIP_DOCPROP, OEMCUIP_PRNPROP}) {
        OEMCUIPPARAM& param = tree->PrepareCall(false);
        param.cOEMOptItems = 7;
        EXPECT_EQ(S_OK, plugin->CommonUIProp(mode, &param)) << mode;
        EXPECT_EQ(0u, param.cOEMOptItems);
        EXPECT_EQ(nullptr, param.OEMCUIPCallback) << mode;
        EXPECT_EQ(0, HeldBlocks()) << mode;
    }
    // A callback left from an earlier printer tree is taken out.
    OpenTree(OEMCUIP_PRNPROP);
    EXPECT_EQ(S_OK, tree->CallCommonUIProp(plugin, OEMCUIP_PRNPROP, false));
    EXPECT_EQ(nullptr, tree->Param().OEMCUIPCallback);
}

TEST_F(CommonUIPropTest, CallWithItemsKeepsAFilledContextPerTree) {
    OpenTree(OEMCUIP_DOCPROP);
    const OEMCUIPCALLBACK documentCallback = tree->Param().OEMCUIPCallback;
    const vorn::PluginContext* context = Context();
    ASSERT_NE(nullptr, context);
    EXPECT_EQ(tree->Heap(), context->heap);
    EXPECT_EQ(printer->Handle(), context->printer);
    EXPECT_EQ(static_cast<HANDLE>(host.Module()), context->module);
    EXPECT_EQ(host.Driver().UiObject(), context->uiObject);
    EXPECT_EQ(static_cast<IPrintOemDriverUI*>(&host.Driver()), context->driver);
    EXPECT_STREQ(L"UH CommonUI", context->printerName);
    EXPECT_EQ(nullptr, context->sheetFunction) << "left for the property sheet";

    OpenTree(OEMCUIP_PRNPROP);
    EXPECT_NE(documentCallback, tree->Param().OEMCUIPCallback);
    EXPECT_NE(context, Context());
    EXPECT_EQ(2, HeldBlocks());

    const std::wstring longName = L"UH CommonUI " + std::wstring(300, L'n');
    standin::OptionTreeHost longTree(host.Driver(), printer->Handle(), longName, host.Module());
    ASSERT_EQ(S_OK, longTree.CallCommonUIProp(plugin, OEMCUIP_DOCPROP, true));
    EXPECT_EQ(longName.substr(0, 225),
              static_cast<vorn::PluginContext*>(longTree.Param().pOEMUserData)->printerName);
}

TEST_F(CommonUIPropTest, MissingHandleInstallsNoCallback) {
    void (*const blankers[])(OEMCUIPPARAM&) = {
        [](OEMCUIPPARAM& p) { p.poemuiobj = nullptr; },
        [](OEMCUIPPARAM& p) { p.hPrinter = nullptr; },
        [](OEMCUIPPARAM& p) { p.hModule = nullptr; },
        [](OEMCUIPPARAM& p) { p.hOEMHeap = nullptr; },
    };
    for (auto blank : blankers) {
        for (DWORD mode : {OEMCUIP_DOCPROP, OEMCUIP_PRNPROP}) {
            OEMCUIPPARAM param = tree->PrepareCall(true);
            blank(param);
            EXPECT_EQ(S_OK, plugin->CommonUIProp(mode, &param));
            EXPECT_EQ(nullptr, param.OEMCUIPCallback);
            EXPECT_EQ(nullptr, param.pOEMUserData);
        }
    }
}

} // namespace
