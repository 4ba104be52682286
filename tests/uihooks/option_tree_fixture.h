// The plug-in loaded in the stand-in host, a printer of this computer with
// its PrinterDriverData key, and an option tree the host builds for it.
#pragma once

#include "option_tree_host.h"
#include "support/plugin_fixture.h"
#include "support/spooler_printers.h"
#include "core/plugin_context.h"

#include <memory>

class OptionTreeFixture : public PluginFixture {
  protected:
    void MakePrinter(const std::wstring& name, const std::wstring& driverName) {
        printer = std::make_unique<testsupport::TestPrinter>(name, driverName);
        dataKeyPath = testsupport::LocalPrinterKeyPath(name) + L"\\PrinterDriverData";
        testsupport::MakeKey(HKEY_LOCAL_MACHINE, dataKeyPath);
        tree = std::make_unique<standin::OptionTreeHost>(host.Driver(), printer->Handle(), name,
                                                         host.Module());
    }
    void TearDown() override {
        tree.reset();
        if (printer) {
            testsupport::RemoveKey(HKEY_LOCAL_MACHINE,
                                   testsupport::LocalPrinterKeyPath(printer->Name()));
        }
        printer.reset();
        PluginFixture::TearDown();
    }
    // Calls CommonUIProp with an item array, so that the callback goes in.
    void OpenTree(DWORD mode) {
        ASSERT_EQ(S_OK, tree->CallCommonUIProp(plugin, mode, true));
        ASSERT_NE(nullptr, tree->Param().OEMCUIPCallback);
    }
    vorn::PluginContext* Context() {
        return static_cast<vorn::PluginContext*>(tree->Param().pOEMUserData);
    }
    // The stored "DriverSettings" (a REG_DWORD), or ~0 when there is none.
    DWORD StoredSettings() {
        DWORD value = 0, type = 0, size = sizeof(value);
        const bool read = SHGetValueW(HKEY_LOCAL_MACHINE, dataKeyPath.c_str(), L"DriverSettings",
                                      &type, &value, &size) == ERROR_SUCCESS;
        return read && type == REG_DWORD && size == sizeof(value) ? value : ~0u;
    }
    void StoreSettings(DWORD value) {
        SHSetValueW(HKEY_LOCAL_MACHINE, dataKeyPath.c_str(), L"DriverSettings", REG_DWORD, &value,
                    sizeof(value));
    }
    void ForgetSettings() {
        SHDeleteValueW(HKEY_LOCAL_MACHINE, dataKeyPath.c_str(), L"DriverSettings");
    }

    std::unique_ptr<testsupport::TestPrinter> printer;
    std::unique_ptr<standin::OptionTreeHost> tree;
    std::wstring dataKeyPath;
};
