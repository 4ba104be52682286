// A printer in the stand-in spooler, the plug-in in the stand-in host, and
// the host's property sheet around it.
#pragma once

#include "editor_presence.h"
#include "property_sheet_host.h"
#include "spooler_control.h"
#include "support/plugin_fixture.h"

#include <memory>

// The folder of one build of the external page library ("page", "nopage",
// "noexport"), or of none ("none"), as the driver's folder of a printer.
inline std::wstring DriverConfigIn(const wchar_t* xpsVariant) {
    return standin::ProgramFolder() + L"xps\\" + xpsVariant + L"\\vornpsui.dll";
}

class SheetFixture : public PluginFixture {
  protected:
    static constexpr const wchar_t* kPrinter = L"Sheets Test K335";

    void SetUp() override {
        PluginFixture::SetUp();
        ASSERT_TRUE(spooler.Load());
        spooler.Reset();
        SetEnvironmentVariableW(L"VORNPSXPS_LOADED", nullptr);
        GetCurrentDirectoryW(MAX_PATH, startDirectory);
    }
    void TearDown() override {
        sheet.reset(); // its pages run the plug-in's code
        // The process's current directory belongs to the host: no sheet moves it.
        wchar_t now[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, now);
        EXPECT_STREQ(startDirectory, now);
        PluginFixture::TearDown();
    }

    // Describes the printer, opens the sheet and runs the initialisation.
    HRESULT OpenSheet(DWORD attributes = 0, const std::wstring& config = DriverConfigIn(L"page"),
                      DWORD failures = 0) {
        spooler.AddPrinter(kPrinter, L"Vorn K335 PS", attributes, config.c_str());
        spooler.SetFailures(kPrinter, failures);
        sheet = std::make_unique<standin::PropertySheetHost>(host);
        if (sheet->Begin(kPrinter) != S_OK) {
            return E_UNEXPECTED;
        }
        return sheet->Init();
    }

    // Titles of the pages added from descriptions, in order.
    std::vector<std::wstring> DescribedTitles() const {
        std::vector<std::wstring> titles;
        for (const auto& call : sheet->calls) {
            if (call.function == CPSFUNC_ADD_PROPSHEETPAGEW) {
                titles.push_back(call.title);
            }
        }
        return titles;
    }

    static std::wstring ExternalLibraryLoaded() {
        wchar_t value[32] = {};
        GetEnvironmentVariableW(L"VORNPSXPS_LOADED", value, 32);
        return value;
    }

    standin::SpoolerControl spooler{};
    std::unique_ptr<standin::PropertySheetHost> sheet;
    wchar_t startDirectory[MAX_PATH] = {};
};
