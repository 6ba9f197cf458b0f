#include "fileio/file_protection.h"

#include <aclapi.h>

namespace {

// Reading and writing stay; running goes, also where "all" granted it.
ACCESS_MASK WithoutExecute(ACCESS_MASK mask) {
    if (mask & GENERIC_ALL)
        mask = (mask & ~GENERIC_ALL) | FILE_ALL_ACCESS;
    return mask & ~(FILE_EXECUTE | GENERIC_EXECUTE);
}

// from's entries in order as explicit ones, the allowing ones without the
// right to run.
bool CopyWithoutExecute(ACL* from, std::vector<BYTE>& to) {
    ACL_SIZE_INFORMATION size;
    if (!GetAclInformation(from, &size, sizeof size, AclSizeInformation))
        return false;
    to.assign(size.AclBytesInUse, 0);
    auto* acl = reinterpret_cast<ACL*>(to.data());
    if (!InitializeAcl(acl, static_cast<DWORD>(to.size()), from->AclRevision))
        return false;
    for (DWORD index = 0; index < size.AceCount; ++index) {
        void* entry = nullptr;
        void* copy = nullptr;
        if (!GetAce(from, index, &entry) ||
            !AddAce(acl, from->AclRevision, MAXDWORD, entry,
                    static_cast<ACE_HEADER*>(entry)->AceSize) ||
            !GetAce(acl, index, &copy))
            return false;
        auto* header = static_cast<ACE_HEADER*>(copy);
        header->AceFlags &= ~INHERITED_ACE;
        if (header->AceType == ACCESS_ALLOWED_ACE_TYPE) {
            auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(copy);
            allowed->Mask = WithoutExecute(allowed->Mask);
        }
    }
    return true;
}

} // namespace

CopyProtection::CopyProtection(HANDLE file) {
    ACL* dacl = nullptr;
    PSECURITY_DESCRIPTOR read = nullptr;
    if (GetSecurityInfo(file, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                        nullptr, &read) != ERROR_SUCCESS)
        return;
    valid_ =
        dacl && CopyWithoutExecute(dacl, acl_) &&
        InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
        SetSecurityDescriptorDacl(&descriptor_, TRUE, reinterpret_cast<ACL*>(acl_.data()), FALSE) &&
        SetSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    LocalFree(read);
    attributes_ = {sizeof attributes_, &descriptor_, FALSE};
}
