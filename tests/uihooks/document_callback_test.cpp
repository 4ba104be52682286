// What the document tree's Apply does besides "DriverSettings": the page
// order, the collation and the result reported to the sheet.
#include "option_tree_fixture.h"

#include "core/private_devmode.h"

namespace {

class DocumentCallbackTest : public OptionTreeFixture {
  protected:
    void SetUp() override {
        OptionTreeFixture::SetUp();
        MakePrinter(L"UH Document Callback", L"Vorn Office PS");
    }
};

TEST_F(DocumentCallbackTest, PagesPerSheetSixResetsEveryPageOrderItemOnApply) {
    const std::pair<BYTE, LONG> driverItems[] = {{DMPUB_PAGEORDER, 1},
                                                 {DMPUB_COPIES_COLLATE, 3},
                                                 {DMPUB_NUP, 5},
                                                 {DMPUB_PAGEORDER, 1},
                                                 {DMPUB_ORIENTATION, 6}};
    for (const auto& [id, selection] : driverItems) {
        tree->AddDriverItem(id, selection);
    }
    OpenTree(OEMCUIP_DOCPROP);
    auto& items = tree->driverItems;
    for (LONG selection : {0L, 5L, 7L}) { // another item's selection 6 does not count
        items[2].Sel = selection;
        tree->CallCallback(CPSUICB_REASON_APPLYNOW);
    }
    items[2].Sel = 6;
    tree->CallCallback(CPSUICB_REASON_SEL_CHANGED, &items[2]);
    EXPECT_EQ(1, items[0].Sel);
    EXPECT_TRUE(host.Driver().updates.empty());

    tree->CallCallback(CPSUICB_REASON_APPLYNOW);
    const LONG after[] = {0, 3, 6, 0, 6};
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(after[i], items[i].Sel) << i;
    }
    // Each reset item is reported to the host, previous selection 1.
    ASSERT_EQ(2u, host.Driver().updates.size());
    EXPECT_EQ(&items[0], host.Driver().updates[0].item);
    EXPECT_EQ(&items[3], host.Driver().updates[1].item);
    for (const auto& update : host.Driver().updates) {
        EXPECT_EQ(1u, update.previousSelection);
        EXPECT_EQ(OEMCUIP_DOCPROP, update.mode);
    }
}

TEST_F(DocumentCallbackTest, ApplyCopiesCollationAndReportsToTheDestinationPageInUse) {
    OpenTree(OEMCUIP_DOCPROP);
    // Before the sheet is set up there is nothing to copy into or report to.
    EXPECT_EQ(CPSUICB_ACTION_NONE, tree->CallCallback(CPSUICB_REASON_APPLYNOW));

    const auto ownPage = reinterpret_cast<HANDLE>(0x5001);
    const auto externalPage = reinterpret_cast<HPROPSHEETPAGE>(0x7001);
    auto* privateSection = reinterpret_cast<vorn::PrivateDevmode*>(tree->Devmode().Private());
    struct Step {
        short collate;
        HPROPSHEETPAGE external;
        LPARAM reportedPage;
    };
    // The plug-in's own Destination page unless the external library made it.
    const Step steps[] = {{DMCOLLATE_TRUE, nullptr, reinterpret_cast<LPARAM>(ownPage)},
                          {DMCOLLATE_FALSE, externalPage, reinterpret_cast<LPARAM>(externalPage)}};
    for (const Step& step : steps) {
        AttachSheet(ownPage, step.external);
        privateSection->collate = 99;
        tree->Devmode().Public()->dmCollate = step.collate;
        tree->sheetCalls.clear();
        tree->CallCallback(CPSUICB_REASON_SEL_CHANGED);
        EXPECT_EQ(99, privateSection->collate) << "only Apply copies";
        EXPECT_TRUE(tree->sheetCalls.empty());

        tree->CallCallback(CPSUICB_REASON_APPLYNOW);
        EXPECT_EQ(step.collate, privateSection->collate);
        ASSERT_EQ(1u, tree->sheetCalls.size());
        EXPECT_EQ(static_cast<UINT>(CPSFUNC_SET_RESULT), tree->sheetCalls[0].function);
        EXPECT_EQ(step.reportedPage, tree->sheetCalls[0].lParam1);
        EXPECT_EQ(CPSUI_OK, tree->sheetCalls[0].lParam2);
    }
}

} // namespace
