// The Destination page in a real sheet, driven with window messages: what it
// shows, its live filter, the checks as the focus moves and as the page is
// left (each answered as a person would), what the commit stores, Apply and
// help.
#include "support/page_sheet.h"

#include "destination/destination_page.h"
#include "resource_ids.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace pagesheet;
using vorn::PrivateDevmode;

namespace {

constexpr wchar_t kUnknownDriver[] = L"Generic PostScript";
// The controls the notification type enables and disables together.
constexpr std::initializer_list<int> kEmailFields = {IDC_ADDRESS_LABEL, IDC_ADDRESS,
                                                     IDC_MESSAGE_LABEL, IDC_MESSAGE};

struct DestinationSheet : PrinterPage {
    explicit DestinationSheet(const PrivateDevmode& dm, const std::wstring& driver = kFamily2Driver)
        : PrinterPage(IDD_DESTINATION, vorn::DestinationPageProc, dm, driver) {}
};

// The entries of a stored history, most recent first, joined with commas.
template <size_t Slots, size_t Chars> std::wstring Joined(const wchar_t (&history)[Slots][Chars]) {
    std::wstring joined = history[0];
    for (size_t i = 1; i < Slots; ++i) {
        joined += std::wstring(L",") + history[i];
    }
    return joined;
}

// Every box is answered from the test's queue; one left over fails it.
class Destination : public ::testing::Test {
  protected:
    void TearDown() override { EXPECT_EQ(person.Unanswered(), 0u); }
    Person person;
};

} // namespace

TEST_F(Destination, ShowsTheStoredSettings) {
    PrivateDevmode dm = SampleDevmode(7, L"1234", 2);
    wcscpy(dm.delivery.emailMessage, L"Done");
    DestinationSheet sheet(dm);
    ASSERT_TRUE(sheet.Opened());

    EXPECT_EQ(sheet.Text(IDC_JOBNAME), L"Use application setting");
    EXPECT_EQ(sheet.Text(IDC_JOBNAME_LABEL), L"&Job name:");
    EXPECT_EQ(sheet.Text(IDC_DEFAULTS_BUTTON), L"&Defaults");
    EXPECT_EQ(sheet.Text(IDC_PIN_RANGE), L"(0000 - 9999)");
    // Histories in stored order despite the sorted style, the first shown.
    EXPECT_EQ(sheet.EntriesOf(IDC_USERNAME), (Entries{L"alice", L"bob", L"carol"}));
    EXPECT_EQ(sheet.Text(IDC_USERNAME), L"alice");
    EXPECT_EQ(sheet.EntriesOf(IDC_ADDRESS), (Entries{L"a@b.cd", L"e@f.gh", L"i@j.kl"}));
    EXPECT_EQ(sheet.Text(IDC_ADDRESS), L"a@b.cd");
    const Entries modes = sheet.EntriesOf(IDC_DELIVERY);
    ASSERT_EQ(modes.size(), 8u);
    EXPECT_EQ(modes[7], L"Archive to Ravorari Rodaro");
    EXPECT_EQ(sheet.Selection(IDC_DELIVERY), 7);
    EXPECT_TRUE(sheet.AllEnabled({IDC_PIN_LABEL, IDC_PIN, IDC_PIN_RANGE}, true));
    EXPECT_EQ(sheet.Text(IDC_PIN), L"1234");
    EXPECT_EQ(sheet.EntriesOf(IDC_NOTIFY).size(), 3u);
    EXPECT_EQ(sheet.Selection(IDC_NOTIFY), 2);
    EXPECT_TRUE(sheet.AllEnabled(kEmailFields, true));
    EXPECT_EQ(sheet.Text(IDC_MESSAGE), L"Done");
    EXPECT_EQ(sheet.Changes(), 0);
}

// Other families (and unknown drivers) offer six modes; a mode or notice
// type the lists do not offer opens as the first and is stored so.
TEST_F(Destination, ModesOfferedByFamilyAndUnofferedOnesOpenAsTheFirst) {
    const struct {
        const wchar_t* driver;
        BYTE stored;
        BYTE notify;
        size_t offered;
    } rows[] = {{kFamily1Driver, 0, 0, 6}, {kUnknownDriver, 0, 0, 6}, {kFamily1Driver, 6, 9, 6},
                {kFamily1Driver, 7, 9, 6}, {kFamily2Driver, 8, 9, 8}, {kFamily2Driver, 255, 9, 8}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "mode " << int(row.stored));
        PrivateDevmode dm = SampleDevmode(row.stored, L"", row.notify);
        wcscpy(dm.delivery.jobName, L"Quarterly");
        dm.delivery.userNames[1][0] = dm.delivery.userNames[2][0] = L'\0';
        DestinationSheet sheet(dm, row.driver);
        ASSERT_TRUE(sheet.Opened());
        EXPECT_EQ(sheet.Text(IDC_JOBNAME), L"Quarterly");
        const Entries modes = sheet.EntriesOf(IDC_DELIVERY);
        ASSERT_EQ(modes.size(), row.offered);
        if (row.offered == 6) {
            EXPECT_EQ(modes[5], L"Save");
        }
        EXPECT_EQ(sheet.Selection(IDC_DELIVERY), 0);
        EXPECT_TRUE(sheet.AllEnabled({IDC_PIN, IDC_PIN_LABEL}, false));
        // Empty history slots stay entries.
        EXPECT_EQ(sheet.EntriesOf(IDC_USERNAME), (Entries{L"alice", L"", L""}));
        EXPECT_EQ(sheet.Selection(IDC_NOTIFY), 0);
        EXPECT_TRUE(sheet.AllEnabled(kEmailFields, false));
        EXPECT_TRUE(sheet.LeavePage());
        EXPECT_EQ(sheet.Devmode().delivery.deliveryMode, 0);
        EXPECT_EQ(sheet.Devmode().delivery.emailNotify, 0);
    }
}

TEST_F(Destination, ListsEnableTheirFieldsAndEveryChangeIsNoticed) {
    DestinationSheet sheet(SampleDevmode());
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
    sheet.Select(IDC_USERNAME, 2);
    EXPECT_EQ(sheet.Changes(), 1);
    sheet.Type(IDC_PIN, L"4");
    EXPECT_EQ(sheet.Changes(), 2);
}

// The live filter: a refused character goes, the caret stays, and nothing
// is noticed for it; in an edit, in a combo box's edit, in pasted text.
TEST_F(Destination, LiveFilterRemovesRefusedCharactersAndKeepsTheCaret) {
    DestinationSheet sheet(SampleDevmode());
    ASSERT_TRUE(sheet.Opened());
    sheet.SetText(IDC_JOBNAME, L"");
    sheet.ResetNotices();
    sheet.Type(IDC_JOBNAME, L"ab");
    EXPECT_EQ(sheet.Changes(), 2);
    SendMessageW(sheet.Item(IDC_JOBNAME), EM_SETSEL, 1, 1);
    sheet.Type(IDC_JOBNAME, L"\"");
    EXPECT_EQ(sheet.Text(IDC_JOBNAME), L"ab");
    EXPECT_EQ(sheet.EditSelection(IDC_JOBNAME), std::make_pair(DWORD{1}, DWORD{1}));
    EXPECT_EQ(sheet.Changes(), 2);
    sheet.Focus(IDC_USERNAME);
    SendMessageW(sheet.Item(IDC_USERNAME), CB_SETEDITSEL, 0, MAKELPARAM(3, 3));
    sheet.Type(IDC_USERNAME, L"\"");
    EXPECT_EQ(sheet.Text(IDC_USERNAME), L"alice");
    EXPECT_EQ(SendMessageW(sheet.Item(IDC_USERNAME), CB_GETEDITSEL, 0, 0), MAKELRESULT(3, 3));
    sheet.Focus(IDC_MESSAGE);
    SendMessageW(sheet.Item(IDC_MESSAGE), EM_REPLACESEL, TRUE,
                 reinterpret_cast<LPARAM>(L"x\"y\"z"));
    sheet.Pump();
    EXPECT_EQ(sheet.Text(IDC_MESSAGE), L"xyz");
}

TEST_F(Destination, TwoSheetsKeepTheirOwnWorkingCopies) {
    PrivateDevmode second = SampleDevmode();
    wcscpy(second.delivery.userNames[0], L"xavier");
    wcscpy(second.delivery.userNames[1], L"yvonne");
    wcscpy(second.delivery.userNames[2], L"zoe");
    DestinationSheet a(SampleDevmode());
    DestinationSheet b(second, kFamily1Driver);
    ASSERT_TRUE(a.Opened() && b.Opened());
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

TEST_F(Destination, TemplateHoldsTheControlsInTabOrderWithTheirStyles) {
    DestinationSheet sheet(SampleDevmode());
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
    Entries hiddenTexts;
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
    EXPECT_EQ(hiddenTexts,
              (Entries{L"Email notification type:", L"Email address", L"Email message"}));
    const struct {
        int id;
        LONG mask, bits;
    } styles[] = {{IDC_USERNAME, 3, CBS_DROPDOWN},
                  {IDC_USERNAME, CBS_SORT, CBS_SORT},
                  {IDC_ADDRESS, 3, CBS_DROPDOWN},
                  {IDC_ADDRESS, CBS_SORT, CBS_SORT},
                  {IDC_ADDRESS, CBS_AUTOHSCROLL, CBS_AUTOHSCROLL},
                  {IDC_DELIVERY, 3, CBS_DROPDOWNLIST},
                  {IDC_NOTIFY, 3, CBS_DROPDOWNLIST},
                  {IDC_PIN, ES_NUMBER, ES_NUMBER},
                  {IDC_PIN, ES_RIGHT, ES_RIGHT},
                  {IDC_JOBNAME, ES_AUTOHSCROLL, ES_AUTOHSCROLL},
                  {IDC_MESSAGE, ES_AUTOHSCROLL, ES_AUTOHSCROLL},
                  {IDC_JOBNAME_LABEL, SS_RIGHT, SS_RIGHT},
                  {IDC_PIN_RANGE, SS_TYPEMASK, SS_LEFT},
                  {IDC_DEFAULTS_BUTTON, WS_GROUP, WS_GROUP}};
    for (const auto& s : styles) {
        EXPECT_EQ(GetWindowLongW(sheet.Item(s.id), GWL_STYLE) & s.mask, s.bits) << s.id;
    }
    for (int id : {IDC_JOBNAME, IDC_USERNAME, IDC_DELIVERY, IDC_PIN, IDC_NOTIFY, IDC_ADDRESS,
                   IDC_MESSAGE, IDC_ABOUT_BUTTON, IDC_DEFAULTS_BUTTON}) {
        EXPECT_TRUE(GetWindowLongW(sheet.Item(id), GWL_STYLE) & WS_TABSTOP) << id;
    }
    // The job name takes 80 characters, the PIN 4.
    sheet.SetText(IDC_JOBNAME, L"");
    sheet.Type(IDC_JOBNAME, std::wstring(90, L'j'));
    EXPECT_EQ(sheet.Text(IDC_JOBNAME).size(), 80u);
    sheet.SetText(IDC_PIN, L"");
    sheet.Type(IDC_PIN, L"123456");
    EXPECT_EQ(sheet.Text(IDC_PIN), L"1234");
}

namespace {

// How a check is reached: the focus moves to another control, Tab, or the
// page is left (the commit).
constexpr int kTab = -1;
constexpr int kLeave = -2;
constexpr int kAny = -3; // not checked

struct CheckRow {
    const char* what;
    BYTE mode;
    const wchar_t* storedPin;
    BYTE notify;
    const wchar_t* pin;     // typed into the PIN (null: left alone)
    const wchar_t* address; // put into the address (null: left alone)
    int start;              // the field the focus is in first (0: none)
    int trigger;
    std::vector<int> answers;
    std::vector<const wchar_t*> boxes; // a part of each box's text
    int focus;
    const wchar_t* pinShown;
    const wchar_t* pinStored;
    int notifyShown;
    const wchar_t* addressesStored;
    int unchanges;
};

// clang-format off
const CheckRow kCheckRows[] = {
    // As the focus moves: only the controls change, the section waits.
    {"PIN, focus moves, OK: the fallback", 2, L"", 0, L"12", nullptr, IDC_PIN, IDC_NOTIFY,
     {IDOK}, {L"'12' is not a valid PIN."}, IDC_DELIVERY, L"5183", L"", 0, nullptr, kAny},
    {"PIN, focus moves, Cancel: back in the field", 2, L"", 0, L"987", nullptr, IDC_PIN,
     IDC_JOBNAME, {IDCANCEL}, {L"'987' is not a valid PIN."}, IDC_PIN, L"987", L"", 0, nullptr,
     kAny},
    {"empty address, Tab, OK: the notice off", 0, L"", 1, nullptr, L"", IDC_ADDRESS, kTab,
     {IDOK}, {L"'' is not a valid email address."}, IDC_NOTIFY, nullptr, nullptr, 0, nullptr,
     kAny},
    // The message shows the list as the check left it.
    {"address, focus moves, Cancel: back, page unmarked", 0, L"", 2, nullptr,
     L"  me@host,, you@nowhere ", IDC_ADDRESS, IDC_JOBNAME, {IDCANCEL},
     {L"'me@host,, you@nowhere' is not a valid email address."}, IDC_ADDRESS, nullptr, nullptr,
     2, nullptr, 1},
    // As the page is left.
    {"PIN, leaving, OK: the fallback stored", 2, L"", 0, L"12", nullptr, 0, kLeave, {IDOK},
     {L"'12' is not a valid PIN."}, kAny, L"5183", L"5183", 0, nullptr, kAny},
    {"PIN, leaving, Cancel: the page stays, written empty", 2, L"1111", 0, L"12", nullptr, 0,
     kLeave, {IDCANCEL}, {L"'12' is not a valid PIN."}, IDC_PIN, nullptr, L"", 0, nullptr, kAny},
    {"address, leaving, OK: no notice", 0, L"", 1, nullptr, L"a@b.cd;e@f.gh", 0, kLeave, {IDOK},
     {L"'a@b.cd;e@f.gh' is not a valid email address."}, kAny, nullptr, nullptr, 0,
     L",e@f.gh,i@j.kl", kAny},
    {"both, leaving, Cancel twice: the page stays at the address", 2, L"", 2, L"1", L"nobody", 0,
     kLeave, {IDCANCEL, IDCANCEL},
     {L"'1' is not a valid PIN.", L"'nobody' is not a valid email address."}, IDC_ADDRESS,
     nullptr, nullptr, 2, L",e@f.gh,i@j.kl", 1},
    // Cut to the 64 stored, the second address would name another mailbox.
    {"address list longer than stored, leaving, Cancel", 0, L"", 2, nullptr,
     L"uuuuuuuuuuuuuuuuuuuuuuuuuuuuuu@example.com,uuuuuuuuuuuuuuuuuuuuuuuuuuuuuu@example.com", 0,
     kLeave, {IDCANCEL}, {L"is not a valid email address."}, IDC_ADDRESS, nullptr, nullptr, 2,
     L",e@f.gh,i@j.kl", kAny},
};
// clang-format on

} // namespace

TEST_F(Destination, InvalidFieldsAreReportedAndAnswered) {
    for (const CheckRow& row : kCheckRows) {
        SCOPED_TRACE(row.what);
        PrivateDevmode dm = SampleDevmode(row.mode, row.storedPin, row.notify);
        if (row.trigger == kLeave) {
            wcscpy(dm.delivery.emailMessage, L"text");
        }
        DestinationSheet sheet(dm);
        ASSERT_TRUE(sheet.Opened());
        if (row.start) {
            sheet.Focus(row.start);
        }
        if (row.pin) {
            row.start ? sheet.Type(IDC_PIN, row.pin) : sheet.SetText(IDC_PIN, row.pin);
        }
        if (row.address) {
            sheet.SetText(IDC_ADDRESS, row.address);
        }
        for (int answer : row.answers) {
            person.Queue(answer);
        }
        sheet.ResetNotices();
        bool left = false;
        if (row.trigger == kLeave) {
            left = sheet.LeavePage();
            EXPECT_EQ(left, row.focus == kAny);
        } else if (row.trigger == kTab) {
            sheet.Tab();
        } else {
            sheet.Focus(row.trigger);
        }
        ASSERT_EQ(person.Seen().size(), row.boxes.size());
        for (size_t i = 0; i < row.boxes.size(); ++i) {
            EXPECT_EQ(person.Seen()[i].caption, kPluginCaption);
            EXPECT_TRUE(Contains(person.Seen()[i].text, row.boxes[i])) << person.Seen()[i].text;
        }
        // (the sheet gets its activation back from the box through the
        // display: wait for it)
        const auto focusLands = [&](int id) {
            return PumpUntil([&] { return sheet.FocusedId() == id; }, 2000);
        };
        if (row.focus != kAny) {
            EXPECT_TRUE(focusLands(row.focus)) << sheet.FocusedId();
        }
        const int field = row.address ? IDC_ADDRESS : IDC_PIN;
        if (row.answers.back() == IDCANCEL) {
            // Back in the field with its text selected, ready to be retyped.
            EXPECT_TRUE(focusLands(field)) << sheet.FocusedId();
            const DWORD length = static_cast<DWORD>(sheet.Text(field).size());
            EXPECT_EQ(sheet.EditSelection(field), std::make_pair(DWORD{0}, length));
        } else if (row.trigger != kLeave && row.address) {
            EXPECT_EQ(sheet.Text(IDC_ADDRESS), row.address); // OK keeps what was typed
        }
        if (row.pinShown) {
            EXPECT_EQ(sheet.Text(IDC_PIN), row.pinShown);
        }
        if (row.pinStored) {
            EXPECT_STREQ(sheet.Devmode().delivery.pin, row.pinStored);
        }
        EXPECT_EQ(sheet.Selection(IDC_NOTIFY), row.notifyShown);
        if (row.notify && !row.notifyShown) {
            // OK to a refused address turns the notice off.
            EXPECT_TRUE(sheet.AllEnabled(kEmailFields, false));
            EXPECT_TRUE(left || sheet.Text(IDC_MESSAGE).empty());
        }
        if (left && row.address) {
            EXPECT_STREQ(sheet.Devmode().delivery.emailMessage, L"");
            EXPECT_EQ(sheet.Devmode().delivery.emailNotify, 0);
            EXPECT_EQ(sheet.Devmode().delivery.mailLanguage, 7); // no notice: kept
        }
        if (row.addressesStored) {
            EXPECT_EQ(Joined(sheet.Devmode().delivery.emailAddresses), row.addressesStored);
        }
        if (row.unchanges != kAny) {
            EXPECT_EQ(sheet.Unchanges(), row.unchanges);
        }
        person.Clear();
    }
}

// Moving from a field to the list that enables it drops the field's check;
// leaving that list for another control schedules it again. Activating the
// page and Defaults drop pending checks; valid fields pass quietly.
TEST_F(Destination, ChecksArePendingOnlyWhileTheyMatter) {
    const struct {
        BYTE mode;
        const wchar_t* pin;
        BYTE notify;
        int field, list, elsewhere, answer;
    } rows[] = {{2, L"12", 0, IDC_PIN, IDC_DELIVERY, IDC_NOTIFY, IDCANCEL},
                {0, L"", 1, IDC_ADDRESS, IDC_NOTIFY, IDC_JOBNAME, IDOK}};
    for (const auto& row : rows) {
        person.Clear();
        DestinationSheet sheet(SampleDevmode(row.mode, row.pin, row.notify));
        ASSERT_TRUE(sheet.Opened());
        sheet.Focus(row.field);
        if (row.field == IDC_ADDRESS) {
            sheet.SetText(IDC_ADDRESS, L"broken");
        }
        sheet.Focus(row.list);
        EXPECT_TRUE(person.Seen().empty()) << row.field;
        person.Queue(row.answer);
        sheet.Focus(row.elsewhere);
        EXPECT_EQ(person.Seen().size(), 1u) << row.field;
    }
    person.Clear();
    wchar_t user[256] = {};
    DWORD chars = 256;
    GetUserNameW(user, &chars);
    for (int field : {IDC_PIN, IDC_ADDRESS}) {
        for (bool defaults : {false, true}) {
            DestinationSheet sheet(SampleDevmode(2, L"12", 1));
            ASSERT_TRUE(sheet.Opened());
            sheet.SetText(IDC_ADDRESS, L"broken");
            sheet.Focus(field);
            sheet.ResetNotices();
            if (!defaults) {
                // Leaving the field for the sheet's buttons schedules its check.
                SetFocus(GetDlgItem(sheet.Sheet(), IDCANCEL));
                sheet.Pump();
                EXPECT_EQ(sheet.SheetNotify(PSN_SETACTIVE), 0);
                sheet.Focus(IDC_JOBNAME);
                EXPECT_TRUE(person.Seen().empty()) << field;
                continue;
            }
            sheet.Click(IDC_DEFAULTS_BUTTON);
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
            sheet.Focus(IDC_USERNAME);
            EXPECT_TRUE(person.Seen().empty()) << field;
        }
    }
    // Valid: an empty PIN for archiving, four digits, an address list.
    DestinationSheet sheet(SampleDevmode(7, L"", 1));
    ASSERT_TRUE(sheet.Opened());
    sheet.Focus(IDC_PIN);
    sheet.ResetNotices();
    sheet.Focus(IDC_JOBNAME);
    EXPECT_EQ(sheet.Changes(), 1);
    sheet.Select(IDC_DELIVERY, 2);
    sheet.Focus(IDC_PIN);
    sheet.Type(IDC_PIN, L"0042");
    sheet.Focus(IDC_ADDRESS);
    sheet.SetText(IDC_ADDRESS, L"me@host.org, you@host.org");
    sheet.Focus(IDC_MESSAGE);
    EXPECT_TRUE(person.Seen().empty());
    EXPECT_EQ(sheet.Text(IDC_ADDRESS), L"me@host.org, you@host.org"); // as typed
}

TEST_F(Destination, AddressCancelledOnLeavingLeavesThePageUnchangedWithAPinCheckPending) {
    DestinationSheet sheet(SampleDevmode(2, L"0042", 2));
    ASSERT_TRUE(sheet.Opened());
    sheet.SetText(IDC_ADDRESS, L"nobody");
    // Leaving the delivery list for the sheet's own buttons leaves its PIN
    // check waiting.
    sheet.Focus(IDC_DELIVERY);
    SetFocus(GetDlgItem(sheet.Sheet(), IDOK));
    sheet.Pump();
    sheet.ResetNotices();
    person.Queue(IDCANCEL);
    EXPECT_FALSE(sheet.LeavePage());
    ASSERT_EQ(person.Seen().size(), 1u);
    EXPECT_EQ(sheet.FocusedId(), IDC_ADDRESS);
    EXPECT_EQ(sheet.Unchanges(), 1);
    EXPECT_EQ(sheet.Changes(), 0);
}

TEST_F(Destination, CommitStoresEveryFieldAndNothingElse) {
    DestinationSheet sheet(SampleDevmode());
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

    // A list of exactly 64 is stored whole.
    sheet.ComeBack();
    const std::wstring fits =
        std::wstring(30, L'u') + L"@example.com " + std::wstring(9, L'v') + L"@h.com";
    sheet.SetText(IDC_ADDRESS, fits);
    ASSERT_TRUE(sheet.LeavePage());
    EXPECT_EQ(sheet.Devmode().delivery.emailAddresses[0], fits);
}

TEST_F(Destination, CommittedValuesByRule) {
    const struct {
        BYTE mode, notify;
        const wchar_t* jobName; // shown → stored (empty: the application's)
        const wchar_t* pin;
        const wchar_t* storedPin;
    } rows[] = {
        {0, 0, L"Use application setting", L"1234", L""},
        {5, 0, L"", L"1234", L""},
        {7, 0, L"   ", L"", L""},
        {7, 0, L"Use application setting", L"0815", L"0815"},
        {2, 0, L"", L"9999", L"9999"},
    };
    for (const auto& row : rows) {
        PrivateDevmode dm = SampleDevmode(row.mode, L"5555", row.notify);
        wcscpy(dm.delivery.jobName, L"Old");
        wcscpy(dm.delivery.emailMessage, L"old message");
        DestinationSheet sheet(dm);
        ASSERT_TRUE(sheet.Opened());
        sheet.SetText(IDC_JOBNAME, row.jobName);
        sheet.SetText(IDC_PIN, row.pin);
        ASSERT_TRUE(sheet.LeavePage()) << int(row.mode);
        const vorn::DeliveryBlock& d = sheet.Devmode().delivery;
        EXPECT_STREQ(d.jobName, L"");
        EXPECT_STREQ(d.pin, row.storedPin) << int(row.mode);
        // No notice clears the first address and the message, keeps the language.
        EXPECT_EQ(Joined(d.emailAddresses), L",e@f.gh,i@j.kl");
        EXPECT_STREQ(d.emailMessage, L"");
        EXPECT_EQ(d.mailLanguage, 7);
    }
}

TEST_F(Destination, UserNameHistoryPushesSwapsAndComparesWhatIsStored) {
    DestinationSheet sheet(SampleDevmode());
    ASSERT_TRUE(sheet.Opened());
    // (null: the shown name left as it is)
    const struct {
        const wchar_t* typed;
        const wchar_t* stored;
    } steps[] = {{nullptr, L"alice,bob,carol"},
                 {L"bob", L"bob,alice,carol"},
                 {L"", L",bob,alice"},
                 // cut to the entry, and the same name on the next commit
                 {L"abcdefghijklmnopqrstuvwxyz", L"abcdefghijklmnop,,bob"},
                 {nullptr, L"abcdefghijklmnop,,bob"}};
    for (const auto& step : steps) {
        if (step.typed) {
            sheet.SetText(IDC_USERNAME, step.typed);
        }
        ASSERT_TRUE(sheet.LeavePage());
        EXPECT_EQ(Joined(sheet.Devmode().delivery.userNames), step.stored);
        sheet.ComeBack();
    }
}

TEST_F(Destination, ApplyReportsOkToTheHostsSheet) {
    DestinationSheet sheet(SampleDevmode(2));
    ASSERT_TRUE(sheet.Opened());
    PagePrinter::SheetCalls().clear();
    sheet.SetText(IDC_PIN, L"7");
    person.Queue(IDCANCEL); // the page stays: nothing is applied
    sheet.Apply();
    EXPECT_TRUE(PagePrinter::SheetCalls().empty());
    sheet.SetText(IDC_PIN, L"2468");
    sheet.Apply();
    ASSERT_EQ(PagePrinter::SheetCalls().size(), 1u);
    const SheetCall& call = PagePrinter::SheetCalls()[0];
    EXPECT_EQ(call.sheet, sheet.Context().sheet);
    EXPECT_EQ(call.function, static_cast<UINT>(CPSFUNC_SET_RESULT));
    EXPECT_EQ(call.param1, reinterpret_cast<LPARAM>(sheet.Context().pageHandle));
    EXPECT_EQ(call.param2, CPSUI_OK);
    EXPECT_STREQ(sheet.Devmode().delivery.pin, L"2468");
}

namespace {

// A window of the help system's class that records what WinHelpA asks.
struct HelpRequest {
    UINT command;
    LONG data;
    std::string file;
};
std::vector<HelpRequest> g_help;

LRESULT CALLBACK HelpWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        struct WinHelpRecord { // what WinHelpA hands the help window
            WORD size, command;
            LONG data, reserved;
            WORD ofsFilename, ofsData;
        };
        const auto* record = static_cast<const WinHelpRecord*>(
            reinterpret_cast<const COPYDATASTRUCT*>(lParam)->lpData);
        g_help.push_back({record->command, record->data,
                          record->ofsFilename
                              ? reinterpret_cast<const char*>(record) + record->ofsFilename
                              : ""});
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Sends WM_HELP for a control, with the given keys held down.
INT_PTR AskHelp(HWND page, int controlId, std::initializer_list<int> keys) {
    BYTE state[256] = {}, pressed[256];
    GetKeyboardState(state);
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

} // namespace

TEST_F(Destination, HelpShowsThePageTopicAndControlsTheirPopups) {
    testsupport::Spooler().SetDriverDirectory("C:\\drivers\\x64");
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = HelpWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"MS_WINHELP";
    RegisterClassW(&windowClass);
    HWND help = CreateWindowW(L"MS_WINHELP", L"help", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    DestinationSheet sheet(SampleDevmode());
    ASSERT_TRUE(sheet.Opened());
    g_help.clear();
    EXPECT_EQ(AskHelp(sheet.Page(), IDC_PIN, {VK_F1}), TRUE);
    ASSERT_EQ(g_help.size(), 1u);
    EXPECT_EQ(g_help[0].command, static_cast<UINT>(HELP_CONTEXT));
    EXPECT_EQ(g_help[0].data, 2010);
    const std::string version = LOBYTE(LOWORD(GetVersion())) == 4 ? "2" : "3";
    EXPECT_EQ(g_help[0].file, "C:\\drivers\\x64\\" + version + "\\vornpsenu.hlp");
    // Popups by control; Shift+F1 asks about the control, not the page;
    // controls without a topic ask nothing (context 0 here).
    const struct {
        int control;
        std::initializer_list<int> keys;
        LONG context;
    } rows[] = {{IDC_JOBNAME_LABEL, {}, 4080},
                {IDC_USERNAME, {}, 4090},
                {IDC_DELIVERY, {}, 4100},
                {IDC_PIN_RANGE, {}, 4110},
                {IDC_NOTIFY_LABEL, {}, 4120},
                {IDC_ADDRESS, {}, 4130},
                {IDC_MESSAGE, {}, 4140},
                {IDOK, {}, 4620},
                {IDCANCEL, {}, 4630},
                {IDC_DEFAULTS_BUTTON, {}, 4010},
                {1027, {}, 4640},
                {IDC_JOBNAME, {VK_F1, VK_SHIFT}, 4080},
                {IDC_ABOUT_BUTTON, {}, 0},
                {IDC_EMAIL_GROUP, {}, 0},
                {1319, {}, 0},
                {-1, {}, 0}};
    for (const auto& row : rows) {
        g_help.clear();
        EXPECT_EQ(AskHelp(sheet.Page(), row.control, row.keys), TRUE) << row.control;
        ASSERT_EQ(g_help.size(), row.context ? 1u : 0u) << row.control;
        if (row.context) {
            EXPECT_EQ(g_help[0].command, static_cast<UINT>(HELP_CONTEXTPOPUP)) << row.control;
            EXPECT_EQ(g_help[0].data, row.context) << row.control;
        }
    }
    DestroyWindow(help);
    testsupport::Spooler().SetDriverDirectory("C:\\windows\\system32\\spool\\drivers\\x64");
}
