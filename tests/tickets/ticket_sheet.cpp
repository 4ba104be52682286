#include "ticket_sheet.h"

#include "core/names.h"

#include "plugin_host.h"
#include "resource_ids.h"

#include <commctrl.h>
#include <prsht.h>
#include <shlwapi.h>

namespace tickettest {

namespace {

BoxAnswerer* g_answerer = nullptr;

bool IsMessageBox(HWND window) {
    wchar_t cls[32] = {};
    GetClassNameW(window, cls, 32);
    return lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(window) &&
           GetDlgItem(window, 0xFFFF) != nullptr;
}

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
    if (IsMessageBox(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// One value of a registry key: written (making the key), removed, read.
void WriteValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type,
                const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void RemoveValue(HKEY root, const std::wstring& path, const std::wstring& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, name.c_str());
        RegCloseKey(key);
    }
}

// False when the key or the value is missing; `keyFound` tells which.
bool ReadValueOf(HKEY root, const std::wstring& path, const std::wstring& name, DWORD* type,
                 std::vector<BYTE>* data, bool* keyFound = nullptr) {
    HKEY key = nullptr;
    const bool opened =
        RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS;
    if (keyFound) {
        *keyFound = opened;
    }
    if (!opened) {
        return false;
    }
    DWORD size = 0;
    bool ok = RegQueryValueExW(key, name.c_str(), nullptr, type, nullptr, &size) == ERROR_SUCCESS;
    if (ok) {
        data->resize(size);
        ok = RegQueryValueExW(key, name.c_str(), nullptr, type, data->data(), &size) ==
             ERROR_SUCCESS;
        data->resize(size);
    }
    RegCloseKey(key);
    return ok;
}

std::wstring WindowText(HWND window) {
    wchar_t text[2048] = {};
    GetWindowTextW(window, text, 2048);
    return text;
}

} // namespace

BoxAnswerer::BoxAnswerer() {
    g_answerer = this;
    timer_ = SetTimer(nullptr, 0, 50, &BoxAnswerer::OnTimer);
}

BoxAnswerer::~BoxAnswerer() {
    KillTimer(nullptr, timer_);
    g_answerer = nullptr;
}

void CALLBACK BoxAnswerer::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_answerer) {
        return;
    }
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
    if (!box) {
        return;
    }
    g_answerer->seen_.push_back({WindowText(box), WindowText(GetDlgItem(box, 0xFFFF))});
    int reply = g_answerer->reply_;
    HWND button = GetDlgItem(box, reply);
    if (!button) {
        reply = IDOK; // a box that only informs
        button = GetDlgItem(box, reply);
    }
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(reply, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void Pump(DWORD milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) {
            return true;
        }
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// ---- Folders and registry values ----------------------------------------

TempFolder::TempFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + Unique(name);
    if (!path_.empty() && path_.back() == L'\\') {
        path_.pop_back();
    }
    CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
    Destroy();
}

void TempFolder::Touch(const std::wstring& name) const {
    HANDLE file = CreateFileW(File(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, file) << "cannot create " << File(name).size();
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
}

void TempFolder::Remove(const std::wstring& name) const {
    SetFileAttributesW(File(name).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(File(name).c_str());
}

std::vector<std::wstring> TempFolder::TicketNames() const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path_ + L"\\*.jdf").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            names.push_back(std::wstring(found.cFileName, wcslen(found.cFileName) - 4));
        }
    }
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
    }
    return names;
}

void TempFolder::Destroy() {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (lstrcmpW(found.cFileName, L".") != 0 && lstrcmpW(found.cFileName, L"..") != 0) {
                Remove(found.cFileName);
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path_.c_str());
}

SavedValue::SavedValue(HKEY root, std::wstring path, std::wstring name)
    : root_(root), path_(std::move(path)), name_(std::move(name)) {
    existed_ = ReadValueOf(root_, path_, name_, &type_, &data_, &keyExisted_);
}

SavedValue::~SavedValue() {
    if (existed_) {
        SetRaw(type_, data_.data(), static_cast<DWORD>(data_.size()));
    } else if (keyExisted_) {
        Delete();
    } else {
        SHDeleteKeyW(root_, path_.c_str());
    }
}

void SavedValue::SetString(const std::wstring& text) const {
    SetRaw(REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void SavedValue::SetRaw(DWORD type, const void* data, DWORD size) const {
    WriteValue(root_, path_, name_, type, data, size);
}

void SavedValue::Delete() const {
    RemoveValue(root_, path_, name_);
}

// ---- Printer and context -------------------------------------------------

std::vector<TicketPrinter::SheetCall>& TicketPrinter::SheetCalls() {
    static std::vector<SheetCall> calls;
    return calls;
}

LONG_PTR CALLBACK TicketPrinter::RecordSheetCall(HANDLE sheet, UINT function, LPARAM param1,
                                                 LPARAM param2) {
    SheetCalls().push_back({sheet, function, param1, param2});
    return 1;
}

TicketPrinter::TicketPrinter(const std::wstring& name) : printer_(name, L"Vorn K335 PS") {
    testsupport::MakeKey(HKEY_LOCAL_MACHINE, DataKeyPath());
    devmode_.header.dwSize = vorn::kPrivateDevmodeSize;
    devmode_.header.dwSignature = 0x4D534654;
    devmode_.header.dwVersion = 1;
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
    context_.sheet = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x5EE7));
    context_.sheetParam = &sheetParam_;
    context_.sheetFunction = &TicketPrinter::RecordSheetCall;
    context_.ticketsPageHandle = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x7A6E));
    lstrcpynW(context_.printerName, printer_.Name().c_str(), vorn::kContextPrinterNameChars);
    SheetCalls().clear();
}

TicketPrinter::~TicketPrinter() {
    testsupport::RemoveKey(HKEY_LOCAL_MACHINE, testsupport::LocalPrinterKeyPath(Name()));
}

std::wstring TicketPrinter::DataKeyPath() const {
    return testsupport::LocalPrinterKeyPath(Name()) + L"\\PrinterDriverData";
}

void TicketPrinter::SetValue(const wchar_t* name, DWORD type, const void* data, DWORD size) const {
    ASSERT_TRUE(testsupport::KeyExists(HKEY_LOCAL_MACHINE, DataKeyPath()));
    WriteValue(HKEY_LOCAL_MACHINE, DataKeyPath(), name, type, data, size);
}

void TicketPrinter::SetString(const wchar_t* name, const std::wstring& text) const {
    SetValue(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void TicketPrinter::DeleteValue(const wchar_t* name) const {
    RemoveValue(HKEY_LOCAL_MACHINE, DataKeyPath(), name);
}

bool TicketPrinter::ReadValue(const wchar_t* name, DWORD* type, std::vector<BYTE>* data) const {
    return ReadValueOf(HKEY_LOCAL_MACHINE, DataKeyPath(), name, type, data);
}

std::wstring TicketPrinter::ReadString(const wchar_t* name) const {
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!ReadValue(name, &type, &data) || data.size() < sizeof(wchar_t)) {
        return L"";
    }
    return std::wstring(reinterpret_cast<const wchar_t*>(data.data()));
}

// ---- Property sheet --------------------------------------------------------

TicketSheet::TicketSheet(HMODULE plugin, PageProc proc, vorn::PluginContext* context) {
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof(page);
    page.hInstance = plugin;
    page.pszTemplate = MAKEINTRESOURCEW(IDD_TICKETS);
    page.pfnDlgProc = proc;
    page.lParam = reinterpret_cast<LPARAM>(context);
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS | PSH_PROPSHEETPAGE;
    header.hInstance = plugin;
    header.pszCaption = L"Tickets test";
    header.nPages = 1;
    header.ppsp = &page;
    sheet_ = reinterpret_cast<HWND>(PropertySheetW(&header));
    if (sheet_) {
        page_ = reinterpret_cast<HWND>(SendMessageW(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0));
    }
    Pump(50);
}

TicketSheet::~TicketSheet() {
    if (sheet_) {
        DestroyWindow(sheet_);
        Pump(20);
    }
}

std::wstring TicketSheet::Text(int id) const {
    wchar_t text[1024] = {};
    GetDlgItemTextW(page_, id, text, 1024);
    return text;
}

std::vector<std::wstring> TicketSheet::Entries() const {
    std::vector<std::wstring> entries;
    HWND list = Item(IDC_TICKET_LIST);
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[MAX_PATH + 1] = {};
        if (SendMessageW(list, LB_GETTEXTLEN, i, 0) < MAX_PATH) {
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        }
        entries.push_back(text);
    }
    return entries;
}

int TicketSheet::Selection() const {
    return static_cast<int>(SendMessageW(Item(IDC_TICKET_LIST), LB_GETCURSEL, 0, 0));
}

void TicketSheet::Select(int index) const {
    SendMessageW(Item(IDC_TICKET_LIST), LB_SETCURSEL, index, 0);
    Notify(IDC_TICKET_LIST, LBN_SELCHANGE);
}

void TicketSheet::Notify(int id, WORD code) const {
    SendMessageW(page_, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Item(id)));
}

LONG_PTR TicketSheet::SheetNotify(UINT code) const {
    PSHNOTIFY notify{};
    notify.hdr.hwndFrom = sheet_;
    notify.hdr.idFrom = 0;
    notify.hdr.code = code;
    SetWindowLongPtrW(page_, DWLP_MSGRESULT, 0);
    SendMessageW(page_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
    return GetWindowLongPtrW(page_, DWLP_MSGRESULT);
}

HMODULE PluginModule() {
    static HMODULE module = LoadLibraryW(standin::PluginDllPath().c_str());
    return module;
}

std::wstring AbsolutePath(const std::wstring& path) {
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return full;
}

TicketPageTest::TicketPageTest(const std::wstring& printerName, PageProc proc)
    : printer(Unique(printerName)), folder(L"tickets"),
      editorDefault(HKEY_LOCAL_MACHINE, vorn::names::kTicketEditorKey,
                    vorn::names::kTicketEditorTicketsValue),
      proc_(proc) {
    editorDefault.Delete();
    printer.SetString(vorn::names::kCurrentTicketsDir, folder.Path());
}

std::unique_ptr<TicketSheet> TicketPageTest::OpenPage() {
    person.Clear();
    auto sheet = std::make_unique<TicketSheet>(PluginModule(), proc_, &printer.Context());
    EXPECT_TRUE(sheet->Open());
    return sheet;
}

std::wstring Unique(const std::wstring& base) {
    static int counter = 0;
    return base + L" " + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
}

} // namespace tickettest
