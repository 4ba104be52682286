// The option trees and the printing preferences through the loaded plug-in:
// the contexts and callbacks CommonUIProp keeps, "DriverSettings" as Apply
// stores it, the page order, the broadcast after Apply (also past a hung
// window), and the pages, stages and sheet the host and a person see.
#include "sheet_fixture.h"

#include "option_tree_host.h"
#include "resource_meter.h"
#include "resource_ids.h"
#include "support/spooler_printers.h"
#include "uihooks/feature_broadcast.h"
#include "core/names.h"
#include "core/plugin_context.h"
#include "core/private_devmode.h"

#include <shlwapi.h>

#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <tuple>

using standin::EditorPresence;

namespace {

using Features = std::map<std::string, std::string>;

// A top-level window on a thread of its own, as another program's would be:
// it counts the "MSG_UPDATE_FEATURES" it receives and can stop taking
// messages (hang) until it is resumed or destroyed.
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
    // Counted in the window's own user data, by the window's thread.
    LONG Received() const { return static_cast<LONG>(GetWindowLongPtrW(window_, GWLP_USERDATA)); }
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
                                  nullptr, nullptr, nullptr);
        SetEvent(ready_);
        MSG msg;
        while (window_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (msg.message == kHangMessage) {
                SetEvent(hung_);
                WaitForSingleObject(resume_, INFINITE);
            }
            DispatchMessageW(&msg);
        }
    }
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        // Only the news sent from another thread counts: posted, it could
        // still be waiting when Apply returns.
        if (message == RegisterWindowMessageW(L"MSG_UPDATE_FEATURES") && !wParam && !lParam &&
            InSendMessage()) {
            SetWindowLongPtrW(window, GWLP_USERDATA, GetWindowLongPtrW(window, GWLP_USERDATA) + 1);
        } else if (message == WM_DESTROY) {
            PostQuitMessage(0);
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HANDLE ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE hung_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE resume_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HWND window_ = nullptr;
    std::thread thread_; // last: starts once everything above is ready
};

// A printer of this computer with its PrinterDriverData key, and an option
// tree the host builds for it.
class OptionTree : public PluginFixture {
  protected:
    static constexpr const wchar_t* kPrinter = L"UH Option Tree";

    void SetUp() override {
        PluginFixture::SetUp();
        tree = std::make_unique<standin::OptionTreeHost>(host.Driver(), printer.Handle(), kPrinter,
                                                         host.Module());
    }
    void TearDown() override {
        tree.reset();
        PluginFixture::TearDown();
    }
    // Calls CommonUIProp with an item array, so that the callback goes in.
    void OpenTree(DWORD mode) {
        ASSERT_EQ(S_OK, tree->CallCommonUIProp(plugin, mode, true));
        ASSERT_NE(nullptr, tree->Param().OEMCUIPCallback);
    }
    // Blocks held in the tree's heap: the plug-in's contexts.
    int HeldBlocks() {
        int blocks = 0;
        standin::ResourceMeter::EachBusyBlock(tree->Heap(), [&](const void*, size_t) { ++blocks; });
        return blocks;
    }
    // The stored "DriverSettings" (a REG_DWORD), or ~0 when there is none.
    DWORD StoredSettings() {
        DWORD value = 0, type = 0, size = sizeof(value);
        const bool read = SHGetValueW(HKEY_LOCAL_MACHINE, dataKeyPath.c_str(), L"DriverSettings",
                                      &type, &value, &size) == ERROR_SUCCESS;
        return read && type == REG_DWORD && size == sizeof(value) ? value : ~0u;
    }
    DWORD Apply(DWORD mode, const Features& features, const wchar_t* driver = L"Vorn Office PS") {
        testsupport::Spooler().AddPrinter(kPrinter, driver, 0, L"");
        host.Driver().features = features;
        EXPECT_EQ(S_OK, tree->CallCommonUIProp(plugin, mode, true));
        EXPECT_EQ(CPSUICB_ACTION_NONE, tree->CallCallback(CPSUICB_REASON_APPLYNOW));
        return StoredSettings();
    }
    DWORD ApplyDocument(const Features& features, const wchar_t* driver = L"Vorn Office PS") {
        SHDeleteValueW(HKEY_LOCAL_MACHINE, dataKeyPath.c_str(), L"DriverSettings");
        return Apply(OEMCUIP_DOCPROP, features, driver);
    }

    standin::LocalPrinter printer{kPrinter, L"Vorn Office PS"};
    const std::wstring dataKeyPath = printer.DataKeyPath();
    std::unique_ptr<standin::OptionTreeHost> tree;
};

TEST_F(OptionTree, RefusedCallsAndCallsWithoutItemsOrHandlesKeepNothing) {
    for (DWORD mode : {0u, 3u, 0xFFFFFFFFu}) {
        SetLastError(0);
        EXPECT_EQ(E_FAIL, tree->CallCommonUIProp(plugin, mode, true)) << mode;
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError()) << mode;
    }
    SetLastError(0);
    EXPECT_EQ(E_FAIL, plugin->CommonUIProp(OEMCUIP_DOCPROP, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(nullptr, tree->Param().OEMCUIPCallback);

    // A tree's first call, without an item array: no items asked for, no
    // callback, the context given back.
    for (DWORD mode : {OEMCUIP_DOCPROP, OEMCUIP_PRNPROP}) {
        OEMCUIPPARAM& param = tree->PrepareCall(false);
        param.cOEMOptItems = 7;
        EXPECT_EQ(S_OK, plugin->CommonUIProp(mode, &param)) << mode;
        EXPECT_EQ(0u, param.cOEMOptItems);
        EXPECT_EQ(nullptr, param.OEMCUIPCallback) << mode;
        EXPECT_EQ(0, HeldBlocks()) << mode;
    }
    // A record without one of the handles a context needs keeps nothing.
    void (*const blankers[])(OEMCUIPPARAM&) = {
        [](OEMCUIPPARAM& p) { p.poemuiobj = nullptr; },
        [](OEMCUIPPARAM& p) { p.hPrinter = nullptr; },
        [](OEMCUIPPARAM& p) { p.hModule = nullptr; },
        [](OEMCUIPPARAM& p) { p.hOEMHeap = nullptr; },
    };
    for (auto blank : blankers) {
        for (DWORD mode : {OEMCUIP_DOCPROP, OEMCUIP_PRNPROP}) {
            OEMCUIPPARAM param = tree->PrepareCall(true);
            blank(param);
            EXPECT_EQ(S_OK, plugin->CommonUIProp(mode, &param));
            EXPECT_EQ(nullptr, param.OEMCUIPCallback);
            EXPECT_EQ(nullptr, param.pOEMUserData);
        }
    }
    // A callback left from an earlier printer tree is taken out.
    OpenTree(OEMCUIP_PRNPROP);
    EXPECT_EQ(S_OK, tree->CallCommonUIProp(plugin, OEMCUIP_PRNPROP, false));
    EXPECT_EQ(nullptr, tree->Param().OEMCUIPCallback);
}

// What a kept context holds shows in what it does: the pages' module and
// printer in the sheet tests, the features and the printer's key below, its
// heap in the calls that give it back. A printer name too long for it is cut.
TEST_F(OptionTree, CallWithItemsKeepsAContextPerTree) {
    OpenTree(OEMCUIP_DOCPROP);
    const OEMCUIPCALLBACK documentCallback = tree->Param().OEMCUIPCallback;
    const void* context = tree->Param().pOEMUserData;
    ASSERT_NE(nullptr, context);
    OpenTree(OEMCUIP_PRNPROP);
    EXPECT_NE(documentCallback, tree->Param().OEMCUIPCallback);
    EXPECT_NE(context, tree->Param().pOEMUserData);
    EXPECT_EQ(2, HeldBlocks());

    const std::wstring longName = kPrinter + std::wstring(300, L'n');
    standin::OptionTreeHost longTree(host.Driver(), printer.Handle(), longName, host.Module());
    ASSERT_EQ(S_OK, longTree.CallCommonUIProp(plugin, OEMCUIP_DOCPROP, true));
    EXPECT_EQ(longName.substr(0, 225),
              static_cast<vorn::PluginContext*>(longTree.Param().pOEMUserData)->printerName);
}

TEST_F(OptionTree, DocumentApplyStoresEachOptionsBitsAndTheModelsStapler) {
    struct Case {
        const char* feature;
        std::string option;
        DWORD bits;
    };
    const Case cases[] = {
        {"OptionPunch", "Punch2Hole", 0x2000},
        {"OptionPunch", "Punch3Hole", 0x3000},
        {"OptionPunch", "Punch4Hole", 0x4000},
        {"OptionPunch", "Punch4Holes", 0x4000},
        {"OptionPunch", "Punch2and3Holes", 0x6000},
        {"OptionPunch", "Punch2and4Holes", 0x8000},
        {"OptionPunch", "punch2hole", 0}, // keywords are case-sensitive
        // An answer too long for the 64-byte buffer is no known option.
        {"OptionPunch", "Punch2Hole" + std::string(60, 'x'), 0},
        {"OptionHCF", "True", 0x10000},
        {"OptionHCF", "TRUE", 0},
        {"OptionFinisher", "Stapler", 0x100},
        {"OptionFinisher", "Booklet", 0x200},
        {"OptionInterposer", "True", 0x1},
        {"OptionInterposer", "False", 0},
        {"OutputBin", "Main", 0x10},
        {"OutputBin", "Upper", 0x20},
        {"OutputBin", "Booklet", 0x30},
        {"OutputBin", "Lower", 0}, // an unknown bin adds nothing
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.bits, ApplyDocument({{c.feature, c.option}})) << c.feature << " " << c.option;
    }
    EXPECT_EQ(0u, ApplyDocument({}));

    // Options combined, with the model's stapler.
    const Features full = {{"OptionPunch", "Punch2and4Holes"},
                           {"OptionHCF", "True"},
                           {"OptionFinisher", "Booklet"},
                           {"OptionInterposer", "False"},
                           {"OutputBin", "Upper"}};
    EXPECT_EQ(0x8000u | 0x10000u | 0x200u | 0x20u, ApplyDocument(full));
    // Models 1, 2 and 4 always have a stapler; 3 and 5 do not.
    EXPECT_EQ(0x18320u, ApplyDocument(full, L"Vorn K335 PS"));
    EXPECT_EQ(0x18320u, ApplyDocument(full, L"Vorn K355 PS"));
    EXPECT_EQ(0x18320u, ApplyDocument(full, L"Vorn K355XS PS"));
    EXPECT_EQ(0x18220u, ApplyDocument(full, L"Vorn K340 PS"));
    EXPECT_EQ(0x18220u, ApplyDocument(full, L"Vorn K310 PS"));
    EXPECT_EQ(0x100u, ApplyDocument({{"OptionFinisher", "None"}}, L"Vorn K355 PS"));
    // A printer whose driver cannot be read is of no known model.
    testsupport::Spooler().SetFailures(kPrinter, standin::kFailGetPrinter2);
    EXPECT_EQ(0x18220u, ApplyDocument(full, L"Vorn K335 PS"));
    testsupport::Spooler().SetFailures(kPrinter, 0);
}

TEST_F(OptionTree, PrinterApplyCarriesTheStoredOutputBinOver) {
    EXPECT_EQ(0x10u, Apply(OEMCUIP_PRNPROP, {})) << "no value stored yet";
    // Values as the document path stores them, other bits included; reading
    // the bin as a decimal remainder got most of these wrong.
    const DWORD cases[][2] = {{0x10, 0x10},    {0x20, 0x20},   {0x30, 0x30},   {0x130, 0x30},
                              {0x18320, 0x20}, {0x8330, 0x30}, {0x4000, 0x10}, {0x1, 0x10}};
    for (const auto& [previous, bin] : cases) {
        standin::RegValue(HKEY_LOCAL_MACHINE, dataKeyPath, L"DriverSettings")
            .SetRaw(REG_DWORD, &previous, sizeof(previous));
        EXPECT_EQ(bin | 0x2000u,
                  Apply(OEMCUIP_PRNPROP, {{"OptionPunch", "Punch2Hole"}, {"OutputBin", "Booklet"}}))
            << std::hex << previous;
    }
}

TEST_F(OptionTree, OnlyApplyStoresAndBroadcasts) {
    WindowThread listener;
    ASSERT_NE(nullptr, listener.Window());
    host.Driver().features = {{"OptionHCF", "True"}};
    for (DWORD mode : {OEMCUIP_DOCPROP, OEMCUIP_PRNPROP}) {
        OpenTree(mode);
        for (WORD reason :
             {CPSUICB_REASON_SEL_CHANGED, CPSUICB_REASON_UNDO_CHANGES, CPSUICB_REASON_KILLACTIVE}) {
            EXPECT_EQ(CPSUICB_ACTION_NONE, tree->CallCallback(reason));
        }
    }
    EXPECT_EQ(~0u, StoredSettings());
    EXPECT_EQ(0, listener.Received());

    // Sent, not posted: the other thread's window has it when Apply returns.
    Apply(OEMCUIP_DOCPROP, {});
    Apply(OEMCUIP_PRNPROP, {});
    EXPECT_EQ(2, listener.Received());
    // Without the printer's key nothing can be stored; the news goes out anyway.
    testsupport::RemoveKey(HKEY_LOCAL_MACHINE, dataKeyPath);
    Apply(OEMCUIP_DOCPROP, {{"OptionHCF", "True"}});
    EXPECT_EQ(3, listener.Received());
}

TEST_F(OptionTree, PagesPerSheetSixResetsEveryPageOrderItemOnApply) {
    const std::pair<BYTE, LONG> driverItems[] = {{DMPUB_PAGEORDER, 1},
                                                 {DMPUB_COPIES_COLLATE, 3},
                                                 {DMPUB_NUP, 5},
                                                 {DMPUB_PAGEORDER, 1},
                                                 {DMPUB_ORIENTATION, 6}};
    for (const auto& [id, selection] : driverItems) {
        tree->AddDriverItem(id, selection);
    }
    OpenTree(OEMCUIP_DOCPROP);
    auto& items = tree->driverItems;
    for (LONG selection : {0L, 5L, 7L}) { // another item's selection 6 does not count
        items[2].Sel = selection;
        tree->CallCallback(CPSUICB_REASON_APPLYNOW);
    }
    items[2].Sel = 6;
    tree->CallCallback(CPSUICB_REASON_SEL_CHANGED, &items[2]);
    EXPECT_EQ(1, items[0].Sel);
    EXPECT_TRUE(host.Driver().updates.empty());

    tree->CallCallback(CPSUICB_REASON_APPLYNOW);
    const LONG after[] = {0, 3, 6, 0, 6};
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(after[i], items[i].Sel) << i;
    }
    // Each reset item is reported to the host, previous selection 1.
    ASSERT_EQ(2u, host.Driver().updates.size());
    EXPECT_EQ(&items[0], host.Driver().updates[0].item);
    EXPECT_EQ(&items[3], host.Driver().updates[1].item);
    for (const auto& update : host.Driver().updates) {
        EXPECT_EQ(1u, update.previousSelection);
        EXPECT_EQ(OEMCUIP_DOCPROP, update.mode);
    }
}

// Apply of the printing preferences while another program's top-level window
// has stopped answering: the broadcast passes it over within its timeout, the
// other windows still get the message before Apply ends, and the pages still
// report to the host.
class HungWindow : public PluginFixture {};

TEST_F(HungWindow, ApplyOfTheSheetWaitsNoLongerThanTheBroadcastTimeout) {
    constexpr wchar_t kPrinter[] = L"UH Hung Window K340";
    testsupport::Spooler().AddPrinter(kPrinter, L"Vorn K340 PS", 0, L"vornpsui.dll");
    standin::EditorPresence editor;
    WindowThread hung, answering;
    ASSERT_NE(nullptr, hung.Window());
    standin::PropertySheetHost sheet(host);
    standin::HostPage tree(&sheet.optionTreeParam); // its Apply runs the document callback
    const HWND window = ShowWithTreePage(sheet, tree, kPrinter);
    ASSERT_NE(nullptr, window);
    auto timedApply = [&] {
        sheet.results.clear();
        const DWORD start = GetTickCount();
        SendMessageW(window, PSM_APPLY, 0, 0);
        return GetTickCount() - start;
    };
    // Windows of the desktop's own programs may still be starting up; one
    // Apply with every window answering lets them settle first.
    const DWORD settled = timedApply();
    hung.Hang();
    const DWORD withHung[] = {timedApply(), timedApply()};
    std::printf("[ figures  ] sheet Apply, every window answering: %lu ms; one window hung: "
                "%lu ms, again %lu ms (broadcast timeout %u ms)\n",
                settled, withHung[0], withHung[1], vorn::kFeatureBroadcastTimeoutMs);
    // Generous, yet below twice the timeout: the hung thread's other
    // top-level windows (its input-method window) must not cost it again.
    for (DWORD ms : withHung) {
        EXPECT_LT(ms, 2 * vorn::kFeatureBroadcastTimeoutMs);
    }
    EXPECT_EQ(3, tree.applies);
    EXPECT_EQ(3, answering.Received());
    EXPECT_EQ(1, hung.Received()) << "only the message sent before it hung";
    // The Destination page and the callback reported OK each time.
    ASSERT_EQ(2u, sheet.results.size());
    for (const auto& result : sheet.results) {
        EXPECT_EQ(CPSUI_OK, result.second);
    }
    hung.Resume();
    PropSheet_PressButton(window, PSBTN_CANCEL);
    EXPECT_TRUE(sheet.PumpUntilClosed(5000));
}

using Titles = std::vector<std::wstring>;
const Titles kDestinationOnly{L"Destination"};
const Titles kBothPages{L"Destination", L"Tickets"};

class DocumentSheet : public SheetFixture {};

TEST_F(DocumentSheet, TheTicketsPageNeedsTheEditorAndAQualifyingPrinter) {
    using Editor = EditorPresence::Editor;
    struct Case {
        const char* name;
        std::optional<Editor> editor; // none: no "Path" value at all
        DWORD attributes;
        DWORD failures;
        Titles expected;
    };
    const Case cases[] = {
        {"editor missing", Editor::Missing, 0, 0, kDestinationOnly},
        {"not installed", std::nullopt, 0, 0, kDestinationOnly},
        {"editor program a folder", Editor::Directory, 0, 0, kDestinationOnly},
        {"local printer", Editor::File, PRINTER_ATTRIBUTE_LOCAL, 0, kBothPages},
        {"connection", Editor::File, PRINTER_ATTRIBUTE_NETWORK, 0, kDestinationOnly},
        {"direct connection", Editor::File, PRINTER_ATTRIBUTE_NETWORK | PRINTER_ATTRIBUTE_DIRECT, 0,
         kBothPages},
        // Unknown printer information counts as qualifying.
        {"connection, unknown", Editor::File, PRINTER_ATTRIBUTE_NETWORK, standin::kFailGetPrinter5,
         kBothPages},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditorPresence editor(c.editor.value_or(Editor::File));
        if (!c.editor) {
            EditorPresence::Uninstall();
        }
        ASSERT_EQ(S_OK, OpenSheet(c.attributes, DriverConfigIn(L"page"), c.failures));
        EXPECT_EQ(c.expected, DescribedTitles());
        sheet.reset();
    }
    // A "Path" that is no full path names no editor, even where the host's
    // current directory would make it name an installed one.
    EditorPresence editor;
    const std::wstring folder = editor.Folder(), parent = folder.substr(0, folder.rfind(L'\\'));
    const std::wstring name = folder.substr(parent.size() + 1);
    ASSERT_EQ(L"C:", folder.substr(0, 2));
    ASSERT_TRUE(SetCurrentDirectoryW(parent.c_str()));
    for (const std::wstring& path : {name, folder.substr(2), L"C:" + name}) {
        SCOPED_TRACE(testing::Message() << path);
        standin::RegValue(HKEY_LOCAL_MACHINE, vorn::names::kTicketSoftwareKey,
                          vorn::names::kTicketSoftwarePathValue)
            .SetString(path);
        ASSERT_EQ(S_OK, OpenSheet(PRINTER_ATTRIBUTE_LOCAL));
        EXPECT_EQ(kDestinationOnly, DescribedTitles());
        sheet.reset();
    }
    SetCurrentDirectoryW(startDirectory.c_str());
}

TEST_F(DocumentSheet, PagesAndLaterStagesAsTheProtocolAsksAndTheSheetClosesWithOk) {
    EditorPresence editor;
    ASSERT_TRUE(editor.Installed());
    ASSERT_EQ(S_OK, OpenSheet());
    ASSERT_EQ(2u, sheet->calls.size());
    const PROPSHEETPAGEW& destination = sheet->calls[0].page;
    const PROPSHEETPAGEW& tickets = sheet->calls[1].page;
    EXPECT_EQ(96u, destination.dwSize);
    EXPECT_EQ(static_cast<DWORD>(PSP_USETITLE), destination.dwFlags);
    EXPECT_EQ(static_cast<DWORD>(PSP_USETITLE), tickets.dwFlags);
    EXPECT_EQ(host.Module(), destination.hInstance);
    EXPECT_EQ(MAKEINTRESOURCEW(IDD_DESTINATION), destination.pszTemplate);
    EXPECT_EQ(MAKEINTRESOURCEW(IDD_TICKETS), tickets.pszTemplate);
    EXPECT_NE(nullptr, destination.pfnDlgProc);
    EXPECT_NE(destination.pfnDlgProc, tickets.pfnDlgProc);
    EXPECT_EQ(nullptr, destination.pfnCallback);
    EXPECT_NE(0, destination.lParam);
    EXPECT_EQ(reinterpret_cast<LPARAM>(sheet->optionTreeParam.pOEMUserData), destination.lParam);
    EXPECT_EQ(destination.lParam, tickets.lParam);
    // Init's last step, the information header, leaves its result.
    EXPECT_EQ(1u, sheet->info.Result);
    // Not on Windows XP: the external page library is not even loaded.
    EXPECT_EQ(L"", ExternalLibraryLoaded());

    // Init() asked for the information header after the pages.
    EXPECT_STREQ(L"OEM UI Page", sheet->header.pTitle);

    SETRESULT_INFO setResult{sizeof(setResult), 0, sheet.get(), 7};
    PROPSHEETUI_GETICON_INFO icon{};
    const std::tuple<WORD, LPARAM, ULONG_PTR> stages[] = {
        {PROPSHEETUI_REASON_SET_RESULT, reinterpret_cast<LPARAM>(&setResult), 7},
        {PROPSHEETUI_REASON_GET_ICON, reinterpret_cast<LPARAM>(&icon), 0},
        {9, 0, 0}};
    for (const auto& [reason, lParam, result] : stages) {
        sheet->info.Result = 5;
        EXPECT_EQ(S_OK, sheet->Call(reason, lParam)) << reason;
        EXPECT_EQ(result, sheet->info.Result) << reason;
    }
    EXPECT_EQ(2u, sheet->calls.size()); // no stage after INIT added anything

    HWND window = sheet->ShowModeless();
    ASSERT_NE(nullptr, window);
    sheet->Pump(100);
    EXPECT_EQ(kBothPages, sheet->TabTitles());
    EXPECT_NE(nullptr, GetDlgItem(sheet->PageWindow(0), IDC_ABOUT_BUTTON));
    EXPECT_NE(nullptr, sheet->PageWindow(1));
    PropSheet_PressButton(window, PSBTN_OK);
    EXPECT_TRUE(sheet->PumpUntilClosed(5000));
    EXPECT_EQ(S_OK, sheet->End(CPSUI_OK));
    EXPECT_EQ(1u, sheet->info.Result); // DESTROY comes last
}

// The pages are added with the context of the latest option tree on the
// sheet's thread that kept one: a refused call changes nothing, and a tree
// without items gives its context back.
TEST_F(DocumentSheet, PagesTakeTheContextOfTheLatestTreeThatKeptOne) {
    const std::pair<DWORD, bool> laterTrees[] = {
        {OEMCUIP_PRNPROP, true}, {OEMCUIP_DOCPROP, false}, {OEMCUIP_PRNPROP, false}};
    for (const auto& [mode, laterKeeps] : laterTrees) {
        SCOPED_TRACE(testing::Message() << mode << " " << laterKeeps);
        ASSERT_EQ(S_OK, OpenSheet(0, DriverConfigIn(L"page"), 0, false));
        OEMCUIPPARAM later = sheet->optionTreeParam;
        later.pOEMUserData = nullptr;
        later.pOEMOptItems = laterKeeps ? later.pOEMOptItems : nullptr;
        EXPECT_EQ(S_OK, plugin->CommonUIProp(mode, &later));
        EXPECT_EQ(E_FAIL, plugin->CommonUIProp(7, &later));
        EXPECT_EQ(laterKeeps ? S_OK : E_FAIL, sheet->Init());
        ASSERT_EQ(laterKeeps ? 1u : 0u, sheet->calls.size());
        if (laterKeeps) {
            EXPECT_EQ(reinterpret_cast<LPARAM>(later.pOEMUserData), sheet->calls[0].page.lParam);
        }
        sheet.reset();
    }
    // A printer tree ended on this thread (its heap gone) does not stand in
    // for the document tree made since on another thread.
    HANDLE printer = nullptr;
    ASSERT_TRUE(OpenPrinterW(const_cast<wchar_t*>(kPrinter), &printer, nullptr));
    auto printerTree =
        std::make_unique<standin::OptionTreeHost>(host.Driver(), printer, kPrinter, host.Module());
    ASSERT_EQ(S_OK, printerTree->CallCommonUIProp(plugin, OEMCUIP_PRNPROP, true));
    sheet = std::make_unique<standin::PropertySheetHost>(host); // its heap first: a new address
    printerTree.reset();
    ClosePrinter(printer);
    HRESULT begun = E_UNEXPECTED;
    std::thread([&] { begun = sheet->Begin(kPrinter); }).join();
    ASSERT_EQ(S_OK, begun);
    ASSERT_EQ(S_OK, sheet->Init());
    ASSERT_FALSE(sheet->calls.empty());
    EXPECT_EQ(reinterpret_cast<LPARAM>(sheet->optionTreeParam.pOEMUserData),
              sheet->calls[0].page.lParam);
}

// The collation is set in the document tree; its Apply copies it into the
// private section and reports to the sheet for the Destination page.
TEST_F(DocumentSheet, TheTreesApplyCopiesTheCollationAndReportsForTheDestinationPage) {
    ASSERT_EQ(S_OK, OpenSheet(0, DriverConfigIn(L"page"), 0, false));
    auto* section = reinterpret_cast<vorn::PrivateDevmode*>(sheet->devmode.Private());
    section->collate = 99;
    // Before the sheet is set up there is nothing to copy into or report to.
    EXPECT_EQ(CPSUICB_ACTION_NONE, TreeCallback(CPSUICB_REASON_APPLYNOW));
    EXPECT_EQ(99, section->collate);
    ASSERT_EQ(S_OK, sheet->Init());
    for (short collate : {DMCOLLATE_TRUE, DMCOLLATE_FALSE}) {
        section->collate = 99;
        sheet->devmode.Public()->dmCollate = collate;
        sheet->results.clear();
        TreeCallback(CPSUICB_REASON_SEL_CHANGED);
        EXPECT_EQ(99, section->collate) << "only Apply copies";
        EXPECT_TRUE(sheet->results.empty());

        EXPECT_EQ(CPSUICB_ACTION_NONE, TreeCallback(CPSUICB_REASON_APPLYNOW));
        EXPECT_EQ(collate, section->collate);
        ASSERT_EQ(1u, sheet->results.size());
        EXPECT_EQ(sheet->pages[0].handle, sheet->results[0].first);
        EXPECT_EQ(CPSUI_OK, sheet->results[0].second);
    }
}

TEST_F(DocumentSheet, ResultTellsWhetherThePageWasTaken) {
    EditorPresence missingProgram(EditorPresence::Editor::Missing);
    ASSERT_EQ(S_OK, OpenSheet(0, DriverConfigIn(L"page"), 0, false));
    static int offered = 0;
    offered = 0;
    sheet->info.pfnComPropSheet = [](HANDLE, UINT, LPARAM, LPARAM) -> LONG_PTR {
        ++offered;
        return 0; // the host refuses the page
    };
    sheet->info.Result = 5;
    EXPECT_EQ(S_OK, sheet->Call(PROPSHEETUI_REASON_INIT, sheet->info.lParamInit));
    EXPECT_EQ(1, offered);
    EXPECT_EQ(0u, sheet->info.Result);
}

TEST_F(DocumentSheet, MalformedRecordsAreRefused) {
    ASSERT_EQ(S_OK, OpenSheet());
    const size_t callsBefore = sheet->calls.size();
    // The refusal's error stands whether the ticket editor is absent, named
    // but missing, or installed.
    for (int state = 0; state < 3; ++state) {
        SCOPED_TRACE(state);
        std::optional<EditorPresence> editor;
        if (state > 0) {
            editor.emplace(state == 1 ? EditorPresence::Editor::Missing
                                      : EditorPresence::Editor::File);
        }
        for (WORD version : {WORD{0x0101}, WORD{0}}) {
            sheet->info.Version = version;
            SetLastError(0);
            EXPECT_EQ(E_FAIL, sheet->Call(PROPSHEETUI_REASON_INIT, sheet->info.lParamInit));
            EXPECT_EQ(87u, GetLastError());
        }
        SetLastError(0);
        EXPECT_EQ(E_FAIL, plugin->DocumentPropertySheets(nullptr, 0));
        EXPECT_EQ(87u, GetLastError());
    }
    EXPECT_EQ(callsBefore, sheet->calls.size());
    sheet->info.Version = PROPSHEETUI_INFO_VERSION;
}

} // namespace
