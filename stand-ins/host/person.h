// A person at the screen, for the headless demo and the tests: lets the
// windows' messages run while waiting for something, works a page's
// controls as clicks and choices do, and answers the message boxes that
// come up on the thread.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace standin {

// Dispatches this thread's messages (through `sheet`'s dialog manager, when
// given, as a modeless sheet's loop does) until done() answers true or
// `timeoutMs` passes: done()'s last answer. A timeout of 0 runs what waits.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000, HWND sheet = nullptr);
inline void Pump(DWORD milliseconds, HWND sheet = nullptr) {
    PumpUntil([] { return false; }, milliseconds, sheet);
}

// The text (or title) of a window.
std::wstring WindowText(HWND window);
// A WM_COMMAND notification from control `id` of `dialog`, sent as the
// control sends it.
void Notify(HWND dialog, int id, WORD code);
// The entries of a list box or a combo box, and its selection.
bool IsListBox(HWND control);
std::vector<std::wstring> EntriesOf(HWND control);
int SelectionOf(HWND control);
// Selects entry `index` of control `id` as a click does: the selection,
// then its notification.
void Choose(HWND dialog, int id, int index);

struct SeenBox {
    std::wstring caption;
    std::wstring text;
};

// Answers the message boxes of its thread as they come up: reads each, then
// presses the button queued for it, else the standing reply. A box with
// neither is a surprise: reported, then answered OK (or Cancel, or No).
class Person {
  public:
    Person();
    ~Person();
    Person(const Person&) = delete;
    Person& operator=(const Person&) = delete;

    void Queue(int button) { queued_.push_back(button); }
    void Reply(int button) { reply_ = button; }
    // Called with each box before it is answered (to photograph it, say).
    void OnBox(std::function<void(HWND, const SeenBox&)> look) { onBox_ = std::move(look); }
    void OnSurprise(std::function<void(const SeenBox&)> report) { onSurprise_ = std::move(report); }
    // While no box is up, also hands the active window to `look` (a dialog
    // the person works in).
    void Watch(std::function<void(HWND)> look) { watch_ = std::move(look); }

    const std::vector<SeenBox>& Seen() const { return seen_; }
    void Clear() { seen_.clear(); }
    size_t Unanswered() const { return queued_.size(); }

  private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Look();
    void Answer(HWND box);

    UINT_PTR timer_ = 0;
    Person* previous_ = nullptr; // the thread's person before this one
    bool busy_ = false;
    int reply_ = 0;
    std::deque<int> queued_;
    std::vector<SeenBox> seen_;
    std::function<void(HWND, const SeenBox&)> onBox_;
    std::function<void(const SeenBox&)> onSurprise_;
    std::function<void(HWND)> watch_;
};

} // namespace standin
