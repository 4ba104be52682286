// A printer as the spooler and the driver's installer leave it on this
// machine: described to the stand-in spooler, its key with PrinterDriverData
// made afresh (what an earlier run left would change what the plug-in
// finds), and opened as the host opens it. The handle is closed and the key
// removed when the object goes.
#pragma once

#include "core/names.h"
#include "machine_changes.h"

#include <windows.h>
#include <winspool.h>

// After winspool.h, whose AddPrinter macro renames its member alike.
#include "spooler_control.h"

#include <algorithm>
#include <string>

namespace standin {

// The key (under HKLM) the spooler keeps a local printer's settings in: the
// printer's name with its backslashes turned into commas.
inline std::wstring PrinterKeyPath(std::wstring printerName) {
    std::replace(printerName.begin(), printerName.end(), L'\\', L',');
    return vorn::names::kLocalPrintersPath + printerName;
}

class LocalPrinter {
  public:
    LocalPrinter(const std::wstring& name, const std::wstring& driverName, DWORD attributes = 0,
                 const std::wstring& configFile = L"")
        : name_(name) {
        SpoolerControl spooler{};
        described_ = spooler.Load() && spooler.AddPrinter(name.c_str(), driverName.c_str(),
                                                          attributes, configFile.c_str());
        RemoveKey(HKEY_LOCAL_MACHINE, KeyPath());
        MakeKey(HKEY_LOCAL_MACHINE, DataKeyPath());
        OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &handle_, nullptr);
    }
    ~LocalPrinter() {
        if (handle_) {
            ClosePrinter(handle_);
        }
        RemoveKey(HKEY_LOCAL_MACHINE, KeyPath());
    }
    LocalPrinter(const LocalPrinter&) = delete;
    LocalPrinter& operator=(const LocalPrinter&) = delete;

    // False when the stand-in spooler is missing.
    bool Described() const { return described_; }
    HANDLE Handle() const { return handle_; }
    const std::wstring& Name() const { return name_; }
    std::wstring KeyPath() const { return PrinterKeyPath(name_); }
    std::wstring DataKeyPath() const { return KeyPath() + vorn::names::kPrinterDriverDataSuffix; }

  private:
    std::wstring name_;
    HANDLE handle_ = nullptr;
    bool described_ = false;
};

} // namespace standin
