// Pieces of the sheet assembly that the loaded plug-in does not show from
// outside: what the sheet's end leaves alone and loading a library from the
// driver's folder. (The version check shows from outside: sheets_dll_tests
// and sheets_xp_tests see the external page library skipped and used.)
#include "core/plugin_context.h"
#include "uihooks/property_sheets.h"

#include "plugin_host.h"
#include "spooler_control.h"

#include <gtest/gtest.h>

namespace {

PROPSHEETUI_INFO InfoAt(WORD reason) {
    PROPSHEETUI_INFO info{};
    info.cbSize = sizeof(info);
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Reason = reason;
    return info;
}

TEST(SheetDestruction, FreesNoLibraryThatAnyPageMayStillUse) {
    // A library loaded by somebody else in the process (a page of another
    // sheet, say) stays loaded through any number of destructions.
    const std::wstring library = standin::ProgramFolder() + L"xps\\page\\VORNPSXPS.DLL";
    HMODULE loaded = LoadLibraryW(library.c_str());
    ASSERT_NE(nullptr, loaded);
    PROPSHEETUI_INFO info = InfoAt(PROPSHEETUI_REASON_DESTROY);
    for (int destruction = 0; destruction < 2; ++destruction) {
        EXPECT_EQ(S_OK, vorn::DocumentPropertySheets(&info, 0));
        EXPECT_EQ(1u, info.Result);
        EXPECT_EQ(loaded, GetModuleHandleW(L"VORNPSXPS.DLL"));
    }
    FreeLibrary(loaded);
}

class DriverFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(spooler.Load());
        spooler.Reset();
        GetCurrentDirectoryW(MAX_PATH, start);
        printerName = L"Driver Folder K335";
    }
    void TearDown() override {
        SetCurrentDirectoryW(start);
        if (context.printer) {
            ClosePrinter(context.printer);
        }
    }
    void Describe(const std::wstring& configFile, DWORD failures = 0) {
        spooler.AddPrinter(printerName.c_str(), L"Vorn K335", 0, configFile.c_str());
        spooler.SetFailures(printerName.c_str(), failures);
        ASSERT_TRUE(OpenPrinterW(printerName.data(), &context.printer, nullptr));
    }
    std::wstring Current() {
        wchar_t now[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, now);
        std::wstring text = now;
        if (!text.empty() && text.back() != L'\\') {
            text += L'\\';
        }
        return text;
    }

    standin::SpoolerControl spooler{};
    vorn::PluginContext context{};
    std::wstring printerName;
    wchar_t start[MAX_PATH] = {};
};

TEST_F(DriverFolder, LoadsTheLibraryFromTheConfigurationFilesFolder) {
    const std::wstring folder = standin::ProgramFolder() + L"xps\\nopage\\";
    Describe(folder + L"vornpsui.dll");
    HMODULE library = vorn::LoadLibraryFromDriverDir(&context, L"VORNPSXPS.DLL");
    ASSERT_NE(nullptr, library);
    EXPECT_EQ(std::wstring(start) + L"\\", Current()); // the process's directory is the host's
    wchar_t loaded[MAX_PATH] = {};
    GetModuleFileNameW(library, loaded, MAX_PATH);
    EXPECT_EQ(folder + L"VORNPSXPS.DLL", std::wstring(loaded));
    FreeLibrary(library);
}

TEST_F(DriverFolder, WithoutDriverInformationTheDirectoryStays) {
    Describe(standin::ProgramFolder() + L"xps\\page\\vornpsui.dll", standin::kFailGetDriver);
    const std::wstring before = Current();
    EXPECT_EQ(nullptr, vorn::LoadLibraryFromDriverDir(&context, L"VORNPSXPS.DLL"));
    EXPECT_EQ(before, Current());
}

} // namespace
