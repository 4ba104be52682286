// One of the plug-in's pages hosted for a test: the stand-in host's modeless
// sheet with the page (its dialog template from the DLL, its page procedure)
// and the host's empty page to leave it for; a printer of the stand-in
// spooler with its PrinterDriverData key, a private section and a hand-made
// context, whose sheet function is the host's; a person answering message
// boxes; temporary folders and registry values put back at the end.
#pragma once

#include "core/plugin_context.h"
#include "core/private_devmode.h"
#include "host_page.h"
#include "local_printer.h"
#include "machine_changes.h"
#include "person.h"
#include "property_sheet_host.h"
#include "support/spooler_printers.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <prsht.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace pagesheet {

constexpr wchar_t kPluginCaption[] = L"Vorn PS Printer Driver";
// A driver of the family that offers all eight delivery modes, and one of
// the family that offers six.
constexpr wchar_t kFamily2Driver[] = L"Vorn K340 PS";
constexpr wchar_t kFamily1Driver[] = L"Vorn K335 PS";
constexpr int kApplyButtonId = 0x3021;

// What the Tickets page says.
constexpr wchar_t kRegistryFailedText[] = L"Unable to access Vorn Job Ticket settings in the "
                                          L"Registry.\nYou may need to reinstall Dur Irivuravo.";
inline std::wstring InvalidDirectoryText(const std::wstring& directory) {
    return L"The directory '" + directory + L"' is invalid. Please enter a valid directory.";
}

using Entries = std::vector<std::wstring>;
using PageProc = INT_PTR(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);

// The plug-in DLL, loaded once: its dialogs and strings serve the pages.
HMODULE PluginModule();
// Names unique in this test program.
inline std::wstring Unique(const std::wstring& base) {
    return standin::UniqueName(base);
}
std::wstring AbsolutePath(const std::wstring& path);
inline bool Contains(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

// A private section as the default operation leaves it, with histories,
// stale values and a ticket; opened with the given mode, PIN and notice.
vorn::PrivateDevmode SampleDevmode(BYTE mode = 0, const wchar_t* pin = L"", BYTE notify = 0);

using standin::Pump;
using standin::PumpUntil;
using standin::SeenBox;

// A property-sheet notification from `sheet` to `page`, sent on the
// caller's thread: the page's DWLP_MSGRESULT answer.
LONG_PTR SheetNotify(HWND sheet, HWND page, UINT code);

// The person of the tests: a box that nobody expected fails the test.
class Person : public standin::Person {
  public:
    Person() {
        OnSurprise(
            [](const SeenBox& box) { ADD_FAILURE() << "unexpected message box: " << box.text; });
    }
    // The texts of the boxes seen, each checked for the plug-in's caption.
    Entries Texts() const;
};

using standin::RegValue;
using standin::SavedValue;
using standin::TempFolder;

// Names of the ticket files in a folder (without ".jdf"), in its order.
Entries TicketNames(const TempFolder& folder);

// A printer with its own PrinterDriverData key, its private section and the
// context the host would have made for it.
class PagePrinter {
  public:
    PagePrinter(const std::wstring& name, const std::wstring& driver,
                const vorn::PrivateDevmode& devmode);
    PagePrinter(const PagePrinter&) = delete;
    PagePrinter& operator=(const PagePrinter&) = delete;
    vorn::PluginContext& Context() { return context_; }
    vorn::PrivateDevmode& Devmode() { return devmode_; }
    const std::wstring& Name() const { return printer_.Name(); }
    std::wstring DataKeyPath() const { return printer_.DataKeyPath(); }
    RegValue Value(const wchar_t* name) const { return {HKEY_LOCAL_MACHINE, DataKeyPath(), name}; }

  private:
    standin::LocalPrinter printer_;
    OEMUIPSPARAM sheetParam_{};
    DEVMODEW publicDevmode_{};
    vorn::PrivateDevmode devmode_;
    vorn::PluginContext context_{};
};

// The stand-in host's modeless sheet: the page first, the host's empty page second.
class PageSheet {
  public:
    PageSheet(int templateId, PageProc proc, vorn::PluginContext* context);
    ~PageSheet();
    PageSheet(const PageSheet&) = delete;
    PageSheet& operator=(const PageSheet&) = delete;

    bool Opened() const { return page_ != nullptr; }
    HWND Sheet() const { return sheet_; }
    // The calls the page made to its sheet's function.
    const std::vector<standin::PropertySheetHost::SheetCall>& SheetCalls() const {
        return host_.calls;
    }
    HWND Page() const { return page_; }
    HWND Item(int id) const { return GetDlgItem(page_, id); }
    // Dispatches what is waiting, as the host's message loop would.
    void Pump() { standin::Pump(0, sheet_); }
    // The edit window inside a combo box, or the control itself.
    HWND EditOf(int id) const;
    void Focus(int id) {
        SetFocus(Item(id));
        Pump();
    }
    void Type(int id, const std::wstring& text);
    void SetText(int id, const std::wstring& text) {
        SetWindowTextW(Item(id), text.c_str());
        Pump();
    }
    std::wstring Text(int id) const { return standin::WindowText(Item(id)); }
    // Combo and list boxes: entries, selection, a selection as a click.
    Entries EntriesOf(int id) const { return standin::EntriesOf(Item(id)); }
    int Selection(int id) const { return standin::SelectionOf(Item(id)); }
    void Select(int id, int index);
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    ::testing::AssertionResult AllEnabled(std::initializer_list<int> ids, bool enabled) const;
    std::pair<DWORD, DWORD> EditSelection(int id) const;
    // The page's control that has the focus (0: none of them), as the person
    // finds it, clicking on the sheet when it has lost the activation.
    int FocusedId() const;
    void Click(int id) {
        SendMessageW(Item(id), BM_CLICK, 0, 0);
        Pump();
    }
    // A WM_COMMAND notification from one of the page's controls (what it
    // posts is left waiting).
    void Notify(int id, WORD code) { standin::Notify(page_, id, code); }
    // A property-sheet notification; the page's DWLP_MSGRESULT answer.
    LONG_PTR SheetNotify(UINT code) { return pagesheet::SheetNotify(sheet_, page_, code); }
    // Presses Tab in the focused control, through the sheet's dialog manager.
    void Tab();
    // Switches to the blank page (the page is committed): did it switch?
    bool LeavePage();
    void ComeBack() {
        SendMessageW(sheet_, PSM_SETCURSEL, 0, 0);
        Pump();
    }
    // PSM_CHANGED / PSM_UNCHANGED the page sent since the last reset.
    int Changes() const { return changes_; }
    int Unchanges() const { return unchanges_; }
    void ResetNotices() { changes_ = unchanges_ = 0; }

  private:
    static LRESULT CALLBACK SheetProc(HWND, UINT, WPARAM, LPARAM);
    standin::PluginHost noPlugin_; // the page comes from the test, not from the host's plug-in
    standin::PropertySheetHost host_{noPlugin_};
    standin::HostPage blank_;
    HWND sheet_ = nullptr;
    HWND page_ = nullptr;
    WNDPROC sheetProc_ = nullptr;
    int changes_ = 0;
    int unchanges_ = 0;
};

// A page of a printer of its own.
class PrinterPage : public PagePrinter, public PageSheet {
  public:
    PrinterPage(int templateId, PageProc proc, const vorn::PrivateDevmode& devmode,
                const std::wstring& driver = kFamily2Driver,
                const std::wstring& name = Unique(L"Page printer"))
        : PagePrinter(name, driver, devmode), PageSheet(templateId, proc, &Context()) {}
};

// A sorted list box in the page list's locale, handed names one by one: the
// order the page's list must show them in.
class ListBoxOracle {
  public:
    explicit ListBoxOracle(HWND pageList);
    void Add(const Entries& names) const;
    // The entry of exactly this name (the list box's own search ignores case).
    void Remove(const std::wstring& name) const;
    // "None" on top, then the names in the list box's order.
    Entries WithNone() const;

  private:
    std::unique_ptr<std::remove_pointer_t<HWND>, decltype(&DestroyWindow)> box_;
};

// A Tickets page test: a printer whose saved directory (`savedDirectory`) is
// `folder`, the ticket software's values saved and removed, and a person who
// answers OK unless told otherwise.
class TicketsPageTest : public ::testing::Test {
  protected:
    TicketsPageTest();
    // Opens the page afresh, forgetting the boxes seen so far.
    std::unique_ptr<PageSheet> OpenPage();
    // The list brought in line with its folder now (no message reaches a
    // refresh at a chosen moment: the page's timer walks the folder only
    // when it has changed, or after a while).
    static void Refresh(PageSheet& sheet);
    // The page's answer to leaving it (0: it may be left).
    LONG_PTR Leave(PageSheet& sheet) { return sheet.SheetNotify(PSN_KILLACTIVE); }

    Person person;
    PagePrinter printer;
    TempFolder folder;
    RegValue savedDirectory;
    SavedValue softwarePath;
    SavedValue editorDefault;
};

} // namespace pagesheet
