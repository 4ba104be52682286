// A real property sheet holding the real Destination page, driven with real
// window messages: focus moves, typed characters, selections, clicks, and a
// person answering the page's message boxes.
#pragma once

#include "core/private_devmode.h"
#include "resource_ids.h"
#include "core/plugin_context.h"
#include "support/spooler_printers.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cwchar>
#include <deque>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace pagetest {

// A driver of the family that offers all eight delivery modes, and one of
// the family that offers six.
constexpr wchar_t kFamily2Driver[] = L"Vorn K340 PS";
constexpr wchar_t kFamily1Driver[] = L"Vorn K335 PS";

// The controls the notification type enables and disables together.
constexpr std::initializer_list<int> kEmailFields = {IDC_ADDRESS_LABEL, IDC_ADDRESS,
                                                     IDC_MESSAGE_LABEL, IDC_MESSAGE};

// The plug-in DLL, loaded once: its dialogs and strings serve the page.
HMODULE PluginModule();

// A private section as the default operation leaves it, plus a few settings.
vorn::PrivateDevmode MakeDevmode();

// A section opened with the given delivery mode, PIN and notification type.
inline vorn::PrivateDevmode WithMode(BYTE mode, const wchar_t* pin, BYTE notify) {
    vorn::PrivateDevmode dm = MakeDevmode();
    dm.delivery.deliveryMode = mode;
    wcscpy(dm.delivery.pin, pin);
    dm.delivery.emailNotify = notify;
    return dm;
}

// The entries of a stored history, most recent first, joined with commas.
template <size_t Slots, size_t Chars> std::wstring Joined(const wchar_t (&history)[Slots][Chars]) {
    std::wstring joined = history[0];
    for (size_t i = 1; i < Slots; ++i) {
        joined += std::wstring(L",") + history[i];
    }
    return joined;
}

inline bool Contains(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

// One call the page made to the host's property-sheet function.
struct SheetCall {
    HANDLE sheet;
    WORD function;
    LPARAM param1;
    LPARAM param2;
};
std::vector<SheetCall>& SheetCalls();

// Answers the message boxes with the caption of the plug-in the way a
// person would: reads the text, presses the queued button (OK when none
// was queued, recording the surprise).
class BoxAnswerer {
  public:
    BoxAnswerer();
    ~BoxAnswerer();
    void Queue(int button) { answers_.push_back(button); }
    const std::vector<std::wstring>& Seen() const { return seen_; }
    // Exactly one box was seen, and its text holds `part`.
    ::testing::AssertionResult SawOne(const std::wstring& part) const;
    void Clear() { seen_.clear(); }
    size_t Unanswered() const { return answers_.size(); }

  private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Look();
    UINT_PTR timer_ = 0;
    bool busy_ = false;
    std::deque<int> answers_;
    std::vector<std::wstring> seen_;
};

// A modeless sheet with the Destination page first and a blank page second.
class DestinationSheet {
  public:
    DestinationSheet(const std::wstring& printerName, const std::wstring& driverName,
                     const vorn::PrivateDevmode& devmode);
    // The same for a printer of its own, with a name unique in this program.
    explicit DestinationSheet(const vorn::PrivateDevmode& devmode,
                              const std::wstring& driverName = kFamily2Driver);
    ~DestinationSheet();
    DestinationSheet(const DestinationSheet&) = delete;
    DestinationSheet& operator=(const DestinationSheet&) = delete;

    bool Opened() const { return page_ != nullptr; }
    HWND Sheet() const { return sheet_; }
    HWND Page() const { return page_; }
    HWND Item(int id) const { return GetDlgItem(page_, id); }
    vorn::PrivateDevmode& Devmode() { return devmode_; }
    vorn::PluginContext& Context() { return context_; }

    // Dispatches what is waiting, as the host's message loop would.
    void Pump();
    // The edit window inside a combo box, or the control itself.
    HWND EditOf(int id) const;
    void Focus(int id);
    void Type(int id, const std::wstring& text);
    void SetText(int id, const std::wstring& text);
    std::wstring Text(int id) const;
    void Select(int id, int index);
    int Selection(int id) const {
        return static_cast<int>(SendMessageW(Item(id), CB_GETCURSEL, 0, 0));
    }
    int Count(int id) const { return static_cast<int>(SendMessageW(Item(id), CB_GETCOUNT, 0, 0)); }
    std::wstring Entry(int id, int index) const;
    std::vector<std::wstring> Entries(int id) const;
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    // Every control of `ids` is enabled (or disabled); the failure names one
    // that is not.
    ::testing::AssertionResult AllEnabled(std::initializer_list<int> ids, bool enabled) const;
    // The selection of an edit control: start and end.
    std::pair<DWORD, DWORD> EditSelection(int id) const;
    int FocusedId() const;
    void Click(int id);
    // Presses Tab in the focused control, through the sheet's dialog manager.
    void Tab();
    // Switches to the blank page (the Destination page is committed) and
    // tells whether the switch happened.
    bool LeavePage();
    void ComeBack();
    void Apply();
    // PSM_CHANGED / PSM_UNCHANGED the page sent since the last reset.
    int Changes() const { return changes_; }
    int Unchanges() const { return unchanges_; }
    void ResetNotices() { changes_ = unchanges_ = 0; }

  private:
    static LRESULT CALLBACK SheetProc(HWND, UINT, WPARAM, LPARAM);
    testsupport::TestPrinter printer_;
    vorn::PrivateDevmode devmode_;
    OEMUIPSPARAM sheetParam_{};
    vorn::PluginContext context_{};
    std::vector<BYTE> blankTemplate_;
    HWND sheet_ = nullptr;
    HWND page_ = nullptr;
    WNDPROC sheetProc_ = nullptr;
    int changes_ = 0;
    int unchanges_ = 0;
};

// A window of the help system's class that records what WinHelpA asks.
struct HelpRequest {
    UINT command;
    LONG data;
    std::string file;
};
class HelpWindow {
  public:
    HelpWindow();
    ~HelpWindow() { DestroyWindow(window_); }
    static std::vector<HelpRequest>& Requests();

  private:
    HWND window_ = nullptr;
};

// A test on a real Destination page whose message boxes are all answered:
// a box left over fails the test.
class AnsweredPageTest : public ::testing::Test {
  protected:
    void SetUp() override { PluginModule(); }
    void TearDown() override { EXPECT_EQ(boxes.Unanswered(), 0u); }
    BoxAnswerer boxes;
};

} // namespace pagetest
