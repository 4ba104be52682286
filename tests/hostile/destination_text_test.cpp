// Text in every field of the Destination page, from the ordinary to the
// hostile: typed up to and past each limit, pasted far beyond it, every
// control character, lone surrogates, stored texts without terminators.
// Whatever the fields hold, the commit stores each text terminated within
// its field and within its stored limit, and writes nothing outside them.
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

constexpr BYTE kHoldWithPin = 2;
constexpr BYTE kNotifyOnCompletion = 1;
constexpr wchar_t kFallbackPin[] = L"5183";

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

bool HasControl(const wchar_t* text) {
    return std::any_of(text, text + wcslen(text), [](wchar_t c) { return c < 0x20; });
}

// What the commit stored for a field: the most recent entry of a history.
const wchar_t* Stored(const DeliveryBlock& d, int id) {
    return id == IDC_JOBNAME    ? d.jobName
           : id == IDC_USERNAME ? d.userNames[0]
           : id == IDC_PIN      ? d.pin
           : id == IDC_ADDRESS  ? d.emailAddresses[0]
                                : d.emailMessage;
}

// How a text reaches its field: typed, pasted over the whole field (which
// keeps to the control's limit), or set by a program (which does not).
enum class Put { Typed, Pasted, Set };

class HostileDestinationText : public ::testing::Test {
  protected:
    void SetUp() override {
        person.Reply(IDOK);
        PrivateDevmode dm = SampleDevmode(kHoldWithPin, L"1234", kNotifyOnCompletion);
        std::memset(dm.ticketPath, 0x5A, sizeof(dm.ticketPath)); // untouchable bytes
        dm.collate = 0x1357;
        OpenWith(dm);
    }
    void OpenWith(const PrivateDevmode& dm) {
        sheet.reset();
        sheet = std::make_unique<PrinterPage>(IDD_DESTINATION, vorn::DestinationPageProc, dm);
        ASSERT_TRUE(sheet->Opened());
        before = sheet->Devmode();
    }

    // Leaves the page and comes back, then checks what the commit stored.
    void CommitAndCheck() {
        ASSERT_TRUE(sheet->LeavePage());
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
        EXPECT_LT(std::memchr(d.hostName, 0, sizeof(d.hostName)), d.hostName + sizeof(d.hostName));
        // What the page filters never reaches the stored texts.
        for (const wchar_t* text :
             {d.jobName, d.userNames[0], d.emailAddresses[0], d.emailMessage}) {
            EXPECT_FALSE(HasControl(text)) << text;
        }
        EXPECT_TRUE(d.pin[0] == 0 || wcsspn(d.pin, L"0123456789") == 4) << "PIN not four digits";
        // Nothing outside the delivery block, nor its reserved bytes.
        EXPECT_EQ(0, std::memcmp(&dm, &before, offsetof(PrivateDevmode, delivery)));
        EXPECT_EQ(0, std::memcmp(d.reserved, before.delivery.reserved, sizeof(d.reserved)));
        EXPECT_EQ(0, std::memcmp(dm.ticketPath, before.ticketPath, sizeof(dm.ticketPath)));
        sheet->ComeBack();
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

    // Hostile input may well be refused: a person in a hurry answers OK.
    Person person;
    std::unique_ptr<PrinterPage> sheet;
    PrivateDevmode before{};
};

TEST_F(HostileDestinationText, EachFieldStoresItsTextByTheRules) {
    const std::wstring high(1, wchar_t{0xD800}), low(1, wchar_t{0xDC00});
    const std::wstring pair = L"\xD83D\xDE00", half = pair.substr(0, 1);
    // A list of exactly the 64 stored is kept whole.
    const std::wstring fits =
        std::wstring(30, L'u') + L"@example.com " + std::wstring(9, L'v') + L"@h.com";
    char host[vorn::kHostNameChars] = {};
    vorn::GetLocalHostShortName(host);
    const struct {
        int id;
        Put put;
        std::wstring text;
        std::wstring stored;
        BYTE mode = kHoldWithPin;
    } rows[] = {
        // Trimmed, lists normalised; the application's setting is no name.
        {IDC_JOBNAME, Put::Set, L"  Report  ", L"Report"},
        {IDC_JOBNAME, Put::Set, L"Use application setting", L""},
        {IDC_JOBNAME, Put::Set, L"   ", L""},
        {IDC_USERNAME, Put::Set, L" dave ", L"dave"},
        {IDC_ADDRESS, Put::Set, L" x@y.zz,, ,a@b.cd , ", L"x@y.zz a@b.cd"},
        {IDC_ADDRESS, Put::Set, fits, fits},
        {IDC_MESSAGE, Put::Set, L"  Hello  ", L"Hello"},
        // A PIN only where the mode takes one; archiving may do without.
        {IDC_PIN, Put::Set, L"9999", L"9999"},
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
        {IDC_MESSAGE, Put::Pasted, low + high, low + high},
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
        CommitAndCheck();
        const DeliveryBlock& d = sheet->Devmode().delivery;
        EXPECT_EQ(row.stored, Stored(d, row.id));
        EXPECT_EQ(row.mode, d.deliveryMode);
        EXPECT_EQ(kNotifyOnCompletion, d.emailNotify);
        EXPECT_EQ(2, d.mailLanguage); // English, from the module's version resource
        EXPECT_STREQ(host, d.hostName);
    }
    EXPECT_TRUE(person.Seen().empty());
}

TEST_F(HostileDestinationText, TypedOrPastedPastEachLimitTheFieldStops) {
    for (Put put : {Put::Typed, Put::Pasted}) {
        for (const Field& field : kFields) {
            SCOPED_TRACE(field.name);
            Enter(field.id, put, Filler(field, put == Put::Typed ? field.limit + 20 : 6000));
            EXPECT_EQ(field.limit, sheet->Text(field.id).size());
            CommitAndCheck();
            // Eight whole addresses: the field stops before a ninth could be cut.
            std::wstring stored = Filler(field, field.limit);
            stored.erase(stored.find_last_not_of(L' ') + 1);
            EXPECT_EQ(stored, Stored(sheet->Devmode().delivery, field.id));
        }
    }
    EXPECT_TRUE(person.Seen().empty());
}

// Set far beyond its limit, a PIN of thousands of digits is refused, and
// OK puts the fallback in; so is an address list longer than is stored: OK
// sends no e-mail, and nothing cut is stored or remembered.
TEST_F(HostileDestinationText, SetFarBeyondTheLimitsThePinAndTheListAreRefused) {
    const std::wstring list = Filler(kFields[3], 6000);
    Enter(IDC_PIN, Put::Set, std::wstring(6000, L'7'));
    Enter(IDC_ADDRESS, Put::Set, list);
    CommitAndCheck();
    ASSERT_EQ(2u, person.Seen().size());
    EXPECT_NE(std::wstring::npos, person.Seen()[0].text.find(L"'7777' is not a valid PIN"));
    EXPECT_NE(std::wstring::npos, person.Seen()[1].text.find(L"is not a valid email address"));
    const DeliveryBlock& d = sheet->Devmode().delivery;
    EXPECT_STREQ(kFallbackPin, d.pin);
    EXPECT_EQ(0, d.emailNotify);
    EXPECT_STREQ(L"", d.emailAddresses[0]);
    EXPECT_STREQ(L"e@f.gh", d.emailAddresses[1]);
}

TEST_F(HostileDestinationText, StoredTextsWithoutTerminatorsOpenCutAndCommitTerminated) {
    PrivateDevmode dm = SampleDevmode();
    DeliveryBlock& d = dm.delivery;
    d.emailNotify = kNotifyOnCompletion;
    // (the histories' entries lie one after another)
    wmemset(d.jobName, L'J', std::size(d.jobName));
    wmemset(d.userNames[0], L'U', sizeof(d.userNames) / sizeof(wchar_t));
    wmemset(d.pin, L'9', std::size(d.pin));
    wmemset(d.emailAddresses[0], L'A', sizeof(d.emailAddresses) / sizeof(wchar_t));
    wmemset(d.emailMessage, L'M', std::size(d.emailMessage));
    OpenWith(dm);
    // Each shows its stored field up to its last unit.
    for (const Field& field : kFields) {
        EXPECT_EQ(field.openLimit, sheet->Text(field.id).size()) << field.name;
    }
    Enter(IDC_ADDRESS, Put::Pasted, L"u@h.com");
    CommitAndCheck();
    EXPECT_EQ(std::wstring(64, L'M'), sheet->Devmode().delivery.emailMessage);
}

// Pasted, the live filter takes every control character out again, however
// many; typed, whatever the control makes of the key, none stays. DEL is an
// ordinary character.
TEST_F(HostileDestinationText, ControlCharactersNeverStay) {
    std::wstring controls;
    for (wchar_t c = 1; c < 0x20; ++c) {
        controls += c;
    }
    controls += wchar_t{0x7F};
    for (int id : {IDC_JOBNAME, IDC_USERNAME, IDC_ADDRESS, IDC_MESSAGE}) {
        for (wchar_t c : controls) {
            SCOPED_TRACE(testing::Message() << "control " << id << ", unit " << int(c));
            const std::wstring pasted = std::wstring(L"ab") + c + L"c" + c + L"d";
            Enter(id, Put::Pasted, pasted);
            EXPECT_EQ(c == 0x7F ? pasted : L"abcd", sheet->Text(id));
            sheet->Type(id, std::wstring(1, c));
            EXPECT_FALSE(HasControl(sheet->Text(id).c_str()));
        }
    }
    Enter(IDC_ADDRESS, Put::Pasted, L"u@h.com");
    CommitAndCheck();
    EXPECT_TRUE(person.Seen().empty());
}

} // namespace
