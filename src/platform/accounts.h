// The machine's accounts as the engine asks the network management functions about them: local
// users, local groups and global (domain) groups with their members, a logon check for starting
// programs as another user, and the domain controller of a domain. Names are compared without
// regard to case; every operation returns ERROR_SUCCESS or the error Windows gives (NERR_* codes
// where the network management functions give those).
//
// This is the read side; creating and deleting users, groups and members is added beside it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

inline constexpr uint32_t ERROR_ACCOUNT_DISABLED = 1331;
inline constexpr uint32_t ERROR_NO_SUCH_DOMAIN = 1355;
inline constexpr uint32_t ERROR_NO_SUCH_ALIAS = 1376;  // a local group that does not exist
inline constexpr uint32_t NERR_GroupNotFound = 2220;   // a global group that does not exist
inline constexpr uint32_t NERR_UserNotFound = 2221;
inline constexpr uint32_t NERR_DCNotFound = 2453;

struct UserAccount {
  std::string name;
  std::string sid;
  std::string profileDir;  // Windows path of the user's profile folder
  std::string comment;
  bool bDisabled = false;
};

class Accounts {
 public:
  virtual ~Accounts() = default;

  // The local users (NetUserEnum), sorted by name.
  virtual uint32_t EnumUsers(std::vector<std::string>& names) = 0;
  // One local user (NetUserGetInfo); NERR_UserNotFound when there is none.
  virtual uint32_t GetUser(const std::string& name, UserAccount& user) = 0;
  // The local groups (bGlobal false, NetLocalGroupEnum) or global groups (NetGroupEnum).
  virtual uint32_t EnumGroups(bool bGlobal, std::vector<std::string>& names) = 0;
  // The members of a group on a server (empty: this computer): NetGroupGetUsers for a global
  // group, NetLocalGroupGetMembers for a local one. A member is named as it was added ("User",
  // "CORP\jdoe", "NT AUTHORITY\INTERACTIVE"). A missing group is NERR_GroupNotFound (global) or
  // ERROR_NO_SUCH_ALIAS (local); a server that cannot be reached is ERROR_BAD_NETPATH.
  virtual uint32_t GetGroupMembers(const std::string& server, const std::string& group,
                                   bool bGlobal, std::vector<std::string>& members) = 0;
  // LogonUser: whether the account can log on with the password. The domain is empty or "." for
  // this computer. ERROR_LOGON_FAILURE for an unknown user or a wrong password,
  // ERROR_ACCOUNT_DISABLED for a disabled account.
  virtual uint32_t LogonUser(const std::string& domain, const std::string& userName,
                             const std::string& password) = 0;
  // NetGetDCName: the name of a domain controller of the domain (empty: the machine's own
  // domain), with its leading backslashes ("\\DC01"). NERR_DCNotFound when there is none.
  virtual uint32_t GetDCName(const std::string& domain, std::string& dcName) = 0;
};

}  // namespace platform
