// What the document tree's Apply does to the page order besides storing
// "DriverSettings" (the collation and the result reported to the sheet are
// in property_sheets_test).
#include "option_tree_fixture.h"

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

} // namespace
