// Printers for tests: described to the stand-in spooler, opened like the
// host opens them, and their registry keys made and removed by the test.
#pragma once

#include "local_printer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace testsupport {

inline standin::SpoolerControl& Spooler() {
    static standin::SpoolerControl control;
    static bool loaded = control.Load();
    EXPECT_TRUE(loaded) << "stand-in winspool.drv not loaded";
    return control;
}

// An open printer of the stand-in spooler, closed when it goes.
class TestPrinter {
  public:
    TestPrinter(const std::wstring& name, const std::wstring& driverName, DWORD attributes = 0,
                const std::wstring& configFile = L"")
        : name_(name) {
        Spooler().AddPrinter(name.c_str(), driverName.c_str(), attributes, configFile.c_str());
        OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &handle_, nullptr);
    }
    ~TestPrinter() {
        if (handle_) {
            ClosePrinter(handle_);
        }
    }
    TestPrinter(const TestPrinter&) = delete;
    TestPrinter& operator=(const TestPrinter&) = delete;
    HANDLE Handle() const { return handle_; }
    const std::wstring& Name() const { return name_; }

  private:
    std::wstring name_;
    HANDLE handle_ = nullptr;
};

inline std::wstring KeyNameOf(std::wstring name) {
    std::replace(name.begin(), name.end(), L'\\', L',');
    return name;
}

inline std::wstring LocalPrinterKeyPath(const std::wstring& printerName) {
    return standin::PrinterKeyPath(printerName);
}
inline std::wstring ConnectionKeyPath(const std::wstring& printerName) {
    return L"Printers\\Connections\\" + KeyNameOf(printerName);
}

using standin::KeyExists;
using standin::MakeKey;
using standin::RemoveKey;

} // namespace testsupport
