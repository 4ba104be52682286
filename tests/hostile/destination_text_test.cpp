// Hostile text in every field of the Destination page: typed up to and
// past each limit, pasted far beyond it, every control character, lone
// surrogates. Whatever the fields hold, the commit stores each text
// terminated within its field and within its stored limit, and writes
// nothing outside the delivery block.
#include "support/page_sheet.h"

#include "destination/destination_page.h"

#include "core/private_devmode.h"
#include "resource_ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <memory>
#include <cstring>
#include <cwchar>
#include <string>

using namespace pagesheet;
using vorn::DeliveryBlock;
using vorn::PrivateDevmode;

namespace {

constexpr BYTE kHoldWithPin = 2;
constexpr BYTE kNotifyOnCompletion = 1;

struct Field {
    int id;
    const char* name;
    size_t typingLimit; // what the control takes from the keyboard
    size_t storedLimit; // what the commit keeps
    size_t openLimit;   // what a stored text without terminator opens as
    wchar_t sample;     // a character the field accepts
};

const Field kFields[] = {
    {IDC_JOBNAME, "job name", 80, 80, 80, L'j'},
    {IDC_USERNAME, "user name", 16, 16, 16, L'u'},
    {IDC_PIN, "PIN", 4, 4, 4, L'7'},
    {IDC_ADDRESS, "address", 64, 64, 255, L'a'},
    {IDC_MESSAGE, "message", 64, 64, 255, L'm'},
};

// Text of `length` units the field accepts: valid addresses for the address
// field ("u@h.com " repeated, which the check normalises to itself).
std::wstring Filler(const Field& field, size_t length) {
    std::wstring text;
    if (field.id == IDC_ADDRESS) {
        while (text.size() < length) {
            text += L"u@h.com ";
        }
        text.resize(length);
        return text;
    }
    return std::wstring(length, field.sample);
}

bool HasControl(const wchar_t* text) {
    return std::any_of(text, text + wcslen(text), [](wchar_t c) { return c < 0x20; });
}

class HostileDestinationText : public ::testing::Test {
  protected:
    void SetUp() override {
        person.Reply(IDOK);
        PrivateDevmode dm = SampleDevmode();
        dm.delivery.deliveryMode = kHoldWithPin;
        wcscpy(dm.delivery.pin, L"1234");
        dm.delivery.emailNotify = kNotifyOnCompletion;
        std::memset(dm.ticketPath, 0x5A, sizeof(dm.ticketPath)); // untouchable bytes
        dm.collate = 0x1357;
        OpenWith(dm);
    }
    void TearDown() override {
        for (const SeenBox& box : person.Seen()) {
            EXPECT_EQ(kPluginCaption, box.caption) << box.text;
        }
    }
    void OpenWith(const PrivateDevmode& dm) {
        sheet.reset();
        // (a driver of the family with all eight delivery modes)
        sheet = std::make_unique<PrinterPage>(IDD_DESTINATION, vorn::DestinationPageProc, dm);
        ASSERT_TRUE(sheet->Opened());
        before = sheet->Devmode();
    }

    // Leaves the page and comes back, then checks what the commit stored.
    void CommitAndCheck(const char* step) {
        SCOPED_TRACE(step);
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

    // Empties the field through its edit box, so that the page hears of it.
    void Clear(int id) {
        HWND edit = sheet->EditOf(id);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""));
        sheet->Pump();
    }
    void Paste(int id, const std::wstring& text) {
        Clear(id);
        SendMessageW(sheet->EditOf(id), EM_REPLACESEL, TRUE,
                     reinterpret_cast<LPARAM>(text.c_str()));
        sheet->Pump();
    }
    std::wstring EditText(int id) {
        std::wstring text(8192, L'\0');
        text.resize(GetWindowTextW(sheet->EditOf(id), text.data(), 8192));
        return text;
    }

    // Hostile input may well be refused: a person in a hurry answers OK.
    Person person;
    std::unique_ptr<PrinterPage> sheet;
    PrivateDevmode before{};
};

TEST_F(HostileDestinationText, TypingStopsAtEachLimitAndTheCommitKeepsItsOwn) {
    for (const Field& field : kFields) {
        SCOPED_TRACE(field.name);
        Clear(field.id);
        sheet->Type(field.id, Filler(field, field.typingLimit + 20));
        EXPECT_EQ(field.typingLimit, EditText(field.id).size());
    }
    CommitAndCheck("typed to the limits");
    const DeliveryBlock& d = sheet->Devmode().delivery;
    EXPECT_EQ(std::wstring(80, L'j'), d.jobName);
    EXPECT_EQ(std::wstring(16, L'u'), d.userNames[0]);
    EXPECT_STREQ(L"7777", d.pin);
    // Eight whole addresses: the field stops before a ninth could be cut.
    EXPECT_EQ(Filler(kFields[3], 63), d.emailAddresses[0]);
    EXPECT_EQ(std::wstring(64, L'm'), d.emailMessage);
    EXPECT_TRUE(person.Seen().empty());
}

TEST_F(HostileDestinationText, PastedTextFarBeyondTheLimitsIsCutWhereStored) {
    constexpr size_t kPasted = 6000;
    // EM_REPLACESEL keeps to the control's limit; WM_SETTEXT does not.
    for (const Field& field : kFields) {
        SCOPED_TRACE(field.name);
        Paste(field.id, Filler(field, kPasted));
        EXPECT_LE(EditText(field.id).size(), field.typingLimit);
    }
    CommitAndCheck("replaced selections");
    for (const Field& field : kFields) {
        SendMessageW(sheet->EditOf(field.id), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(Filler(field, kPasted).c_str()));
        sheet->Pump();
    }
    person.Clear();
    CommitAndCheck("set texts");
    const DeliveryBlock& d = sheet->Devmode().delivery;
    EXPECT_EQ(std::wstring(80, L'j'), d.jobName);
    // A PIN of thousands of digits is refused; OK puts the fallback in.
    EXPECT_STREQ(L"5183", d.pin);
    // So is an address list longer than is stored: OK sends no e-mail, and
    // nothing cut is stored or remembered.
    ASSERT_EQ(2u, person.Seen().size());
    EXPECT_NE(std::wstring::npos, person.Seen()[1].text.find(L"is not a valid email address"));
    EXPECT_EQ(0, d.emailNotify);
    EXPECT_STREQ(L"", d.emailAddresses[0]);
    EXPECT_STREQ(L"a@b.cd", d.emailAddresses[1]);
    // The over-long user name equals, once cut, what the first commit
    // stored: the history did not take it in twice.
    EXPECT_STREQ(L"alice", d.userNames[1]);
}

TEST_F(HostileDestinationText, StoredTextsWithoutTerminatorsOpenCutAndCommitTerminated) {
    PrivateDevmode dm = SampleDevmode();
    dm.delivery.emailNotify = kNotifyOnCompletion;
    auto fill = [](auto& field, wchar_t unit) {
        std::fill(std::begin(field), std::end(field), unit);
    };
    fill(dm.delivery.jobName, L'J');
    for (auto& name : dm.delivery.userNames) {
        fill(name, L'U');
    }
    fill(dm.delivery.pin, L'9');
    for (auto& address : dm.delivery.emailAddresses) {
        fill(address, L'A');
    }
    fill(dm.delivery.emailMessage, L'M');
    OpenWith(dm);
    // Each shows its stored field up to its last unit.
    for (const Field& field : kFields) {
        EXPECT_EQ(field.openLimit, EditText(field.id).size()) << field.name;
    }
    Paste(IDC_ADDRESS, L"u@h.com");
    CommitAndCheck("stored texts without terminators");
    EXPECT_EQ(std::wstring(64, L'M'), sheet->Devmode().delivery.emailMessage);
}

TEST_F(HostileDestinationText, ControlCharactersNeverStay) {
    const int freeText[] = {IDC_JOBNAME, IDC_USERNAME, IDC_ADDRESS, IDC_MESSAGE};
    std::wstring controls;
    for (wchar_t c = 1; c < 0x20; ++c) {
        controls += c;
    }
    controls += wchar_t{0x7F};
    for (int id : freeText) {
        for (wchar_t c : controls) {
            SCOPED_TRACE(testing::Message() << "control " << id << ", unit " << int(c));
            // Pasted: the live filter takes the character out again.
            const std::wstring pasted = std::wstring(L"ab") + c + L"cd";
            Paste(id, pasted);
            EXPECT_EQ(c == 0x7F ? pasted : L"abcd", EditText(id));
            // Typed: whatever the control makes of the key, nothing below
            // 0x20 stays in the field.
            sheet->Type(id, std::wstring(1, c));
            EXPECT_FALSE(HasControl(EditText(id).c_str()));
        }
    }
    Paste(IDC_ADDRESS, L"u@h.com");
    CommitAndCheck("after every control character");
    EXPECT_TRUE(person.Seen().empty());
    // The PIN field has no filter: a pasted control makes the PIN invalid,
    // and OK to the message stores the fallback.
    for (wchar_t c : controls) {
        SCOPED_TRACE(testing::Message() << "PIN with unit " << int(c));
        Paste(IDC_PIN, std::wstring(L"12") + c + L"3");
        CommitAndCheck("PIN with a control character");
        EXPECT_STREQ(L"5183", sheet->Devmode().delivery.pin);
    }
    EXPECT_EQ(controls.size(), person.Seen().size());
}

TEST_F(HostileDestinationText, LoneSurrogatesAreStoredAsTheyCame) {
    const std::wstring high(1, wchar_t{0xD800}), low(1, wchar_t{0xDC00});
    Paste(IDC_JOBNAME, L"a" + high + L"b");
    Paste(IDC_USERNAME, low);
    Paste(IDC_ADDRESS, high + L"@" + low + low + L".com");
    Paste(IDC_MESSAGE, low + high);
    Paste(IDC_PIN, L"4321");
    CommitAndCheck("lone surrogates");
    const DeliveryBlock& d = sheet->Devmode().delivery;
    EXPECT_EQ(L"a" + high + L"b", d.jobName);
    EXPECT_EQ(low, d.userNames[0]);
    EXPECT_EQ(high + L"@" + low + low + L".com", d.emailAddresses[0]);
    EXPECT_EQ(low + high, d.emailMessage);
    EXPECT_TRUE(person.Seen().empty());

    // A pair across the stored limit is cut in half, still terminated.
    const std::wstring pair = L"\xD83D\xDE00";
    SendMessageW(sheet->EditOf(IDC_MESSAGE), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>((std::wstring(63, L'm') + pair).c_str()));
    SendMessageW(sheet->EditOf(IDC_JOBNAME), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>((std::wstring(79, L'j') + pair).c_str()));
    sheet->Pump();
    CommitAndCheck("pairs across the limits");
    EXPECT_EQ(std::wstring(63, L'm') + L"\xD83D", d.emailMessage);
    EXPECT_EQ(std::wstring(79, L'j') + L"\xD83D", d.jobName);
}

} // namespace
