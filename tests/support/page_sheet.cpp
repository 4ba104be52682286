#include "support/page_sheet.h"

#include "core/module.h"
#include "plugin_host.h"
#include "core/names.h"
#include "resource_ids.h"
#include "tickets/tickets.h"
#include "tickets/tickets_page.h"

#include <commctrl.h>
#include <prsht.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstring>

namespace pagesheet {

namespace {

constexpr wchar_t kSheetProp[] = L"PageSheetTest";

// A private section with only its header: no ticket, no settings.
vorn::PrivateDevmode EmptyDevmode() {
    vorn::PrivateDevmode dm{};
    dm.header = {vorn::kPrivateDevmodeSize, vorn::kPluginSignature, 1};
    return dm;
}

} // namespace

HMODULE PluginModule() {
    static HMODULE module = [] {
        HMODULE loaded = LoadLibraryW(standin::PluginDllPath().c_str());
        // The notification language is read from the plug-in's own module.
        vorn::SetModuleInstance(loaded);
        return loaded;
    }();
    return module;
}

std::wstring AbsolutePath(const std::wstring& path) {
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return full;
}

vorn::PrivateDevmode SampleDevmode(BYTE mode, const wchar_t* pin, BYTE notify) {
    vorn::PrivateDevmode dm;
    std::memset(&dm, 0, sizeof(dm));
    dm.header = {vorn::kPrivateDevmodeSize, vorn::kPluginSignature, vorn::kPluginVersion};
    const wchar_t* users[] = {L"alice", L"bob", L"carol"};
    const wchar_t* addresses[] = {L"a@b.cd", L"e@f.gh", L"i@j.kl"};
    for (int i = 0; i < 3; ++i) {
        wcscpy(dm.delivery.userNames[i], users[i]);
        wcscpy(dm.delivery.emailAddresses[i], addresses[i]);
    }
    std::memset(dm.delivery.reserved, 0xAB, sizeof(dm.delivery.reserved));
    strcpy(dm.delivery.hostName, "stale");
    dm.delivery.mailLanguage = 7;
    wcscpy(dm.ticketPath, L"C:\\tickets\\chosen.jdf");
    dm.delivery.deliveryMode = mode;
    wcscpy(dm.delivery.pin, pin);
    dm.delivery.emailNotify = notify;
    return dm;
}

Entries Person::Texts() const {
    Entries texts;
    for (const SeenBox& box : Seen()) {
        EXPECT_EQ(kPluginCaption, box.caption);
        texts.push_back(box.text);
    }
    return texts;
}

Entries TicketNames(const TempFolder& folder) {
    Entries names;
    standin::EachEntry(folder.Path() + L"\\*.jdf", [&](const std::wstring& name, bool isFolder) {
        if (!isFolder) {
            names.push_back(name.substr(0, name.size() - 4));
        }
    });
    return names;
}

// ---- Printer and context -------------------------------------------------

PagePrinter::PagePrinter(const std::wstring& name, const std::wstring& driver,
                         const vorn::PrivateDevmode& devmode)
    : printer_(name, driver), devmode_(devmode) {
    PluginModule();
    publicDevmode_.dmSize = sizeof(DEVMODEW);
    publicDevmode_.dmCopies = 1;
    sheetParam_.cbSize = sizeof(sheetParam_);
    sheetParam_.hPrinter = printer_.Handle();
    sheetParam_.pPrinterName = const_cast<wchar_t*>(printer_.Name().c_str());
    sheetParam_.pPublicDM = &publicDevmode_;
    sheetParam_.pOEMDM = &devmode_;
    context_.printer = printer_.Handle();
    context_.module = PluginModule();
    context_.heap = GetProcessHeap();
    context_.sheetParam = &sheetParam_;
    context_.pageHandle = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x9A6E));
    context_.ticketsPageHandle = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x7A6E));
    lstrcpynW(context_.printerName, printer_.Name().c_str(), vorn::kContextPrinterNameChars);
}

// ---- The sheet ---------------------------------------------------------------

PageSheet::PageSheet(int templateId, PageProc proc, vorn::PluginContext* context) {
    PROPSHEETPAGEW page = {};
    page.dwSize = sizeof(page);
    page.hInstance = PluginModule();
    page.pszTemplate = MAKEINTRESOURCEW(templateId);
    page.pfnDlgProc = proc;
    page.lParam = reinterpret_cast<LPARAM>(context);
    // The page reports to the sheet it is in, as the host's sheet function
    // given at the sheet's start would take it there.
    context->sheet = host_.info.hComPropSheet;
    context->sheetFunction = host_.info.pfnComPropSheet;
    host_.pages.push_back({CreatePropertySheetPageW(&page), nullptr, true});
    host_.pages.push_back({blank_.Create(), nullptr, false});
    sheet_ = host_.ShowModeless();
    if (!sheet_) {
        return;
    }
    SetPropW(sheet_, kSheetProp, this);
    sheetProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(sheet_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SheetProc)));
    Pump();
    page_ = reinterpret_cast<HWND>(SendMessageW(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0));
    ResetNotices();
}

PageSheet::~PageSheet() {
    if (sheet_) {
        SetWindowLongPtrW(sheet_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(sheetProc_));
        RemovePropW(sheet_, kSheetProp);
        DestroyWindow(sheet_);
        Pump();
    }
}

LRESULT CALLBACK PageSheet::SheetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<PageSheet*>(GetPropW(window, kSheetProp));
    if (self && reinterpret_cast<HWND>(wParam) == self->page_) {
        self->changes_ += message == PSM_CHANGED;
        self->unchanges_ += message == PSM_UNCHANGED;
    }
    return CallWindowProcW(self ? self->sheetProc_ : DefWindowProcW, window, message, wParam,
                           lParam);
}

HWND PageSheet::EditOf(int id) const {
    HWND edit = FindWindowExW(Item(id), nullptr, L"Edit", nullptr);
    return edit ? edit : Item(id);
}

void PageSheet::Type(int id, const std::wstring& text) {
    for (wchar_t c : text) {
        SendMessageW(EditOf(id), WM_CHAR, c, 1);
    }
    Pump();
}

void PageSheet::Select(int id, int index) {
    standin::Choose(page_, id, index);
    if (!standin::IsListBox(Item(id))) {
        Pump(); // the deferred field checks
    }
}

::testing::AssertionResult PageSheet::AllEnabled(std::initializer_list<int> ids,
                                                 bool enabled) const {
    for (int id : ids) {
        if (Enabled(id) != enabled) {
            return ::testing::AssertionFailure()
                   << "control " << id << (enabled ? " is disabled" : " is enabled");
        }
    }
    return ::testing::AssertionSuccess();
}

std::pair<DWORD, DWORD> PageSheet::EditSelection(int id) const {
    DWORD start = 0, end = 0;
    SendMessageW(EditOf(id), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

int PageSheet::FocusedId() const {
    // As a box or another program's window goes, a busy display can leave
    // this thread with no active window: the person then clicks on the
    // sheet, which gives the focus back to the control that had it last.
    if (!GetActiveWindow()) {
        SetActiveWindow(sheet_);
    }
    HWND focus = GetFocus();
    if (focus && GetParent(focus) != page_ && GetParent(GetParent(focus)) == page_) {
        focus = GetParent(focus); // the edit inside a combo box
    }
    return focus && GetParent(focus) == page_ ? GetDlgCtrlID(focus) : 0;
}

LONG_PTR SheetNotify(HWND sheet, HWND page, UINT code) {
    PSHNOTIFY notify{};
    notify.hdr.hwndFrom = sheet;
    notify.hdr.code = code;
    SetWindowLongPtrW(page, DWLP_MSGRESULT, 0);
    SendMessageW(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
    return GetWindowLongPtrW(page, DWLP_MSGRESULT);
}

void PageSheet::Tab() {
    HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, VK_TAB, 0x000F0001);
    PostMessageW(focus, WM_KEYUP, VK_TAB, 0xC00F0001);
    Pump();
}

bool PageSheet::LeavePage() {
    SendMessageW(sheet_, PSM_SETCURSEL, 1, 0);
    Pump();
    return reinterpret_cast<HWND>(SendMessageW(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0)) != page_;
}

// ---- The Tickets page --------------------------------------------------------

ListBoxOracle::ListBoxOracle(HWND pageList)
    : box_(CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | LBS_SORT | LBS_HASSTRINGS, 0, 0, 100, 100,
                           nullptr, nullptr, nullptr, nullptr),
           &DestroyWindow) {
    SendMessageW(box_.get(), LB_SETLOCALE, SendMessageW(pageList, LB_GETLOCALE, 0, 0), 0);
}

void ListBoxOracle::Add(const Entries& names) const {
    for (const std::wstring& name : names) {
        SendMessageW(box_.get(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
}

void ListBoxOracle::Remove(const std::wstring& name) const {
    const Entries names = WithNone();
    const auto at = std::find(names.begin() + 1, names.end(), name) - names.begin() - 1;
    SendMessageW(box_.get(), LB_DELETESTRING, static_cast<WPARAM>(at), 0);
}

Entries ListBoxOracle::WithNone() const {
    Entries entries{L"None"};
    const LRESULT count = SendMessageW(box_.get(), LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[MAX_PATH + 1] = {};
        SendMessageW(box_.get(), LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

TicketsPageTest::TicketsPageTest()
    : printer(Unique(L"Tickets printer"), kFamily1Driver, EmptyDevmode()), folder(L"tickets"),
      savedDirectory(printer.Value(vorn::names::kCurrentTicketsDir)),
      softwarePath(HKEY_LOCAL_MACHINE, vorn::names::kTicketSoftwareKey,
                   vorn::names::kTicketSoftwarePathValue),
      editorDefault(HKEY_LOCAL_MACHINE, vorn::names::kTicketEditorKey,
                    vorn::names::kTicketEditorTicketsValue) {
    person.Reply(IDOK);
    softwarePath.Delete();
    editorDefault.Delete();
    savedDirectory.SetString(folder.Path());
}

std::unique_ptr<PageSheet> TicketsPageTest::OpenPage() {
    person.Clear();
    auto sheet =
        std::make_unique<PageSheet>(IDD_TICKETS, vorn::TicketsPageProc, &printer.Context());
    EXPECT_TRUE(sheet->Opened());
    return sheet;
}

void TicketsPageTest::Refresh(PageSheet& sheet) {
    vorn::RefreshTicketList(sheet.Page(), PluginModule());
}

} // namespace pagesheet
