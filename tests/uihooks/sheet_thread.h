// One printing-preferences sheet on a thread of its own, as an application
// that has two printers' preferences open at once runs them: the plug-in
// loaded into a stand-in host on that thread, the host's sheet made and
// pumped there, and a person answering the thread's message boxes.
#pragma once

#include "property_sheet_host.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class SheetThread {
  public:
    SheetThread();
    ~SheetThread();
    SheetThread(const SheetThread&) = delete;
    SheetThread& operator=(const SheetThread&) = delete;

    // Runs `work` on the sheet's thread with its host sheet and waits for it.
    void Run(const std::function<void(standin::PropertySheetHost&)>& work);

    // The steps of the host's sheet, each on the sheet's thread.
    HRESULT Begin(const std::wstring& printer);
    HRESULT Init();
    HWND Show();
    // All three; the sheet window, or null when a step failed.
    HWND Open(const std::wstring& printer);
    // SET_RESULT and DESTROY, then the host lets go of the sheet and its
    // heap, as it does when its dialog ends.
    void Close();

    IPrintOemUI* Plugin() const { return host_.Plugin(); }
    // The dialog of page `index`, made now if it was never shown.
    HWND Page(int index);
    // The texts of the message boxes answered so far on this thread.
    std::vector<std::wstring> Boxes();
    // Results the pages reported: (page handle, result).
    std::vector<std::pair<HANDLE, LRESULT>> Results();
    // The handle the host gave for page `index`.
    HANDLE PageHandle(size_t index);
    // The private DEVMODE section of the sheet's document.
    std::vector<BYTE> PrivateSection();

  private:
    void Loop();
    static LRESULT CALLBACK RunProc(HWND, UINT, WPARAM, LPARAM);
    static void CALLBACK AnswerBoxes(HWND, UINT, UINT_PTR, DWORD);

    standin::PluginHost host_;
    std::unique_ptr<standin::PropertySheetHost> sheet_;
    HWND runner_ = nullptr;
    HANDLE ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::vector<std::wstring> boxes_;
    std::thread thread_; // last: starts once everything above is ready
};
