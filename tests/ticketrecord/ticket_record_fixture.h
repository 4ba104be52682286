// A document sheet as the Tickets page sees it when the user asks for a new
// ticket: a printer of the stand-in spooler, the host's driver interface
// with a feature table, both DEVMODEs and the record flush against
// inaccessible pages (the record's guard after and before it in turn), so a
// stray read or write faults at once. The record is read back by byte
// offset, the way the ticket library reads it.
#pragma once

#include "support/guarded_buffer.h"

#include "core/plugin_context.h"
#include "core/private_devmode.h"
#include "driver_ui.h"
#include "spooler_control.h"
#include "ticketrecord/ticket_translator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

// The record's fields as the ticket library reads them: offset, kind
// ('w' word, 's' signed word, 'd' double, 't' text of `chars` units).
struct RecordField {
    const char* name;
    size_t offset;
    char kind;
    size_t chars;
};
inline constexpr RecordField kRecordFields[] = {
    {"printerName", 4, 't', 222},     {"modelCode", 448, 't', 37},
    {"jobName", 1562, 't', 81},       {"userName", 1724, 't', 17},
    {"deliveryCode", 1758, 'w', 0},   {"pin", 1760, 't', 5},
    {"mediaKind", 1772, 'w', 0},      {"pageCode", 1774, 's', 0},
    {"mediaNumber", 1776, 'w', 0},    {"mediaColor", 1778, 'w', 0},
    {"mediaOpacity", 1780, 'w', 0},   {"recycled", 1782, 'w', 0},
    {"heavyMedia", 1784, 'w', 0},     {"pageWidth", 1792, 'd', 0},
    {"pageHeight", 1800, 'd', 0},     {"copies", 1808, 'w', 0},
    {"collateCode", 1810, 'w', 0},    {"jogCode", 1812, 'w', 0},
    {"sidesCode", 1814, 'w', 0},      {"stapleCount", 1816, 'w', 0},
    {"stapleEdge", 1818, 'w', 0},     {"stapleKind", 1820, 'w', 0},
    {"stapleAngle", 1822, 'w', 0},    {"punchHoles", 1824, 'w', 0},
    {"punchEdge", 1826, 'w', 0},      {"outputBinCode", 1828, 'w', 0},
    {"notifyOn", 1830, 'w', 0},       {"notifyKind", 1832, 'w', 0},
    {"emailAddress", 1834, 't', 65},  {"emailMessage", 2346, 't', 256},
    {"preprinted", 3052, 'w', 0},     {"prepunched", 3054, 'w', 0},
    {"bookletPortrait", 3056, 'w', 0}};
// What the plug-in never writes: the library's directory and file name, and
// the gaps. The reserved words at 0 are always cleared.
struct RecordRange {
    size_t offset;
    size_t bytes;
};
inline constexpr RecordRange kUntouched[] = {{522, 1040}, {1770, 2},   {1786, 6},
                                             {1964, 382}, {2858, 194}, {3058, 6}};

class TicketRecordTest : public ::testing::Test {
  protected:
    static constexpr const wchar_t* kPrinter = L"TicketRecord Test Printer";

    void SetUp() override {
        ASSERT_TRUE(spooler.Load());
        spooler.Reset();
        UsePrinter(kPrinter, L"Vorn K340 PS");
        ResetDevmodes(DMORIENT_PORTRAIT);
        sheet.cbSize = sizeof(sheet);
        sheet.pPublicDM = Public();
        sheet.pOEMDM = privateDm.Data();
        context.uiObject = driver.UiObject();
        context.driver = &driver;
        context.sheetParam = &sheet;
    }
    void TearDown() override { ClosePrinter(context.printer); }

    // Describes the printer to the spooler and opens it for the context.
    void UsePrinter(const std::wstring& name, const wchar_t* driverName) {
        ClosePrinter(std::exchange(context.printer, nullptr)); // none before the first
        ASSERT_TRUE(spooler.AddPrinter(name.c_str(), driverName, 0, L"vornpsui.dll"));
        ASSERT_TRUE(OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &context.printer, nullptr));
    }
    void ResetDevmodes(short orientation) {
        publicDm.Fill(0);
        privateDm.Fill(0);
        Public()->dmSize = sizeof(DEVMODEW);
        Public()->dmDriverExtra = 2924;
        Public()->dmOrientation = orientation;
        Public()->dmCopies = 2;
    }
    DEVMODEW* Public() { return reinterpret_cast<DEVMODEW*>(publicDm.Data()); }
    vorn::PrivateDevmode* Private() {
        return reinterpret_cast<vorn::PrivateDevmode*>(privateDm.Data());
    }

    // Fills a fresh record (page code `stalePageCode`, a pattern in what the
    // plug-in must not write) and checks that only its fields were written
    // and that the DEVMODEs were only read.
    void Fill(SHORT stalePageCode = 0, bool withContext = true) {
        GuardedBuffer& buffer = (++fills % 2) ? recordAfter : recordBefore;
        buffer.Fill(0);
        bytes = buffer.Data();
        std::memset(bytes, 0xFF, 4);
        for (const RecordRange& range : kUntouched) {
            std::memset(bytes + range.offset, 0xA5, range.bytes);
        }
        std::memcpy(bytes + 1774, &stalePageCode, 2);
        const std::vector<BYTE> publicBefore(publicDm.Data(), publicDm.Data() + publicDm.Size());
        const std::vector<BYTE> privateBefore(privateDm.Data(), privateDm.Data() + 2924);
        vorn::FillNewTicketRecord(reinterpret_cast<vorn::NewTicketRecord*>(bytes),
                                  withContext ? &context : nullptr);
        EXPECT_EQ(0, U16(0) | U16(2));
        for (const RecordRange& range : kUntouched) {
            for (size_t i = range.offset; i < range.offset + range.bytes; ++i) {
                ASSERT_EQ(0xA5, bytes[i]) << "byte " << i << " was written";
            }
        }
        for (const RecordField& field : kRecordFields) {
            if (field.kind == 't') {
                Text(field);
            }
        }
        EXPECT_EQ(0, std::memcmp(publicBefore.data(), publicDm.Data(), publicDm.Size()));
        EXPECT_EQ(0, std::memcmp(privateBefore.data(), privateDm.Data(), 2924));
    }

    static const RecordField& FieldNamed(const std::string& name) {
        const RecordField* field =
            std::find_if(std::begin(kRecordFields), std::end(kRecordFields),
                         [&](const RecordField& f) { return name == f.name; });
        EXPECT_NE(std::end(kRecordFields), field) << "no record field " << name;
        return field != std::end(kRecordFields) ? *field : kRecordFields[0];
    }
    // A number field of the last record filled.
    double Number(const char* name) const {
        const RecordField& field = FieldNamed(name);
        if (field.kind == 'd') {
            double value;
            std::memcpy(&value, bytes + field.offset, sizeof(value));
            return value;
        }
        return field.kind == 's' ? static_cast<SHORT>(U16(field.offset)) : U16(field.offset);
    }
    WORD U16(size_t offset) const {
        WORD value;
        std::memcpy(&value, bytes + offset, sizeof(value));
        return value;
    }
    // The text of a text field of the last record filled; fails when
    // unterminated.
    std::wstring Text(const RecordField& field) const {
        std::wstring text(field.chars, L'\0');
        std::memcpy(text.data(), bytes + field.offset, field.chars * sizeof(wchar_t));
        const size_t end = text.find(L'\0');
        EXPECT_NE(std::wstring::npos, end) << field.name << " is not terminated";
        return text.substr(0, end);
    }
    std::wstring Text(const char* name) const { return Text(FieldNamed(name)); }

    using GuardedBuffer = testsupport::GuardedBuffer;
    standin::SpoolerControl spooler{};
    standin::DriverUI driver;
    GuardedBuffer publicDm{sizeof(DEVMODEW)};
    GuardedBuffer privateDm{2924};
    GuardedBuffer recordAfter{sizeof(vorn::NewTicketRecord)};
    GuardedBuffer recordBefore{sizeof(vorn::NewTicketRecord), GuardedBuffer::Guard::Before};
    BYTE* bytes = recordAfter.Data();
    OEMUIPSPARAM sheet{};
    vorn::PluginContext context{};
    int fills = 0;
};
