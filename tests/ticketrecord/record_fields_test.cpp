// The new-ticket record as the ticket library reads it: one row per sheet
// (what the driver answers for its features, the DEVMODEs and the printer
// give, and the record fields that must come out), then a host that answers
// badly: answers of every length, sizes that lie, buffers filled to the last
// byte without a terminator, failures on either call, random DEVMODEs. The
// record and both DEVMODEs sit flush against inaccessible pages (the
// record's guard after and before it in turn), so a stray read or write
// faults at once, and every fill checks that only the record's fields were
// written. The record is read back by byte offset, as the library reads it.
#include "support/guarded_buffer.h"

#include "core/plugin_context.h"
#include "core/private_devmode.h"
#include "driver_ui.h"
#include "spooler_control.h"
#include "ticketrecord/ticket_translator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using testsupport::GuardedBuffer;

// The record's fields as the ticket library reads them: offset, kind
// ('w' word, 's' signed word, 'd' double, 't' text of `chars` units).
struct RecordField {
    const char* name;
    size_t offset;
    char kind;
    size_t chars;
};
constexpr RecordField kRecordFields[] = {
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
// What the plug-in never writes (offset, bytes): the library's directory and
// file name, and the gaps. The reserved words at 0 are always cleared.
constexpr std::pair<size_t, size_t> kUntouched[] = {{522, 1040}, {1770, 2},   {1786, 6},
                                                    {1964, 382}, {2858, 194}, {3058, 6}};

class TicketRecordTest : public ::testing::Test {
  protected:
    static constexpr const wchar_t* kPrinter = L"TicketRecord Test Printer";

    void SetUp() override {
        ASSERT_TRUE(spooler.Load());
        spooler.Reset();
        UsePrinter(kPrinter, L"Vorn K340 PS");
        Public()->dmSize = sizeof(DEVMODEW);
        Public()->dmDriverExtra = 2924;
        Public()->dmOrientation = DMORIENT_PORTRAIT;
        Public()->dmCopies = 2;
        sheet.cbSize = sizeof(sheet);
        sheet.pPublicDM = Public();
        sheet.pOEMDM = privateDm.Data();
        context.uiObject = driver.UiObject();
        context.driver = &driver;
        context.sheetParam = &sheet;
    }
    void TearDown() override { ClosePrinter(context.printer); }

    void UsePrinter(const std::wstring& name, const wchar_t* driverName) {
        ClosePrinter(std::exchange(context.printer, nullptr)); // none before the first
        ASSERT_TRUE(spooler.AddPrinter(name.c_str(), driverName, 0, L"vornpsui.dll"));
        ASSERT_TRUE(OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &context.printer, nullptr));
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
        for (const auto& [offset, size] : kUntouched) {
            std::memset(bytes + offset, 0xA5, size);
        }
        std::memcpy(bytes + 1774, &stalePageCode, 2);
        const std::vector<BYTE> publicBefore(publicDm.Data(), publicDm.Data() + publicDm.Size());
        const std::vector<BYTE> privateBefore(privateDm.Data(), privateDm.Data() + 2924);
        vorn::FillNewTicketRecord(reinterpret_cast<vorn::NewTicketRecord*>(bytes),
                                  withContext ? &context : nullptr);
        EXPECT_EQ(0u, At<DWORD>(0));
        for (const auto& [offset, size] : kUntouched) {
            for (size_t i = offset; i < offset + size; ++i) {
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
    // A value of the last record filled, and a number field of it.
    template <typename T> T At(size_t offset) const {
        T value;
        std::memcpy(&value, bytes + offset, sizeof(value));
        return value;
    }
    double Number(const char* name) const {
        const RecordField& field = FieldNamed(name);
        return field.kind == 'd'   ? At<double>(field.offset)
               : field.kind == 's' ? At<SHORT>(field.offset)
                                   : At<WORD>(field.offset);
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

// `setup`, ";"-separated: "Feature=Option" is the driver's answer (a feature
// not named has none); landscape, copies=, paper=WIDTHxLENGTH (tenths of a
// millimetre), driver= (the printer's driver name), spooler-fails (the
// printer's details cannot be read), no-devmodes, no-sheet, no-context,
// stale= (the page code the record held) and the private section's job=,
// user=, user2=, pin=, mode=, notify=, address=, message=.
// `expected`: record field=value; queried= the features asked, in order;
// lastQueried= the last one. The printer's name is expected unless named.
struct Row {
    std::string setup;
    std::string expected;
};
void PrintTo(const Row& row, std::ostream* out) {
    *out << row.setup;
}

#define MEDIA(kind, number, color, opacity, recycled, heavy, preprinted, prepunched)               \
    "mediaKind=" #kind ";mediaNumber=" #number ";mediaColor=" #color ";mediaOpacity=" #opacity     \
    ";recycled=" #recycled ";heavyMedia=" #heavy ";preprinted=" #preprinted                        \
    ";prepunched=" #prepunched
#define STAPLES(count, kind, edge, angle, booklet)                                                 \
    "stapleCount=" #count ";stapleKind=" #kind ";stapleEdge=" #edge ";stapleAngle=" #angle         \
    ";bookletPortrait=" #booklet
const Row kRows[] = {
    // No answers at all: every feature's fallback.
    {"", "sidesCode=3;collateCode=3;jogCode=1;outputBinCode=6;pageCode=9;pageWidth=612;"
         "pageHeight=792;" STAPLES(65535, 1, 0, 0, 0) ";" MEDIA(2, 0, 0, 0, 0, 0, 0, 0)},
    // Every field at its offset.
    {"copies=7;Duplex=DuplexTumble;Collate=False;"
     "MediaType=PreprintedPrepunchedRecycledLetterheadTranslucentBlue3;PageSize=A5;Jog=EndOfSet;"
     "StapleLocation=RightDiagonal;OutputBin=Upper;OptionPunch=Punch2and4Holes;Punch=Punch4Top;"
     "job=Quarterly report;user=alice;pin=1234;mode=2;notify=2;address=alice@example.com;"
     "message=Your job is done",
     "modelCode=K490;jobName=Quarterly report;userName=alice;pin=1234;"
     "emailAddress=alice@example.com;emailMessage=Your job is done;pageCode=3;pageWidth=420;"
     "pageHeight=595;deliveryCode=1;mediaKind=1;mediaNumber=3;mediaColor=4;mediaOpacity=3;"
     "recycled=1;heavyMedia=0;copies=7;collateCode=1;jogCode=4;sidesCode=4;stapleCount=1;"
     "stapleEdge=4;stapleKind=2;stapleAngle=135;punchHoles=4;punchEdge=4;outputBinCode=19;"
     "notifyOn=1;notifyKind=2;preprinted=1;prepunched=1;bookletPortrait=0"},
    // The model code is the last match in the driver's name.
    {"driver=Vorn K335 PS", "modelCode=K485"},
    {"driver=Vorn K355 PS", "modelCode=K455"},
    {"driver=Vorn K355XS PS", "modelCode=K456"},
    {"driver=Vorn K310 PS", "modelCode=K461"},
    {"driver=Vorn K325 PS", "modelCode=K475"},
    {"driver=K340 and K310", "modelCode=K461"},
    {"driver=Vorn K485 PS", "modelCode="}, // a library code is no driver
    {"driver=Vorn k335 PS", "modelCode="},
    {"driver=Generic PostScript", "modelCode="},
    {"spooler-fails;Duplex=DuplexNoTumble;PageSize=A4;copies=3;job=Still here",
     "printerName=;modelCode=;copies=3;sidesCode=5;pageCode=1;jobName=Still here"},
    // Address and message only when a notice is asked for.
    {"notify=0;address=carol@example.com;message=Printed",
     "notifyOn=0;notifyKind=0;emailAddress=;emailMessage="},
    {"notify=1;address=;message=Printed",
     "notifyOn=1;notifyKind=1;emailAddress=;emailMessage=Printed"},
    {"notify=1;address=carol@example.com;message=Printed",
     "notifyOn=1;notifyKind=1;emailAddress=carol@example.com;emailMessage=Printed"},
    {"notify=3;address=carol@example.com;message=Printed",
     "notifyOn=0;notifyKind=0;emailAddress=;emailMessage="},
    // Sides follow duplex and orientation; collation, jog and bin by name.
    {"Duplex=DuplexNoTumble", "sidesCode=5"},
    {"Duplex=DuplexNoTumble;landscape", "sidesCode=4"},
    {"Duplex=None", "sidesCode=3"},
    {"Duplex=duplextumble;landscape", "sidesCode=3"},
    {"Duplex=DuplexTumble;PageSize=A4;landscape",
     "sidesCode=5;pageCode=1;pageWidth=842;pageHeight=595"},
    {"Collate=True;Jog=EndOfJob;OutputBin=Upper", "collateCode=3;jogCode=4;outputBinCode=19"},
    {"Collate=False;Jog=EndOfSet;OutputBin=Booklet", "collateCode=1;jogCode=4;outputBinCode=20"},
    {"Collate=true;Jog=None;OutputBin=Main", "collateCode=1;jogCode=1;outputBinCode=6"},
    {"Jog=EndOfJobs;OutputBin=Lower", "collateCode=3;jogCode=1;outputBinCode=6"},
    // Media rules combine, later ones winning.
    {"MediaType=RecycledBlue", MEDIA(2, 0, 4, 1, 1, 0, 0, 0)},
    {"MediaType=CardstockSpecial", MEDIA(7, 0, 0, 1, 0, 0, 0, 0)},
    {"MediaType=CardstockThick", MEDIA(7, 0, 0, 1, 0, 1, 0, 0)},
    {"MediaType=UserColor2", MEDIA(2, 0, 73, 1, 0, 0, 0, 0)},
    {"MediaType=UserColor5", MEDIA(2, 5, 58, 1, 0, 0, 0, 0)},
    {"MediaType=UserColor2Tray9", MEDIA(2, 9, 73, 1, 0, 0, 0, 0)},
    {"MediaType=Plain28", MEDIA(2, 8, 0, 1, 0, 0, 0, 0)},
    {"MediaType=Bond10", MEDIA(10, 0, 0, 1, 0, 0, 0, 0)},
    {"MediaType=Transparency", MEDIA(6, 0, 0, 2, 0, 0, 0, 0)},
    {"MediaType=TranslucentLabels", MEDIA(8, 0, 0, 3, 0, 0, 0, 0)},
    {"MediaType=PreprintedTabstockNone", MEDIA(5, 0, 37, 1, 0, 0, 1, 0)},
    {"MediaType=PrepunchedLetterheadRedGrey", MEDIA(1, 0, 49, 1, 0, 0, 0, 1)},
    {"MediaType=blue", MEDIA(2, 0, 0, 1, 0, 0, 0, 0)},
    {"MediaType=TransparencyBlue", MEDIA(6, 0, 4, 2, 0, 0, 0, 0)},
    // Page sizes in points, turned with the document.
    {"PageSize=Letter", "pageCode=9;pageWidth=612;pageHeight=792"},
    {"PageSize=Legal;landscape", "pageCode=21;pageWidth=1008;pageHeight=612"},
    {"PageSize=8x10.5", "pageCode=15;pageWidth=576;pageHeight=756"},
    {"PageSize=12x18", "pageCode=27;pageWidth=864;pageHeight=1296"},
    {"PageSize=ReplyPaidCard", "pageCode=20;pageWidth=420;pageHeight=566"},
    {"PageSize=11x14;landscape", "pageCode=20;pageWidth=1008;pageHeight=792"},
    {"PageSize=210x340", "pageCode=20;pageWidth=595;pageHeight=964"},
    {"PageSize=Tabloid", "pageCode=0;pageWidth=842;pageHeight=1191"},      // unknown: code kept
    {"PageSize=Tabloid;stale=99", "pageCode=99;pageWidth=0;pageHeight=0"}, // outside the table
    {"landscape", "pageCode=9;pageWidth=792;pageHeight=612;sidesCode=3;collateCode=3;jogCode=1;"
                  "outputBinCode=6"},
    // A custom size is converted from tenths of a millimetre without rounding.
    {"PageSize=CustomPageSize;paper=2100x2970",
     "pageCode=20;pageWidth=595.275590551181;pageHeight=841.8897637795276"},
    {"PageSize=CustomPageSize;paper=2159x2794", "pageCode=20;pageWidth=612;pageHeight=792"},
    {"PageSize=CustomPageSize;paper=2159x2794;landscape",
     "pageCode=20;pageWidth=792;pageHeight=612"},
    {"PageSize=CustomPageSize;OptionPunch=Punch3Hole",
     "queried=Duplex,Collate,MediaType,PageSize,PageSize,Jog,StapleLocation,OutputBin,"
     "OptionPunch,Punch"},
    // Staples; a booklet is two-sided and collated whatever else is chosen,
    // its sheet the page turned once more.
    {"StapleLocation=LeftVertical", STAPLES(1, 2, 2, 90, 0)},
    {"StapleLocation=DoubleRight", STAPLES(2, 4, 3, 90, 0)},
    {"StapleLocation=DoubleLeft", "stapleCount=2;stapleKind=4"},
    {"StapleLocation=DoubleTop", STAPLES(2, 4, 4, 0, 0)},
    {"StapleLocation=Booklet", STAPLES(65535, 3, 2, 0, 1)},
    {"StapleLocation=None", STAPLES(65535, 1, 0, 0, 0)},
    {"StapleLocation=LeftDiagonally", STAPLES(65535, 1, 0, 0, 0)},
    {"Duplex=None;Collate=False;PageSize=A4;StapleLocation=Booklet",
     "sidesCode=5;collateCode=3;bookletPortrait=1;pageCode=1;pageWidth=842;pageHeight=595"},
    {"Duplex=None;Collate=False;PageSize=A4;StapleLocation=Booklet;landscape",
     "sidesCode=5;bookletPortrait=0;pageCode=1;pageWidth=595;pageHeight=842"},
    // Punch holes from the unit and the position; no unit, no position asked.
    {"OptionPunch=Punch3Hole;Punch=Punch2Left", "punchHoles=2;punchEdge=2;lastQueried=Punch"},
    {"OptionPunch=Punch3Hole;Punch=PunchTop", "punchHoles=3;punchEdge=4;lastQueried=Punch"},
    {"OptionPunch=Punch2and3Holes;Punch=PunchRight", "punchHoles=2;punchEdge=3;lastQueried=Punch"},
    {"OptionPunch=Punch4Hole;Punch=Punch3Bottom", "punchHoles=3;punchEdge=1;lastQueried=Punch"},
    {"OptionPunch=Punch4Hole;Punch=None", "punchHoles=0;punchEdge=0;lastQueried=Punch"},
    {"OptionPunch=Punch2Hole", "punchHoles=0;punchEdge=0;lastQueried=Punch"},
    {"OptionPunch=None;Punch=PunchLeft", "punchHoles=0;punchEdge=0;lastQueried=OptionPunch"},
    {"OptionPunch=HolePuncher;Punch=PunchLeft", "punchHoles=0;punchEdge=0;lastQueried=OptionPunch"},
    {"Punch=PunchLeft", "punchHoles=0;punchEdge=0;lastQueried=OptionPunch"},
#undef MEDIA
#undef STAPLES
    // Without DEVMODEs the features are still read, the document is portrait.
    {"no-devmodes;landscape;PageSize=A4;Duplex=DuplexNoTumble;job=not reachable",
     "copies=0;sidesCode=5;pageWidth=595;pageHeight=842;deliveryCode=4;jobName="},
    {"no-sheet;landscape;PageSize=A4;Duplex=DuplexNoTumble;job=not reachable",
     "copies=0;sidesCode=5;pageWidth=595;pageHeight=842;deliveryCode=4;jobName="},
    // Without a context (or a record) nothing is asked: every fallback.
    {"no-context;Duplex=DuplexNoTumble;job=not reachable",
     "printerName=;copies=0;sidesCode=3;pageCode=9;deliveryCode=4;jobName=;queried="},
};

std::vector<std::pair<std::string, std::string>> Pairs(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> pairs;
    std::istringstream in(text);
    for (std::string item; std::getline(in, item, ';');) {
        const size_t equals = item.find('=');
        pairs.emplace_back(item.substr(0, equals),
                           equals == std::string::npos ? "" : item.substr(equals + 1));
    }
    return pairs;
}

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

class RecordTable : public TicketRecordTest, public ::testing::WithParamInterface<Row> {};

TEST_P(RecordTable, FieldsComeOutAsTheLibraryReadsThem) {
    const Row& row = GetParam();
    vorn::DeliveryBlock& delivery = Private()->delivery;
    const std::map<std::string, wchar_t*> texts = {{"job", delivery.jobName},
                                                   {"user", delivery.userNames[0]},
                                                   {"user2", delivery.userNames[1]},
                                                   {"pin", delivery.pin},
                                                   {"address", delivery.emailAddresses[0]},
                                                   {"message", delivery.emailMessage}};
    bool withContext = true;
    SHORT stale = 0;
    for (const auto& [key, value] : Pairs(row.setup)) {
        if (std::isupper(static_cast<unsigned char>(key[0]))) {
            driver.features[key] = value;
        } else if (key == "landscape") {
            Public()->dmOrientation = DMORIENT_LANDSCAPE;
        } else if (key == "copies") {
            Public()->dmCopies = static_cast<short>(std::stoi(value));
        } else if (key == "paper") {
            Public()->dmPaperWidth = static_cast<short>(std::stoi(value));
            Public()->dmPaperLength = static_cast<short>(std::stoi(value.substr(5)));
        } else if (key == "driver") {
            UsePrinter(kPrinter, Wide(value).c_str());
        } else if (key == "spooler-fails") {
            ASSERT_TRUE(spooler.SetFailures(kPrinter, standin::kFailGetPrinter2));
        } else if (key == "no-devmodes") {
            sheet.pPublicDM = nullptr;
            sheet.pOEMDM = nullptr;
        } else if (key == "no-sheet") {
            context.sheetParam = nullptr;
        } else if (key == "stale") {
            stale = static_cast<SHORT>(std::stoi(value));
        } else if (texts.count(key)) {
            std::wcscpy(texts.at(key), Wide(value).c_str());
        } else if (key == "mode" || key == "notify") {
            (key == "mode" ? delivery.deliveryMode : delivery.emailNotify) =
                static_cast<BYTE>(std::stoi(value));
        } else if (key == "no-context") {
            vorn::FillNewTicketRecord(nullptr, &context); // no record: nothing to fill
            withContext = false;
        } else if (!key.empty()) {
            FAIL() << "setup not understood: " << key;
        }
    }
    Fill(stale, withContext);
    auto expected = Pairs(row.expected);
    if (row.expected.find("printerName=") == std::string::npos) {
        expected.emplace_back("printerName", "TicketRecord Test Printer");
    }
    for (const auto& [name, value] : expected) {
        std::string queried;
        for (const std::string& feature : driver.queried) {
            queried += (queried.empty() ? "" : ",") + feature;
        }
        if (name == "queried") {
            EXPECT_EQ(value, queried);
        } else if (name == "lastQueried") {
            EXPECT_EQ(value, driver.queried.back());
        } else if (FieldNamed(name).kind == 't') {
            EXPECT_EQ(Wide(value), Text(name.c_str())) << name;
        } else {
            EXPECT_EQ(std::stod(value), Number(name.c_str())) << name;
        }
    }
}

// Delivery modes map to the library's codes and keep their texts.
std::vector<Row> AllRows() {
    std::vector<Row> rows(std::begin(kRows), std::end(kRows));
    const std::pair<int, int> codes[] = {{0, 4}, {1, 2}, {2, 1}, {3, 3}, {4, 5},  {5, 6},
                                         {6, 8}, {7, 7}, {8, 4}, {9, 4}, {255, 4}};
    for (const auto& [mode, code] : codes) {
        rows.push_back(
            {"mode=" + std::to_string(mode) + ";job=Invoices;user=bob;user2=older;pin=0815",
             "deliveryCode=" + std::to_string(code) + ";jobName=Invoices;userName=bob;pin=0815"});
    }
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Sheets, RecordTable, ::testing::ValuesIn(AllRows()));

TEST_F(TicketRecordTest, LongTextsAreCutInsideTheirFields) {
    const std::wstring longName(230, L'P');
    UsePrinter(longName, L"Vorn K310 PS");
    vorn::DeliveryBlock& delivery = Private()->delivery;
    const std::wstring address = std::wstring(88, L'a') + L"@example.com";
    std::wcscpy(delivery.emailAddresses[0], address.c_str());
    std::wcscpy(delivery.emailMessage, std::wstring(255, L'm').c_str());
    // Stored fields without a terminator are read no further than their size.
    std::wmemset(delivery.jobName, L'J', vorn::kJobNameChars);
    std::wmemset(delivery.userNames[0], L'U', vorn::kUserNameChars);
    std::wmemset(delivery.pin, L'9', vorn::kPinChars);
    delivery.emailNotify = 1;
    Fill();
    EXPECT_EQ(longName.substr(0, 221), Text("printerName"));
    EXPECT_EQ(address.substr(0, 64), Text("emailAddress"));
    EXPECT_EQ(std::wstring(255, L'm'), Text("emailMessage"));
    EXPECT_EQ(std::wstring(80, L'J'), Text("jobName"));
    EXPECT_EQ(std::wstring(16, L'U'), Text("userName"));
    EXPECT_EQ(L"9999", Text("pin"));
}

using Answer = standin::DriverUI::Answer;

constexpr DWORD kOptionBuffer = 64; // what the translator gives each query

enum class Failure { None, FirstCall, SecondCall };

// Every feature the translator asks for, with a keyword of its table.
constexpr std::pair<const char*, const char*> kKeywords[] = {
    {"Duplex", "DuplexTumble"}, {"Collate", "False"},          {"MediaType", "TransparencyBlue"},
    {"PageSize", "A4"},         {"Jog", "EndOfSet"},           {"StapleLocation", "DoubleLeft"},
    {"OutputBin", "Upper"},     {"OptionPunch", "Punch3Hole"}, {"Punch", "PunchTop"}};

class HostileFeatureAnswers : public TicketRecordTest {
  protected:
    // Every feature answers `option` honestly ("keyword": a keyword of its table).
    void AnswerHonestly(const std::string& option) {
        driver.answer = Answer::Honest;
        driver.claimedSize.clear();
        driver.failingFirst.clear();
        driver.failing.clear();
        for (const auto& [feature, keyword] : kKeywords) {
            driver.features[feature] = option == "keyword" ? keyword : option;
        }
    }
    std::vector<BYTE> Filled() {
        Fill();
        return std::vector<BYTE>(bytes, bytes + sizeof(vorn::NewTicketRecord));
    }
};

// The sizes a lying host states for an answer of `trueSize` bytes.
std::vector<DWORD> ClaimsFor(DWORD trueSize) {
    return {trueSize,      trueSize - 1,      trueSize + 1, 0,         1,
            kOptionBuffer, kOptionBuffer + 1, trueSize * 2, 0xFFFFFFFF};
}

// Whether the translator may take the host's answer as the option keyword:
// only a whole, terminated answer that fits its buffer.
bool Readable(DWORD trueSize, DWORD claimed, Answer answer, Failure failure) {
    return failure == Failure::None && answer != Answer::Unterminated && claimed >= trueSize &&
           claimed <= kOptionBuffer;
}

// Every feature answers the same hostile way: with a real keyword (in
// portrait and landscape), or with 0 to 300 times 'x', which is in no option
// table, so that a readable answer takes each feature's "any other option"
// row. Each answer is read whole or falls back, never anything between: the
// record is the one an honest host's answers give, or the one no answers
// give (what each of them holds is the record table's part).
TEST_F(HostileFeatureAnswers, AnswersReadWholeOrFallBack) {
    constexpr int kRealKeywords = -1;
    int cases = 0;
    for (bool portrait : {true, false}) {
        Public()->dmOrientation = portrait ? DMORIENT_PORTRAIT : DMORIENT_LANDSCAPE;
        AnswerHonestly("");
        driver.features.clear(); // no answers at all
        const std::vector<BYTE> fallback = Filled();
        for (int length = kRealKeywords; length <= (portrait ? 300 : kRealKeywords); ++length) {
            AnswerHonestly(length == kRealKeywords ? "keyword" : std::string(length, 'x'));
            const std::vector<BYTE> read = Filled();
            for (Answer answer : {Answer::Honest, Answer::FillGiven, Answer::Unterminated}) {
                driver.answer = answer;
                for (Failure failure : {Failure::None, Failure::FirstCall, Failure::SecondCall}) {
                    for (size_t claim = 0; claim < ClaimsFor(0).size(); ++claim) {
                        bool allReadable = true;
                        for (const auto& [feature, keyword] : kKeywords) {
                            const std::string& option = driver.features[feature];
                            const DWORD trueSize = static_cast<DWORD>(option.size() + 1);
                            const DWORD claimed = ClaimsFor(trueSize)[claim];
                            driver.claimedSize[feature] = claimed;
                            driver.failingFirst[feature] = failure == Failure::FirstCall;
                            driver.failing[feature] = failure == Failure::SecondCall;
                            allReadable =
                                allReadable && Readable(trueSize, claimed, answer, failure);
                        }
                        // Keywords of different lengths are readable together
                        // or not at all, except with the claims pinned to the
                        // buffer's size.
                        if (length == kRealKeywords && (claim == 5 || claim == 6)) {
                            continue;
                        }
                        driver.queried.clear();
                        SCOPED_TRACE(::testing::Message()
                                     << "portrait " << portrait << " length " << length
                                     << " answer " << static_cast<int>(answer) << " failure "
                                     << static_cast<int>(failure) << " claim " << claim);
                        ++cases;
                        ASSERT_EQ(allReadable ? read : fallback, Filled());
                    }
                }
            }
        }
    }
    std::printf("[ hostile  ] %d feature-answer cases through FillNewTicketRecord\n", cases);
}

// Random bytes in both DEVMODEs: text without terminators, any delivery
// mode, any size fields. The record's text stays terminated in its fields.
TEST_F(HostileFeatureAnswers, RandomDevmodesStayInsideTheirBounds) {
    std::mt19937 rng(61206);
    AnswerHonestly("DuplexTumble");
    const int kCases = 5000;
    for (int i = 0; i < kCases; ++i) {
        for (GuardedBuffer* dm : {&publicDm, &privateDm}) {
            for (size_t b = 0; b < dm->Size(); ++b) {
                dm->Data()[b] = static_cast<BYTE>(rng() % 3 ? rng() | 1 : rng());
            }
        }
        Fill();
        ASSERT_LE(At<WORD>(1832), 2) << i; // the notice kind
        ASSERT_FALSE(::testing::Test::HasFailure()) << "case " << i;
    }
    std::printf("[ hostile  ] %d random DEVMODE pairs\n", kCases);
}

} // namespace
