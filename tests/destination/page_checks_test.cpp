// The checks the Destination page makes as the focus moves, answered as a
// person would answer their message boxes.
#include "page_harness.h"

#include "resource_ids.h"

#include <gtest/gtest.h>

using namespace pagetest;
using vorn::PrivateDevmode;

namespace {

constexpr wchar_t kDriver[] = L"Vorn K340 PS";

std::wstring PrinterName() {
    static int serial = 0;
    return L"Destination checks " + std::to_wstring(++serial);
}

std::pair<DWORD, DWORD> EditSelection(HWND edit) {
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

} // namespace

class PageChecks : public AnsweredPageTest {};

TEST_F(PageChecks, InvalidPinIsReportedWhenTheFocusLandsElsewhere_OkUsesTheFallback) {
    DestinationSheet sheet(PrinterName(), kDriver, WithMode(2, L"", 0));
    ASSERT_TRUE(sheet.Opened());
    sheet.Focus(IDC_PIN);
    sheet.Type(IDC_PIN, L"12");
    boxes.Queue(IDOK);
    sheet.Focus(IDC_NOTIFY);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_TRUE(Contains(boxes.Seen()[0], L"'12' is not a valid PIN.")) << boxes.Seen()[0];
    EXPECT_EQ(sheet.Text(IDC_PIN), L"5183");
    EXPECT_EQ(sheet.FocusedId(), IDC_DELIVERY);
    // Only the controls changed: the section waits for the commit.
    EXPECT_STREQ(sheet.Devmode().delivery.pin, L"");
}

TEST_F(PageChecks, InvalidPinCancelPutsTheUserBackIntoTheField) {
    DestinationSheet sheet(PrinterName(), kDriver, WithMode(2, L"", 0));
    ASSERT_TRUE(sheet.Opened());
    sheet.Focus(IDC_PIN);
    sheet.Type(IDC_PIN, L"987");
    boxes.Queue(IDCANCEL);
    sheet.Focus(IDC_JOBNAME);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(sheet.FocusedId(), IDC_PIN);
    EXPECT_EQ(sheet.Text(IDC_PIN), L"987");
    EXPECT_EQ(EditSelection(sheet.Item(IDC_PIN)), std::make_pair(DWORD{0}, DWORD{3}));
}

TEST_F(PageChecks, ThePinsOwnListDropsTheCheckAndLeavingItSchedulesItAgain) {
    DestinationSheet sheet(PrinterName(), kDriver, WithMode(2, L"12", 0));
    ASSERT_TRUE(sheet.Opened());
    sheet.Focus(IDC_PIN);
    sheet.Focus(IDC_DELIVERY);
    EXPECT_TRUE(boxes.Seen().empty());
    boxes.Queue(IDCANCEL);
    sheet.Focus(IDC_NOTIFY);
    EXPECT_EQ(boxes.Seen().size(), 1u);
}

TEST_F(PageChecks, ValidPinsPassQuietlyAndMarkThePageChanged) {
    DestinationSheet sheet(PrinterName(), kDriver, WithMode(7, L"", 0));
    ASSERT_TRUE(sheet.Opened());
    sheet.Focus(IDC_PIN); // empty is enough for archiving
    sheet.ResetNotices();
    sheet.Focus(IDC_JOBNAME);
    EXPECT_TRUE(boxes.Seen().empty());
    EXPECT_EQ(sheet.Changes(), 1);

    sheet.Select(IDC_DELIVERY, 2);
    sheet.Focus(IDC_PIN);
    sheet.Type(IDC_PIN, L"0042");
    sheet.Focus(IDC_USERNAME);
    EXPECT_TRUE(boxes.Seen().empty());
}

TEST_F(PageChecks, EmptyAddressIsReportedOnTabbingToTheMessage_OkTurnsTheNoticeOff) {
    DestinationSheet sheet(PrinterName(), kDriver, WithMode(0, L"", 1));
    ASSERT_TRUE(sheet.Opened());
    sheet.Focus(IDC_ADDRESS);
    sheet.SetText(IDC_ADDRESS, L"");
    boxes.Queue(IDOK);
    sheet.Tab();
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_TRUE(Contains(boxes.Seen()[0], L"'' is not a valid email address.")) << boxes.Seen()[0];
    EXPECT_EQ(sheet.Selection(IDC_NOTIFY), 0);
    EXPECT_EQ(sheet.FocusedId(), IDC_NOTIFY);
    EXPECT_EQ(sheet.Text(IDC_ADDRESS), L"");
    EXPECT_EQ(sheet.Text(IDC_MESSAGE), L"");
    for (int id : {IDC_ADDRESS_LABEL, IDC_ADDRESS, IDC_MESSAGE_LABEL, IDC_MESSAGE}) {
        EXPECT_FALSE(sheet.Enabled(id)) << id;
    }
}

TEST_F(PageChecks, InvalidAddressCancelReturnsToTheFieldAndUnmarksThePage) {
    DestinationSheet sheet(PrinterName(), kDriver, WithMode(0, L"", 2));
    ASSERT_TRUE(sheet.Opened());
    sheet.Focus(IDC_ADDRESS);
    sheet.SetText(IDC_ADDRESS, L"  me@host,, you@nowhere ");
    boxes.Queue(IDCANCEL);
    sheet.Focus(IDC_JOBNAME);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    // The message shows the list as the check left it.
    EXPECT_TRUE(Contains(boxes.Seen()[0], L"'me@host,, you@nowhere'")) << boxes.Seen()[0];
    EXPECT_EQ(sheet.FocusedId(), IDC_ADDRESS);
    EXPECT_EQ(sheet.Unchanges(), 1);
    EXPECT_EQ(sheet.Selection(IDC_NOTIFY), 2);
}

TEST_F(PageChecks, TheAddressesOwnListDropsTheCheck) {
    DestinationSheet sheet(PrinterName(), kDriver, WithMode(0, L"", 1));
    ASSERT_TRUE(sheet.Opened());
    sheet.Focus(IDC_ADDRESS);
    sheet.SetText(IDC_ADDRESS, L"broken");
    sheet.Focus(IDC_NOTIFY);
    EXPECT_TRUE(boxes.Seen().empty());
    // Leaving the list with a notice chosen schedules the check again.
    boxes.Queue(IDOK);
    sheet.Focus(IDC_JOBNAME);
    EXPECT_EQ(boxes.Seen().size(), 1u);
}

TEST_F(PageChecks, ValidAddressListPassesQuietly) {
    DestinationSheet sheet(PrinterName(), kDriver, WithMode(0, L"", 1));
    ASSERT_TRUE(sheet.Opened());
    sheet.Focus(IDC_ADDRESS);
    sheet.SetText(IDC_ADDRESS, L"me@host.org, you@host.org");
    sheet.Focus(IDC_MESSAGE);
    EXPECT_TRUE(boxes.Seen().empty());
    // The field itself keeps what was typed.
    EXPECT_EQ(sheet.Text(IDC_ADDRESS), L"me@host.org, you@host.org");
}

TEST_F(PageChecks, DefaultsResetTheFieldsWithoutAnyCheck) {
    for (int start : {IDC_ADDRESS, IDC_PIN}) {
        DestinationSheet sheet(PrinterName(), kDriver, WithMode(2, L"1", 1));
        ASSERT_TRUE(sheet.Opened());
        sheet.Focus(start);
        sheet.SetText(IDC_ADDRESS, L"broken");
        sheet.ResetNotices();
        sheet.Click(IDC_DEFAULTS_BUTTON);
        EXPECT_TRUE(boxes.Seen().empty()) << start;

        EXPECT_EQ(sheet.Text(IDC_JOBNAME), L"Use application setting");
        wchar_t user[256] = {};
        DWORD chars = 256;
        GetUserNameW(user, &chars);
        EXPECT_EQ(sheet.Text(IDC_USERNAME), user);
        EXPECT_EQ(sheet.Selection(IDC_DELIVERY), 0);
        EXPECT_EQ(sheet.Selection(IDC_NOTIFY), 0);
        EXPECT_EQ(sheet.Text(IDC_PIN), L"");
        EXPECT_EQ(sheet.Text(IDC_ADDRESS), L"");
        EXPECT_EQ(sheet.Text(IDC_MESSAGE), L"");
        for (int id : {IDC_PIN_LABEL, IDC_PIN, IDC_PIN_RANGE, IDC_ADDRESS_LABEL, IDC_ADDRESS,
                       IDC_MESSAGE_LABEL, IDC_MESSAGE}) {
            EXPECT_FALSE(sheet.Enabled(id)) << id;
        }
        EXPECT_EQ(sheet.FocusedId(), IDC_JOBNAME);
        EXPECT_EQ(EditSelection(sheet.Item(IDC_JOBNAME)), std::make_pair(DWORD{0}, DWORD{23}));
        EXPECT_GE(sheet.Changes(), 1);

        // Nothing was left pending either.
        sheet.Focus(IDC_USERNAME);
        EXPECT_TRUE(boxes.Seen().empty()) << start;
    }
}

TEST_F(PageChecks, ActivationDropsPendingChecks) {
    for (int field : {IDC_PIN, IDC_ADDRESS}) {
        DestinationSheet sheet(PrinterName(), kDriver, WithMode(2, L"12", 1));
        ASSERT_TRUE(sheet.Opened());
        sheet.SetText(IDC_ADDRESS, L"broken");
        // Leaving the field for the sheet's own buttons schedules its check.
        sheet.Focus(field);
        SetFocus(GetDlgItem(sheet.Sheet(), IDCANCEL));
        sheet.Pump();
        NMHDR activate = {sheet.Sheet(), 0, static_cast<UINT>(PSN_SETACTIVE)};
        SendMessageW(sheet.Page(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&activate));
        EXPECT_EQ(GetWindowLongPtrW(sheet.Page(), DWLP_MSGRESULT), 0);
        sheet.Focus(IDC_JOBNAME);
        EXPECT_TRUE(boxes.Seen().empty()) << field;
    }
}
