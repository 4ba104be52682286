// The Destination page in a real sheet, driven with window messages: what it
// shows, its live filter, its checks (answered as a person would), what the
// commit stores from ordinary to hostile text, and help. Whatever the fields
// hold, every commit stores each text terminated within its limit, and
// writes nothing outside them.
#include "support/page_sheet.h"

#include "destination/destination_page.h"

#include "core/private_devmode.h"
#include "resource_ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <memory>
#include <string>

using namespace pagesheet;
using vorn::DeliveryBlock;
using vorn::PrivateDevmode;

namespace {

constexpr wchar_t kUnknownDriver[] = L"Generic PostScript";
constexpr BYTE kHoldWithPin = 2;
constexpr BYTE kNotifyOnCompletion = 1;
// The controls the notification type enables and disables together.
constexpr std::initializer_list<int> kEmailFields = {IDC_ADDRESS_LABEL, IDC_ADDRESS,
                                                     IDC_MESSAGE_LABEL, IDC_MESSAGE};

struct Field {
    int id;
    const char* name;
    size_t limit;       // what the control takes, and what the commit keeps
    size_t openLimit;   // what a stored text without terminator opens as
    const wchar_t* run; // what the field accepts, to be repeated
};

// (addresses that the check normalises to themselves)
const Field kFields[] = {
    {IDC_JOBNAME, "job name", 80, 80, L"j"},
    {IDC_USERNAME, "user name", 16, 16, L"u"},
    {IDC_PIN, "PIN", 4, 4, L"7"},
    {IDC_ADDRESS, "address", 64, 255, L"u@h.com "},
    {IDC_MESSAGE, "message", 64, 255, L"m"},
};

// `length` units of what the field accepts.
std::wstring Filler(const Field& field, size_t length) {
    std::wstring text;
    while (text.size() < length) {
        text += field.run;
    }
    text.resize(length);
    return text;
}

// What the live filter refuses: control characters and double quotes.
bool HasRefused(const std::wstring& text) {
    return std::any_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x20 || c == L'"'; });
}

// What the commit stored for a field: the most recent entry of a history.
const wchar_t* Stored(const DeliveryBlock& d, int id) {
    return id == IDC_JOBNAME    ? d.jobName
           : id == IDC_USERNAME ? d.userNames[0]
           : id == IDC_PIN      ? d.pin
           : id == IDC_ADDRESS  ? d.emailAddresses[0]
                                : d.emailMessage;
}

// The entries of a stored history, most recent first, joined with commas.
template <size_t Slots, size_t Chars> std::wstring Joined(const wchar_t (&history)[Slots][Chars]) {
    std::wstring joined = history[0];
    for (size_t i = 1; i < Slots; ++i) {
        joined += std::wstring(L",") + history[i];
    }
    return joined;
}

// How a text reaches its field: typed, pasted over the whole field (which
// keeps to the control's limit), or set by a program (which does not).
enum class Put { Typed, Pasted, Set };

// Every box is answered from the test's queue; a box not expected, or an
// answer left over, fails the test.
class Destination : public ::testing::Test {
  protected:
    void TearDown() override { EXPECT_EQ(person.Unanswered(), 0u); }

    // A page on a printer of its own, with bytes no commit may touch.
    PrinterPage& Open(PrivateDevmode dm, const std::wstring& driver = kFamily2Driver) {
        std::memset(dm.ticketPath, 0x5A, sizeof(dm.ticketPath)); // not even terminated
        dm.collate = 0x1357;
        sheet.reset();
        sheet =
            std::make_unique<PrinterPage>(IDD_DESTINATION, vorn::DestinationPageProc, dm, driver);
        before = sheet->Devmode();
        return *sheet;
    }

    void Enter(int id, Put put, const std::wstring& text) {
        if (put == Put::Set) {
            SendMessageW(sheet->EditOf(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
            sheet->Pump();
            return;
        }
        // Emptied through the edit box, so that the page hears of it.
        SendMessageW(sheet->EditOf(id), EM_SETSEL, 0, -1);
        SendMessageW(sheet->EditOf(id), EM_REPLACESEL, TRUE,
                     reinterpret_cast<LPARAM>(put == Put::Pasted ? text.c_str() : L""));
        sheet->Pump();
        if (put == Put::Typed) {
            sheet->Type(id, text);
        }
    }

    // Leaves the page (did it go?) and checks what any commit stores.
    bool Leave() {
        const bool left = sheet->LeavePage();
        const PrivateDevmode& dm = sheet->Devmode();
        const DeliveryBlock& d = dm.delivery;
        EXPECT_LE(wcsnlen(d.jobName, vorn::kJobNameChars), 80u);
        for (const auto& name : d.userNames) {
            EXPECT_LE(wcsnlen(name, vorn::kUserNameChars), 16u);
        }
        EXPECT_LE(wcsnlen(d.pin, vorn::kPinChars), 4u);
        for (const auto& address : d.emailAddresses) {
            EXPECT_LE(wcsnlen(address, vorn::kEmailAddressChars), 64u);
        }
        EXPECT_LE(wcsnlen(d.emailMessage, vorn::kEmailMessageChars), 64u);
        char host[vorn::kHostNameChars] = {};
        vorn::GetLocalHostShortName(host);
        EXPECT_STREQ(d.hostName, host);
        if (d.emailNotify) {
            EXPECT_EQ(d.mailLanguage, 2); // English, from the module's version resource
        }
        // What the page filters never reaches the stored texts.
        for (const wchar_t* text :
             {d.jobName, d.userNames[0], d.emailAddresses[0], d.emailMessage}) {
            EXPECT_FALSE(HasRefused(text)) << text;
        }
        EXPECT_TRUE(d.pin[0] == 0 || wcsspn(d.pin, L"0123456789") == 4) << "PIN not four digits";
        // Nothing outside the delivery block, nor its reserved bytes.
        EXPECT_EQ(0, std::memcmp(&dm, &before, offsetof(PrivateDevmode, delivery)));
        EXPECT_EQ(0, std::memcmp(d.reserved, before.delivery.reserved, sizeof(d.reserved)));
        EXPECT_EQ(0, std::memcmp(dm.ticketPath, before.ticketPath, sizeof(dm.ticketPath)));
        return left;
    }
    void Commit() {
        ASSERT_TRUE(Leave());
        sheet->ComeBack();
    }

    Person person;
    std::unique_ptr<PrinterPage> sheet;
    PrivateDevmode before{};
};

} // namespace

TEST_F(Destination, ShowsStoredSettingsEnablesFieldsByListAndRestoresDefaults) {
    PrivateDevmode dm = SampleDevmode(7, L"1234", 2);
    wcscpy(dm.delivery.emailMessage, L"Done");
    ASSERT_TRUE(Open(dm).Opened());

    EXPECT_EQ(sheet->Text(IDC_JOBNAME), L"Use application setting");
    // Histories in stored order despite the sorted style, the first shown.
    EXPECT_EQ(sheet->EntriesOf(IDC_USERNAME), (Entries{L"alice", L"bob", L"carol"}));
    EXPECT_EQ(sheet->Text(IDC_USERNAME), L"alice");
    EXPECT_EQ(sheet->EntriesOf(IDC_ADDRESS), (Entries{L"a@b.cd", L"e@f.gh", L"i@j.kl"}));
    EXPECT_EQ(sheet->Text(IDC_ADDRESS), L"a@b.cd");
    EXPECT_EQ(sheet->EntriesOf(IDC_DELIVERY).at(7), L"Archive to Ravorari Rodaro");
    EXPECT_EQ(sheet->Selection(IDC_DELIVERY), 7);
    EXPECT_TRUE(sheet->AllEnabled({IDC_PIN_LABEL, IDC_PIN, IDC_PIN_RANGE}, true));
    EXPECT_EQ(sheet->EntriesOf(IDC_NOTIFY).size(), 3u);
    EXPECT_TRUE(sheet->AllEnabled(kEmailFields, true));
    EXPECT_EQ(sheet->Text(IDC_MESSAGE), L"Done");

    // Each list enables its fields as a choice is clicked, and is noticed.
    sheet->Select(IDC_NOTIFY, 0);
    EXPECT_TRUE(sheet->AllEnabled(kEmailFields, false));
    EXPECT_EQ(sheet->Changes(), 1);
    sheet->Select(IDC_NOTIFY, 1);
    EXPECT_TRUE(sheet->AllEnabled(kEmailFields, true));
    for (int mode = 0; mode < 8; ++mode) {
        sheet->Select(IDC_DELIVERY, mode);
        EXPECT_TRUE(sheet->AllEnabled({IDC_PIN, IDC_PIN_RANGE}, mode == 2 || mode == 7)) << mode;
    }
    sheet->SetText(IDC_PIN, L"");
    sheet->ResetNotices();
    sheet->Select(IDC_USERNAME, 2);
    EXPECT_EQ(sheet->Changes(), 1);
    sheet->Type(IDC_PIN, L"4");
    EXPECT_EQ(sheet->Changes(), 2);

    // Defaults: the application's job name, the logon name, no PIN, the job
    // name selected to be retyped (the notice and its fields: check-table rows).
    sheet->SetText(IDC_JOBNAME, L"Quarterly");
    sheet->ResetNotices();
    sheet->Click(IDC_DEFAULTS_BUTTON);
    wchar_t user[256] = {};
    DWORD chars = 256;
    GetUserNameW(user, &chars);
    EXPECT_EQ(sheet->Text(IDC_JOBNAME), L"Use application setting");
    EXPECT_EQ(sheet->Text(IDC_USERNAME), user);
    EXPECT_EQ(sheet->Selection(IDC_DELIVERY), 0);
    EXPECT_TRUE(sheet->AllEnabled({IDC_PIN_LABEL, IDC_PIN, IDC_PIN_RANGE}, false));
    EXPECT_EQ(sheet->FocusedId(), IDC_JOBNAME);
    EXPECT_EQ(sheet->EditSelection(IDC_JOBNAME), std::make_pair(DWORD{0}, DWORD{23}));
    EXPECT_GE(sheet->Changes(), 1);
}

// Other families (and unknown drivers) offer six modes; a mode or notice
// type the lists do not offer opens as the first and is stored so. Without
// a notice the commit clears the first address and the message, and keeps
// the language of the last notice.
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
        wcscpy(dm.delivery.emailMessage, L"old message");
        dm.delivery.userNames[1][0] = dm.delivery.userNames[2][0] = L'\0';
        ASSERT_TRUE(Open(dm, row.driver).Opened());
        EXPECT_EQ(sheet->Text(IDC_JOBNAME), L"Quarterly");
        const Entries modes = sheet->EntriesOf(IDC_DELIVERY);
        ASSERT_EQ(modes.size(), row.offered);
        if (row.offered == 6) {
            EXPECT_EQ(modes[5], L"Save");
        }
        EXPECT_EQ(sheet->Selection(IDC_DELIVERY), 0);
        EXPECT_TRUE(sheet->AllEnabled({IDC_PIN, IDC_PIN_LABEL}, false));
        // Empty history slots stay entries.
        EXPECT_EQ(sheet->EntriesOf(IDC_USERNAME), (Entries{L"alice", L"", L""}));
        EXPECT_EQ(sheet->Selection(IDC_NOTIFY), 0);
        EXPECT_TRUE(sheet->AllEnabled(kEmailFields, false));
        EXPECT_TRUE(Leave());
        const DeliveryBlock& d = sheet->Devmode().delivery;
        EXPECT_EQ(d.deliveryMode, 0);
        EXPECT_EQ(d.emailNotify, 0);
        EXPECT_EQ(Joined(d.emailAddresses), L",e@f.gh,i@j.kl");
        EXPECT_STREQ(d.emailMessage, L"");
        EXPECT_EQ(d.mailLanguage, 7);
    }
}

// What a keyboard user meets: the tab stops in order, each just after the
// label that carries its mnemonic, with the styles that shape input (the
// histories take typing, the other lists only a choice, the PIN digits).
TEST_F(Destination, ControlsComeInTabOrderEachAfterItsLabelAndShaped) {
    ASSERT_TRUE(Open(SampleDevmode()).Opened());
    const LONG kComboType = 3;
    const struct {
        int id, label;
        LONG mask, bits;
    } tabStops[] = {
        {IDC_JOBNAME, IDC_JOBNAME_LABEL, ES_AUTOHSCROLL, ES_AUTOHSCROLL},
        {IDC_USERNAME, IDC_USERNAME_LABEL, kComboType | CBS_SORT, CBS_DROPDOWN | CBS_SORT},
        {IDC_DELIVERY, IDC_DELIVERY_LABEL, kComboType, CBS_DROPDOWNLIST},
        {IDC_PIN, IDC_PIN_LABEL, ES_NUMBER, ES_NUMBER},
        {IDC_NOTIFY, IDC_NOTIFY_LABEL, kComboType, CBS_DROPDOWNLIST},
        {IDC_ADDRESS, IDC_ADDRESS_LABEL, kComboType | CBS_SORT | CBS_AUTOHSCROLL,
         CBS_DROPDOWN | CBS_SORT | CBS_AUTOHSCROLL},
        {IDC_MESSAGE, IDC_MESSAGE_LABEL, ES_AUTOHSCROLL, ES_AUTOHSCROLL},
        {IDC_ABOUT_BUTTON, 0, 0, 0},
        {IDC_DEFAULTS_BUTTON, 0, WS_GROUP, WS_GROUP},
    };
    size_t stop = 0;
    int label = 0; // the last shown control without a tab stop since the last stop
    for (HWND child = GetWindow(sheet->Page(), GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if (!(style & WS_TABSTOP)) {
            label = IsWindowVisible(child) ? id : label;
            continue;
        }
        ASSERT_LT(stop, std::size(tabStops)) << id;
        const auto& expected = tabStops[stop++];
        EXPECT_EQ(id, expected.id);
        EXPECT_EQ(label, expected.label) << id;
        EXPECT_EQ(style & expected.mask, expected.bits) << id;
        label = 0;
    }
    EXPECT_EQ(stop, std::size(tabStops));
}

namespace {
// The steps of a check row after its fields are filled: the focus moves to
// a control of the page, or one of these.
constexpr int kTab = -1;         // Tab in the focused control
constexpr int kLeave = -2;       // the page is left (the commit)
constexpr int kSheetButton = -3; // the focus goes to one of the sheet's buttons
constexpr int kActivate = -4;    // the sheet activates the page
constexpr int kDefaults = -5;    // Defaults is clicked
constexpr int kAny = -9;         // not checked

struct CheckRow {
    const char* what;
    BYTE mode;
    const wchar_t* storedPin;
    BYTE notify;
    int start;              // the field the focus is in first (0: none)
    const wchar_t* pin;     // typed into the PIN, or set without a start (null: left alone)
    const wchar_t* address; // set into the address (null: left alone)
    std::vector<int> steps; // boxes may come at the last step only
    std::vector<int> answers;
    std::vector<const wchar_t*> boxes; // a part of each box's text
    int focus;
    const wchar_t* pinShown;
    const wchar_t* pinStored; // in the section
    int notifyShown;
    const wchar_t* addressesStored = nullptr;
    int unchanges = kAny;
    int changes = kAny;
};

// Set far beyond the limits: a PIN of thousands of digits, and a list of
// valid addresses longer than is stored (refused whole, never cut).
const std::wstring kLongPin(6000, L'7');
const std::wstring kLongList = Filler(kFields[3], 6000);

// clang-format off
const CheckRow kCheckRows[] = {
    // As the focus moves: only the controls change, the section waits.
    {"PIN, focus moves, OK: the fallback", 2, L"", 0, IDC_PIN, L"12", nullptr, {IDC_NOTIFY},
     {IDOK}, {L"'12' is not a valid PIN."}, IDC_DELIVERY, L"5183", L"", 0},
    {"empty address, Tab, OK: the notice off", 0, L"", 1, IDC_ADDRESS, nullptr, L"", {kTab},
     {IDOK}, {L"'' is not a valid email address."}, IDC_NOTIFY, L"", L"", 0},
    // The message shows the list as the check left it.
    {"address, focus moves, Cancel: back, page unmarked", 0, L"", 2, IDC_ADDRESS, nullptr,
     L"  me@host,, you@nowhere ", {IDC_JOBNAME}, {IDCANCEL},
     {L"'me@host,, you@nowhere' is not a valid email address."}, IDC_ADDRESS, L"", L"", 2,
     nullptr, 1},
    // Moving from a field to the list that enables it drops the field's
    // check; leaving the list for another control schedules it again.
    {"PIN, to its list and on, Cancel: back in the field", 2, L"", 0, IDC_PIN, L"987", nullptr,
     {IDC_DELIVERY, IDC_NOTIFY}, {IDCANCEL}, {L"'987' is not a valid PIN."}, IDC_PIN, L"987", L"",
     0},
    {"address, to its list and on", 0, L"", 1, IDC_ADDRESS, nullptr, L"broken",
     {IDC_NOTIFY, IDC_JOBNAME}, {IDOK}, {L"'broken' is not a valid email address."},
     IDC_NOTIFY, L"", L"", 0},
    // Activating the page and Defaults drop pending checks.
    {"PIN pending, page activated", 2, L"12", 1, IDC_PIN, nullptr, L"broken",
     {kSheetButton, kActivate, IDC_JOBNAME}, {}, {}, IDC_JOBNAME, L"12", L"12", 1},
    {"address pending, page activated", 2, L"12", 1, IDC_ADDRESS, nullptr, L"broken",
     {kSheetButton, kActivate, IDC_JOBNAME}, {}, {}, IDC_JOBNAME, L"12", L"12", 1},
    {"PIN, Defaults", 2, L"12", 1, IDC_PIN, nullptr, L"broken", {kDefaults, IDC_USERNAME}, {},
     {}, IDC_USERNAME, L"", L"12", 0},
    {"address, Defaults", 2, L"12", 1, IDC_ADDRESS, nullptr, L"broken",
     {kDefaults, IDC_USERNAME}, {}, {}, IDC_USERNAME, L"", L"12", 0},
    // Valid fields pass quietly; a PIN that passes marks the page.
    {"valid: no PIN to archive", 7, L"", 1, IDC_PIN, nullptr, nullptr, {IDC_JOBNAME}, {}, {},
     IDC_JOBNAME, L"", L"", 1, nullptr, kAny, 1},
    {"valid: four digits", 2, L"", 0, IDC_PIN, L"0042", nullptr, {IDC_JOBNAME}, {}, {},
     IDC_JOBNAME, L"0042", L"", 0},
    {"valid: an address list, kept as typed", 0, L"", 1, IDC_ADDRESS, nullptr,
     L"me@host.org, you@host.org", {IDC_MESSAGE}, {}, {}, IDC_MESSAGE, L"", L"", 1},
    // As the page is left.
    {"PIN, leaving, Cancel: the page stays, written empty", 2, L"1111", 0, 0, L"12", nullptr,
     {kLeave}, {IDCANCEL}, {L"'12' is not a valid PIN."}, IDC_PIN, L"12", L"", 0},
    {"both, leaving, Cancel twice: the page stays at the address", 2, L"", 2, 0, L"1", L"nobody",
     {kLeave}, {IDCANCEL, IDCANCEL},
     {L"'1' is not a valid PIN.", L"'nobody' is not a valid email address."}, IDC_ADDRESS, L"1",
     L"", 2, L",e@f.gh,i@j.kl", 1},
    {"both set far beyond, leaving, OK twice: the fallback stored, no notice", 2, L"1234", 1, 0,
     kLongPin.c_str(), kLongList.c_str(), {kLeave}, {IDOK, IDOK},
     {L"'7777' is not a valid PIN", L"is not a valid email address"}, kAny, L"5183", L"5183", 0,
     L",e@f.gh,i@j.kl"},
    // The commit runs no waiting PIN check as it moves the focus: the page
    // is neither marked nor left.
    {"address Cancel on leaving, a PIN check pending", 2, L"0042", 2, IDC_DELIVERY, nullptr,
     L"nobody", {kSheetButton, kLeave}, {IDCANCEL}, {L"'nobody' is not a valid email address."},
     IDC_ADDRESS, L"0042", L"0042", 2, nullptr, 1, 0},
};
// clang-format on

} // namespace

TEST_F(Destination, InvalidFieldsAreReportedAndAnsweredWhileTheyMatter) {
    for (const CheckRow& row : kCheckRows) {
        SCOPED_TRACE(row.what);
        person.Clear();
        PrivateDevmode dm = SampleDevmode(row.mode, row.storedPin, row.notify);
        wcscpy(dm.delivery.emailMessage, L"text");
        ASSERT_TRUE(Open(dm).Opened());
        if (row.start) {
            sheet->Focus(row.start);
        }
        if (row.pin) {
            Enter(IDC_PIN, row.start ? Put::Typed : Put::Set, row.pin);
        }
        if (row.address) {
            Enter(IDC_ADDRESS, Put::Set, row.address);
        }
        for (int answer : row.answers) {
            person.Queue(answer);
        }
        sheet->ResetNotices();
        bool left = false;
        for (int step : row.steps) {
            EXPECT_TRUE(person.Seen().empty()) << "a box before step " << step;
            if (step == kLeave) {
                left = Leave();
                EXPECT_EQ(left, row.focus == kAny);
            } else if (step == kTab) {
                sheet->Tab();
            } else if (step == kSheetButton) {
                SetFocus(GetDlgItem(sheet->Sheet(), IDCANCEL));
                sheet->Pump();
            } else if (step == kActivate) {
                EXPECT_EQ(sheet->SheetNotify(PSN_SETACTIVE), 0);
            } else if (step == kDefaults) {
                sheet->Click(IDC_DEFAULTS_BUTTON);
            } else {
                sheet->Focus(step);
            }
        }
        ASSERT_EQ(person.Seen().size(), row.boxes.size());
        for (size_t i = 0; i < row.boxes.size(); ++i) {
            EXPECT_EQ(person.Seen()[i].caption, kPluginCaption);
            EXPECT_TRUE(Contains(person.Seen()[i].text, row.boxes[i])) << person.Seen()[i].text;
        }
        // (the sheet gets its activation back from the box through the
        // display, which can be slow on a busy machine)
        if (row.focus != kAny) {
            EXPECT_TRUE(PumpUntil([&] { return sheet->FocusedId() == row.focus; }, 15000))
                << sheet->FocusedId();
        }
        if (!row.answers.empty() && row.answers.back() == IDCANCEL) {
            // Back in the field with its text selected, ready to be retyped.
            const DWORD length = static_cast<DWORD>(sheet->Text(row.focus).size());
            EXPECT_EQ(sheet->EditSelection(row.focus), std::make_pair(DWORD{0}, length));
        } else if (row.answers.empty() && row.address && row.steps[0] != kDefaults) {
            EXPECT_EQ(sheet->Text(IDC_ADDRESS), row.address); // as typed
        }
        EXPECT_EQ(sheet->Text(IDC_PIN), row.pinShown);
        EXPECT_STREQ(sheet->Devmode().delivery.pin, row.pinStored);
        EXPECT_EQ(sheet->Selection(IDC_NOTIFY), row.notifyShown);
        if (row.steps.back() == kLeave) {
            EXPECT_EQ(sheet->Devmode().delivery.emailNotify, row.notifyShown);
        }
        if (row.notify && !row.notifyShown) {
            // OK to a refused address (or Defaults) turns the notice off.
            EXPECT_TRUE(sheet->AllEnabled(kEmailFields, false));
            EXPECT_TRUE(left ||
                        (sheet->Text(IDC_MESSAGE).empty() && sheet->Text(IDC_ADDRESS).empty()));
        }
        if (row.addressesStored) {
            EXPECT_EQ(Joined(sheet->Devmode().delivery.emailAddresses), row.addressesStored);
        }
        if (row.unchanges != kAny) {
            EXPECT_EQ(sheet->Unchanges(), row.unchanges);
        }
        if (row.changes != kAny) {
            EXPECT_EQ(sheet->Changes(), row.changes);
        }
    }
}

TEST_F(Destination, HelpShowsThePageTopicAndControlsTheirPopups) {
    // A window of the help system's class records what WinHelpA asks.
    struct Request {
        UINT command;
        LONG data;
        std::string file;
    };
    static std::vector<Request> asked;
    const WNDPROC record = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message != WM_COPYDATA) {
            return DefWindowProcW(window, message, wParam, lParam);
        }
        const struct { // what WinHelpA hands the help window
            WORD size, command;
            LONG data, reserved;
            WORD ofsFilename, ofsData;
        }* help = static_cast<decltype(help)>(reinterpret_cast<COPYDATASTRUCT*>(lParam)->lpData);
        const char* file = reinterpret_cast<const char*>(help) + help->ofsFilename;
        asked.push_back({help->command, help->data, help->ofsFilename ? file : ""});
        return TRUE;
    };
    testsupport::Spooler().SetDriverDirectory("C:\\drivers\\x64");
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const WNDCLASSW windowClass = {0,       record,  0,       0,       instance,
                                   nullptr, nullptr, nullptr, nullptr, L"MS_WINHELP"};
    RegisterClassW(&windowClass);
    HWND help = CreateWindowW(L"MS_WINHELP", L"help", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                              instance, nullptr);
    ASSERT_TRUE(Open(SampleDevmode()).Opened());
    // F1: the page's topic, from the help file in version folder 3 (2 was NT 4's).
    // A label and its control share a popup, and so does the PIN's range
    // note; Shift+F1 asks about the control, not the page; controls without
    // a topic ask nothing.
    const struct {
        int control;
        std::initializer_list<int> keys;
        UINT command;
        LONG context;
    } rows[] = {{IDC_PIN, {VK_F1}, HELP_CONTEXT, 2010},
                {IDC_JOBNAME_LABEL, {}, HELP_CONTEXTPOPUP, 4080},
                {IDC_JOBNAME, {VK_F1, VK_SHIFT}, HELP_CONTEXTPOPUP, 4080},
                {IDC_PIN_RANGE, {}, HELP_CONTEXTPOPUP, 4110},
                {IDOK, {}, HELP_CONTEXTPOPUP, 4620},
                {1027, {}, HELP_CONTEXTPOPUP, 4640},
                {IDC_ABOUT_BUTTON, {}, 0, 0},
                {-1, {}, 0, 0}};
    BYTE up[256] = {};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "control " << row.control);
        BYTE keys[256] = {};
        for (int key : row.keys) {
            keys[key] = 0x80;
        }
        SetKeyboardState(keys);
        HELPINFO info = {sizeof(info), HELPINFO_WINDOW, row.control, nullptr, 0, {0, 0}};
        asked.clear();
        const LPARAM asking = reinterpret_cast<LPARAM>(&info);
        EXPECT_EQ(vorn::DestinationPageProc(sheet->Page(), WM_HELP, 0, asking), TRUE);
        SetKeyboardState(up);
        ASSERT_EQ(asked.size(), row.context ? 1u : 0u);
        if (row.context) {
            EXPECT_EQ(asked[0].command, row.command);
            EXPECT_EQ(asked[0].data, row.context);
            EXPECT_EQ(asked[0].file, "C:\\drivers\\x64\\3\\vornpsenu.hlp");
        }
    }
    DestroyWindow(help);
    testsupport::Spooler().SetDriverDirectory("C:\\windows\\system32\\spool\\drivers\\x64");
}

TEST_F(Destination, EachFieldStoresItsTextByTheRules) {
    ASSERT_TRUE(Open(SampleDevmode(kHoldWithPin, L"1234", kNotifyOnCompletion)).Opened());
    const std::wstring high(1, wchar_t{0xD800}), low(1, wchar_t{0xDC00});
    const std::wstring pair = L"\xD83D\xDE00", half = pair.substr(0, 1);
    // A list of exactly the 64 stored is kept whole.
    const std::wstring fits =
        std::wstring(36, L'u') + L"@example.com " + std::wstring(9, L'v') + L"@h.com";
    const struct {
        int id;
        Put put;
        std::wstring text;
        std::wstring stored;
        BYTE mode = kHoldWithPin;
        const wchar_t* history = nullptr; // all the user names stored (null: not checked)
    } rows[] = {
        // The user name's history pushes, swaps with the second, and
        // compares what is stored: an entry cut to its 16 is not pushed again.
        {IDC_USERNAME, Put::Set, L"alice", L"alice", kHoldWithPin, L"alice,bob,carol"},
        {IDC_USERNAME, Put::Set, L"bob", L"bob", kHoldWithPin, L"bob,alice,carol"},
        {IDC_USERNAME, Put::Set, L"", L"", kHoldWithPin, L",bob,alice"},
        {IDC_USERNAME, Put::Set, L"abcdefghijklmnopqrstuvwxyz", L"abcdefghijklmnop", kHoldWithPin,
         L"abcdefghijklmnop,,bob"},
        {IDC_USERNAME, Put::Set, L"abcdefghijklmnopqrstuvwxyz", L"abcdefghijklmnop", kHoldWithPin,
         L"abcdefghijklmnop,,bob"},
        // Trimmed, lists normalised; the application's setting is no name.
        {IDC_JOBNAME, Put::Set, L"  Report  ", L"Report"},
        {IDC_JOBNAME, Put::Set, L"Use application setting", L""},
        {IDC_USERNAME, Put::Set, L" dave ", L"dave"},
        {IDC_ADDRESS, Put::Set, L" x@y.zz,, ,a@b.cd , ", L"x@y.zz a@b.cd"},
        {IDC_ADDRESS, Put::Set, fits, fits},
        {IDC_MESSAGE, Put::Set, L"  Hello  ", L"Hello"},
        // A PIN only where the mode takes one; archiving may do without.
        {IDC_PIN, Put::Set, L"1234", L"", 0},
        {IDC_PIN, Put::Set, L"1234", L"", 5},
        {IDC_PIN, Put::Set, L"", L"", 7},
        {IDC_PIN, Put::Set, L"0815", L"0815", 7},
        // Lone surrogates are stored as they came; a pair across the stored
        // limit is cut in half, still terminated.
        {IDC_JOBNAME, Put::Pasted, L"a" + high + L"b", L"a" + high + L"b"},
        {IDC_USERNAME, Put::Pasted, low, low},
        {IDC_ADDRESS, Put::Pasted, high + L"@" + low + low + L".com",
         high + L"@" + low + low + L".com"},
        {IDC_MESSAGE, Put::Set, std::wstring(63, L'm') + pair, std::wstring(63, L'm') + half},
        {IDC_JOBNAME, Put::Set, std::wstring(79, L'j') + pair, std::wstring(79, L'j') + half},
        // Set far beyond the limits: cut where stored.
        {IDC_JOBNAME, Put::Set, std::wstring(6000, L'j'), std::wstring(80, L'j')},
        {IDC_USERNAME, Put::Set, std::wstring(6000, L'u'), std::wstring(16, L'u')},
        {IDC_MESSAGE, Put::Set, std::wstring(6000, L'm'), std::wstring(64, L'm')},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.id << " [" << row.text.substr(0, 90) << "]");
        sheet->Select(IDC_DELIVERY, row.mode);
        Enter(row.id, row.put, row.text);
        Commit();
        const DeliveryBlock& d = sheet->Devmode().delivery;
        EXPECT_EQ(row.stored, Stored(d, row.id));
        EXPECT_EQ(row.mode, d.deliveryMode);
        EXPECT_EQ(kNotifyOnCompletion, d.emailNotify);
        if (row.history) {
            EXPECT_EQ(Joined(d.userNames), row.history);
        }
    }
}

// Stored texts without terminators open cut, each at its field's last unit,
// and commit terminated; typed or pasted past its limit, each field stops.
TEST_F(Destination, TextsStopAtEachLimitStoredTypedOrPasted) {
    PrivateDevmode dm = SampleDevmode(kHoldWithPin, L"", kNotifyOnCompletion);
    DeliveryBlock& d = dm.delivery;
    // (the histories' entries lie one after another)
    wmemset(d.jobName, L'J', std::size(d.jobName));
    wmemset(d.userNames[0], L'U', sizeof(d.userNames) / sizeof(wchar_t));
    wmemset(d.pin, L'9', std::size(d.pin));
    wmemset(d.emailAddresses[0], L'A', sizeof(d.emailAddresses) / sizeof(wchar_t));
    wmemset(d.emailMessage, L'M', std::size(d.emailMessage));
    ASSERT_TRUE(Open(dm).Opened());
    for (const Field& field : kFields) {
        EXPECT_EQ(field.openLimit, sheet->Text(field.id).size()) << field.name;
    }
    Enter(IDC_ADDRESS, Put::Pasted, L"u@h.com");
    Commit();
    EXPECT_EQ(std::wstring(64, L'M'), sheet->Devmode().delivery.emailMessage);

    for (Put put : {Put::Typed, Put::Pasted}) {
        for (const Field& field : kFields) {
            SCOPED_TRACE(field.name);
            Enter(field.id, put, Filler(field, put == Put::Typed ? field.limit + 20 : 6000));
            EXPECT_EQ(field.limit, sheet->Text(field.id).size());
            Commit();
            // Eight whole addresses: the field stops before a ninth could be cut.
            std::wstring stored = Filler(field, field.limit);
            stored.erase(stored.find_last_not_of(L' ') + 1);
            EXPECT_EQ(stored, Stored(sheet->Devmode().delivery, field.id));
        }
    }
}

// Pasted, the live filter takes every refused character out again, however
// many, with nothing noticed and the caret where the first was; typed,
// whatever the control makes of the key, none stays (a typed quote goes
// with the caret left in place). DEL is an ordinary character.
TEST_F(Destination, RefusedCharactersNeverStay) {
    ASSERT_TRUE(Open(SampleDevmode(kHoldWithPin, L"1234", kNotifyOnCompletion)).Opened());
    std::wstring units = L"\"\x7f";
    for (wchar_t c = 1; c < 0x20; ++c) {
        units += c;
    }
    const auto caret = [](DWORD at) { return std::make_pair(at, at); };
    for (int id : {IDC_JOBNAME, IDC_USERNAME, IDC_ADDRESS, IDC_MESSAGE}) {
        for (wchar_t c : units) {
            SCOPED_TRACE(testing::Message() << "control " << id << ", unit " << int(c));
            const std::wstring pasted = std::wstring(L"ab") + c + L"c" + c + L"d";
            const bool ordinary = c == 0x7F;
            sheet->ResetNotices();
            Enter(id, Put::Pasted, pasted);
            EXPECT_EQ(ordinary ? pasted : L"abcd", sheet->Text(id));
            EXPECT_EQ(sheet->Changes(), ordinary ? 1 : 0);
            EXPECT_EQ(sheet->EditSelection(id), caret(ordinary ? 6 : 2));
            sheet->Type(id, std::wstring(1, c));
            EXPECT_FALSE(HasRefused(sheet->Text(id)));
            if (c == L'"') {
                EXPECT_EQ(sheet->Text(id), L"abcd");
                EXPECT_EQ(sheet->EditSelection(id), caret(2));
            }
        }
    }
    Enter(IDC_ADDRESS, Put::Pasted, L"u@h.com");
    Commit();
}
