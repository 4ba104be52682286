// What the document tree's Apply does besides "DriverSettings": the page
// order, the collation and the result reported to the sheet.
#include "option_tree_fixture.h"

#include "core/private_devmode.h"

namespace {

class DocumentCallbackTest : public OptionTreeFixture {
  protected:
    void SetUp() override {
        OptionTreeFixture::SetUp();
        MakePrinter(L"UH Doc Callback", L"Vorn Office PS");
    }
    vorn::PrivateDevmode* Private() {
        return reinterpret_cast<vorn::PrivateDevmode*>(tree->Devmode().Private());
    }
};

TEST_F(DocumentCallbackTest, PagesPerSheetSixResetsEveryPageOrderItem) {
    tree->AddDriverItem(DMPUB_PAGEORDER, 1);
    tree->AddDriverItem(DMPUB_COPIES_COLLATE, 3);
    tree->AddDriverItem(DMPUB_NUP, 6);
    tree->AddDriverItem(DMPUB_PAGEORDER, 1);
    tree->AddDriverItem(DMPUB_ORIENTATION, 2);
    OpenTree(OEMCUIP_DOCPROP);

    tree->CallCallback(CPSUICB_REASON_SEL_CHANGED, &tree->driverItems[2]);
    EXPECT_EQ(1, tree->driverItems[0].Sel) << "only Apply resets the order";
    EXPECT_TRUE(host.Driver().updates.empty());

    EXPECT_EQ(CPSUICB_ACTION_NONE, tree->CallCallback(CPSUICB_REASON_APPLYNOW));
    const auto& items = tree->driverItems;
    EXPECT_EQ(0, items[0].Sel);
    EXPECT_EQ(3, items[1].Sel);
    EXPECT_EQ(6, items[2].Sel);
    EXPECT_EQ(0, items[3].Sel);
    EXPECT_EQ(2, items[4].Sel);
    // Each reset item is reported to the host with previous selection 1.
    ASSERT_EQ(2u, host.Driver().updates.size());
    EXPECT_EQ(&items[0], host.Driver().updates[0].item);
    EXPECT_EQ(&items[3], host.Driver().updates[1].item);
    for (const auto& update : host.Driver().updates) {
        EXPECT_EQ(1u, update.previousSelection);
        EXPECT_EQ(OEMCUIP_DOCPROP, update.mode);
    }
}

TEST_F(DocumentCallbackTest, OtherPagesPerSheetLeaveThePageOrder) {
    tree->AddDriverItem(DMPUB_PAGEORDER, 1);
    tree->AddDriverItem(DMPUB_NUP, 5);
    tree->AddDriverItem(DMPUB_COPIES_COLLATE, 6); // selection 6 of another item
    OpenTree(OEMCUIP_DOCPROP);
    for (LONG selection : {0L, 1L, 5L, 7L}) {
        tree->driverItems[1].Sel = selection;
        tree->CallCallback(CPSUICB_REASON_APPLYNOW);
        EXPECT_EQ(1, tree->driverItems[0].Sel) << selection;
    }
    EXPECT_TRUE(host.Driver().updates.empty());
}

TEST_F(DocumentCallbackTest, ApplyCopiesCollationIntoThePagesSection) {
    OpenTree(OEMCUIP_DOCPROP);
    // Before the sheet is set up there is no section to copy into.
    EXPECT_EQ(CPSUICB_ACTION_NONE, tree->CallCallback(CPSUICB_REASON_APPLYNOW));

    AttachSheet(reinterpret_cast<HANDLE>(0x5001), nullptr);
    Private()->collate = 0;
    tree->Devmode().Public()->dmCollate = DMCOLLATE_TRUE;
    tree->CallCallback(CPSUICB_REASON_APPLYNOW);
    EXPECT_EQ(DMCOLLATE_TRUE, Private()->collate);
    tree->Devmode().Public()->dmCollate = DMCOLLATE_FALSE;
    tree->CallCallback(CPSUICB_REASON_SEL_CHANGED);
    EXPECT_EQ(DMCOLLATE_TRUE, Private()->collate) << "only Apply copies";
    tree->CallCallback(CPSUICB_REASON_APPLYNOW);
    EXPECT_EQ(DMCOLLATE_FALSE, Private()->collate);
}

TEST_F(DocumentCallbackTest, ResultGoesToTheDestinationPageInUse) {
    OpenTree(OEMCUIP_DOCPROP);
    const HANDLE ownPage = reinterpret_cast<HANDLE>(0x5001);
    const auto externalPage = reinterpret_cast<HPROPSHEETPAGE>(0x7001);

    // The plug-in's own Destination page: no external page was made.
    AttachSheet(ownPage, nullptr);
    tree->CallCallback(CPSUICB_REASON_SEL_CHANGED);
    EXPECT_TRUE(tree->sheetCalls.empty());
    tree->CallCallback(CPSUICB_REASON_APPLYNOW);
    ASSERT_EQ(1u, tree->sheetCalls.size());
    EXPECT_EQ(static_cast<UINT>(CPSFUNC_SET_RESULT), tree->sheetCalls[0].function);
    EXPECT_EQ(reinterpret_cast<LPARAM>(ownPage), tree->sheetCalls[0].lParam1);
    EXPECT_EQ(CPSUI_OK, tree->sheetCalls[0].lParam2);

    // The page made by the external library takes precedence.
    AttachSheet(ownPage, externalPage);
    tree->CallCallback(CPSUICB_REASON_APPLYNOW);
    ASSERT_EQ(2u, tree->sheetCalls.size());
    EXPECT_EQ(static_cast<UINT>(CPSFUNC_SET_RESULT), tree->sheetCalls[1].function);
    EXPECT_EQ(reinterpret_cast<LPARAM>(externalPage), tree->sheetCalls[1].lParam1);
    EXPECT_EQ(CPSUI_OK, tree->sheetCalls[1].lParam2);
}

} // namespace
