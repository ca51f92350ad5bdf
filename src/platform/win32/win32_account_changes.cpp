// Local users and local groups created, changed and deleted through the network management
// functions (found at run time, see win32_net_api.h). A user is written at level 1, the fields a
// setup gives; the password's expiry exists only at level 3, so a change reads the whole level-3
// record, replaces the setup's fields in it and writes it back, leaving the rest as it was.
#include "platform/win32/win32_accounts.h"

#include <memory>

#include "platform/win32/win32_net_api.h"
#include "platform/win32/win32_wide_text.h"

#include "platform/win32/windows_api.h"
// clang-format off
#include <lm.h>
// clang-format on

namespace platform::win32 {
namespace {

// A record a network management function returned, freed when it goes.
struct NetBufferFreer {
  void operator()(void* buffer) const { FreeNetBuffer(buffer); }
};
template <typename Record>
using NetRecord = std::unique_ptr<Record, NetBufferFreer>;

template <typename Record>
uint32_t GetUserRecord(const std::wstring& name, DWORD dwLevel, NetRecord<Record>& record) {
  BYTE* buffer = nullptr;
  const uint32_t err = CALL_NETAPI(NetUserGetInfo, nullptr, name.c_str(), dwLevel, &buffer);
  record.reset(reinterpret_cast<Record*>(buffer));
  return err;
}

// The texts of a user as UTF-16, alive while a record points into them.
struct WideUser {
  explicit WideUser(const LocalUserInfo& user)
      : name(NetText(user.name)),
        password(NetText(user.password)),
        homeDir(NetText(user.homeDir)),
        comment(NetText(user.comment)),
        scriptPath(NetText(user.scriptPath)) {}
  std::wstring name, password, homeDir, comment, scriptPath;
};

uint32_t SetPasswordExpired(const std::wstring& name, bool bExpired) {
  NetRecord<USER_INFO_3> current;
  if (const uint32_t err = GetUserRecord(name, 3, current)) return err;
  USER_INFO_3 changed = *current;
  changed.usri3_password = nullptr;
  changed.usri3_password_expired = bExpired ? 1 : 0;
  DWORD dwParamError = 0;
  return CALL_NETAPI(NetUserSetInfo, nullptr, name.c_str(), 3, reinterpret_cast<BYTE*>(&changed),
                     &dwParamError);
}

uint32_t ChangeLocalGroupMember(bool bAdd, const std::string& group, const std::string& member) {
  const std::wstring wideGroup = NetText(group);
  std::wstring wideMember = NetText(member);
  LOCALGROUP_MEMBERS_INFO_3 info{wideMember.data()};
  auto* buffer = reinterpret_cast<BYTE*>(&info);
  return bAdd ? CALL_NETAPI(NetLocalGroupAddMembers, nullptr, wideGroup.c_str(), 3, buffer, 1)
              : CALL_NETAPI(NetLocalGroupDelMembers, nullptr, wideGroup.c_str(), 3, buffer, 1);
}

}  // namespace

// A new user's password cannot be expired at level 1; that is a second step.
uint32_t Win32Accounts::AddUser(const LocalUserInfo& user) {
  WideUser wide(user);
  USER_INFO_1 info{};
  info.usri1_name = wide.name.data();
  info.usri1_password = wide.password.data();
  info.usri1_priv = user.dwPriv;
  info.usri1_home_dir = wide.homeDir.data();
  info.usri1_comment = wide.comment.data();
  info.usri1_flags = user.dwFlags;
  info.usri1_script_path = wide.scriptPath.data();
  DWORD dwParamError = 0;
  if (const uint32_t err =
          CALL_NETAPI(NetUserAdd, nullptr, 1, reinterpret_cast<BYTE*>(&info), &dwParamError))
    return err;
  return user.bPasswordExpired ? SetPasswordExpired(wide.name, true) : ERROR_SUCCESS;
}

uint32_t Win32Accounts::GetUserInfo(const std::string& name, LocalUserInfo& user) {
  NetRecord<USER_INFO_3> record;
  if (const uint32_t err = GetUserRecord(NetText(name), 3, record)) return err;
  user.name = AnsiFromWide(record->usri3_name);
  user.password.clear();
  user.dwPriv = record->usri3_priv;
  user.homeDir = AnsiFromWide(record->usri3_home_dir);
  user.comment = AnsiFromWide(record->usri3_comment);
  user.dwFlags = record->usri3_flags;
  user.scriptPath = AnsiFromWide(record->usri3_script_path);
  user.bPasswordExpired = record->usri3_password_expired != 0;
  return ERROR_SUCCESS;
}

uint32_t Win32Accounts::SetUserInfo(const std::string& name, const LocalUserInfo& user,
                                    bool bSetPassword) {
  const std::wstring wideName = NetText(name);
  NetRecord<USER_INFO_3> current;
  if (const uint32_t err = GetUserRecord(wideName, 3, current)) return err;
  WideUser wide(user);
  USER_INFO_3 changed = *current;
  changed.usri3_name = wide.name.data();
  changed.usri3_password = bSetPassword ? wide.password.data() : nullptr;
  changed.usri3_priv = user.dwPriv;
  changed.usri3_home_dir = wide.homeDir.data();
  changed.usri3_comment = wide.comment.data();
  changed.usri3_flags = user.dwFlags;
  changed.usri3_script_path = wide.scriptPath.data();
  changed.usri3_password_expired = user.bPasswordExpired ? 1 : 0;
  DWORD dwParamError = 0;
  return CALL_NETAPI(NetUserSetInfo, nullptr, wideName.c_str(), 3,
                     reinterpret_cast<BYTE*>(&changed), &dwParamError);
}

uint32_t Win32Accounts::DeleteUser(const std::string& name) {
  return CALL_NETAPI(NetUserDel, nullptr, NetText(name).c_str());
}

uint32_t Win32Accounts::AddLocalGroup(const std::string& name, const std::string& comment) {
  std::wstring wideName = NetText(name);
  std::wstring wideComment = NetText(comment);
  LOCALGROUP_INFO_1 info{wideName.data(), wideComment.data()};
  DWORD dwParamError = 0;
  return CALL_NETAPI(NetLocalGroupAdd, nullptr, 1, reinterpret_cast<BYTE*>(&info), &dwParamError);
}

uint32_t Win32Accounts::DeleteLocalGroup(const std::string& name) {
  return CALL_NETAPI(NetLocalGroupDel, nullptr, NetText(name).c_str());
}

uint32_t Win32Accounts::AddLocalGroupMember(const std::string& group, const std::string& member) {
  return ChangeLocalGroupMember(true, group, member);
}

uint32_t Win32Accounts::DeleteLocalGroupMember(const std::string& group,
                                               const std::string& member) {
  return ChangeLocalGroupMember(false, group, member);
}

}  // namespace platform::win32
