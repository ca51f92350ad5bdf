// The network management functions speak UTF-16 and hand out buffers of records that the caller
// frees; each enumeration here reads them in rounds until the function says there are no more.
#include "platform/win32/win32_accounts.h"

#include <algorithm>
#include <functional>

#include "platform/ansi_case.h"
#include "platform/win32/win32_net_api.h"
#include "platform/win32/win32_wide_text.h"

#include "platform/win32/windows_api.h"
// clang-format off
#include <lm.h>
#include <dsgetdc.h>
// clang-format on

#undef LogonUser
#undef LookupAccountName
#undef AnsiUpper

namespace platform::win32 {
namespace {

constexpr const char* kProfileListKey =
    R"(SOFTWARE\Microsoft\Windows NT\CurrentVersion\ProfileList\)";

// One round of an enumeration: fills the buffer and the number of records read, moves the resume
// handle on, and returns NERR_Success, ERROR_MORE_DATA or an error.
using EnumRound = std::function<NET_API_STATUS(BYTE** buffer, DWORD& nRead, DWORD_PTR& resume)>;

// Reads every record of an enumeration and gives the name of each (the first field of every
// level-0 record is its name).
template <typename Record>
uint32_t EnumNames(const EnumRound& round, std::vector<std::string>& names) {
  names.clear();
  DWORD_PTR resume = 0;
  NET_API_STATUS status;
  do {
    BYTE* buffer = nullptr;
    DWORD nRead = 0;
    status = round(&buffer, nRead, resume);
    if (status == NERR_Success || status == ERROR_MORE_DATA) {
      const auto* records = reinterpret_cast<const Record*>(buffer);
      for (DWORD i = 0; i < nRead; ++i) names.push_back(AnsiFromWide(*records[i].name()));
    }
    NetApiBufferFree(buffer);
  } while (status == ERROR_MORE_DATA);
  return status;
}

// Level-0 records of users, local groups and global groups, and level-3 members of local
// groups, by the field that names them.
struct UserRecord : USER_INFO_0 {
  const LPWSTR* name() const { return &usri0_name; }
};
struct LocalGroupRecord : LOCALGROUP_INFO_0 {
  const LPWSTR* name() const { return &lgrpi0_name; }
};
struct GlobalGroupRecord : GROUP_INFO_0 {
  const LPWSTR* name() const { return &grpi0_name; }
};
struct GroupUserRecord : GROUP_USERS_INFO_0 {
  const LPWSTR* name() const { return &grui0_name; }
};
struct LocalMemberRecord : LOCALGROUP_MEMBERS_INFO_3 {
  const LPWSTR* name() const { return &lgrmi3_domainandname; }
};

void SortNoCase(std::vector<std::string>& names) {
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return platform::AnsiUpper(a) < platform::AnsiUpper(b);
  });
}

std::string ComputerName() {
  char buffer[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD nSize = sizeof buffer;
  return GetComputerNameA(buffer, &nSize) ? std::string(buffer, nSize) : std::string();
}

// "THISPC\User" -> "User": an account of this computer is named as one adds it, without the
// computer's name; accounts of a domain and of the system keep theirs.
std::string AsAdded(const std::string& member, const std::string& computer) {
  const size_t nSlash = member.find('\\');
  if (nSlash == std::string::npos || !AnsiEqualNoCase(member.substr(0, nSlash), computer))
    return member;
  return member.substr(nSlash + 1);
}

// The local profile folder Windows created at the user's first logon, none before it (a
// REG_EXPAND_SZ value is expanded, and then counts as REG_SZ).
std::string ProfileFolderOf(const std::string& sid) {
  char value[MAX_PATH];
  DWORD cbValue = sizeof value;
  if (sid.empty() ||
      RegGetValueA(HKEY_LOCAL_MACHINE, (kProfileListKey + sid).c_str(), "ProfileImagePath",
                   RRF_RT_REG_SZ, nullptr, value, &cbValue) != ERROR_SUCCESS)
    return {};
  return value;
}

}  // namespace

uint32_t Win32Accounts::EnumUsers(std::vector<std::string>& names) {
  const uint32_t err = EnumNames<UserRecord>(
      [](BYTE** buffer, DWORD& nRead, DWORD_PTR& resume) {
        DWORD nTotal = 0;
        DWORD dwResume = static_cast<DWORD>(resume);
        const NET_API_STATUS status = NetUserEnum(nullptr, 0, FILTER_NORMAL_ACCOUNT, buffer,
                                                  MAX_PREFERRED_LENGTH, &nRead, &nTotal, &dwResume);
        resume = dwResume;
        return status;
      },
      names);
  SortNoCase(names);
  return err;
}

uint32_t Win32Accounts::GetUser(const std::string& name, UserAccount& user) {
  const std::wstring wideName = WideFromAnsi(name);
  BYTE* buffer = nullptr;
  const NET_API_STATUS status = NetUserGetInfo(nullptr, wideName.c_str(), 1, &buffer);
  if (status != NERR_Success) return status;
  const auto* info = reinterpret_cast<const USER_INFO_1*>(buffer);
  user.name = AnsiFromWide(info->usri1_name);
  user.comment = AnsiFromWide(info->usri1_comment);
  user.bDisabled = (info->usri1_flags & UF_ACCOUNTDISABLE) != 0;
  NetApiBufferFree(buffer);
  if (LookupAccountName("", ComputerName() + "\\" + user.name, user.sid) != ERROR_SUCCESS)
    user.sid.clear();
  user.profileDir = ProfileFolderOf(user.sid);
  return ERROR_SUCCESS;
}

uint32_t Win32Accounts::EnumGroups(bool bGlobal, std::vector<std::string>& names) {
  uint32_t err;
  if (bGlobal) {
    err = EnumNames<GlobalGroupRecord>(
        [](BYTE** buffer, DWORD& nRead, DWORD_PTR& resume) {
          DWORD nTotal = 0;
          return NetGroupEnum(nullptr, 0, buffer, MAX_PREFERRED_LENGTH, &nRead, &nTotal, &resume);
        },
        names);
  } else {
    err = EnumNames<LocalGroupRecord>(
        [](BYTE** buffer, DWORD& nRead, DWORD_PTR& resume) {
          DWORD nTotal = 0;
          return NetLocalGroupEnum(nullptr, 0, buffer, MAX_PREFERRED_LENGTH, &nRead, &nTotal,
                                   &resume);
        },
        names);
  }
  SortNoCase(names);
  return err;
}

uint32_t Win32Accounts::GetGroupMembers(const std::string& server, const std::string& group,
                                        bool bGlobal, std::vector<std::string>& members) {
  std::wstring wideServer = WideFromAnsi(server);
  const std::wstring wideGroup = WideFromAnsi(group);
  if (bGlobal) {
    return EnumNames<GroupUserRecord>(
        [&](BYTE** buffer, DWORD& nRead, DWORD_PTR& resume) {
          DWORD nTotal = 0;
          return NetGroupGetUsers(NullIfEmpty(wideServer), wideGroup.c_str(), 0, buffer,
                                  MAX_PREFERRED_LENGTH, &nRead, &nTotal, &resume);
        },
        members);
  }
  const uint32_t err = EnumNames<LocalMemberRecord>(
      [&](BYTE** buffer, DWORD& nRead, DWORD_PTR& resume) {
        DWORD nTotal = 0;
        return NetLocalGroupGetMembers(NullIfEmpty(wideServer), wideGroup.c_str(), 3, buffer,
                                       MAX_PREFERRED_LENGTH, &nRead, &nTotal, &resume);
      },
      members);
  const size_t nName = server.find_first_not_of('\\');
  const std::string computer = nName == std::string::npos ? ComputerName() : server.substr(nName);
  for (std::string& member : members) member = AsAdded(member, computer);
  return err;
}

uint32_t Win32Accounts::LogonUser(const std::string& domain, const std::string& userName,
                                  const std::string& password) {
  const std::string logonDomain = domain.empty() ? "." : domain;
  HANDLE token = nullptr;
  if (!LogonUserA(userName.c_str(), logonDomain.c_str(), password.c_str(),
                  LOGON32_LOGON_INTERACTIVE, LOGON32_PROVIDER_DEFAULT, &token))
    return GetLastError();
  CloseHandle(token);
  return ERROR_SUCCESS;
}

// The flat (NetBIOS) name, as NetGetDCName gives it: "\\DC01". DsGetDcName says
// ERROR_NO_SUCH_DOMAIN when it finds no controller; the interface names that NERR_DCNotFound.
uint32_t Win32Accounts::GetDCName(const std::string& domain, std::string& dcName) {
  DOMAIN_CONTROLLER_INFOA* info = nullptr;
  const DWORD err = DsGetDcNameA(nullptr, domain.empty() ? nullptr : domain.c_str(), nullptr,
                                 nullptr, DS_RETURN_FLAT_NAME, &info);
  if (err == ERROR_NO_SUCH_DOMAIN) return NERR_DCNotFound;
  if (err != ERROR_SUCCESS) return err;
  dcName = info->DomainControllerName;
  NetApiBufferFree(info);
  return ERROR_SUCCESS;
}

}  // namespace platform::win32
