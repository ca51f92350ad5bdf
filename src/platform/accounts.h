// The machine's accounts as the engine asks the network management functions about them: local
// users, local groups and global (domain) groups with their members, a logon check for starting
// programs as another user, and the domain controller of a domain. Names are compared without
// regard to case; every operation returns ERROR_SUCCESS or the error Windows gives (NERR_* codes
// where the network management functions give those).
//
// The write side creates, changes and deletes local users, local groups and their members, disk
// shares and account rights (the local security policy), and joins or leaves a domain.
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
inline constexpr uint32_t NERR_GroupExists = 2223;
inline constexpr uint32_t NERR_UserExists = 2224;
inline constexpr uint32_t NERR_DuplicateShare = 2118;
inline constexpr uint32_t NERR_NetNameNotFound = 2310;
inline constexpr uint32_t NERR_UnknownDevDir = 2116;  // a share's path that does not exist
inline constexpr uint32_t ERROR_NO_SUCH_PRIVILEGE = 1313;
inline constexpr uint32_t ERROR_NO_SUCH_MEMBER = 1387;
inline constexpr uint32_t ERROR_MEMBER_NOT_IN_ALIAS = 1377;
inline constexpr uint32_t ERROR_MEMBER_IN_ALIAS = 1378;
inline constexpr uint32_t ERROR_ALIAS_EXISTS = 1379;
inline constexpr uint32_t ERROR_NO_SECURITY_ON_OBJECT = 1350;
inline constexpr uint32_t ERROR_INVALID_SID = 1337;
inline constexpr uint32_t ERROR_SPECIAL_ACCOUNT = 1371;  // a built-in account cannot be deleted
inline constexpr uint32_t NERR_BadUsername = 2202;
inline constexpr uint32_t NERR_PasswordTooShort = 2245;  // any password the policy refuses
inline constexpr uint32_t NERR_SetupAlreadyJoined = 2691;
inline constexpr uint32_t NERR_SetupNotJoined = 2692;

// NetJoinDomain options: without NETSETUP_JOIN_DOMAIN the name is a workgroup to join.
inline constexpr uint32_t NETSETUP_JOIN_DOMAIN = 0x1;

// User account flags (UF_*) and privilege levels (USER_PRIV_*).
inline constexpr uint32_t UF_SCRIPT = 0x1;
inline constexpr uint32_t UF_ACCOUNTDISABLE = 0x2;
inline constexpr uint32_t UF_PASSWD_NOTREQD = 0x20;
inline constexpr uint32_t UF_NORMAL_ACCOUNT = 0x200;
inline constexpr uint32_t UF_DONT_EXPIRE_PASSWD = 0x10000;
inline constexpr uint32_t USER_PRIV_GUEST = 0;
inline constexpr uint32_t USER_PRIV_USER = 1;
inline constexpr uint32_t USER_PRIV_ADMIN = 2;

struct UserAccount {
  std::string name;
  std::string sid;
  std::string profileDir;  // Windows path of the user's profile folder
  std::string comment;
  bool bDisabled = false;
};

// A local user as NetUserAdd and NetUserSetInfo (levels 1 and 3) write it and NetUserGetInfo
// reads it back (the password is never read back).
struct LocalUserInfo {
  std::string name;
  std::string password;
  uint32_t dwPriv = USER_PRIV_USER;
  std::string homeDir;
  std::string comment;
  uint32_t dwFlags = UF_SCRIPT | UF_NORMAL_ACCOUNT;
  std::string scriptPath;
  bool bPasswordExpired = false;
};

// A disk share (SHARE_INFO_2). maxUses 0xFFFFFFFF is unlimited.
struct ShareInfo {
  std::string name;
  std::string path;  // Windows path of the shared folder
  std::string remark;
  uint32_t dwMaxUses = 0xFFFFFFFF;
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

  // --- Write side (servers: empty or this computer's name) -------------------------------------
  // NetUserAdd: NERR_UserExists (2224), NERR_GroupExists when a local group has the name,
  // NERR_BadUsername for a name Windows refuses (over 20 characters, or one of \/"[]:|<>+=;,?*@),
  // NERR_PasswordTooShort for a password over 256 characters, ERROR_INVALID_PARAMETER for a
  // privilege other than USER_PRIV_USER (NetUserAdd takes no other).
  virtual uint32_t AddUser(const LocalUserInfo& user) = 0;
  // NetUserGetInfo level 3 without the password: NERR_UserNotFound. The privilege is what the
  // account's membership makes it (Administrators: USER_PRIV_ADMIN, Guests: USER_PRIV_GUEST).
  virtual uint32_t GetUserInfo(const std::string& name, LocalUserInfo& user) = 0;
  // NetUserSetInfo: every field of user; the password only with bSetPassword; user.name is not
  // used (the account keeps its name). A privilege other than the account's is
  // ERROR_INVALID_PARAMETER, as on Windows.
  virtual uint32_t SetUserInfo(const std::string& name, const LocalUserInfo& user,
                               bool bSetPassword) = 0;
  // NetUserDel: NERR_UserNotFound, ERROR_SPECIAL_ACCOUNT for the built-in Administrator and
  // Guest. The user leaves every local group and its account rights are dropped.
  virtual uint32_t DeleteUser(const std::string& name) = 0;
  // NetLocalGroupAdd: ERROR_ALIAS_EXISTS (1379), NERR_GroupExists when a global group or a user
  // has the name.
  virtual uint32_t AddLocalGroup(const std::string& name, const std::string& comment) = 0;
  // NetLocalGroupDel: NERR_GroupNotFound for a missing group, ERROR_SPECIAL_ACCOUNT for a
  // built-in one.
  virtual uint32_t DeleteLocalGroup(const std::string& name) = 0;
  // NetLocalGroupAddMembers (level 3, one member by name): ERROR_MEMBER_IN_ALIAS (1378),
  // ERROR_NO_SUCH_MEMBER (1387) for an account that does not exist, ERROR_NO_SUCH_ALIAS.
  virtual uint32_t AddLocalGroupMember(const std::string& group, const std::string& member) = 0;
  // NetLocalGroupDelMembers: ERROR_MEMBER_NOT_IN_ALIAS (1377), ERROR_NO_SUCH_MEMBER for a name
  // no account has.
  virtual uint32_t DeleteLocalGroupMember(const std::string& group, const std::string& member) = 0;
  // NetShareAdd (level 2, disk share): NERR_DuplicateShare (2118), NERR_UnknownDevDir.
  virtual uint32_t AddShare(const std::string& server, const ShareInfo& share) = 0;
  // NetShareDel: NERR_NetNameNotFound (2310).
  virtual uint32_t DeleteShare(const std::string& server, const std::string& name) = 0;
  // NetShareEnum of the disk shares, sorted by name.
  virtual uint32_t EnumShares(const std::string& server, std::vector<ShareInfo>& shares) = 0;
  // LookupAccountName: the account's security identifier ("S-1-5-21-..."): well-known accounts
  // in the machine's language ("Everyone", "BUILTIN\Administrators", "NT AUTHORITY\SYSTEM"),
  // local users and groups, the computer itself. ERROR_NONE_MAPPED (1332) for a name no account
  // has, RPC_S_SERVER_UNAVAILABLE for another system.
  virtual uint32_t LookupAccountName(const std::string& system, const std::string& account,
                                     std::string& sid) = 0;
  // LsaAddAccountRights / LsaRemoveAccountRights of one right ("SeServiceLogonRight") for an
  // account named by its security identifier: ERROR_NO_SUCH_PRIVILEGE (1313) for an unknown
  // right (the Se...Privilege and Se...Right names, in any case), ERROR_INVALID_SID for text that
  // is no SID; removing a right the account does not hold succeeds.
  virtual uint32_t AddAccountRight(const std::string& system, const std::string& sid,
                                   const std::string& right) = 0;
  virtual uint32_t RemoveAccountRight(const std::string& system, const std::string& sid,
                                      const std::string& right) = 0;
  // LsaEnumerateAccountRights: ERROR_FILE_NOT_FOUND when the account holds none.
  virtual uint32_t EnumAccountRights(const std::string& system, const std::string& sid,
                                     std::vector<std::string>& rights) = 0;
  // NetJoinDomain / NetUnjoinDomain with the caller's options. Joining needs a domain whose
  // controller the machine can reach (ERROR_NO_SUCH_DOMAIN otherwise) and, when an account is
  // given, its password (ERROR_LOGON_FAILURE); NERR_SetupAlreadyJoined when joined already.
  // Without NETSETUP_JOIN_DOMAIN the machine joins the workgroup of that name. Unjoining returns
  // the machine to the workgroup WORKGROUP; NERR_SetupNotJoined when it is in none.
  virtual uint32_t JoinDomain(const std::string& server, const std::string& domain,
                              const std::string& accountOU, const std::string& account,
                              const std::string& password, uint32_t dwOptions) = 0;
  virtual uint32_t UnjoinDomain(const std::string& server, const std::string& account,
                                const std::string& password, uint32_t dwOptions) = 0;
};

}  // namespace platform
