// A printer in the stand-in spooler, the plug-in in the stand-in host, and
// the host's property sheet around it.
#pragma once

#include "editor_presence.h"
#include "host_page.h"
#include "option_tree_host.h"
#include "property_sheet_host.h"
#include "support/plugin_fixture.h"
#include "support/spooler_printers.h"

#include <memory>

// The folder of one build of the external page library ("page", "nopage",
// "noexport"), or of none ("none"), as the driver's folder of a printer.
inline std::wstring DriverConfigIn(const wchar_t* xpsVariant) {
    return standin::ProgramFolder() + L"xps\\" + xpsVariant + L"\\vornpsui.dll";
}

// Begins and initialises `sheet` for `printer`, adds the host's page `tree`
// beside the plug-in's and makes every page: the sheet window, or null when
// a step failed.
inline HWND ShowWithTreePage(standin::PropertySheetHost& sheet, standin::HostPage& tree,
                             const wchar_t* printer) {
    if (sheet.Begin(printer) != S_OK || sheet.Init() != S_OK) {
        return nullptr;
    }
    sheet.pages.push_back({tree.Create(), nullptr, false});
    const HWND window = sheet.ShowModeless();
    return window && sheet.ShowEveryPage() ? window : nullptr;
}

// The process's current directory belongs to the host: no sheet, page or
// editor may move it.
using standin::CurrentDirectory;

class SheetFixture : public PluginFixture {
  protected:
    static constexpr const wchar_t* kPrinter = L"Sheets Test K335";

    void SetUp() override {
        PluginFixture::SetUp();
        spooler.Reset();
    }
    void TearDown() override {
        sheet.reset(); // its pages run the plug-in's code
        EXPECT_EQ(startDirectory, CurrentDirectory());
        PluginFixture::TearDown();
    }

    // Describes the printer and begins the sheet afresh (the document tree's
    // CommonUIProp); then, unless told not to, runs the initialisation.
    HRESULT OpenSheet(DWORD attributes = 0, const std::wstring& config = DriverConfigIn(L"page"),
                      DWORD failures = 0, bool init = true) {
        SetEnvironmentVariableW(standin::knobs::kPageLibraryLoaded, nullptr);
        spooler.AddPrinter(kPrinter, L"Vorn K335 PS", attributes, config.c_str());
        spooler.SetFailures(kPrinter, failures);
        sheet = std::make_unique<standin::PropertySheetHost>(host);
        if (sheet->Begin(kPrinter) != S_OK) {
            return E_UNEXPECTED;
        }
        return init ? sheet->Init() : S_OK;
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

    // The callback the plug-in installed in the document tree, called as the
    // host calls it for `reason`.
    LONG TreeCallback(WORD reason) {
        return standin::CallTreeCallback(sheet->optionTreeParam, reason);
    }

    static std::wstring ExternalLibraryLoaded() {
        wchar_t value[32] = {};
        GetEnvironmentVariableW(standin::knobs::kPageLibraryLoaded, value, 32);
        return value;
    }

    standin::SpoolerControl& spooler = testsupport::Spooler();
    std::unique_ptr<standin::PropertySheetHost> sheet;
    const std::wstring startDirectory = CurrentDirectory();
};
