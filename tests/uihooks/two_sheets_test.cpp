// Two printing-preferences sheets in one process, each on its own thread, as
// the Printers folder or an application runs them: neither may take
// anything from the other, and the process is left as it was.
#include "sheet_fixture.h"

#include "core/private_devmode.h"
#include "resource_ids.h"
#include "support/page_sheet.h"
#include "resource_meter.h"
#include "support/spooler_printers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

namespace {

using Sheet = standin::PropertySheetHost;

// One printing-preferences sheet on a thread of its own, as an application
// that has two printers' preferences open at once runs them: the plug-in
// loaded into a stand-in host on that thread, the host's sheet made and
// pumped there, and a person for whom any message box on the thread fails the test.
class SheetThread {
  public:
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
    HWND Open(const std::wstring& printer) {
        return On([&](Sheet& sheet) {
            return sheet.Begin(printer) == S_OK && sheet.Init() == S_OK ? sheet.ShowModeless()
                                                                        : nullptr;
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
    std::thread thread_; // last: starts once everything above is ready
};

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The ticket software installed for real: the stand-in editor and library
// copied into a folder of their own.
class TwoSheets : public ::testing::Test {
  protected:
    void SetUp() override {
        testsupport::Spooler().Reset();
        ASSERT_TRUE(editor.Installed());
    }
    void TearDown() override { EXPECT_EQ(startDirectory, CurrentDirectory()); }

    static standin::LocalPrinter LocalPrinter(const wchar_t* name, const wchar_t* model) {
        return {name, model, PRINTER_ATTRIBUTE_LOCAL};
    }
    std::wstring NewTicket(int n) const {
        return editor.TicketsFolder() + L"\\New Ticket " + std::to_wstring(n) + L".jdf";
    }

    const std::wstring startDirectory = CurrentDirectory();
    standin::EditorPresence editor{standin::EditorPresence::Editor::Program};
};

TEST_F(TwoSheets, InterleavedEachJobGetsItsOwnPagesValuesAndTheEndsLeaveNoContextBehind) {
    const auto printerA = LocalPrinter(L"Two Sheets A K340", L"Vorn K340 PS");
    const auto printerB = LocalPrinter(L"Two Sheets B K310", L"Vorn K310 PS");
    SheetThread a;
    SheetThread b;
    // The option trees of both sheets come before either sheet is built.
    ASSERT_EQ(S_OK, a.On([&](Sheet& sheet) { return sheet.Begin(printerA.Name()); }));
    ASSERT_EQ(S_OK, b.On([&](Sheet& sheet) { return sheet.Begin(printerB.Name()); }));
    for (SheetThread* thread : {&a, &b}) {
        ASSERT_EQ(S_OK, thread->On([](Sheet& sheet) { return sheet.Init(); }));
    }
    for (SheetThread* thread : {&a, &b}) {
        ASSERT_NE(nullptr, thread->On([](Sheet& sheet) { return sheet.ShowModeless(); }));
    }
    const struct {
        SheetThread* sheet;
        const wchar_t* jobName;
    } rows[] = {{&a, L"Job of sheet A"}, {&b, L"Job of sheet B"}};
    for (const auto& row : rows) {
        ASSERT_NE(nullptr, row.sheet->Page(1)); // the Tickets page exists too
        HWND destination = row.sheet->Page(0);
        ASSERT_NE(nullptr, destination);
        SetDlgItemTextW(destination, IDC_JOBNAME, row.jobName);
        row.sheet->On([](Sheet& sheet) { // Apply, as a person presses it
            PropSheet_PressButton(sheet.Sheet(), PSBTN_APPLYNOW);
            sheet.Pump(100);
        });
    }
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.jobName);
        row.sheet->On([&](Sheet& sheet) {
            const auto* stored =
                reinterpret_cast<const vorn::PrivateDevmode*>(sheet.devmode.Private());
            EXPECT_EQ(std::wstring(row.jobName),
                      std::wstring(stored->delivery.jobName,
                                   wcsnlen(stored->delivery.jobName, vorn::kJobNameChars)));
            // Only the Destination page reports, with its own handle.
            ASSERT_EQ(1u, sheet.results.size());
            EXPECT_EQ(sheet.pages[0].handle, sheet.results[0].first);
            EXPECT_EQ(CPSUI_OK, sheet.results[0].second);
        });
    }
    a.Close(); // the hosts' heaps with the sheets' contexts are gone
    b.Close();

    // Another sheet whose option tree kept no context (its record came
    // without a heap), on a new thread and on the ended sheets' own.
    SheetThread other;
    for (SheetThread* thread : {&other, &a, &b}) {
        thread->On([thread](Sheet& sheet) {
            OEMCUIPPARAM param{};
            param.cbSize = sizeof(param);
            EXPECT_EQ(S_OK, thread->Plugin()->CommonUIProp(OEMCUIP_DOCPROP, &param));
            sheet.info.cbSize = sizeof(sheet.info);
            sheet.info.Version = PROPSHEETUI_INFO_VERSION;
            SetLastError(0);
            EXPECT_EQ(E_FAIL, sheet.Call(PROPSHEETUI_REASON_INIT));
            EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
            EXPECT_EQ(0u, sheet.pages.size());
            sheet.info.Version = 0; // nothing to end
        });
    }
}

TEST_F(TwoSheets, PagesAddedAtTheSameTimeOnTwoThreadsKeepTheirTitles) {
    const standin::LocalPrinter printers[] = {
        LocalPrinter(L"Two Sheets Titles A K340", L"Vorn K340 PS"),
        LocalPrinter(L"Two Sheets Titles B K310", L"Vorn K310 PS")};
    const std::vector<std::wstring> titles{L"Destination", L"Tickets"};
    std::vector<std::wstring> wrong[2];
    int rounds[2] = {};
    auto open = [&](int n) {
        standin::PluginHost host;
        ASSERT_TRUE(host.Load(standin::PluginDllPath()));
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 2000 && wrong[n].size() < 5) {
            Sheet sheet(host);
            ASSERT_EQ(S_OK, sheet.Begin(printers[n].Name()));
            ASSERT_EQ(S_OK, sheet.Init());
            for (size_t page = 0; page < sheet.calls.size(); ++page) {
                if (page >= titles.size() || sheet.calls[page].title != titles[page]) {
                    wrong[n].push_back(sheet.calls[page].title);
                }
            }
            ++rounds[n];
        }
    };
    std::thread other(open, 1);
    open(0);
    other.join();
    for (int n : {0, 1}) {
        EXPECT_EQ(std::vector<std::wstring>{}, wrong[n]) << rounds[n] << " sheets";
    }
}

TEST_F(TwoSheets, ClosingOneSheetLeavesTheOthersTicketLibraryInUse) {
    standin::EditorPresence::Tell(standin::knobs::kEditorExit, L"1"); // hands nothing back
    const auto printerA = LocalPrinter(L"Two Sheets Tickets A K340", L"Vorn K340 PS");
    const auto printerB = LocalPrinter(L"Two Sheets Tickets B K340", L"Vorn K340 PS");
    SheetThread a;
    SheetThread b;
    ASSERT_NE(nullptr, a.Open(printerA.Name()));
    ASSERT_NE(nullptr, b.Open(printerB.Name())); // its Tickets tab is never shown
    const HWND tickets = a.Page(1);
    ASSERT_NE(nullptr, tickets);

    // The Tickets page's New, as a person starts it: a double click on "None".
    auto startNew = [tickets] {
        const HWND list = GetDlgItem(tickets, IDC_TICKET_LIST);
        SendMessageW(list, LB_SETCURSEL, 0, 0);
        PostMessageW(tickets, WM_COMMAND, MAKEWPARAM(IDC_TICKET_LIST, LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(list));
    };
    // While its editor runs the Tickets page holds: it refuses to be reset
    // (and New only brings that editor forward). Waits until it lets go.
    auto editorEnded = [&] {
        return pagesheet::PumpUntil(
            [&] {
                return a.On([tickets](Sheet& sheet) {
                    return pagesheet::SheetNotify(sheet.Sheet(), tickets, PSN_RESET) != 1;
                });
            },
            20000);
    };
    // B closes while A's thread is inside the library.
    standin::EditorPresence::Tell(standin::knobs::kEditorKey, printerA.DataKeyPath());
    standin::EditorPresence::Tell(standin::knobs::kLibraryHoldMs, L"1500");
    startNew();
    ASSERT_TRUE(pagesheet::PumpUntil([&] { return Exists(editor.RecordPath()); }, 10000));
    b.Close();
    EXPECT_TRUE(pagesheet::PumpUntil([&] { return Exists(editor.LogPath()); }, 15000));
    EXPECT_TRUE(Exists(NewTicket(1)));

    // And A's next News, with B long gone, still have its library; each
    // editor started and ended leaves no handle behind.
    standin::EditorPresence::Forget(standin::knobs::kLibraryHoldMs);
    ASSERT_TRUE(editorEnded()); // the page took the editor's (empty) answer
    const long handlesBefore = standin::ResourceMeter::KernelHandles();
    constexpr int kMoreEditors = 3;
    for (int n = 2; n < 2 + kMoreEditors; ++n) {
        DeleteFileW(editor.LogPath().c_str());
        startNew();
        EXPECT_TRUE(pagesheet::PumpUntil(
            [&] { return Exists(NewTicket(n)) && Exists(editor.LogPath()); }, 10000))
            << n;
        ASSERT_TRUE(editorEnded()) << n;
    }
    EXPECT_LT(standin::ResourceMeter::KernelHandles() - handlesBefore, kMoreEditors);

    // New reported to the sheet with the Tickets page's own handle.
    EXPECT_TRUE(a.On([](Sheet& sheet) {
        return std::any_of(sheet.results.begin(), sheet.results.end(), [&](const auto& result) {
            return result.first == sheet.pages[1].handle;
        });
    }));
    a.Close();
    // Every page is gone: nothing holds the library any more.
    EXPECT_EQ(nullptr, GetModuleHandleW(L"vornjtwxp.dll"));
}

} // namespace
