// The record's own fields: printer and model code, copies, job delivery and
// notification, bounds of the texts, and what happens when a source is missing.
#include "ticket_record_fixture.h"

#include <cwchar>
#include <vector>

using namespace offsets;

namespace {

struct Range {
    size_t offset;
    size_t bytes;
};
// Ranges the plug-in never writes: the library's own and the gaps.
constexpr Range kUntouched[] = {
    {kTicketDirectory, 1040}, {1770, 2}, {1786, 6}, {1964, 382}, {2858, 194}, {3058, 6}};

void Put(wchar_t* field, const std::wstring& text) {
    std::wcscpy(field, text.c_str());
}

TEST_F(TicketRecordTest, EveryFieldLandsAtItsOffset) {
    BYTE* bytes = reinterpret_cast<BYTE*>(&record);
    std::memset(bytes, 0xFF, 4); // the reserved words are cleared
    for (const Range& range : kUntouched) {
        std::memset(bytes + range.offset, 0xA5, range.bytes);
    }
    const std::vector<BYTE> before(bytes, bytes + sizeof(record));

    devmode.Public()->dmCopies = 7;
    driver.features = {{"Duplex", "DuplexTumble"},
                       {"Collate", "False"},
                       {"MediaType", "PreprintedPrepunchedRecycledLetterheadTranslucentBlue3"},
                       {"PageSize", "A5"},
                       {"Jog", "EndOfSet"},
                       {"StapleLocation", "RightDiagonal"},
                       {"OutputBin", "Upper"},
                       {"OptionPunch", "Punch2and4Holes"},
                       {"Punch", "Punch4Top"}};
    vorn::DeliveryBlock& delivery = Private()->delivery;
    Put(delivery.jobName, L"Quarterly report");
    Put(delivery.userNames[0], L"alice");
    Put(delivery.pin, L"1234");
    delivery.deliveryMode = 2;
    delivery.emailNotify = 2;
    Put(delivery.emailAddresses[0], L"alice@example.com");
    Put(delivery.emailMessage, L"Your job is done");
    Fill();

    for (const Range& range : kUntouched) {
        EXPECT_EQ(0, std::memcmp(before.data() + range.offset, bytes + range.offset, range.bytes))
            << "bytes at " << range.offset << " were written";
    }
    EXPECT_EQ(kPrinter, Text(kPrinterName, 222));
    EXPECT_EQ(L"K490", Text(kModelCode, 37));
    EXPECT_EQ(L"Quarterly report", Text(kJobName, 81));
    EXPECT_EQ(L"alice", Text(kUserName, 17));
    EXPECT_EQ(L"1234", Text(kPin, 5));
    EXPECT_EQ(L"alice@example.com", Text(kEmailAddress, 65));
    EXPECT_EQ(L"Your job is done", Text(kEmailMessage, 256));
    EXPECT_EQ(3, I16(kPageCode));
    EXPECT_EQ(420.0, F64(kPageWidth));
    EXPECT_EQ(595.0, F64(kPageHeight));
    const std::pair<size_t, WORD> words[] = {
        {kReserved0, 0},      {kReserved2, 0},   {kDeliveryCode, 1}, {kMediaKind, 1},
        {kMediaNumber, 3},    {kMediaColor, 4},  {kMediaOpacity, 3}, {kRecycled, 1},
        {kHeavyMedia, 0},     {kCopies, 7},      {kCollateCode, 1},  {kJogCode, 4},
        {kSidesCode, 4},      {kStapleCount, 1}, {kStapleEdge, 4},   {kStapleKind, 2},
        {kStapleAngle, 135},  {kPunchHoles, 4},  {kPunchEdge, 4},    {kOutputBinCode, 19},
        {kNotifyOn, 1},       {kNotifyKind, 2},  {kPreprinted, 1},   {kPrepunched, 1},
        {kBookletPortrait, 0}};
    for (const auto& [offset, expected] : words) {
        EXPECT_EQ(expected, U16(offset)) << "word at " << offset;
    }
}

TEST_F(TicketRecordTest, ModelCodeIsTheLastMatchInTheDriverName) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"Vorn K335 PS", L"K485"},  {L"Vorn K355 PS", L"K455"},  {L"Vorn K355XS PS", L"K456"},
        {L"Vorn K340 PS", L"K490"},  {L"Vorn K310 PS", L"K461"},  {L"Vorn K325 PS", L"K475"},
        {L"K340 and K310", L"K461"}, {L"Vorn K485 PS", L""}, // a library code is no driver
        {L"Vorn k335 PS", L""},      {L"Generic PostScript", L""}};
    for (const auto& [driverName, code] : cases) {
        UsePrinter(kPrinter, driverName);
        std::memset(&record, 0, sizeof(record));
        Fill();
        EXPECT_EQ(code, Text(kModelCode, 37)) << driverName;
        EXPECT_EQ(kPrinter, Text(kPrinterName, 222));
    }
}

TEST_F(TicketRecordTest, DeliveryModesMapToLibraryCodesAndKeepTheirTexts) {
    vorn::DeliveryBlock& delivery = Private()->delivery;
    Put(delivery.jobName, L"Invoices");
    Put(delivery.userNames[0], L"bob");
    Put(delivery.userNames[1], L"older");
    Put(delivery.pin, L"0815");
    const std::pair<BYTE, WORD> cases[] = {{0, 4}, {1, 2}, {2, 1}, {3, 3}, {4, 5},  {5, 6},
                                           {6, 8}, {7, 7}, {8, 4}, {9, 4}, {255, 4}};
    for (const auto& [mode, code] : cases) {
        delivery.deliveryMode = mode;
        std::memset(&record, 0, sizeof(record));
        Fill();
        EXPECT_EQ(code, U16(kDeliveryCode)) << "mode " << int(mode);
        EXPECT_EQ(L"Invoices", Text(kJobName, 81));
        EXPECT_EQ(L"bob", Text(kUserName, 17));
        EXPECT_EQ(L"0815", Text(kPin, 5));
    }
}

TEST_F(TicketRecordTest, NotificationCarriesAddressAndMessageOnlyWhenRequested) {
    struct Case {
        BYTE notify;
        const wchar_t* address;
        WORD on, kind;
        const wchar_t* expectedAddress;
        const wchar_t* expectedMessage;
    };
    const Case cases[] = {
        {0, L"carol@example.com", 0, 0, L"", L""},
        {1, L"", 1, 1, L"", L"Printed"},
        {1, L"carol@example.com", 1, 1, L"carol@example.com", L"Printed"},
        {2, L"carol@example.com", 1, 2, L"carol@example.com", L"Printed"},
        {3, L"carol@example.com", 0, 0, L"", L""},
    };
    vorn::DeliveryBlock& delivery = Private()->delivery;
    Put(delivery.emailMessage, L"Printed");
    for (const Case& c : cases) {
        delivery.emailNotify = c.notify;
        Put(delivery.emailAddresses[0], c.address);
        std::memset(&record, 0, sizeof(record));
        Fill();
        EXPECT_EQ(c.on, U16(kNotifyOn)) << "notify " << int(c.notify);
        EXPECT_EQ(c.kind, U16(kNotifyKind)) << "notify " << int(c.notify);
        EXPECT_EQ(c.expectedAddress, Text(kEmailAddress, 65)) << "notify " << int(c.notify);
        EXPECT_EQ(c.expectedMessage, Text(kEmailMessage, 256)) << "notify " << int(c.notify);
    }
}

TEST_F(TicketRecordTest, LongTextsAreCutInsideTheirFields) {
    const std::wstring longName(230, L'P');
    UsePrinter(longName, L"Vorn K310 PS");
    vorn::DeliveryBlock& delivery = Private()->delivery;
    const std::wstring address = std::wstring(88, L'a') + L"@example.com";
    ASSERT_EQ(100u, address.size());
    Put(delivery.emailAddresses[0], address);
    Put(delivery.emailMessage, std::wstring(255, L'm'));
    // Stored fields without a terminator are read no further than their size.
    std::wmemset(delivery.jobName, L'J', vorn::kJobNameChars);
    std::wmemset(delivery.userNames[0], L'U', vorn::kUserNameChars);
    std::wmemset(delivery.pin, L'9', vorn::kPinChars);
    delivery.emailNotify = 1;
    Fill();

    EXPECT_EQ(longName.substr(0, 221), Text(kPrinterName, 222));
    EXPECT_EQ(address.substr(0, 64), Text(kEmailAddress, 65));
    EXPECT_EQ(std::wstring(255, L'm'), Text(kEmailMessage, 256));
    EXPECT_EQ(std::wstring(80, L'J'), Text(kJobName, 81));
    EXPECT_EQ(std::wstring(16, L'U'), Text(kUserName, 17));
    EXPECT_EQ(L"9999", Text(kPin, 5));
    EXPECT_EQ(0, Bytes()[1964]) << "the address ran over its field";
}

TEST_F(TicketRecordTest, SpoolerFailureLeavesOnlyThePrinterFieldsEmpty) {
    ASSERT_TRUE(spooler.SetFailures(kPrinter, standin::kFailGetPrinter2));
    driver.features = {{"Duplex", "DuplexNoTumble"}, {"PageSize", "A4"}};
    devmode.Public()->dmCopies = 3;
    Put(Private()->delivery.jobName, L"Still here");
    Fill();
    EXPECT_EQ(L"", Text(kPrinterName, 222));
    EXPECT_EQ(L"", Text(kModelCode, 37));
    EXPECT_EQ(3, U16(kCopies));
    EXPECT_EQ(5, U16(kSidesCode));
    EXPECT_EQ(1, I16(kPageCode));
    EXPECT_EQ(L"Still here", Text(kJobName, 81));
}

TEST_F(TicketRecordTest, MissingContextPartsFallBackInsteadOfCrashing) {
    vorn::FillNewTicketRecord(nullptr, &context);

    std::memset(&record, 0xFF, 4);
    vorn::FillNewTicketRecord(&record, nullptr);
    EXPECT_EQ(0, U16(kReserved0));
    EXPECT_EQ(0, U16(kReserved2));
    EXPECT_EQ(L"", Text(kPrinterName, 222));
    EXPECT_EQ(0, U16(kCopies));
    EXPECT_EQ(3, U16(kSidesCode));
    EXPECT_EQ(9, I16(kPageCode));
    EXPECT_EQ(4, U16(kDeliveryCode));

    // Without DEVMODEs the features are still read, the document is portrait.
    driver.features = {{"PageSize", "A4"}, {"Duplex", "DuplexNoTumble"}};
    Put(Private()->delivery.jobName, L"not reachable");
    SetLandscape();
    for (OEMUIPSPARAM* sheetParam : {&sheet, static_cast<OEMUIPSPARAM*>(nullptr)}) {
        sheet.pPublicDM = nullptr;
        sheet.pOEMDM = nullptr;
        context.sheetParam = sheetParam;
        std::memset(&record, 0, sizeof(record));
        Fill();
        EXPECT_EQ(kPrinter, Text(kPrinterName, 222));
        EXPECT_EQ(0, U16(kCopies));
        EXPECT_EQ(5, U16(kSidesCode));
        EXPECT_EQ(595.0, F64(kPageWidth));
        EXPECT_EQ(842.0, F64(kPageHeight));
        EXPECT_EQ(4, U16(kDeliveryCode));
        EXPECT_EQ(L"", Text(kJobName, 81));
    }
}

} // namespace
