// A top-level window on a thread of its own, as another program's window
// would be: it counts the "MSG_UPDATE_FEATURES" messages it receives, and
// can be told to stop pumping messages (a hung window).
#pragma once

#include <windows.h>

#include <thread>

class WindowThread {
  public:
    WindowThread() {
        ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        hung_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        resume_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this] { Run(); });
        WaitForSingleObject(ready_, 10000);
    }
    ~WindowThread() {
        SetEvent(resume_);
        if (window_) {
            PostMessageW(window_, WM_CLOSE, 0, 0);
        }
        thread_.join();
        CloseHandle(ready_);
        CloseHandle(hung_);
        CloseHandle(resume_);
    }
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;

    HWND Window() const { return window_; }
    LONG Received() const { return InterlockedCompareExchange(&received_, 0, 0); }

    // The thread stops taking messages until Resume (or destruction).
    void Hang() {
        PostMessageW(window_, kHangMessage, 0, 0);
        WaitForSingleObject(hung_, 10000);
    }
    void Resume() { SetEvent(resume_); }

  private:
    static constexpr UINT kHangMessage = WM_APP + 1;

    void Run() {
        static const wchar_t kClass[] = L"VornTestBroadcastListener";
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClass;
        RegisterClassW(&wc); // fails harmlessly when already registered
        updateMessage_ = RegisterWindowMessageW(L"MSG_UPDATE_FEATURES");
        window_ = CreateWindowExW(0, kClass, L"listener", WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                                  nullptr, wc.hInstance, this);
        SetEvent(ready_);
        MSG msg;
        while (window_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
            DispatchMessageW(&msg);
        }
    }

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<WindowThread*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == self->updateMessage_ && wParam == 0 && lParam == 0) {
            InterlockedIncrement(&self->received_);
            return 0;
        }
        if (self && message == kHangMessage) {
            SetEvent(self->hung_);
            WaitForSingleObject(self->resume_, INFINITE);
            return 0;
        }
        if (message == WM_DESTROY) {
            PostQuitMessage(0);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HANDLE ready_ = nullptr;
    HANDLE hung_ = nullptr;
    HANDLE resume_ = nullptr;
    HWND window_ = nullptr;
    UINT updateMessage_ = 0;
    mutable LONG received_ = 0;
    std::thread thread_;
};
