// Two printing-preferences sheets in one process, each on its own thread, as
// the Printers folder or an application runs them: neither may take
// anything from the other, and the process is left as it was.
#include "sheet_thread.h"

#include "core/private_devmode.h"
#include "editor_presence.h"
#include "resource_ids.h"
#include "spooler_control.h"
#include "support/resource_meter.h"
#include "support/spooler_printers.h"

#include <commctrl.h>
#include <prsht.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

namespace {

std::wstring CurrentDirectory() {
    wchar_t now[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, now);
    return now;
}

std::wstring JobNameIn(const std::vector<BYTE>& section) {
    const auto* stored = reinterpret_cast<const vorn::PrivateDevmode*>(section.data());
    return std::wstring(stored->delivery.jobName,
                        wcsnlen(stored->delivery.jobName, vorn::kJobNameChars));
}

std::wstring AddressIn(const std::vector<BYTE>& section) {
    const auto* stored = reinterpret_cast<const vorn::PrivateDevmode*>(section.data());
    return std::wstring(stored->delivery.emailAddresses[0],
                        wcsnlen(stored->delivery.emailAddresses[0], vorn::kEmailAddressChars));
}

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        Sleep(20);
    }
    return true;
}

void SetEnv(const wchar_t* name, const std::wstring& value) {
    SetEnvironmentVariableW(name, value.c_str());
}

class TwoSheets : public ::testing::Test {
  protected:
    void SetUp() override {
        startDirectory = CurrentDirectory();
        testsupport::Spooler().Reset();
    }
    void TearDown() override {
        // Nothing a sheet, a page or the editor did moves the process's
        // current directory, which belongs to the host.
        EXPECT_EQ(startDirectory, CurrentDirectory());
    }

    // A local printer of `model` with its own PrinterDriverData key.
    static std::wstring LocalPrinter(const std::wstring& name, const std::wstring& model) {
        testsupport::Spooler().AddPrinter(name.c_str(), model.c_str(), PRINTER_ATTRIBUTE_LOCAL,
                                          L"");
        testsupport::MakeKey(HKEY_LOCAL_MACHINE,
                             testsupport::LocalPrinterKeyPath(name) + L"\\PrinterDriverData");
        return name;
    }

    std::wstring startDirectory;
};

TEST_F(TwoSheets, InterleavedOnTwoThreadsEachJobGetsItsOwnValues) {
    const std::wstring printerA = LocalPrinter(L"Two Sheets A K340", L"Vorn K340 PS");
    const std::wstring printerB = LocalPrinter(L"Two Sheets B K310", L"Vorn K310 PS");
    SheetThread a;
    SheetThread b;
    // The option trees of both sheets come before either sheet is built.
    ASSERT_EQ(S_OK, a.Begin(printerA));
    ASSERT_EQ(S_OK, b.Begin(printerB));
    ASSERT_EQ(S_OK, a.Init());
    ASSERT_EQ(S_OK, b.Init());
    ASSERT_NE(nullptr, a.Show());
    ASSERT_NE(nullptr, b.Show());
    const struct {
        SheetThread* sheet;
        const wchar_t* jobName;
    } rows[] = {{&a, L"Job of sheet A"}, {&b, L"Job of sheet B"}};
    for (const auto& row : rows) {
        HWND destination = row.sheet->Page(0);
        ASSERT_NE(nullptr, destination);
        SetDlgItemTextW(destination, IDC_JOBNAME, row.jobName);
        row.sheet->Run([](standin::PropertySheetHost& sheet) {
            PropSheet_PressButton(sheet.Sheet(), PSBTN_APPLYNOW);
            sheet.Pump(100);
        });
    }
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.jobName);
        EXPECT_EQ(std::wstring(row.jobName), JobNameIn(row.sheet->PrivateSection()));
        EXPECT_TRUE(row.sheet->Boxes().empty());
    }
    a.Close();
    b.Close();
}

TEST_F(TwoSheets, EachPageReportsWithItsOwnHandle) {
    standin::EditorPresence editor(standin::EditorPresence::Editor::Program);
    ASSERT_TRUE(editor.Installed());
    const std::wstring printer = LocalPrinter(L"Two Sheets Handles K335", L"Vorn K335 PS");
    SheetThread sheet;
    ASSERT_NE(nullptr, sheet.Open(printer));
    ASSERT_NE(nullptr, sheet.Page(1)); // the Tickets page exists too
    ASSERT_NE(nullptr, sheet.Page(0));
    sheet.Run([](standin::PropertySheetHost& host) {
        PropSheet_PressButton(host.Sheet(), PSBTN_APPLYNOW);
        host.Pump(100);
    });
    const auto results = sheet.Results();
    ASSERT_EQ(1u, results.size());
    EXPECT_EQ(sheet.PageHandle(0), results[0].first); // the Destination page's
    EXPECT_EQ(CPSUI_OK, results[0].second);
    sheet.Close();
}

TEST_F(TwoSheets, InitialisationSucceedsWhenOnlyTheDestinationPageIsAdded) {
    // A connection without the direct attribute gets no Tickets page; the
    // sheet still has the plug-in's Destination page.
    standin::EditorPresence editor;
    const std::wstring printer = L"Two Sheets Connection K335";
    testsupport::Spooler().AddPrinter(printer.c_str(), L"Vorn K335 PS", PRINTER_ATTRIBUTE_NETWORK,
                                      L"");
    SheetThread sheet;
    ASSERT_EQ(S_OK, sheet.Begin(printer));
    LONG_PTR result = 0;
    size_t pages = 0;
    sheet.Run([&](standin::PropertySheetHost& host) {
        // The initialisation alone: the stages after it answer results of
        // their own.
        EXPECT_EQ(S_OK, host.Call(PROPSHEETUI_REASON_INIT, host.info.lParamInit));
        result = host.info.Result;
        pages = host.pages.size();
    });
    EXPECT_EQ(1u, pages);
    EXPECT_EQ(1, result);
    sheet.Close();
}

TEST_F(TwoSheets, ASheetsEndLeavesNoContextForLaterInitialisations) {
    const std::wstring printer = LocalPrinter(L"Two Sheets Ended K335", L"Vorn K335 PS");
    SheetThread ended;
    ASSERT_EQ(S_OK, ended.Begin(printer));
    ASSERT_EQ(S_OK, ended.Init());
    ended.Close(); // the host's heap with that sheet's context is gone

    // Another sheet whose option tree kept no context (its record came
    // without a heap), on another thread and on the same one.
    for (SheetThread* next : {static_cast<SheetThread*>(nullptr), &ended}) {
        std::unique_ptr<SheetThread> other;
        SheetThread& sheet = next ? *next : *(other = std::make_unique<SheetThread>());
        HRESULT tree = E_UNEXPECTED;
        HRESULT init = S_OK;
        DWORD error = 0;
        size_t pages = 0;
        sheet.Run([&](standin::PropertySheetHost& host) {
            OEMCUIPPARAM param{};
            param.cbSize = sizeof(param);
            tree = sheet.Plugin()->CommonUIProp(OEMCUIP_DOCPROP, &param);
            host.info.cbSize = sizeof(host.info);
            host.info.Version = PROPSHEETUI_INFO_VERSION;
            host.info.Reason = PROPSHEETUI_REASON_INIT;
            SetLastError(0);
            init = sheet.Plugin()->DocumentPropertySheets(&host.info, 0);
            error = GetLastError();
            pages = host.pages.size();
            host.info.Version = 0; // nothing to end
        });
        EXPECT_EQ(S_OK, tree);
        EXPECT_EQ(E_FAIL, init);
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), error);
        EXPECT_EQ(0u, pages);
    }
}

// The ticket software installed for real: the stand-in editor and library
// copied into a folder of their own.
class TwoSheetsWithTickets : public TwoSheets {
  protected:
    void SetUp() override {
        TwoSheets::SetUp();
        ASSERT_TRUE(editor.Installed());
        record = editor.Folder() + L"\\record.bin";
        SetEnv(L"VORN_TICKETLIB_RECORD", record);
        SetEnv(L"VORN_EDITOR_LOG", editor.Folder() + L"\\editor.log");
        SetEnv(L"VORN_EDITOR_EXIT", L"1"); // hands nothing back
    }
    void TearDown() override {
        for (const wchar_t* name : {L"VORN_TICKETLIB_RECORD", L"VORN_TICKETLIB_HOLD_MS",
                                    L"VORN_EDITOR_LOG", L"VORN_EDITOR_EXIT", L"VORN_EDITOR_KEY"}) {
            SetEnvironmentVariableW(name, nullptr);
        }
        DeleteFileW(record.c_str());
        DeleteFileW((editor.Folder() + L"\\editor.log").c_str());
        for (int n = 1; n < 6; ++n) {
            DeleteFileW(NewTicket(n).c_str());
        }
        TwoSheets::TearDown();
    }
    std::wstring NewTicket(int n) const {
        return editor.TicketsFolder() + L"\\New Ticket " + std::to_wstring(n) + L".jdf";
    }
    static bool Exists(const std::wstring& path) {
        return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    // The Tickets page's New, as a person starts it: a double click on "None".
    static void StartNew(HWND ticketsPage) {
        const HWND list = GetDlgItem(ticketsPage, IDC_TICKET_LIST);
        SendMessageW(list, LB_SETCURSEL, 0, 0);
        PostMessageW(ticketsPage, WM_COMMAND, MAKEWPARAM(IDC_TICKET_LIST, LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(list));
    }

    standin::EditorPresence editor{standin::EditorPresence::Editor::Program};
    std::wstring record;
};

TEST_F(TwoSheetsWithTickets, ClosingOneSheetLeavesTheOthersTicketLibraryInUse) {
    const std::wstring printerA = LocalPrinter(L"Two Sheets Tickets A K340", L"Vorn K340 PS");
    const std::wstring printerB = LocalPrinter(L"Two Sheets Tickets B K340", L"Vorn K340 PS");
    SheetThread a;
    SheetThread b;
    ASSERT_NE(nullptr, a.Open(printerA));
    ASSERT_NE(nullptr, b.Open(printerB)); // its Tickets tab is never shown
    const HWND tickets = a.Page(1);
    ASSERT_NE(nullptr, tickets);

    // The library is the editor folder's, not the one of the same name
    // beside this program (searched first by a load by bare name).
    const HMODULE library = GetModuleHandleW(L"vornjtwxp.dll");
    ASSERT_NE(nullptr, library);
    wchar_t loaded[MAX_PATH] = {};
    GetModuleFileNameW(library, loaded, MAX_PATH);
    EXPECT_EQ(0, lstrcmpiW(editor.LibraryPath().c_str(), loaded)) << loaded;

    // B closes while A's thread is inside the library.
    SetEnv(L"VORN_EDITOR_KEY", testsupport::LocalPrinterKeyPath(printerA) + L"\\PrinterDriverData");
    SetEnv(L"VORN_TICKETLIB_HOLD_MS", L"1500");
    const std::wstring log = editor.Folder() + L"\\editor.log";
    StartNew(tickets);
    ASSERT_TRUE(WaitFor([&] { return Exists(record); }, 10000));
    b.Close();
    EXPECT_TRUE(WaitFor([&] { return Exists(log); }, 15000));
    EXPECT_TRUE(Exists(NewTicket(1)));

    // And A's next News, with B long gone, still have its library; each
    // editor started and ended leaves no handle behind.
    SetEnvironmentVariableW(L"VORN_TICKETLIB_HOLD_MS", nullptr);
    Sleep(2000); // the editor ends and the page takes its (empty) answer
    const long handlesBefore = testsupport::ResourceMeter::KernelHandles();
    constexpr int kMoreEditors = 3;
    for (int n = 2; n < 2 + kMoreEditors; ++n) {
        DeleteFileW(log.c_str());
        StartNew(tickets);
        EXPECT_TRUE(WaitFor([&] { return Exists(NewTicket(n)) && Exists(log); }, 10000)) << n;
        Sleep(2000);
    }
    EXPECT_LT(testsupport::ResourceMeter::KernelHandles() - handlesBefore, kMoreEditors);
    const auto boxes = a.Boxes();
    EXPECT_TRUE(boxes.empty()) << boxes.front();

    // New reported to the sheet with the Tickets page's own handle.
    bool reported = false;
    for (const auto& result : a.Results()) {
        reported = reported || result.first == a.PageHandle(1);
    }
    EXPECT_TRUE(reported);
    a.Close();
    // Every page is gone: nothing holds the library any more.
    EXPECT_EQ(nullptr, GetModuleHandleW(L"vornjtwxp.dll"));
}

TEST_F(TwoSheets, AnAddressListLongerThanItsStoredFieldIsRefusedNotCut) {
    const std::wstring printer = LocalPrinter(L"Two Sheets Address K335", L"Vorn K335 PS");
    SheetThread sheet;
    ASSERT_NE(nullptr, sheet.Open(printer));
    const HWND page = sheet.Page(0);
    ASSERT_NE(nullptr, page);
    // E-mail notice on, then the address typed a character at a time.
    const HWND notify = GetDlgItem(page, IDC_NOTIFY);
    SendMessageW(notify, CB_SETCURSEL, 1, 0);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_NOTIFY, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(notify));
    // 70 characters of valid addresses: cut to the 64 stored, the last one
    // would be "dave.x@examp", an address nobody meant.
    const std::wstring list =
        L"alice@example.com bob@example.com carol@example.com dave.x@example.com";
    ASSERT_EQ(70u, list.size());
    const HWND address = GetDlgItem(page, IDC_ADDRESS);
    const HWND typed = FindWindowExW(address, nullptr, L"Edit", nullptr);
    ASSERT_NE(nullptr, typed);
    for (wchar_t c : list) {
        SendMessageW(typed, WM_CHAR, c, 1);
    }
    EXPECT_EQ(64, GetWindowTextLengthW(address)); // the field takes what is stored

    // The whole list reaching the field another way (set by a program).
    const std::wstring& longList = list;
    SetWindowTextW(address, longList.c_str());
    sheet.Run([](standin::PropertySheetHost& host) {
        PropSheet_PressButton(host.Sheet(), PSBTN_APPLYNOW);
        host.Pump(300);
    });
    const auto boxes = sheet.Boxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"'" + longList +
                  L"' is not a valid email address.\nEmail addresses must be of the format "
                  L"'jane@example.com'.\n\nSelect OK to send no email.\nSelect Cancel to enter a "
                  L"new email address.",
              boxes[0]);
    EXPECT_EQ(L"", AddressIn(sheet.PrivateSection())); // nothing cut was stored
    sheet.Close();
}

} // namespace
