// Account names to security identifiers, and the rights of the local security policy that an
// account holds (LSA), the account named by its identifier's text. The policy is opened for each
// call with the access that call needs and closed after it; its NTSTATUS codes become Windows
// errors.
#include <memory>

#include "platform/win32/win32_accounts.h"
#include "platform/win32/win32_wide_text.h"

#include "platform/win32/windows_api.h"
// clang-format off
#include <ntsecapi.h>
#include <sddl.h>
// clang-format on

#undef LookupAccountName

namespace platform::win32 {
namespace {

constexpr DWORD kMaxSidBytes = SECURITY_MAX_SID_SIZE;

// A counted UTF-16 string that points into text, which must outlive it.
LSA_UNICODE_STRING CountedText(std::wstring& text) {
  const auto cbText = static_cast<USHORT>(text.size() * sizeof(wchar_t));
  return {cbText, cbText, text.data()};
}

class Policy {
 public:
  ~Policy() {
    if (hPolicy_) LsaClose(hPolicy_);
  }
  uint32_t Open(const std::string& system, ACCESS_MASK dwAccess) {
    std::wstring wideSystem = WideFromAnsi(system);
    LSA_UNICODE_STRING systemName = CountedText(wideSystem);
    LSA_OBJECT_ATTRIBUTES attributes{};
    return LsaNtStatusToWinError(LsaOpenPolicy(wideSystem.empty() ? nullptr : &systemName,
                                               &attributes, dwAccess, &hPolicy_));
  }
  LSA_HANDLE get() const { return hPolicy_; }

 private:
  LSA_HANDLE hPolicy_ = nullptr;
};

struct SidFreer {
  void operator()(void* pSid) const { LocalFree(pSid); }
};
using OwnedSid = std::unique_ptr<void, SidFreer>;

uint32_t SidFromText(const std::string& text, OwnedSid& sid) {
  PSID pSid = nullptr;
  if (!ConvertStringSidToSidA(text.c_str(), &pSid)) return GetLastError();
  sid.reset(pSid);
  return ERROR_SUCCESS;
}

// Opens the policy and reads the account's identifier, the two things each rights call needs.
uint32_t OpenForAccount(const std::string& system, const std::string& sidText, ACCESS_MASK dwAccess,
                        Policy& policy, OwnedSid& sid) {
  if (const uint32_t err = SidFromText(sidText, sid)) return err;
  return policy.Open(system, dwAccess);
}

// Adds or removes one right.
uint32_t ChangeRight(const std::string& system, const std::string& sidText,
                     const std::string& right, bool bAdd) {
  Policy policy;
  OwnedSid sid;
  if (const uint32_t err =
          OpenForAccount(system, sidText, POLICY_LOOKUP_NAMES | POLICY_CREATE_ACCOUNT, policy, sid))
    return err;
  std::wstring wideRight = WideFromAnsi(right);
  LSA_UNICODE_STRING rightName = CountedText(wideRight);
  const NTSTATUS status =
      bAdd ? LsaAddAccountRights(policy.get(), sid.get(), &rightName, 1)
           : LsaRemoveAccountRights(policy.get(), sid.get(), FALSE, &rightName, 1);
  return LsaNtStatusToWinError(status);
}

}  // namespace

uint32_t Win32Accounts::LookupAccountName(const std::string& system, const std::string& account,
                                          std::string& sid) {
  BYTE sidBytes[kMaxSidBytes];
  DWORD cbSid = sizeof sidBytes;
  char domain[256];
  DWORD nDomain = sizeof domain;
  SID_NAME_USE use;
  LPSTR text = nullptr;
  if (!LookupAccountNameA(system.empty() ? nullptr : system.c_str(), account.c_str(), sidBytes,
                          &cbSid, domain, &nDomain, &use) ||
      !ConvertSidToStringSidA(sidBytes, &text))
    return GetLastError();
  sid = text;
  LocalFree(text);
  return ERROR_SUCCESS;
}

uint32_t Win32Accounts::AddAccountRight(const std::string& system, const std::string& sid,
                                        const std::string& right) {
  return ChangeRight(system, sid, right, true);
}

// An account the policy does not know holds no right, so removing one from it has nothing to do.
uint32_t Win32Accounts::RemoveAccountRight(const std::string& system, const std::string& sid,
                                           const std::string& right) {
  const uint32_t err = ChangeRight(system, sid, right, false);
  return err == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : err;
}

uint32_t Win32Accounts::EnumAccountRights(const std::string& system, const std::string& sid,
                                          std::vector<std::string>& rights) {
  rights.clear();
  Policy policy;
  OwnedSid accountSid;
  if (const uint32_t err = OpenForAccount(system, sid, POLICY_LOOKUP_NAMES, policy, accountSid))
    return err;
  LSA_UNICODE_STRING* pRights = nullptr;
  ULONG nRights = 0;
  if (const NTSTATUS status =
          LsaEnumerateAccountRights(policy.get(), accountSid.get(), &pRights, &nRights))
    return LsaNtStatusToWinError(status);
  for (ULONG i = 0; i < nRights; ++i)
    rights.push_back(
        AnsiFromWide(std::wstring(pRights[i].Buffer, pRights[i].Length / sizeof(wchar_t)).c_str()));
  LsaFreeMemory(pRights);
  return ERROR_SUCCESS;
}

}  // namespace platform::win32
