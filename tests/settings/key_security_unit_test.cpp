// The access list printer keys get, built on its own.
#include "access_list_check.h"

#include "settings/key_security.h"

namespace {

TEST(PrinterKeyAccessList, TwoFullControlEntriesInOrderFillingTheList) {
    vorn::PrinterKeyAccessList list;
    ExpectPrinterKeyAccessList(list.Get());
    ACL_SIZE_INFORMATION size{};
    ASSERT_TRUE(GetAclInformation(list.Get(), &size, sizeof(size), AclSizeInformation));
    EXPECT_EQ(0u, size.AclBytesFree) << "sized for exactly the two entries";
    EXPECT_EQ(ACL_REVISION, list.Get()->AclRevision);
}

TEST(SetPrinterKeySecurity, MissingKeyIsAnsweredFalse) {
    EXPECT_FALSE(vorn::SetPrinterKeySecurity(nullptr));
    EXPECT_FALSE(vorn::SetPrinterKeySecurity(
        L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\UH No Such Printer\\"
        L"PrinterDriverData"));
}

} // namespace
