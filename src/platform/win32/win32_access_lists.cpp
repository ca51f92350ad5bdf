// SetEntriesInAcl does the merging (grant, set, deny, revoke against what the list holds), so a
// change is: read the object's list, merge the one entry, write the list back. Reading gives the
// explicit entries with their trustees named "DOMAIN\name" as LookupAccountSid names them; an
// account that no longer exists keeps its security identifier's text. The entries are read in
// their UTF-16 form, which Wine has (its ANSI form is a stub).
#include "platform/win32/win32_access_lists.h"

#include <memory>

#include "platform/win32/win32_wide_text.h"
#include "platform/win_error.h"

#include "platform/win32/windows_api.h"
// clang-format off
#include <aclapi.h>
#include <sddl.h>
// clang-format on

#undef LookupAccountSid

namespace platform::win32 {
namespace {

// Memory the security functions allocate with LocalAlloc.
struct LocalFreer {
  void operator()(void* memory) const { LocalFree(memory); }
};
template <typename T>
using LocalMemory = std::unique_ptr<T, LocalFreer>;

SE_OBJECT_TYPE SystemTypeOf(SecuredObject kind) {
  switch (kind) {
    case SecuredObject::File:
      return SE_FILE_OBJECT;
    case SecuredObject::Share:
      return SE_LMSHARE;
    case SecuredObject::RegistryKey:
      return SE_REGISTRY_KEY;
    case SecuredObject::Printer:
      return SE_PRINTER;
  }
  return SE_UNKNOWN_OBJECT_TYPE;
}

// The object's access list, and the descriptor that holds it (the list lives as long as it).
uint32_t ReadAccessList(SecuredObject kind, const std::string& objectName, ACL*& pAcl,
                        LocalMemory<void>& descriptor) {
  PSECURITY_DESCRIPTOR pDescriptor = nullptr;
  const DWORD err =
      GetNamedSecurityInfoA(objectName.c_str(), SystemTypeOf(kind), DACL_SECURITY_INFORMATION,
                            nullptr, nullptr, &pAcl, nullptr, &pDescriptor);
  descriptor.reset(pDescriptor);
  return err;
}

std::string TrusteeNameOf(const TRUSTEE_W& trustee) {
  if (trustee.TrusteeForm == TRUSTEE_IS_NAME) return AnsiFromWide(trustee.ptstrName);
  if (trustee.TrusteeForm != TRUSTEE_IS_SID) return {};
  PSID pSid = reinterpret_cast<PSID>(trustee.ptstrName);
  char name[256];
  char domain[256];
  DWORD nName = sizeof name;
  DWORD nDomain = sizeof domain;
  SID_NAME_USE use;
  if (LookupAccountSidA(nullptr, pSid, name, &nName, domain, &nDomain, &use))
    return domain[0] ? std::string(domain) + "\\" + name : std::string(name);
  LPSTR text = nullptr;
  if (!ConvertSidToStringSidA(pSid, &text)) return {};
  const LocalMemory<char> owned(text);
  return text;
}

}  // namespace

uint32_t Win32AccessLists::ChangeAccess(SecuredObject kind, const std::string& objectName,
                                        const AccessEntry& entry) {
  ACL* pOldAcl = nullptr;
  LocalMemory<void> descriptor;
  if (const uint32_t err = ReadAccessList(kind, objectName, pOldAcl, descriptor)) return err;
  EXPLICIT_ACCESS_A access{};
  access.grfAccessPermissions = entry.dwRights;
  access.grfAccessMode = static_cast<ACCESS_MODE>(entry.dwMode);
  access.grfInheritance = entry.dwInheritance;
  std::string trustee = entry.trustee;
  BuildTrusteeWithNameA(&access.Trustee, trustee.data());
  ACL* pNewAcl = nullptr;
  if (const DWORD err = SetEntriesInAclA(1, &access, pOldAcl, &pNewAcl)) return err;
  const LocalMemory<ACL> newAcl(pNewAcl);
  std::string name = objectName;
  return SetNamedSecurityInfoA(name.data(), SystemTypeOf(kind), DACL_SECURITY_INFORMATION, nullptr,
                               nullptr, pNewAcl, nullptr);
}

// An object without a list (a null list, open to everyone) has no entries.
uint32_t Win32AccessLists::GetAccess(SecuredObject kind, const std::string& objectName,
                                     std::vector<AccessEntry>& entries) {
  entries.clear();
  ACL* pAcl = nullptr;
  LocalMemory<void> descriptor;
  if (const uint32_t err = ReadAccessList(kind, objectName, pAcl, descriptor)) return err;
  if (!pAcl) return ERROR_SUCCESS;
  ULONG nEntries = 0;
  EXPLICIT_ACCESS_W* pEntries = nullptr;
  if (const DWORD err = GetExplicitEntriesFromAclW(pAcl, &nEntries, &pEntries)) return err;
  const LocalMemory<EXPLICIT_ACCESS_W> owned(pEntries);
  for (ULONG i = 0; i < nEntries; ++i) {
    const EXPLICIT_ACCESS_W& one = pEntries[i];
    entries.push_back({TrusteeNameOf(one.Trustee), static_cast<uint32_t>(one.grfAccessMode),
                       one.grfAccessPermissions, one.grfInheritance});
  }
  return ERROR_SUCCESS;
}

}  // namespace platform::win32
