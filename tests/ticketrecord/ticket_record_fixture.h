// A document sheet as the Tickets page sees it when the user asks for a new
// ticket: a printer of the stand-in spooler, the host's driver interface
// with a feature table, the public DEVMODE and the private section. The
// record is read back by byte offset, the way the ticket library reads it.
#pragma once

#include "core/private_devmode.h"
#include "driver_ui.h"
#include "plugin_host.h"
#include "spooler_control.h"
#include "ticketrecord/ticket_translator.h"
#include "core/plugin_context.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

class TicketRecordTest : public ::testing::Test {
  protected:
    static constexpr const wchar_t* kPrinter = L"TicketRecord Test Printer";

    void SetUp() override {
        ASSERT_TRUE(spooler.Load());
        spooler.Reset();
        UsePrinter(kPrinter, L"Vorn K340 PS");
        sheet.cbSize = sizeof(sheet);
        sheet.pPublicDM = devmode.Public();
        sheet.pOEMDM = Private();
        context.uiObject = driver.UiObject();
        context.driver = &driver;
        context.sheetParam = &sheet;
        std::memset(&record, 0, sizeof(record));
    }
    void TearDown() override { ClosePrinter(context.printer); }

    // Describes the printer to the spooler and opens it for the context.
    void UsePrinter(const std::wstring& name, const wchar_t* driverName) {
        if (context.printer) {
            ClosePrinter(context.printer);
            context.printer = nullptr;
        }
        ASSERT_TRUE(spooler.AddPrinter(name.c_str(), driverName, 0, L"vornpsui.dll"));
        ASSERT_TRUE(OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &context.printer, nullptr));
    }

    vorn::PrivateDevmode* Private() {
        return reinterpret_cast<vorn::PrivateDevmode*>(devmode.Private());
    }
    void SetLandscape() { devmode.Public()->dmOrientation = DMORIENT_LANDSCAPE; }

    void Fill() { vorn::FillNewTicketRecord(&record, &context); }

    const BYTE* Bytes() const { return reinterpret_cast<const BYTE*>(&record); }
    WORD U16(size_t offset) const {
        WORD value;
        std::memcpy(&value, Bytes() + offset, sizeof(value));
        return value;
    }
    SHORT I16(size_t offset) const { return static_cast<SHORT>(U16(offset)); }
    double F64(size_t offset) const {
        double value;
        std::memcpy(&value, Bytes() + offset, sizeof(value));
        return value;
    }
    // The text of a field of `chars` UTF-16 units; fails when unterminated.
    std::wstring Text(size_t offset, size_t chars) const {
        std::wstring text(chars, L'\0');
        std::memcpy(text.data(), Bytes() + offset, chars * sizeof(wchar_t));
        const size_t end = text.find(L'\0');
        EXPECT_NE(std::wstring::npos, end) << "field at " << offset << " is not terminated";
        return text.substr(0, end);
    }

    standin::SpoolerControl spooler{};
    standin::DriverUI driver;
    standin::HostDevmode devmode;
    OEMUIPSPARAM sheet{};
    vorn::PluginContext context{};
    vorn::NewTicketRecord record;
};

// Offsets of the record as the ticket library reads it.
namespace offsets {
constexpr size_t kReserved0 = 0, kReserved2 = 2, kPrinterName = 4, kModelCode = 448,
                 kTicketDirectory = 522, kTicketFileName = 1042, kJobName = 1562, kUserName = 1724,
                 kDeliveryCode = 1758, kPin = 1760, kMediaKind = 1772, kPageCode = 1774,
                 kMediaNumber = 1776, kMediaColor = 1778, kMediaOpacity = 1780, kRecycled = 1782,
                 kHeavyMedia = 1784, kPageWidth = 1792, kPageHeight = 1800, kCopies = 1808,
                 kCollateCode = 1810, kJogCode = 1812, kSidesCode = 1814, kStapleCount = 1816,
                 kStapleEdge = 1818, kStapleKind = 1820, kStapleAngle = 1822, kPunchHoles = 1824,
                 kPunchEdge = 1826, kOutputBinCode = 1828, kNotifyOn = 1830, kNotifyKind = 1832,
                 kEmailAddress = 1834, kEmailMessage = 2346, kPreprinted = 3052, kPrepunched = 3054,
                 kBookletPortrait = 3056;
} // namespace offsets
