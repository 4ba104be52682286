// The printing preferences through the loaded plug-in: which pages the host
// is given, what it is told at each stage of the sheet's life, and the
// sheet a person would see.
#include "sheet_fixture.h"

#include "core/private_devmode.h"
#include "resource_ids.h"

#include <optional>

using standin::EditorPresence;

namespace {

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
        EXPECT_EQ(1u, sheet->info.Result);
        sheet.reset();
    }
}

TEST_F(DocumentSheet, PagesAndLaterStagesAsTheProtocolAsksAndTheSheetClosesWithOk) {
    EditorPresence editor;
    ASSERT_TRUE(editor.Installed());
    ASSERT_EQ(S_OK, OpenSheet());
    ASSERT_EQ(kBothPages, DescribedTitles());
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
    // Both pages get the document tree's context as their parameter.
    EXPECT_NE(0, destination.lParam);
    EXPECT_EQ(reinterpret_cast<LPARAM>(sheet->optionTreeParam.pOEMUserData), destination.lParam);
    EXPECT_EQ(destination.lParam, tickets.lParam);
    // The host hands out distinct handles and the last step's result stays.
    EXPECT_NE(sheet->calls[0].answer, sheet->calls[1].answer);
    EXPECT_EQ(1u, sheet->info.Result);
    // Not on Windows XP: the external page library is not even loaded.
    EXPECT_EQ(L"", ExternalLibraryLoaded());

    // Init() asked for the information header after the pages.
    ASSERT_NE(nullptr, sheet->header.pTitle);
    EXPECT_STREQ(L"OEM UI Page", sheet->header.pTitle);

    SETRESULT_INFO setResult{sizeof(setResult), 0, sheet.get(), 7};
    EXPECT_EQ(S_OK,
              sheet->Call(PROPSHEETUI_REASON_SET_RESULT, reinterpret_cast<LPARAM>(&setResult)));
    EXPECT_EQ(7u, sheet->info.Result);

    PROPSHEETUI_GETICON_INFO icon{};
    sheet->info.Result = 5;
    EXPECT_EQ(S_OK, sheet->Call(PROPSHEETUI_REASON_GET_ICON, reinterpret_cast<LPARAM>(&icon)));
    EXPECT_EQ(0u, sheet->info.Result);

    sheet->info.Result = 5;
    EXPECT_EQ(S_OK, sheet->Call(9));
    EXPECT_EQ(0u, sheet->info.Result);
    EXPECT_EQ(2u, sheet->calls.size()); // no stage after INIT added anything

    HWND window = sheet->ShowModeless();
    ASSERT_NE(nullptr, window);
    sheet->Pump(100);
    EXPECT_EQ(kBothPages, sheet->TabTitles());
    ASSERT_NE(nullptr, sheet->PageWindow(0));
    EXPECT_NE(nullptr, GetDlgItem(sheet->PageWindow(0), IDC_ABOUT_BUTTON));
    EXPECT_NE(nullptr, sheet->PageWindow(1));
    PropSheet_PressButton(window, PSBTN_OK);
    EXPECT_TRUE(sheet->PumpUntilClosed(5000));
    EXPECT_EQ(nullptr, sheet->Sheet());
    EXPECT_EQ(S_OK, sheet->End(CPSUI_OK));
    EXPECT_EQ(1u, sheet->info.Result); // DESTROY comes last
}

// The pages are added with the context of the latest option tree on the
// sheet's thread that kept one: a refused call changes nothing, and a tree
// without items gives its context back.
TEST_F(DocumentSheet, PagesTakeTheContextOfTheLatestTreeThatKeptOne) {
    for (bool laterKeeps : {true, false}) {
        SCOPED_TRACE(laterKeeps);
        ASSERT_EQ(S_OK, OpenSheet(0, DriverConfigIn(L"page"), 0, false));
        OEMCUIPPARAM later = sheet->optionTreeParam;
        later.pOEMUserData = nullptr;
        later.pOEMOptItems = laterKeeps ? later.pOEMOptItems : nullptr;
        EXPECT_EQ(S_OK, plugin->CommonUIProp(OEMCUIP_PRNPROP, &later));
        EXPECT_EQ(E_FAIL, plugin->CommonUIProp(7, &later));
        EXPECT_EQ(laterKeeps ? S_OK : E_FAIL, sheet->Init());
        ASSERT_EQ(laterKeeps ? 1u : 0u, sheet->calls.size());
        if (laterKeeps) {
            EXPECT_NE(sheet->optionTreeParam.pOEMUserData, later.pOEMUserData);
            EXPECT_EQ(reinterpret_cast<LPARAM>(later.pOEMUserData), sheet->calls[0].page.lParam);
        }
        sheet.reset();
    }
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
    for (WORD version : {WORD{0x0101}, WORD{0}}) {
        sheet->info.Version = version;
        SetLastError(0);
        EXPECT_EQ(E_FAIL, sheet->Call(PROPSHEETUI_REASON_INIT, sheet->info.lParamInit));
        EXPECT_EQ(87u, GetLastError());
    }
    SetLastError(0);
    EXPECT_EQ(E_FAIL, plugin->DocumentPropertySheets(nullptr, 0));
    EXPECT_EQ(87u, GetLastError());
    EXPECT_EQ(callsBefore, sheet->calls.size());
    sheet->info.Version = PROPSHEETUI_INFO_VERSION;
}

} // namespace
