// Leaving the Destination page writes its fields into the private section;
// Apply reports to the host's sheet; help goes to the help system.
#include "page_harness.h"

#include "destination/destination_page.h"
#include "resource_ids.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace pagetest;
using vorn::PrivateDevmode;

class PageCommit : public AnsweredPageTest {};

TEST_F(PageCommit, StoresEveryFieldAndNothingElse) {
    DestinationSheet sheet(WithMode(0, L"", 0));
    ASSERT_TRUE(sheet.Opened());
    const PrivateDevmode before = sheet.Devmode();
    sheet.SetText(IDC_JOBNAME, L"  Report  ");
    sheet.SetText(IDC_USERNAME, L" dave ");
    sheet.Select(IDC_DELIVERY, 2);
    sheet.SetText(IDC_PIN, L"4321");
    sheet.Select(IDC_NOTIFY, 1);
    sheet.SetText(IDC_ADDRESS, L" x@y.zz,, ,a@b.cd , ");
    sheet.SetText(IDC_MESSAGE, L"  Hello  ");
    ASSERT_TRUE(sheet.LeavePage());
    EXPECT_TRUE(boxes.Seen().empty());

    const vorn::DeliveryBlock& d = sheet.Devmode().delivery;
    EXPECT_STREQ(d.jobName, L"Report");
    EXPECT_EQ(Joined(d.userNames), L"dave,alice,bob");
    EXPECT_EQ(d.deliveryMode, 2);
    EXPECT_STREQ(d.pin, L"4321");
    EXPECT_EQ(d.emailNotify, 1);
    EXPECT_EQ(Joined(d.emailAddresses), L"x@y.zz a@b.cd,a@b.cd,e@f.gh");
    EXPECT_STREQ(d.emailMessage, L"Hello");
    EXPECT_EQ(d.mailLanguage, 2); // English, from the module's version resource
    char host[vorn::kHostNameChars] = {};
    vorn::GetLocalHostShortName(host);
    EXPECT_STREQ(d.hostName, host);
    EXPECT_EQ(std::memcmp(d.reserved, before.delivery.reserved, sizeof(d.reserved)), 0);
    EXPECT_EQ(std::memcmp(&sheet.Devmode().header, &before.header, sizeof(before.header)), 0);
    EXPECT_STREQ(sheet.Devmode().ticketPath, before.ticketPath);
}

TEST_F(PageCommit, JobNameOfTheApplicationIsStoredEmpty) {
    for (const wchar_t* shown : {L"Use application setting", L"", L"   "}) {
        PrivateDevmode dm = MakeDevmode();
        wcscpy(dm.delivery.jobName, L"Old");
        DestinationSheet sheet(dm);
        ASSERT_TRUE(sheet.Opened());
        sheet.SetText(IDC_JOBNAME, shown);
        ASSERT_TRUE(sheet.LeavePage());
        EXPECT_STREQ(sheet.Devmode().delivery.jobName, L"");
    }
}

TEST_F(PageCommit, UserNameHistoryPushesSwapsAndComparesWhatIsStored) {
    DestinationSheet sheet(MakeDevmode());
    ASSERT_TRUE(sheet.Opened());
    auto names = [&] { return Joined(sheet.Devmode().delivery.userNames); };
    ASSERT_TRUE(sheet.LeavePage()); // the first entry again: nothing moves
    EXPECT_EQ(names(), L"alice,bob,carol");
    sheet.ComeBack();
    sheet.SetText(IDC_USERNAME, L"bob");
    ASSERT_TRUE(sheet.LeavePage());
    EXPECT_EQ(names(), L"bob,alice,carol");
    sheet.ComeBack();
    sheet.SetText(IDC_USERNAME, L"");
    ASSERT_TRUE(sheet.LeavePage());
    EXPECT_EQ(names(), L",bob,alice");
    // A name longer than the entry is stored cut, and is the same name on
    // the next commit.
    sheet.ComeBack();
    sheet.SetText(IDC_USERNAME, L"abcdefghijklmnopqrstuvwxyz");
    ASSERT_TRUE(sheet.LeavePage());
    EXPECT_EQ(names(), L"abcdefghijklmnop,,bob");
    sheet.ComeBack();
    ASSERT_TRUE(sheet.LeavePage());
    EXPECT_EQ(names(), L"abcdefghijklmnop,,bob");
}

TEST_F(PageCommit, PinIsStoredOnlyForTheModesThatTakeOne) {
    struct Case {
        BYTE mode;
        const wchar_t* typed;
        const wchar_t* stored;
    };
    for (Case c : {Case{0, L"1234", L""}, Case{5, L"1234", L""}, Case{7, L"", L""},
                   Case{7, L"0815", L"0815"}, Case{2, L"9999", L"9999"}}) {
        DestinationSheet sheet(WithMode(c.mode, L"5555", 0));
        ASSERT_TRUE(sheet.Opened());
        sheet.SetText(IDC_PIN, c.typed);
        ASSERT_TRUE(sheet.LeavePage()) << c.mode;
        EXPECT_STREQ(sheet.Devmode().delivery.pin, c.stored) << c.mode;
    }
    EXPECT_TRUE(boxes.Seen().empty());
}

TEST_F(PageCommit, InvalidPinOkStoresTheFallbackAndLeaves) {
    DestinationSheet sheet(WithMode(2, L"", 0));
    ASSERT_TRUE(sheet.Opened());
    sheet.SetText(IDC_PIN, L"12");
    boxes.Queue(IDOK);
    EXPECT_TRUE(sheet.LeavePage());
    EXPECT_TRUE(boxes.SawOne(L"'12' is not a valid PIN."));
    EXPECT_STREQ(sheet.Devmode().delivery.pin, L"5183");
    EXPECT_EQ(sheet.Text(IDC_PIN), L"5183");
}

TEST_F(PageCommit, InvalidPinCancelKeepsThePageWithTheFocusOnThePin) {
    DestinationSheet sheet(WithMode(2, L"1111", 0));
    ASSERT_TRUE(sheet.Opened());
    sheet.SetText(IDC_PIN, L"12");
    boxes.Queue(IDCANCEL);
    EXPECT_FALSE(sheet.LeavePage());
    EXPECT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(sheet.FocusedId(), IDC_PIN);
    EXPECT_STREQ(sheet.Devmode().delivery.pin, L""); // written anyway, empty
}

TEST_F(PageCommit, InvalidAddressOkSendsNoNotice) {
    DestinationSheet sheet(WithMode(0, L"", 1));
    ASSERT_TRUE(sheet.Opened());
    sheet.SetText(IDC_ADDRESS, L"a@b.cd;e@f.gh");
    sheet.SetText(IDC_MESSAGE, L"text");
    boxes.Queue(IDOK);
    EXPECT_TRUE(sheet.LeavePage());
    EXPECT_TRUE(boxes.SawOne(L"'a@b.cd;e@f.gh' is not a valid email address."));
    const vorn::DeliveryBlock& d = sheet.Devmode().delivery;
    EXPECT_EQ(d.emailNotify, 0);
    EXPECT_EQ(Joined(d.emailAddresses), L",e@f.gh,i@j.kl");
    EXPECT_STREQ(d.emailMessage, L"");
    EXPECT_EQ(d.mailLanguage, 7); // no notice, so the earlier language stays
    EXPECT_EQ(sheet.Selection(IDC_NOTIFY), 0);
    EXPECT_FALSE(sheet.Enabled(IDC_ADDRESS));
}

TEST_F(PageCommit, BothInvalidAndCancelledTwiceKeepsThePageAtTheAddress) {
    DestinationSheet sheet(WithMode(2, L"", 2));
    ASSERT_TRUE(sheet.Opened());
    sheet.SetText(IDC_PIN, L"1");
    sheet.SetText(IDC_ADDRESS, L"nobody");
    boxes.Queue(IDCANCEL);
    boxes.Queue(IDCANCEL);
    sheet.ResetNotices();
    EXPECT_FALSE(sheet.LeavePage());
    ASSERT_EQ(boxes.Seen().size(), 2u);
    EXPECT_TRUE(Contains(boxes.Seen()[0], L"PIN"));
    EXPECT_TRUE(Contains(boxes.Seen()[1], L"'nobody' is not a valid email address."));
    EXPECT_EQ(sheet.FocusedId(), IDC_ADDRESS);
    EXPECT_EQ(sheet.Unchanges(), 1);
    EXPECT_EQ(Joined(sheet.Devmode().delivery.emailAddresses), L",e@f.gh,i@j.kl");
}

TEST_F(PageCommit, AddressCancelledOnLeavingLeavesThePageUnchangedWithAPinCheckPending) {
    DestinationSheet sheet(WithMode(2, L"0042", 2));
    ASSERT_TRUE(sheet.Opened());
    sheet.SetText(IDC_ADDRESS, L"nobody");
    // Leaving the delivery list for the sheet's own buttons leaves its PIN
    // check waiting.
    sheet.Focus(IDC_DELIVERY);
    SetFocus(GetDlgItem(sheet.Sheet(), IDOK));
    sheet.Pump();
    sheet.ResetNotices();
    boxes.Queue(IDCANCEL);
    EXPECT_FALSE(sheet.LeavePage());
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(sheet.FocusedId(), IDC_ADDRESS);
    EXPECT_EQ(sheet.Unchanges(), 1);
    EXPECT_EQ(sheet.Changes(), 0);
}

TEST_F(PageCommit, AnAddressListLongerThanStoredIsRefusedWhole) {
    DestinationSheet sheet(WithMode(0, L"", 2));
    ASSERT_TRUE(sheet.Opened());
    const std::wstring address = std::wstring(30, L'u') + L"@example.com"; // 42
    // Cut to the 64 stored, the second address would be "uuu...uu": some
    // other mailbox. Cancel keeps the page at the field.
    sheet.SetText(IDC_ADDRESS, address + L"," + address);
    boxes.Queue(IDCANCEL);
    EXPECT_FALSE(sheet.LeavePage());
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_TRUE(Contains(boxes.Seen()[0], L"is not a valid email address."));
    EXPECT_EQ(sheet.FocusedId(), IDC_ADDRESS);
    EXPECT_EQ(Joined(sheet.Devmode().delivery.emailAddresses), L",e@f.gh,i@j.kl");
    // A list of exactly 64 is stored whole.
    const std::wstring fits = address + L" " + std::wstring(9, L'v') + L"@h.com"; // 64
    sheet.SetText(IDC_ADDRESS, fits);
    ASSERT_TRUE(sheet.LeavePage());
    EXPECT_EQ(sheet.Devmode().delivery.emailAddresses[0], fits);
}

TEST_F(PageCommit, NoNoticeClearsTheFirstAddressAndKeepsTheLanguage) {
    PrivateDevmode dm = WithMode(0, L"", 0);
    wcscpy(dm.delivery.emailMessage, L"old message");
    DestinationSheet sheet(dm);
    ASSERT_TRUE(sheet.Opened());
    ASSERT_TRUE(sheet.LeavePage());
    const vorn::DeliveryBlock& d = sheet.Devmode().delivery;
    EXPECT_EQ(Joined(d.emailAddresses), L",e@f.gh,i@j.kl");
    EXPECT_STREQ(d.emailMessage, L"");
    EXPECT_EQ(d.mailLanguage, 7);
}

TEST_F(PageCommit, ApplyReportsOkToTheHostsSheet) {
    DestinationSheet sheet(WithMode(2, L"", 0));
    ASSERT_TRUE(sheet.Opened());
    SheetCalls().clear();
    sheet.SetText(IDC_PIN, L"7");
    boxes.Queue(IDCANCEL); // the page stays: nothing is applied
    sheet.Apply();
    EXPECT_TRUE(SheetCalls().empty());

    sheet.SetText(IDC_PIN, L"2468");
    sheet.Apply();
    ASSERT_EQ(SheetCalls().size(), 1u);
    const SheetCall& call = SheetCalls()[0];
    EXPECT_EQ(call.sheet, sheet.Context().sheet);
    EXPECT_EQ(call.function, CPSFUNC_SET_RESULT);
    EXPECT_EQ(call.param1, reinterpret_cast<LPARAM>(sheet.Context().pageHandle));
    EXPECT_EQ(call.param2, CPSUI_OK);
    EXPECT_STREQ(sheet.Devmode().delivery.pin, L"2468");
}

class PageHelp : public ::testing::Test {
  protected:
    void SetUp() override {
        PluginModule();
        testsupport::Spooler().SetDriverDirectory("C:\\drivers\\x64");
    }
    void TearDown() override {
        testsupport::Spooler().SetDriverDirectory("C:\\windows\\system32\\spool\\drivers\\x64");
    }
    // Sends WM_HELP for a control, with the given keys held down.
    INT_PTR AskHelp(HWND page, int controlId, std::initializer_list<int> keys) {
        BYTE state[256] = {};
        GetKeyboardState(state);
        BYTE pressed[256];
        std::memcpy(pressed, state, sizeof(state));
        for (int key : keys) {
            pressed[key] = 0x80;
        }
        SetKeyboardState(pressed);
        HELPINFO info = {sizeof(info), HELPINFO_WINDOW, controlId, nullptr, 0, {0, 0}};
        const INT_PTR result =
            vorn::DestinationPageProc(page, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        SetKeyboardState(state);
        return result;
    }
    HelpWindow help;
};

TEST_F(PageHelp, F1ShowsThePageTopicAndControlsTheirPopups) {
    DestinationSheet sheet(MakeDevmode());
    ASSERT_TRUE(sheet.Opened());
    auto& requests = help.Requests();

    EXPECT_EQ(AskHelp(sheet.Page(), IDC_PIN, {VK_F1}), TRUE);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].command, static_cast<UINT>(HELP_CONTEXT));
    EXPECT_EQ(requests[0].data, 2010);
    const std::string version = LOBYTE(LOWORD(GetVersion())) == 4 ? "2" : "3";
    EXPECT_EQ(requests[0].file, "C:\\drivers\\x64\\" + version + "\\vornpsenu.hlp");

    struct Case {
        int control;
        LONG context;
    };
    for (Case c :
         {Case{IDC_JOBNAME_LABEL, 4080}, Case{IDC_USERNAME, 4090}, Case{IDC_DELIVERY, 4100},
          Case{IDC_PIN_RANGE, 4110}, Case{IDC_NOTIFY_LABEL, 4120}, Case{IDC_ADDRESS, 4130},
          Case{IDC_MESSAGE, 4140}, Case{IDOK, 4620}, Case{IDCANCEL, 4630},
          Case{IDC_DEFAULTS_BUTTON, 4010}, Case{1027, 4640}}) {
        requests.clear();
        EXPECT_EQ(AskHelp(sheet.Page(), c.control, {}), TRUE);
        ASSERT_EQ(requests.size(), 1u) << c.control;
        EXPECT_EQ(requests[0].command, static_cast<UINT>(HELP_CONTEXTPOPUP)) << c.control;
        EXPECT_EQ(requests[0].data, c.context) << c.control;
    }
    // Shift+F1 asks about the control, not the page.
    requests.clear();
    AskHelp(sheet.Page(), IDC_JOBNAME, {VK_F1, VK_SHIFT});
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].data, 4080);
}

TEST_F(PageHelp, ControlsWithoutATopicAskNothing) {
    DestinationSheet sheet(MakeDevmode());
    ASSERT_TRUE(sheet.Opened());
    for (int control : {IDC_ABOUT_BUTTON, IDC_EMAIL_GROUP, 1319, -1}) {
        EXPECT_EQ(AskHelp(sheet.Page(), control, {}), TRUE) << control;
    }
    EXPECT_TRUE(help.Requests().empty());
}
