// One printing-preferences sheet on a thread of its own, as an application
// that has two printers' preferences open at once runs them: the plug-in
// loaded into a stand-in host on that thread, the host's sheet made and
// pumped there, and a person answering the thread's message boxes OK.
#pragma once

#include "plugin_host.h"
#include "property_sheet_host.h"
#include "support/page_sheet.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

class SheetThread {
  public:
    using Sheet = standin::PropertySheetHost;

    SheetThread() : thread_([this] { Loop(); }) { WaitForSingleObject(ready_, 10000); }
    ~SheetThread() {
        Run([this](Sheet&) {
            sheet_.reset();
            host_.Unload();
            DestroyWindow(runner_);
        });
        thread_.join();
        CloseHandle(ready_);
    }
    SheetThread(const SheetThread&) = delete;
    SheetThread& operator=(const SheetThread&) = delete;

    // Runs `work` on the sheet's thread with its host sheet; its answer.
    template <class Work> auto On(Work work) {
        using Answer = decltype(work(*sheet_));
        if constexpr (std::is_void_v<Answer>) {
            Run(work);
        } else {
            Answer answer{};
            Run([&](Sheet& sheet) { answer = work(sheet); });
            return answer;
        }
    }
    // Begin, Init and ShowModeless: the sheet window, or null when a step failed.
    HWND Open(const std::wstring& printer) {
        return On([&](Sheet& sheet) {
            return sheet.Begin(printer) == S_OK && sheet.Init() == S_OK ? sheet.ShowModeless()
                                                                        : nullptr;
        });
    }
    // Apply, as a person presses it, and the pages given time to answer.
    void Apply() {
        On([](Sheet& sheet) {
            PropSheet_PressButton(sheet.Sheet(), PSBTN_APPLYNOW);
            sheet.Pump(100);
        });
    }
    // SET_RESULT and DESTROY, then the host lets go of the sheet and its
    // heap, as it does when its dialog ends.
    void Close() {
        On([this](Sheet& sheet) {
            if (sheet.Sheet()) {
                DestroyWindow(sheet.Sheet());
            }
            sheet.End(CPSUI_OK);
            sheet_ = std::make_unique<Sheet>(host_);
        });
    }
    IPrintOemUI* Plugin() const { return host_.Plugin(); }
    // The dialog of page `index`, made now if it was never shown.
    HWND Page(int index) {
        return On([index](Sheet& sheet) { return sheet.PageWindow(index); });
    }
    // The message boxes answered so far on this thread.
    std::vector<pagesheet::SeenBox> Boxes() {
        return On([this](Sheet&) { return person_->Seen(); });
    }

  private:
    static constexpr UINT kRunMessage = WM_APP + 7;

    void Run(const std::function<void(Sheet&)>& work) {
        SendMessageW(runner_, kRunMessage, 0, reinterpret_cast<LPARAM>(&work));
    }
    void Loop() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = RunProc;
        wc.lpszClassName = L"VornSheetThreadRunner";
        RegisterClassW(&wc); // a second sheet thread finds it registered
        runner_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  nullptr, nullptr);
        SetWindowLongPtrW(runner_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        std::string error;
        EXPECT_TRUE(host_.Load(standin::PluginDllPath(), &error)) << error;
        sheet_ = std::make_unique<Sheet>(host_);
        pagesheet::Person person;
        person.Reply(IDOK);
        person_ = &person;
        SetEvent(ready_);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            const HWND sheet = sheet_ ? sheet_->Sheet() : nullptr;
            if (!sheet || !PropSheet_IsDialogMessage(sheet, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
    static LRESULT CALLBACK RunProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<SheetThread*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == kRunMessage) {
            (*reinterpret_cast<const std::function<void(Sheet&)>*>(lParam))(*self->sheet_);
        } else if (message == WM_DESTROY) {
            PostQuitMessage(0);
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    standin::PluginHost host_;
    std::unique_ptr<Sheet> sheet_;
    HWND runner_ = nullptr;
    HANDLE ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    pagesheet::Person* person_ = nullptr; // the thread's own
    std::thread thread_;                  // last: starts once everything above is ready
};
