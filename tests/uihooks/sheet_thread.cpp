#include "sheet_thread.h"

#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

namespace {

constexpr UINT kRunMessage = WM_APP + 7;
constexpr wchar_t kRunnerClass[] = L"VornSheetThreadRunner";
constexpr UINT kAnswerEveryMs = 50;

thread_local SheetThread* t_sheetThread = nullptr;
thread_local std::vector<std::wstring>* t_boxes = nullptr;

std::wstring WindowText(HWND window) {
    wchar_t text[2048] = {};
    GetWindowTextW(window, text, 2048);
    return text;
}

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
    wchar_t cls[32] = {};
    GetClassNameW(window, cls, 32);
    if (lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(window) &&
        GetDlgItem(window, 0xFFFF) != nullptr) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

SheetThread::SheetThread() : thread_([this] { Loop(); }) {
    WaitForSingleObject(ready_, 10000);
}

SheetThread::~SheetThread() {
    Run([this](standin::PropertySheetHost&) {
        sheet_.reset();
        host_.Unload();
        DestroyWindow(runner_);
    });
    thread_.join();
    CloseHandle(ready_);
}

void SheetThread::Loop() {
    t_sheetThread = this;
    t_boxes = &boxes_;
    WNDCLASSW wc{};
    wc.lpfnWndProc = RunProc;
    wc.lpszClassName = kRunnerClass;
    RegisterClassW(&wc); // a second sheet thread finds it registered
    runner_ = CreateWindowExW(0, kRunnerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                              nullptr);
    std::string error;
    EXPECT_TRUE(host_.Load(standin::PluginDllPath(), &error)) << error;
    sheet_ = std::make_unique<standin::PropertySheetHost>(host_);
    const UINT_PTR answerer = SetTimer(nullptr, 0, kAnswerEveryMs, AnswerBoxes);
    SetEvent(ready_);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        const HWND sheet = sheet_ ? sheet_->Sheet() : nullptr;
        if (sheet && PropSheet_IsDialogMessage(sheet, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    KillTimer(nullptr, answerer);
}

LRESULT CALLBACK SheetThread::RunProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunMessage) {
        auto* work =
            reinterpret_cast<const std::function<void(standin::PropertySheetHost&)>*>(lParam);
        (*work)(*t_sheetThread->sheet_);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void CALLBACK SheetThread::AnswerBoxes(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
    if (!box) {
        return;
    }
    t_boxes->push_back(WindowText(GetDlgItem(box, 0xFFFF)));
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
}

void SheetThread::Run(const std::function<void(standin::PropertySheetHost&)>& work) {
    SendMessageW(runner_, kRunMessage, 0, reinterpret_cast<LPARAM>(&work));
}

HRESULT SheetThread::Begin(const std::wstring& printer) {
    HRESULT result = E_UNEXPECTED;
    Run([&](standin::PropertySheetHost& sheet) { result = sheet.Begin(printer); });
    return result;
}

HRESULT SheetThread::Init() {
    HRESULT result = E_UNEXPECTED;
    Run([&](standin::PropertySheetHost& sheet) { result = sheet.Init(); });
    return result;
}

HWND SheetThread::Show() {
    HWND window = nullptr;
    Run([&](standin::PropertySheetHost& sheet) { window = sheet.ShowModeless(); });
    return window;
}

HWND SheetThread::Open(const std::wstring& printer) {
    return Begin(printer) == S_OK && Init() == S_OK ? Show() : nullptr;
}

void SheetThread::Close() {
    Run([this](standin::PropertySheetHost& sheet) {
        if (sheet.Sheet()) {
            DestroyWindow(sheet.Sheet());
        }
        sheet.End(CPSUI_OK);
        sheet_ = std::make_unique<standin::PropertySheetHost>(host_);
    });
}

HWND SheetThread::Page(int index) {
    HWND page = nullptr;
    Run([&](standin::PropertySheetHost& sheet) { page = sheet.PageWindow(index); });
    return page;
}

std::vector<std::wstring> SheetThread::Boxes() {
    std::vector<std::wstring> seen;
    Run([&](standin::PropertySheetHost&) { seen = boxes_; });
    return seen;
}

std::vector<std::pair<HANDLE, LRESULT>> SheetThread::Results() {
    std::vector<std::pair<HANDLE, LRESULT>> results;
    Run([&](standin::PropertySheetHost& sheet) { results = sheet.results; });
    return results;
}

HANDLE SheetThread::PageHandle(size_t index) {
    HANDLE handle = nullptr;
    Run([&](standin::PropertySheetHost& sheet) {
        handle = index < sheet.pages.size() ? sheet.pages[index].handle : nullptr;
    });
    return handle;
}

std::vector<BYTE> SheetThread::PrivateSection() {
    std::vector<BYTE> section;
    Run([&](standin::PropertySheetHost& sheet) {
        section.assign(sheet.devmode.Private(),
                       sheet.devmode.Private() + sheet.devmode.PrivateSize());
    });
    return section;
}
