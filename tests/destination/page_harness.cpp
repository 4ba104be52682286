#include "page_harness.h"

#include "core/module.h"
#include "destination/destination_page.h"
#include "host_page.h"
#include "plugin_host.h"
#include "resource_ids.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>

namespace pagetest {

namespace {

constexpr wchar_t kCaption[] = L"Vorn PS Printer Driver";
constexpr wchar_t kSheetProp[] = L"DestinationSheetTest";
constexpr UINT kAnswerPeriodMs = 20;

BoxAnswerer* g_answerer = nullptr;

LONG_PTR CALLBACK RecordSheetCall(HANDLE sheet, UINT function, LPARAM param1, LPARAM param2) {
    SheetCalls().push_back({sheet, static_cast<WORD>(function), param1, param2});
    return 1;
}

INT_PTR CALLBACK BlankPageProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
    wchar_t className[16] = {};
    wchar_t title[64] = {};
    GetClassNameW(window, className, 16);
    GetWindowTextW(window, title, 64);
    if (wcscmp(className, L"#32770") == 0 && wcscmp(title, kCaption) == 0 &&
        IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK LongestStatic(HWND child, LPARAM longest) {
    wchar_t className[16] = {};
    GetClassNameW(child, className, 16);
    if (_wcsicmp(className, L"Static") == 0) {
        wchar_t text[1024] = {};
        GetWindowTextW(child, text, 1024);
        auto* best = reinterpret_cast<std::wstring*>(longest);
        if (wcslen(text) > best->size()) {
            *best = text;
        }
    }
    return TRUE;
}

struct WinHelpRecord { // what WinHelpA hands the help window
    WORD size;
    WORD command;
    LONG data;
    LONG reserved;
    WORD ofsFilename;
    WORD ofsData;
};

LRESULT CALLBACK HelpWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        const auto* record = static_cast<const WinHelpRecord*>(copy->lpData);
        HelpRequest request{record->command, record->data, {}};
        if (record->ofsFilename) {
            request.file = reinterpret_cast<const char*>(record) + record->ofsFilename;
        }
        HelpWindow::Requests().push_back(request);
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

std::vector<HelpRequest>& HelpWindow::Requests() {
    static std::vector<HelpRequest> requests;
    return requests;
}

HMODULE PluginModule() {
    static HMODULE module = [] {
        // Without a window manager, Wine waits two seconds for every hidden
        // top-level window unless this program's windows are unmanaged
        // (read when the program starts, so it helps from the second run).
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER,
                            L"Software\\Wine\\AppDefaults\\destination_page_tests.exe\\X11 Driver",
                            0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr) == ERROR_SUCCESS) {
            RegSetValueExW(key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"N"), 4);
            RegCloseKey(key);
        }
        HMODULE loaded = LoadLibraryW(standin::PluginDllPath().c_str());
        // The notification language is read from the plug-in's own module.
        vorn::SetModuleInstance(loaded);
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        return loaded;
    }();
    return module;
}

vorn::PrivateDevmode MakeDevmode() {
    vorn::PrivateDevmode dm;
    std::memset(&dm, 0, sizeof(dm));
    dm.header.dwSize = vorn::kPrivateDevmodeSize;
    dm.header.dwSignature = vorn::kPluginSignature;
    dm.header.dwVersion = vorn::kPluginVersion;
    wcscpy(dm.delivery.userNames[0], L"alice");
    wcscpy(dm.delivery.userNames[1], L"bob");
    wcscpy(dm.delivery.userNames[2], L"carol");
    wcscpy(dm.delivery.emailAddresses[0], L"a@b.cd");
    wcscpy(dm.delivery.emailAddresses[1], L"e@f.gh");
    wcscpy(dm.delivery.emailAddresses[2], L"i@j.kl");
    std::memset(dm.delivery.reserved, 0xAB, sizeof(dm.delivery.reserved));
    strcpy(dm.delivery.hostName, "stale");
    dm.delivery.mailLanguage = 7;
    wcscpy(dm.ticketPath, L"C:\\tickets\\chosen.jdf");
    return dm;
}

std::vector<SheetCall>& SheetCalls() {
    static std::vector<SheetCall> calls;
    return calls;
}

BoxAnswerer::BoxAnswerer() {
    g_answerer = this;
    timer_ = SetTimer(nullptr, 0, kAnswerPeriodMs, OnTimer);
}

BoxAnswerer::~BoxAnswerer() {
    KillTimer(nullptr, timer_);
    g_answerer = nullptr;
}

void CALLBACK BoxAnswerer::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (g_answerer) {
        g_answerer->Look();
    }
}

::testing::AssertionResult BoxAnswerer::SawOne(const std::wstring& part) const {
    if (seen_.size() != 1) {
        return ::testing::AssertionFailure() << seen_.size() << " boxes seen, not one";
    }
    if (!Contains(seen_[0], part)) {
        return ::testing::AssertionFailure() << "the box said: " << seen_[0];
    }
    return ::testing::AssertionSuccess();
}

void BoxAnswerer::Look() {
    if (busy_) {
        return;
    }
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
    if (!box) {
        return;
    }
    busy_ = true;
    std::wstring text;
    EnumChildWindows(box, LongestStatic, reinterpret_cast<LPARAM>(&text));
    seen_.push_back(text);
    int button = IDOK;
    if (!answers_.empty()) {
        button = answers_.front();
        answers_.pop_front();
    } else {
        ADD_FAILURE() << "unexpected message box";
    }
    SendMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0);
    busy_ = false;
}

DestinationSheet::DestinationSheet(const std::wstring& printerName, const std::wstring& driverName,
                                   const vorn::PrivateDevmode& devmode)
    : printer_(printerName, driverName), devmode_(devmode) {
    sheetParam_.cbSize = sizeof(sheetParam_);
    sheetParam_.hPrinter = printer_.Handle();
    sheetParam_.pOEMDM = &devmode_;
    context_.printer = printer_.Handle();
    context_.module = PluginModule();
    context_.sheet = reinterpret_cast<HANDLE>(0x5EE7);
    context_.sheetParam = &sheetParam_;
    context_.sheetFunction = RecordSheetCall;
    context_.pageHandle = reinterpret_cast<HANDLE>(0x9A6E);
    wcsncpy(context_.printerName, printerName.c_str(), vorn::kContextPrinterNameChars - 1);

    blankTemplate_ = standin::EmptyPageTemplate();
    PROPSHEETPAGEW pages[2] = {};
    pages[0].dwSize = sizeof(PROPSHEETPAGEW);
    pages[0].hInstance = PluginModule();
    pages[0].pszTemplate = MAKEINTRESOURCEW(IDD_DESTINATION);
    pages[0].pfnDlgProc = vorn::DestinationPageProc;
    pages[0].lParam = reinterpret_cast<LPARAM>(&context_);
    pages[1].dwSize = sizeof(PROPSHEETPAGEW);
    pages[1].dwFlags = PSP_DLGINDIRECT;
    pages[1].pResource = reinterpret_cast<DLGTEMPLATE*>(blankTemplate_.data());
    pages[1].pfnDlgProc = BlankPageProc;

    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS | PSH_PROPSHEETPAGE;
    header.pszCaption = L"Printing Preferences";
    header.nPages = 2;
    header.ppsp = pages;
    sheet_ = reinterpret_cast<HWND>(PropertySheetW(&header));
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

DestinationSheet::DestinationSheet(const vorn::PrivateDevmode& devmode,
                                   const std::wstring& driverName)
    : DestinationSheet(
          [] {
              static int serial = 0;
              return L"Destination page " + std::to_wstring(++serial);
          }(),
          driverName, devmode) {}

DestinationSheet::~DestinationSheet() {
    if (sheet_) {
        SetWindowLongPtrW(sheet_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(sheetProc_));
        RemovePropW(sheet_, kSheetProp);
        DestroyWindow(sheet_);
        Pump();
    }
}

LRESULT CALLBACK DestinationSheet::SheetProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    auto* self = static_cast<DestinationSheet*>(GetPropW(window, kSheetProp));
    if (self && reinterpret_cast<HWND>(wParam) == self->page_) {
        if (message == PSM_CHANGED) {
            ++self->changes_;
        } else if (message == PSM_UNCHANGED) {
            ++self->unchanges_;
        }
    }
    return CallWindowProcW(self ? self->sheetProc_ : DefWindowProcW, window, message, wParam,
                           lParam);
}

void DestinationSheet::Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!sheet_ || !IsWindow(sheet_) ||
            !SendMessageW(sheet_, PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(&msg))) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

HWND DestinationSheet::EditOf(int id) const {
    HWND edit = FindWindowExW(Item(id), nullptr, L"Edit", nullptr);
    return edit ? edit : Item(id);
}

void DestinationSheet::Focus(int id) {
    SetFocus(Item(id));
    Pump();
}

void DestinationSheet::Type(int id, const std::wstring& text) {
    for (wchar_t c : text) {
        SendMessageW(EditOf(id), WM_CHAR, c, 1);
    }
    Pump();
}

void DestinationSheet::SetText(int id, const std::wstring& text) {
    SetWindowTextW(Item(id), text.c_str());
    Pump();
}

std::wstring DestinationSheet::Text(int id) const {
    wchar_t text[512] = {};
    GetWindowTextW(Item(id), text, 512);
    return text;
}

void DestinationSheet::Select(int id, int index) {
    SendMessageW(Item(id), CB_SETCURSEL, index, 0);
    SendMessageW(page_, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Item(id)));
    Pump();
}

std::wstring DestinationSheet::Entry(int id, int index) const {
    wchar_t text[512] = {};
    SendMessageW(Item(id), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

std::vector<std::wstring> DestinationSheet::Entries(int id) const {
    std::vector<std::wstring> entries;
    for (int i = 0; i < Count(id); ++i) {
        entries.push_back(Entry(id, i));
    }
    return entries;
}

::testing::AssertionResult DestinationSheet::AllEnabled(std::initializer_list<int> ids,
                                                        bool enabled) const {
    for (int id : ids) {
        if (Enabled(id) != enabled) {
            return ::testing::AssertionFailure()
                   << "control " << id << (enabled ? " is disabled" : " is enabled");
        }
    }
    return ::testing::AssertionSuccess();
}

std::pair<DWORD, DWORD> DestinationSheet::EditSelection(int id) const {
    DWORD start = 0, end = 0;
    SendMessageW(Item(id), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

int DestinationSheet::FocusedId() const {
    HWND focus = GetFocus();
    if (focus && GetParent(focus) != page_ && GetParent(GetParent(focus)) == page_) {
        focus = GetParent(focus); // the edit inside a combo box
    }
    return focus && GetParent(focus) == page_ ? GetDlgCtrlID(focus) : 0;
}

void DestinationSheet::Click(int id) {
    SendMessageW(Item(id), BM_CLICK, 0, 0);
    Pump();
}

void DestinationSheet::Tab() {
    HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, VK_TAB, 0x000F0001);
    PostMessageW(focus, WM_KEYUP, VK_TAB, 0xC00F0001);
    Pump();
}

bool DestinationSheet::LeavePage() {
    SendMessageW(sheet_, PSM_SETCURSEL, 1, 0);
    Pump();
    return reinterpret_cast<HWND>(SendMessageW(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0)) != page_;
}

void DestinationSheet::ComeBack() {
    SendMessageW(sheet_, PSM_SETCURSEL, 0, 0);
    Pump();
}

void DestinationSheet::Apply() {
    SendMessageW(sheet_, PSM_APPLY, 0, 0);
    Pump();
}

HelpWindow::HelpWindow() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = HelpWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"MS_WINHELP";
    RegisterClassW(&windowClass);
    window_ = CreateWindowW(L"MS_WINHELP", L"help", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    Requests().clear();
}

} // namespace pagetest
