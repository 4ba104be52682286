// The checks the Destination page makes as the focus moves, answered as a
// person would answer their message boxes.
#include "page_harness.h"

#include "resource_ids.h"

#include <gtest/gtest.h>

using namespace pagetest;

class PageChecks : public AnsweredPageTest {};

TEST_F(PageChecks, InvalidPinIsReportedWhenTheFocusLandsElsewhere_OkUsesTheFallback) {
    DestinationSheet sheet(WithMode(2, L"", 0));
    ASSERT_TRUE(sheet.Opened());
    sheet.Focus(IDC_PIN);
    sheet.Type(IDC_PIN, L"12");
    boxes.Queue(IDOK);
    sheet.Focus(IDC_NOTIFY);
    EXPECT_TRUE(boxes.SawOne(L"'12' is not a valid PIN."));
    EXPECT_EQ(sheet.Text(IDC_PIN), L"5183");
    EXPECT_EQ(sheet.FocusedId(), IDC_DELIVERY);
    // Only the controls changed: the section waits for the commit.
    EXPECT_STREQ(sheet.Devmode().delivery.pin, L"");
}

TEST_F(PageChecks, InvalidPinCancelPutsTheUserBackIntoTheField) {
    DestinationSheet sheet(WithMode(2, L"", 0));
    ASSERT_TRUE(sheet.Opened());
    sheet.Focus(IDC_PIN);
    sheet.Type(IDC_PIN, L"987");
    boxes.Queue(IDCANCEL);
    sheet.Focus(IDC_JOBNAME);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(sheet.FocusedId(), IDC_PIN);
    EXPECT_EQ(sheet.Text(IDC_PIN), L"987");
    EXPECT_EQ(sheet.EditSelection(IDC_PIN), std::make_pair(DWORD{0}, DWORD{3}));
}

// Moving from a field to the list that enables it drops the field's check;
// leaving that list for another control schedules the check again.
TEST_F(PageChecks, AFieldsOwnListDropsItsCheck) {
    struct Case {
        BYTE mode;
        const wchar_t* pin;
        BYTE notify;
        int field, list, elsewhere, answer;
    };
    for (Case c : {Case{2, L"12", 0, IDC_PIN, IDC_DELIVERY, IDC_NOTIFY, IDCANCEL},
                   Case{0, L"", 1, IDC_ADDRESS, IDC_NOTIFY, IDC_JOBNAME, IDOK}}) {
        boxes.Clear();
        DestinationSheet sheet(WithMode(c.mode, c.pin, c.notify));
        ASSERT_TRUE(sheet.Opened());
        sheet.Focus(c.field);
        if (c.field == IDC_ADDRESS) {
            sheet.SetText(IDC_ADDRESS, L"broken");
        }
        sheet.Focus(c.list);
        EXPECT_TRUE(boxes.Seen().empty()) << c.field;
        boxes.Queue(c.answer);
        sheet.Focus(c.elsewhere);
        EXPECT_EQ(boxes.Seen().size(), 1u) << c.field;
    }
}

TEST_F(PageChecks, ValidPinsPassQuietlyAndMarkThePageChanged) {
    DestinationSheet sheet(WithMode(7, L"", 0));
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
    DestinationSheet sheet(WithMode(0, L"", 1));
    ASSERT_TRUE(sheet.Opened());
    sheet.Focus(IDC_ADDRESS);
    sheet.SetText(IDC_ADDRESS, L"");
    boxes.Queue(IDOK);
    sheet.Tab();
    EXPECT_TRUE(boxes.SawOne(L"'' is not a valid email address."));
    EXPECT_EQ(sheet.Selection(IDC_NOTIFY), 0);
    EXPECT_EQ(sheet.FocusedId(), IDC_NOTIFY);
    EXPECT_EQ(sheet.Text(IDC_ADDRESS), L"");
    EXPECT_EQ(sheet.Text(IDC_MESSAGE), L"");
    EXPECT_TRUE(sheet.AllEnabled(kEmailFields, false));
}

TEST_F(PageChecks, InvalidAddressCancelReturnsToTheFieldAndUnmarksThePage) {
    DestinationSheet sheet(WithMode(0, L"", 2));
    ASSERT_TRUE(sheet.Opened());
    sheet.Focus(IDC_ADDRESS);
    sheet.SetText(IDC_ADDRESS, L"  me@host,, you@nowhere ");
    boxes.Queue(IDCANCEL);
    sheet.Focus(IDC_JOBNAME);
    // The message shows the list as the check left it.
    EXPECT_TRUE(boxes.SawOne(L"'me@host,, you@nowhere'"));
    EXPECT_EQ(sheet.FocusedId(), IDC_ADDRESS);
    EXPECT_EQ(sheet.Unchanges(), 1);
    EXPECT_EQ(sheet.Selection(IDC_NOTIFY), 2);
}

TEST_F(PageChecks, ValidAddressListPassesQuietly) {
    DestinationSheet sheet(WithMode(0, L"", 1));
    ASSERT_TRUE(sheet.Opened());
    sheet.Focus(IDC_ADDRESS);
    sheet.SetText(IDC_ADDRESS, L"me@host.org, you@host.org");
    sheet.Focus(IDC_MESSAGE);
    EXPECT_TRUE(boxes.Seen().empty());
    // The field itself keeps what was typed.
    EXPECT_EQ(sheet.Text(IDC_ADDRESS), L"me@host.org, you@host.org");
}

TEST_F(PageChecks, DefaultsResetTheFieldsWithoutAnyCheck) {
    wchar_t user[256] = {};
    DWORD chars = 256;
    GetUserNameW(user, &chars);
    for (int start : {IDC_ADDRESS, IDC_PIN}) {
        DestinationSheet sheet(WithMode(2, L"1", 1));
        ASSERT_TRUE(sheet.Opened());
        sheet.Focus(start);
        sheet.SetText(IDC_ADDRESS, L"broken");
        sheet.ResetNotices();
        sheet.Click(IDC_DEFAULTS_BUTTON);
        EXPECT_TRUE(boxes.Seen().empty()) << start;

        EXPECT_EQ(sheet.Text(IDC_JOBNAME), L"Use application setting");
        EXPECT_EQ(sheet.Text(IDC_USERNAME), user);
        EXPECT_EQ(sheet.Selection(IDC_DELIVERY), 0);
        EXPECT_EQ(sheet.Selection(IDC_NOTIFY), 0);
        for (int id : {IDC_PIN, IDC_ADDRESS, IDC_MESSAGE}) {
            EXPECT_EQ(sheet.Text(id), L"") << id;
        }
        EXPECT_TRUE(sheet.AllEnabled({IDC_PIN_LABEL, IDC_PIN, IDC_PIN_RANGE}, false));
        EXPECT_TRUE(sheet.AllEnabled(kEmailFields, false));
        EXPECT_EQ(sheet.FocusedId(), IDC_JOBNAME);
        EXPECT_EQ(sheet.EditSelection(IDC_JOBNAME), std::make_pair(DWORD{0}, DWORD{23}));
        EXPECT_GE(sheet.Changes(), 1);

        // Nothing was left pending either.
        sheet.Focus(IDC_USERNAME);
        EXPECT_TRUE(boxes.Seen().empty()) << start;
    }
}

TEST_F(PageChecks, ActivationDropsPendingChecks) {
    for (int field : {IDC_PIN, IDC_ADDRESS}) {
        DestinationSheet sheet(WithMode(2, L"12", 1));
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
