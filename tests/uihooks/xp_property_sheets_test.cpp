// The Destination page on Windows XP, where the external page library makes
// it from the plug-in's description. Wine reports XP to this program by its
// AppDefaults key, which ctest sets before it runs.
#include "sheet_fixture.h"

namespace {

bool RunningAsXP() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExW(&version) && version.dwMajorVersion == 5 && version.dwMinorVersion == 1;
}

class XPSheet : public SheetFixture {
  protected:
    void SetUp() override {
        ASSERT_TRUE(RunningAsXP()) << "Wine did not report Windows XP";
        SheetFixture::SetUp();
    }
};

TEST_F(XPSheet, TheDriverFoldersLibrarysPageReplacesTheDescriptionTheTicketsPageStays) {
    standin::EditorPresence editor;
    // Searched first by a load by bare name: a library that makes no page.
    const std::wstring decoy = standin::ProgramFolder() + L"VORNPSXPS.DLL";
    ASSERT_TRUE(CopyFileW((standin::ProgramFolder() + L"xps\\noexport\\VORNPSXPS.DLL").c_str(),
                          decoy.c_str(), FALSE));
    const HRESULT opened = OpenSheet(0, DriverConfigIn(L"page"));
    DeleteFileW(decoy.c_str());
    ASSERT_EQ(S_OK, opened);
    ASSERT_EQ(2u, sheet->calls.size());
    EXPECT_EQ(static_cast<UINT>(CPSFUNC_ADD_HPROPSHEETPAGE), sheet->calls[0].function);
    EXPECT_NE(0, sheet->calls[0].lParam1);
    EXPECT_EQ(std::vector<std::wstring>{L"Tickets"}, DescribedTitles()); // the second call
    EXPECT_EQ(L"page", ExternalLibraryLoaded());
    // Freed right after the call (the fixture checks the current directory).
    EXPECT_EQ(nullptr, GetModuleHandleW(L"VORNPSXPS.DLL"));
    // The document tree's Apply reports for the page the library made, with
    // the handle the host gave for it.
    TreeCallback(CPSUICB_REASON_APPLYNOW);
    ASSERT_EQ(1u, sheet->results.size());
    EXPECT_EQ(sheet->pages[0].handle, sheet->results[0].first);

    // The page made from the plug-in's description is a working page.
    HWND window = sheet->ShowModeless();
    ASSERT_NE(nullptr, window);
    sheet->Pump(100);
    EXPECT_EQ((std::vector<std::wstring>{L"Destination", L"Tickets"}), sheet->TabTitles());
    PropSheet_PressButton(window, PSBTN_CANCEL);
    EXPECT_TRUE(sheet->PumpUntilClosed(5000));
}

TEST_F(XPSheet, WithoutAnExternalPageThePluginsOwnIsAdded) {
    struct Case {
        const wchar_t* folder;
        const wchar_t* loaded;
        DWORD failures;
    };
    const Case cases[] = {
        {L"nopage", L"nopage", 0},     // the export answers null
        {L"noexport", L"noexport", 0}, // the export is missing
        {L"none", L"", 0},             // no library in the driver's folder
        // The driver's folder unknown: no library is looked for by name.
        {L"page", L"", standin::kFailGetDriver},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.folder << " " << c.failures);
        ASSERT_EQ(S_OK, OpenSheet(0, DriverConfigIn(c.folder), c.failures));
        EXPECT_EQ(std::vector<std::wstring>{L"Destination"}, DescribedTitles());
        EXPECT_EQ(1u, sheet->calls.size());
        EXPECT_EQ(std::wstring(c.loaded), ExternalLibraryLoaded());
        EXPECT_EQ(nullptr, GetModuleHandleW(L"VORNPSXPS.DLL"));
        sheet.reset();
    }
}

LONG g_pagesReleased = 0;
UINT CALLBACK CountRelease(HWND, UINT message, PROPSHEETPAGEW*) {
    if (message == PSPCB_RELEASE) {
        InterlockedIncrement(&g_pagesReleased);
    }
    return 1;
}

TEST_F(XPSheet, APageTheHostRefusesIsDestroyed) {
    wchar_t address[32] = {};
    swprintf(address, 32, L"%llx",
             static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(&CountRelease)));
    SetEnvironmentVariableW(standin::knobs::kPageLibraryCallback, address);
    ASSERT_EQ(S_OK, OpenSheet(0, DriverConfigIn(L"page"), 0, false));
    sheet->refusePageHandles = true;
    g_pagesReleased = 0;
    ASSERT_EQ(S_OK, sheet->Init());
    SetEnvironmentVariableW(standin::knobs::kPageLibraryCallback, nullptr);
    ASSERT_EQ(1u, sheet->calls.size());
    EXPECT_TRUE(sheet->pages.empty());
    EXPECT_EQ(1, g_pagesReleased);
}

} // namespace
