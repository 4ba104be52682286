#include "key_security.h"

#include "../core/handles.h"

namespace vorn {

namespace {

// An access list header and two allowed-access entries, each without the
// SID it ends with (the entry's SidStart member overlaps the SID).
constexpr DWORD kAclOverheadBytes = sizeof(ACL) + 2 * (sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD));
static_assert(kAclOverheadBytes == 24);

// The access list with the SIDs it names; everything is freed with it.
class PrinterKeyAccessList {
  public:
    PrinterKeyAccessList() noexcept;
    // Null when any step of building it failed.
    PACL Get() const noexcept { return complete_ ? acl_.As<ACL>() : nullptr; }

  private:
    UniqueSid interactive_;
    UniqueSid administrators_;
    HeapBuffer acl_;
    bool complete_ = false;
};

PrinterKeyAccessList::PrinterKeyAccessList() noexcept {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    if (!AllocateAndInitializeSid(&ntAuthority, 1, SECURITY_INTERACTIVE_RID, 0, 0, 0, 0, 0, 0, 0,
                                  interactive_.Receive()) ||
        !AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                  DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                  administrators_.Receive())) {
        return;
    }
    const DWORD bytes =
        GetLengthSid(interactive_.Get()) + GetLengthSid(administrators_.Get()) + kAclOverheadBytes;
    if (!acl_.Allocate(bytes)) {
        return;
    }
    PACL acl = acl_.As<ACL>();
    complete_ = InitializeAcl(acl, bytes, ACL_REVISION) &&
                AddAccessAllowedAce(acl, ACL_REVISION, KEY_ALL_ACCESS, interactive_.Get()) &&
                AddAccessAllowedAce(acl, ACL_REVISION, KEY_ALL_ACCESS, administrators_.Get());
}

} // namespace

bool SetPrinterKeySecurity(const wchar_t* path) noexcept {
    UniqueRegKey key;
    if (!path ||
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, WRITE_DAC, key.Receive()) != ERROR_SUCCESS) {
        return false;
    }
    PrinterKeyAccessList accessList;
    if (!accessList.Get()) {
        return false;
    }
    SECURITY_DESCRIPTOR descriptor;
    if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&descriptor, TRUE, accessList.Get(), FALSE)) {
        return false;
    }
    return RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
}

} // namespace vorn
