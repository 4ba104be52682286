// The plug-in loaded in the stand-in host, a printer of this computer with
// its PrinterDriverData key, and an option tree the host builds for it.
#pragma once

#include "option_tree_host.h"
#include "support/plugin_fixture.h"
#include "support/spooler_printers.h"
#include "uihooks/plugin_context.h"

#include <memory>
#include <string>

class OptionTreeFixture : public PluginFixture {
  protected:
    // Describes the printer to the spooler, makes its key unless told not
    // to, and builds the host's tree for it.
    void MakePrinter(const std::wstring& name, const std::wstring& driverName,
                     bool withKey = true) {
        printer = std::make_unique<testsupport::TestPrinter>(name, driverName);
        ASSERT_NE(nullptr, printer->Handle());
        dataKeyPath = testsupport::LocalPrinterKeyPath(name) + L"\\PrinterDriverData";
        testsupport::RemoveKey(HKEY_LOCAL_MACHINE, testsupport::LocalPrinterKeyPath(name));
        if (withKey) {
            testsupport::MakeKey(HKEY_LOCAL_MACHINE, dataKeyPath);
        }
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
    // What the property-sheet code records in the context when it adds the
    // pages.
    void AttachSheet(HANDLE ownPage, HPROPSHEETPAGE externalPage) {
        vorn::PluginContext* context = Context();
        context->sheetParam = &tree->SheetParam();
        context->sheet = tree->SheetHandle();
        context->sheetFunction = standin::OptionTreeHost::SheetFunction;
        context->pageHandle = ownPage;
        context->externalPage = externalPage;
    }

    bool ReadDriverSettings(DWORD* value, DWORD* type = nullptr) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, dataKeyPath.c_str(), 0, KEY_READ, &key) !=
            ERROR_SUCCESS) {
            return false;
        }
        DWORD size = sizeof(*value), valueType = 0;
        const LONG status = RegQueryValueExW(key, L"DriverSettings", nullptr, &valueType,
                                             reinterpret_cast<BYTE*>(value), &size);
        RegCloseKey(key);
        if (type) {
            *type = valueType;
        }
        return status == ERROR_SUCCESS && size == sizeof(*value);
    }
    void WriteDriverSettings(DWORD value) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegOpenKeyExW(HKEY_LOCAL_MACHINE, dataKeyPath.c_str(), 0, KEY_SET_VALUE, &key));
        RegSetValueExW(key, L"DriverSettings", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value),
                       sizeof(value));
        RegCloseKey(key);
    }
    void ForgetDriverSettings() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, dataKeyPath.c_str(), 0, KEY_SET_VALUE, &key) ==
            ERROR_SUCCESS) {
            RegDeleteValueW(key, L"DriverSettings");
            RegCloseKey(key);
        }
    }

    std::unique_ptr<testsupport::TestPrinter> printer;
    std::unique_ptr<standin::OptionTreeHost> tree;
    std::wstring dataKeyPath;
};
