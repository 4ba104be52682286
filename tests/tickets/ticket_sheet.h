// A real property sheet holding the Tickets page (dialog 1002 from the
// plug-in DLL's resources), a printer of the stand-in spooler with its
// PrinterDriverData key, a private DEVMODE, temporary ticket folders, and a
// person who answers message boxes.
#pragma once

#include "core/private_devmode.h"
#include "core/plugin_context.h"

#include "support/spooler_printers.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tickettest {

// What a message box showed.
struct SeenBox {
    std::wstring caption;
    std::wstring text;
};

// Answers every message box of this thread with a chosen button, as a person
// would, and remembers what each showed.
class BoxAnswerer {
  public:
    BoxAnswerer();
    ~BoxAnswerer();
    void Reply(int button) { reply_ = button; }
    const std::vector<SeenBox>& Seen() const { return seen_; }
    void Clear() { seen_.clear(); }

  private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    UINT_PTR timer_ = 0;
    int reply_ = IDOK;
    std::vector<SeenBox> seen_;
};

// Runs the thread's messages for a while (message boxes included).
void Pump(DWORD milliseconds);
// Runs messages until done() or the timeout; the answer of done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

// A folder under the temporary folder, removed with its files at the end.
class TempFolder {
  public:
    explicit TempFolder(const std::wstring& name);
    ~TempFolder();
    const std::wstring& Path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }
    void Touch(const std::wstring& name) const;
    void Remove(const std::wstring& name) const;
    // Names of the ticket files now in the folder (without ".jdf"), in the
    // folder's own order.
    std::vector<std::wstring> TicketNames() const;
    // Deletes the folder and everything in it now.
    void Destroy();

  private:
    std::wstring path_;
};

// Saves a registry value and puts it back (or removes it) at the end.
class SavedValue {
  public:
    SavedValue(HKEY root, std::wstring path, std::wstring name);
    ~SavedValue();
    void SetString(const std::wstring& text) const;
    void SetRaw(DWORD type, const void* data, DWORD size) const;
    void Delete() const;

  private:
    HKEY root_;
    std::wstring path_;
    std::wstring name_;
    bool existed_ = false;
    bool keyExisted_ = false;
    DWORD type_ = 0;
    std::vector<BYTE> data_;
};

// The page procedure under test; the sheet passes the context as the
// page's lParam.
using PageProc = INT_PTR(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);

// A printer with its own PrinterDriverData key, and a hand-made context.
class TicketPrinter {
  public:
    explicit TicketPrinter(const std::wstring& name);
    ~TicketPrinter();
    vorn::PluginContext& Context() { return context_; }
    vorn::PrivateDevmode& Devmode() { return devmode_; }
    const std::wstring& Name() const { return printer_.Name(); }
    std::wstring DataKeyPath() const;
    // Values of the PrinterDriverData key.
    void SetValue(const wchar_t* name, DWORD type, const void* data, DWORD size) const;
    void SetString(const wchar_t* name, const std::wstring& text) const;
    void DeleteValue(const wchar_t* name) const;
    bool ReadValue(const wchar_t* name, DWORD* type, std::vector<BYTE>* data) const;
    std::wstring ReadString(const wchar_t* name) const;

    // Calls the sheet function received.
    struct SheetCall {
        HANDLE sheet;
        UINT function;
        LPARAM param1;
        LPARAM param2;
    };
    static std::vector<SheetCall>& SheetCalls();

  private:
    static LONG_PTR CALLBACK RecordSheetCall(HANDLE, UINT, LPARAM, LPARAM);
    testsupport::TestPrinter printer_;
    OEMUIPSPARAM sheetParam_{};
    DEVMODEW publicDevmode_{};
    vorn::PrivateDevmode devmode_{};
    vorn::PluginContext context_{};
};

// The modeless property sheet with the one Tickets page.
class TicketSheet {
  public:
    TicketSheet(HMODULE plugin, PageProc proc, vorn::PluginContext* context);
    ~TicketSheet();
    bool Open() const { return sheet_ != nullptr; }
    HWND Sheet() const { return sheet_; }
    HWND Page() const { return page_; }
    HWND Item(int id) const { return GetDlgItem(page_, id); }
    std::wstring Text(int id) const;
    std::vector<std::wstring> Entries() const;
    int Selection() const;
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    // Selects an entry as a click would: selection, then LBN_SELCHANGE.
    void Select(int index) const;
    // Sends a WM_COMMAND notification from one of the page's controls.
    void Notify(int id, WORD code) const;
    // Sends a property-sheet notification to the page; the page's answer
    // (DWLP_MSGRESULT) is returned.
    LONG_PTR SheetNotify(UINT code) const;

  private:
    HWND sheet_ = nullptr;
    HWND page_ = nullptr;
};

// The plug-in DLL, loaded for its resources.
HMODULE PluginModule();

// Uniquely named things of this test program.
std::wstring Unique(const std::wstring& base);

// What the pages show and say.
using ListEntries = std::vector<std::wstring>;
constexpr wchar_t kPluginCaption[] = L"Vorn PS Printer Driver";
constexpr wchar_t kRegistryFailedText[] = L"Unable to access Vorn Job Ticket settings in the "
                                          L"Registry.\nYou may need to reinstall Dur Irivuravo.";
constexpr int kApplyButtonId = 0x3021;
inline std::wstring InvalidDirectoryText(const std::wstring& directory) {
    return L"The directory '" + directory + L"' is invalid. Please enter a valid directory.";
}
std::wstring AbsolutePath(const std::wstring& path);

// A Tickets page test: a printer whose saved directory is `folder`, no
// default folder of the editor, and a person answering the boxes.
class TicketPageTest : public ::testing::Test {
  protected:
    TicketPageTest(const std::wstring& printerName, PageProc proc);
    // Opens the page afresh, forgetting the boxes seen so far.
    std::unique_ptr<TicketSheet> OpenPage();

    BoxAnswerer person;
    TicketPrinter printer;
    TempFolder folder;
    SavedValue editorDefault;

  private:
    PageProc proc_;
};

} // namespace tickettest
