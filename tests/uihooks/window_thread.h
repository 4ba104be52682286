// A top-level window on a thread of its own, as another program's would be:
// it counts the "MSG_UPDATE_FEATURES" it receives and can stop taking
// messages (hang) until it is resumed or destroyed.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <thread>

class WindowThread {
  public:
    WindowThread() : thread_([this] { Run(); }) { WaitForSingleObject(ready_, 10000); }
    ~WindowThread() {
        SetEvent(resume_);
        PostMessageW(window_, WM_CLOSE, 0, 0);
        thread_.join();
        for (HANDLE event : {ready_, hung_, resume_}) {
            CloseHandle(event);
        }
    }
    HWND Window() const { return window_; }
    LONG Received() const { return received_; }
    void Hang() {
        PostMessageW(window_, kHangMessage, 0, 0);
        WaitForSingleObject(hung_, 10000);
    }
    void Resume() { SetEvent(resume_); }

  private:
    static constexpr UINT kHangMessage = WM_APP + 1;

    void Run() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.lpszClassName = L"VornTestListener";
        RegisterClassW(&wc); // already registered by an earlier instance is fine
        window_ = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                                  nullptr, nullptr, this);
        SetEvent(ready_);
        MSG msg;
        while (window_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
            DispatchMessageW(&msg);
        }
    }
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(
                                  reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        }
        auto* self = reinterpret_cast<WindowThread*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == RegisterWindowMessageW(L"MSG_UPDATE_FEATURES") && !wParam && !lParam) {
            InterlockedIncrement(&self->received_);
        } else if (message == kHangMessage) {
            SetEvent(self->hung_);
            WaitForSingleObject(self->resume_, INFINITE);
        } else if (message == WM_DESTROY) {
            PostQuitMessage(0);
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HANDLE ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE hung_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE resume_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HWND window_ = nullptr;
    LONG received_ = 0;
    std::thread thread_; // last: starts once everything above is ready
};
