// The Destination page as it opens, and its live filter, in a real sheet.
#include "page_harness.h"

#include "resource_ids.h"

#include <gtest/gtest.h>

using namespace pagetest;
using vorn::PrivateDevmode;
using Entries = std::vector<std::wstring>;

namespace {
constexpr wchar_t kUnknownDriver[] = L"Generic PostScript";
} // namespace

class PageOpen : public ::testing::Test {
  protected:
    void SetUp() override { PluginModule(); }
    BoxAnswerer boxes; // none are expected while a page opens
};

TEST_F(PageOpen, ShowsTheStoredSettings) {
    PrivateDevmode dm = MakeDevmode();
    dm.delivery.deliveryMode = 7;
    wcscpy(dm.delivery.pin, L"1234");
    dm.delivery.emailNotify = 2;
    wcscpy(dm.delivery.emailMessage, L"Done");
    DestinationSheet sheet(dm);
    ASSERT_TRUE(sheet.Opened());

    EXPECT_EQ(sheet.Text(IDC_JOBNAME), L"Use application setting");
    EXPECT_EQ(sheet.Text(IDC_JOBNAME_LABEL), L"&Job name:");
    EXPECT_EQ(sheet.Text(IDC_DEFAULTS_BUTTON), L"&Defaults");
    EXPECT_EQ(sheet.Text(IDC_PIN_RANGE), L"(0000 - 9999)");

    // Histories in stored order despite the sorted style, the first shown.
    EXPECT_EQ(sheet.Entries(IDC_USERNAME), (Entries{L"alice", L"bob", L"carol"}));
    EXPECT_EQ(sheet.Text(IDC_USERNAME), L"alice");
    EXPECT_EQ(sheet.Entries(IDC_ADDRESS), (Entries{L"a@b.cd", L"e@f.gh", L"i@j.kl"}));
    EXPECT_EQ(sheet.Text(IDC_ADDRESS), L"a@b.cd");

    ASSERT_EQ(sheet.Count(IDC_DELIVERY), 8);
    EXPECT_EQ(sheet.Entry(IDC_DELIVERY, 7), L"Archive to Ravorari Rodaro");
    EXPECT_EQ(sheet.Selection(IDC_DELIVERY), 7);
    EXPECT_TRUE(sheet.AllEnabled({IDC_PIN_LABEL, IDC_PIN, IDC_PIN_RANGE}, true));
    EXPECT_EQ(sheet.Text(IDC_PIN), L"1234");

    EXPECT_EQ(sheet.Count(IDC_NOTIFY), 3);
    EXPECT_EQ(sheet.Selection(IDC_NOTIFY), 2);
    EXPECT_TRUE(sheet.AllEnabled(kEmailFields, true));
    EXPECT_EQ(sheet.Text(IDC_MESSAGE), L"Done");
    EXPECT_EQ(sheet.Changes(), 0);
}

TEST_F(PageOpen, SmallerFamiliesOfferSixModesAndEmptySlotsStayEntries) {
    PrivateDevmode dm = MakeDevmode();
    wcscpy(dm.delivery.jobName, L"Quarterly");
    dm.delivery.userNames[1][0] = L'\0';
    dm.delivery.userNames[2][0] = L'\0';
    for (const wchar_t* driver : {kFamily1Driver, kUnknownDriver}) {
        DestinationSheet sheet(dm, driver);
        ASSERT_TRUE(sheet.Opened());
        EXPECT_EQ(sheet.Text(IDC_JOBNAME), L"Quarterly");
        ASSERT_EQ(sheet.Count(IDC_DELIVERY), 6);
        EXPECT_EQ(sheet.Entry(IDC_DELIVERY, 5), L"Save");
        EXPECT_EQ(sheet.Selection(IDC_DELIVERY), 0);
        EXPECT_TRUE(sheet.AllEnabled({IDC_PIN, IDC_PIN_LABEL}, false));
        EXPECT_EQ(sheet.Entries(IDC_USERNAME), (Entries{L"alice", L"", L""}));
        EXPECT_TRUE(sheet.AllEnabled(kEmailFields, false));
    }
}

TEST_F(PageOpen, AModeTheListDoesNotOfferOpensAsPrintNowAndIsStoredSo) {
    struct Case {
        const wchar_t* driver;
        BYTE stored;
    };
    for (Case c : {Case{kFamily1Driver, 6}, Case{kFamily1Driver, 7}, Case{kFamily2Driver, 8},
                   Case{kFamily2Driver, 255}}) {
        PrivateDevmode dm = MakeDevmode();
        dm.delivery.deliveryMode = c.stored;
        dm.delivery.emailNotify = 9; // the same for a notice type not offered
        DestinationSheet sheet(dm, c.driver);
        ASSERT_TRUE(sheet.Opened());
        EXPECT_EQ(sheet.Selection(IDC_DELIVERY), 0) << c.stored;
        EXPECT_FALSE(sheet.Enabled(IDC_PIN)) << c.stored;
        EXPECT_EQ(sheet.Selection(IDC_NOTIFY), 0);
        EXPECT_FALSE(sheet.Enabled(IDC_ADDRESS));
        EXPECT_TRUE(sheet.LeavePage());
        EXPECT_EQ(sheet.Devmode().delivery.deliveryMode, 0) << c.stored;
        EXPECT_EQ(sheet.Devmode().delivery.emailNotify, 0) << c.stored;
    }
}

TEST_F(PageOpen, ListsAndTheirFieldsFollowTheSelections) {
    DestinationSheet sheet(MakeDevmode());
    ASSERT_TRUE(sheet.Opened());
    sheet.Select(IDC_NOTIFY, 1);
    EXPECT_TRUE(sheet.AllEnabled(kEmailFields, true));
    EXPECT_EQ(sheet.Changes(), 1);
    sheet.Select(IDC_NOTIFY, 0);
    EXPECT_FALSE(sheet.Enabled(IDC_ADDRESS));

    for (int mode = 0; mode < 8; ++mode) {
        sheet.Select(IDC_DELIVERY, mode);
        EXPECT_TRUE(sheet.AllEnabled({IDC_PIN, IDC_PIN_RANGE}, mode == 2 || mode == 7)) << mode;
    }
    sheet.ResetNotices();
    // Another user name and a typed PIN digit mark the page changed too.
    sheet.Select(IDC_USERNAME, 2);
    EXPECT_EQ(sheet.Changes(), 1);
    sheet.Type(IDC_PIN, L"4");
    EXPECT_EQ(sheet.Changes(), 2);
}

TEST_F(PageOpen, LiveFilterRemovesRefusedCharactersAndKeepsTheCaret) {
    DestinationSheet sheet(MakeDevmode());
    ASSERT_TRUE(sheet.Opened());

    sheet.SetText(IDC_JOBNAME, L"");
    sheet.ResetNotices();
    sheet.Type(IDC_JOBNAME, L"ab");
    EXPECT_EQ(sheet.Changes(), 2);
    SendMessageW(sheet.Item(IDC_JOBNAME), EM_SETSEL, 1, 1);
    sheet.Type(IDC_JOBNAME, L"\"");
    EXPECT_EQ(sheet.Text(IDC_JOBNAME), L"ab");
    EXPECT_EQ(sheet.EditSelection(IDC_JOBNAME), std::make_pair(DWORD{1}, DWORD{1}));
    EXPECT_EQ(sheet.Changes(), 2); // nothing for the refused character

    // The same in a combo box's edit field.
    sheet.Focus(IDC_USERNAME);
    SendMessageW(sheet.Item(IDC_USERNAME), CB_SETEDITSEL, 0, MAKELPARAM(3, 3));
    sheet.Type(IDC_USERNAME, L"\"");
    EXPECT_EQ(sheet.Text(IDC_USERNAME), L"alice");
    const LRESULT selection = SendMessageW(sheet.Item(IDC_USERNAME), CB_GETEDITSEL, 0, 0);
    EXPECT_EQ(selection, MAKELRESULT(3, 3));

    // Pasted text loses each refused character.
    sheet.Focus(IDC_MESSAGE);
    SendMessageW(sheet.Item(IDC_MESSAGE), EM_REPLACESEL, TRUE,
                 reinterpret_cast<LPARAM>(L"x\"y\"z"));
    sheet.Pump();
    EXPECT_EQ(sheet.Text(IDC_MESSAGE), L"xyz");
}

TEST_F(PageOpen, TwoSheetsKeepTheirOwnWorkingCopies) {
    PrivateDevmode first = MakeDevmode();
    PrivateDevmode second = MakeDevmode();
    wcscpy(second.delivery.userNames[0], L"xavier");
    wcscpy(second.delivery.userNames[1], L"yvonne");
    wcscpy(second.delivery.userNames[2], L"zoe");
    DestinationSheet a(first);
    DestinationSheet b(second, kFamily1Driver);
    ASSERT_TRUE(a.Opened());
    ASSERT_TRUE(b.Opened());

    a.SetText(IDC_USERNAME, L"newname");
    a.SetText(IDC_JOBNAME, L"From A");
    b.SetText(IDC_JOBNAME, L"From B");
    EXPECT_TRUE(a.LeavePage());
    EXPECT_TRUE(b.LeavePage());

    EXPECT_EQ(Joined(a.Devmode().delivery.userNames), L"newname,alice,bob");
    EXPECT_STREQ(a.Devmode().delivery.jobName, L"From A");
    EXPECT_EQ(Joined(b.Devmode().delivery.userNames), L"xavier,yvonne,zoe");
    EXPECT_STREQ(b.Devmode().delivery.jobName, L"From B");
}

TEST_F(PageOpen, TemplateHoldsTheControlsInTabOrderWithTheirStyles) {
    DestinationSheet sheet(MakeDevmode());
    ASSERT_TRUE(sheet.Opened());
    const int kHidden = 0xFFFF;
    const std::vector<int> expected = {
        IDC_JOBNAME_LABEL,  IDC_JOBNAME,     IDC_USERNAME_LABEL, IDC_USERNAME,
        IDC_DELIVERY_LABEL, IDC_DELIVERY,    IDC_PIN_LABEL,      IDC_PIN,
        IDC_PIN_RANGE,      IDC_EMAIL_GROUP, IDC_NOTIFY_LABEL,   kHidden,
        IDC_NOTIFY,         kHidden,         IDC_ADDRESS_LABEL,  IDC_ADDRESS,
        IDC_MESSAGE_LABEL,  kHidden,         IDC_MESSAGE,        IDC_ABOUT_BUTTON,
        IDC_DEFAULTS_BUTTON};
    std::vector<int> ids;
    std::vector<std::wstring> hiddenTexts;
    for (HWND child = GetWindow(sheet.Page(), GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child) & 0xFFFF;
        ids.push_back(id);
        if (id == kHidden) {
            wchar_t text[64] = {};
            GetWindowTextW(child, text, 64);
            hiddenTexts.push_back(text);
            EXPECT_FALSE(IsWindowVisible(child));
            RECT r;
            GetWindowRect(child, &r);
            EXPECT_EQ(r.right - r.left, 0);
        }
    }
    EXPECT_EQ(ids, expected);
    EXPECT_EQ(hiddenTexts, (std::vector<std::wstring>{L"Email notification type:", L"Email address",
                                                      L"Email message"}));

    auto style = [&](int id) { return GetWindowLongW(sheet.Item(id), GWL_STYLE); };
    EXPECT_EQ(style(IDC_USERNAME) & 3, CBS_DROPDOWN);
    EXPECT_TRUE(style(IDC_USERNAME) & CBS_SORT);
    EXPECT_EQ(style(IDC_ADDRESS) & 3, CBS_DROPDOWN);
    EXPECT_TRUE(style(IDC_ADDRESS) & CBS_SORT);
    EXPECT_TRUE(style(IDC_ADDRESS) & CBS_AUTOHSCROLL);
    EXPECT_EQ(style(IDC_DELIVERY) & 3, CBS_DROPDOWNLIST);
    EXPECT_EQ(style(IDC_NOTIFY) & 3, CBS_DROPDOWNLIST);
    EXPECT_TRUE(style(IDC_PIN) & ES_NUMBER);
    EXPECT_TRUE(style(IDC_PIN) & ES_RIGHT);
    EXPECT_TRUE(style(IDC_JOBNAME) & ES_AUTOHSCROLL);
    EXPECT_TRUE(style(IDC_MESSAGE) & ES_AUTOHSCROLL);
    EXPECT_TRUE(style(IDC_JOBNAME_LABEL) & SS_RIGHT);
    EXPECT_EQ(style(IDC_PIN_RANGE) & SS_TYPEMASK, SS_LEFT);
    EXPECT_TRUE(style(IDC_DEFAULTS_BUTTON) & WS_GROUP);
    for (int id : {IDC_JOBNAME, IDC_USERNAME, IDC_DELIVERY, IDC_PIN, IDC_NOTIFY, IDC_ADDRESS,
                   IDC_MESSAGE, IDC_ABOUT_BUTTON, IDC_DEFAULTS_BUTTON}) {
        EXPECT_TRUE(style(id) & WS_TABSTOP) << id;
    }
    // The job name takes 80 characters, the PIN 4.
    sheet.SetText(IDC_JOBNAME, L"");
    sheet.Type(IDC_JOBNAME, std::wstring(90, L'j'));
    EXPECT_EQ(sheet.Text(IDC_JOBNAME).size(), 80u);
    sheet.SetText(IDC_PIN, L"");
    sheet.Type(IDC_PIN, L"123456");
    EXPECT_EQ(sheet.Text(IDC_PIN), L"1234");
}
