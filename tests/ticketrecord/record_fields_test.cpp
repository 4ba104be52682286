// The new-ticket record as the ticket library reads it, one row per sheet:
// what the driver answers for its features, the DEVMODEs and the printer
// give, and the record fields that must come out.
#include "ticket_record_fixture.h"

#include <cctype>
#include <cwchar>
#include <map>
#include <sstream>

namespace {

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

// The media fields of a row.
#define MEDIA(kind, number, color, opacity, recycled, heavy, preprinted, prepunched)               \
    "mediaKind=" #kind ";mediaNumber=" #number ";mediaColor=" #color ";mediaOpacity=" #opacity     \
    ";recycled=" #recycled ";heavyMedia=" #heavy ";preprinted=" #preprinted                        \
    ";prepunched=" #prepunched
const Row kRows[] = {
    // No answers at all: every feature's fallback.
    {"", "sidesCode=3;collateCode=3;jogCode=1;outputBinCode=6;pageCode=9;pageWidth=612;"
         "pageHeight=792;stapleCount=65535;stapleKind=1;stapleEdge=0;stapleAngle=0;"
         "bookletPortrait=0;" MEDIA(2, 0, 0, 0, 0, 0, 0, 0)},
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
    {"notify=2;address=carol@example.com;message=Printed",
     "notifyOn=1;notifyKind=2;emailAddress=carol@example.com;emailMessage=Printed"},
    {"notify=3;address=carol@example.com;message=Printed",
     "notifyOn=0;notifyKind=0;emailAddress=;emailMessage="},
    // Sides follow duplex and orientation; collation, jog and bin by name.
    {"Duplex=DuplexNoTumble", "sidesCode=5"},
    {"Duplex=DuplexNoTumble;landscape", "sidesCode=4"},
    {"Duplex=None", "sidesCode=3"},
    {"Duplex=duplextumble;landscape", "sidesCode=3"},
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
#undef MEDIA
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
    {"StapleLocation=LeftVertical",
     "stapleCount=1;stapleKind=2;stapleEdge=2;stapleAngle=90;bookletPortrait=0"},
    {"StapleLocation=RightDiagonal",
     "stapleCount=1;stapleKind=2;stapleEdge=4;stapleAngle=135;bookletPortrait=0"},
    {"StapleLocation=DoubleRight",
     "stapleCount=2;stapleKind=4;stapleEdge=3;stapleAngle=90;bookletPortrait=0"},
    {"StapleLocation=DoubleTop",
     "stapleCount=2;stapleKind=4;stapleEdge=4;stapleAngle=0;bookletPortrait=0"},
    {"StapleLocation=Booklet",
     "stapleCount=65535;stapleKind=3;stapleEdge=2;stapleAngle=0;bookletPortrait=1"},
    {"StapleLocation=None",
     "stapleCount=65535;stapleKind=1;stapleEdge=0;stapleAngle=0;bookletPortrait=0"},
    {"StapleLocation=LeftDiagonally",
     "stapleCount=65535;stapleKind=1;stapleEdge=0;stapleAngle=0;bookletPortrait=0"},
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

} // namespace
