// A real property sheet holding the real Destination page, driven with real
// window messages: focus moves, typed characters, selections, clicks, and a
// person answering the page's message boxes.
#pragma once

#include "core/private_devmode.h"
#include "uihooks/plugin_context.h"
#include "support/spooler_printers.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cwchar>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace pagetest {

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
    int Selection(int id) const;
    int Count(int id) const;
    std::wstring Entry(int id, int index) const;
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
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
    ~HelpWindow();
    std::vector<HelpRequest>& Requests();

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
