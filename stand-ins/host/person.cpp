#include "person.h"

#include <commctrl.h>
#include <prsht.h>

namespace standin {

namespace {

// Often enough that a test never waits on a box, seldom enough to cost nothing.
constexpr UINT kLookPeriodMs = 20;
// A message box's text is its static control of this id.
constexpr int kBoxTextId = 0xFFFF;

thread_local Person* g_person = nullptr; // each thread has its own person

// The top-level message box of this thread, if one is up: a dialog with the
// box's text and no tabs (a property sheet is no box).
HWND MessageBoxUp() {
    HWND box = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) -> BOOL {
            wchar_t cls[32] = {};
            GetClassNameW(window, cls, 32);
            const bool isBox = lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(window) &&
                               GetDlgItem(window, kBoxTextId) &&
                               !FindWindowExW(window, nullptr, WC_TABCONTROLW, nullptr);
            *reinterpret_cast<HWND*>(found) = isBox ? window : nullptr;
            return !isBox;
        },
        reinterpret_cast<LPARAM>(&box));
    return box;
}

} // namespace

std::wstring WindowText(HWND window) {
    // (the length may be more than the text, never less)
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool IsListBox(HWND control) {
    wchar_t cls[32] = {};
    GetClassNameW(control, cls, 32);
    return lstrcmpiW(cls, L"ListBox") == 0;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, HWND sheet) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!sheet || !PropSheet_IsDialogMessage(sheet, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
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

void Notify(HWND dialog, int id, WORD code) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, code),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::vector<std::wstring> EntriesOf(HWND control) {
    const bool list = IsListBox(control);
    std::vector<std::wstring> entries;
    const LRESULT count = SendMessageW(control, list ? LB_GETCOUNT : CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[MAX_PATH + 1] = {};
        if (SendMessageW(control, list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, i, 0) < MAX_PATH) {
            SendMessageW(control, list ? LB_GETTEXT : CB_GETLBTEXT, i,
                         reinterpret_cast<LPARAM>(text));
        }
        entries.push_back(text);
    }
    return entries;
}

int SelectionOf(HWND control) {
    return static_cast<int>(
        SendMessageW(control, IsListBox(control) ? LB_GETCURSEL : CB_GETCURSEL, 0, 0));
}

void Choose(HWND dialog, int id, int index) {
    const bool list = IsListBox(GetDlgItem(dialog, id));
    SendDlgItemMessageW(dialog, id, list ? LB_SETCURSEL : CB_SETCURSEL, index, 0);
    Notify(dialog, id, list ? LBN_SELCHANGE : CBN_SELCHANGE);
}

Person::Person() : timer_(SetTimer(nullptr, 0, kLookPeriodMs, OnTimer)), previous_(g_person) {
    g_person = this;
}

Person::~Person() {
    KillTimer(nullptr, timer_);
    g_person = previous_;
}

void CALLBACK Person::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (g_person) {
        g_person->Look();
    }
}

void Person::Look() {
    // A box's own message loop runs this timer too: one look at a time.
    if (busy_) {
        return;
    }
    const HWND box = MessageBoxUp();
    busy_ = true;
    if (box) {
        Answer(box);
    } else if (watch_) {
        watch_(GetActiveWindow());
    }
    busy_ = false;
}

void Person::Answer(HWND box) {
    seen_.push_back({WindowText(box), WindowText(GetDlgItem(box, kBoxTextId))});
    const SeenBox seen = seen_.back();
    if (onBox_) {
        onBox_(box, seen);
    }
    int button = reply_;
    if (!queued_.empty()) {
        button = queued_.front();
        queued_.pop_front();
    } else if (!button && onSurprise_) {
        onSurprise_(seen);
    }
    // Without a button of its own, a box that only informs takes OK, and a
    // question its way out.
    for (const int choice : {button, IDOK, IDCANCEL, IDNO}) {
        if (const HWND pressed = choice ? GetDlgItem(box, choice) : nullptr) {
            SendMessageW(pressed, BM_CLICK, 0, 0);
            break;
        }
    }
}

} // namespace standin
