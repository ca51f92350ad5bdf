// The accounts' write side on the system it runs on. Wine keeps users only in the memory of the
// process that added them, reads only their names back, has local groups that keep nothing and
// no NetJoinDomain; what it cannot show is skipped there, with the reason.
#include <gtest/gtest.h>

#include "platform/win32/win32_accounts.h"
#include "platform/win32/win32_system_info.h"
#include "platform/win_error.h"
#include "win32/scratch_places.h"
#include "win32/wine_check.h"

namespace platform::win32 {
namespace {

using tarvium::test::RunsUnderWine;
using tarvium::test::UniqueTestName;

constexpr uint32_t ERROR_NONE_MAPPED = 1332;

// A user of this test's own, deleted at the end whatever the test did.
class TestUser {
 public:
  TestUser() : name_(UniqueTestName("tu").substr(0, 20)) {}
  ~TestUser() { Win32Accounts().DeleteUser(name_); }
  TestUser(const TestUser&) = delete;
  TestUser& operator=(const TestUser&) = delete;
  const std::string& Name() const { return name_; }

 private:
  std::string name_;
};

LocalUserInfo NewUserInfo(const TestUser& testUser) {
  LocalUserInfo user;
  user.name = testUser.Name();
  user.password = "Tarvium-1-Password";
  return user;
}

TEST(Win32AccountChanges, AUserIsAddedAndDeleted) {
  Win32Accounts accounts;
  TestUser testUser;
  const LocalUserInfo user = NewUserInfo(testUser);
  LocalUserInfo read;
  EXPECT_EQ(accounts.GetUserInfo(user.name, read), NERR_UserNotFound);
  ASSERT_EQ(accounts.AddUser(user), ERROR_SUCCESS);
  if (!RunsUnderWine()) {  // Wine adds a second user of the same name
    EXPECT_EQ(accounts.AddUser(user), NERR_UserExists);
  }
  EXPECT_EQ(accounts.DeleteUser(user.name), ERROR_SUCCESS);
  EXPECT_EQ(accounts.DeleteUser(user.name), NERR_UserNotFound);
  EXPECT_EQ(accounts.GetUserInfo(user.name, read), NERR_UserNotFound);
}

TEST(Win32AccountChanges, AUsersFieldsAreReadAndChanged) {
  if (RunsUnderWine())
    GTEST_SKIP() << "Wine's NetUserGetInfo and NetUserSetInfo have no level 3 and its NetUserAdd "
                    "keeps neither comment nor home folder";
  Win32Accounts accounts;
  TestUser testUser;
  LocalUserInfo user = NewUserInfo(testUser);
  user.comment = std::string(300, 'c');  // cut to the 255 characters the functions take
  user.homeDir = "C:\\Users\\Tarvium";
  user.dwFlags = UF_SCRIPT | UF_NORMAL_ACCOUNT | UF_DONT_EXPIRE_PASSWD;
  ASSERT_EQ(accounts.AddUser(user), ERROR_SUCCESS);
  LocalUserInfo read;
  ASSERT_EQ(accounts.GetUserInfo(user.name, read), ERROR_SUCCESS);
  EXPECT_EQ(read.name, user.name);
  EXPECT_TRUE(read.password.empty());
  EXPECT_EQ(read.comment, std::string(255, 'c'));
  EXPECT_EQ(read.homeDir, user.homeDir);
  EXPECT_EQ(read.dwFlags & UF_DONT_EXPIRE_PASSWD, UF_DONT_EXPIRE_PASSWD);
  EXPECT_FALSE(read.bPasswordExpired);

  user.comment = "changed";
  user.dwFlags = UF_SCRIPT | UF_NORMAL_ACCOUNT;
  user.bPasswordExpired = true;
  ASSERT_EQ(accounts.SetUserInfo(user.name, user, false), ERROR_SUCCESS);
  ASSERT_EQ(accounts.GetUserInfo(user.name, read), ERROR_SUCCESS);
  EXPECT_EQ(read.comment, "changed");
  EXPECT_EQ(read.homeDir, user.homeDir);
  EXPECT_TRUE(read.bPasswordExpired);
  EXPECT_EQ(accounts.SetUserInfo("NoSuchUserOfTarviumTests", user, false), NERR_UserNotFound);
}

TEST(Win32AccountChanges, NamesLookUpToTheirIdentifiers) {
  Win32Accounts accounts;
  Win32SystemInfo system;
  std::string sid;
  ASSERT_EQ(accounts.LookupAccountName("", system.UserName(), sid), ERROR_SUCCESS);
  EXPECT_EQ(sid, system.UserSid());
  EXPECT_EQ(accounts.LookupAccountName("", "NoSuchAccountOfTarviumTests", sid), ERROR_NONE_MAPPED);
}

TEST(Win32AccountChanges, LocalGroupsTakeAndLoseMembers) {
  if (RunsUnderWine())
    GTEST_SKIP()
        << "Wine's local group functions succeed for any group and member and keep nothing";
  Win32Accounts accounts;
  TestUser testUser;
  const LocalUserInfo user = NewUserInfo(testUser);
  ASSERT_EQ(accounts.AddUser(user), ERROR_SUCCESS);
  const std::string group = UniqueTestName("tg").substr(0, 20);
  ASSERT_EQ(accounts.AddLocalGroup(group, "a test group"), ERROR_SUCCESS);
  EXPECT_EQ(accounts.AddLocalGroup(group, ""), ERROR_ALIAS_EXISTS);
  EXPECT_EQ(accounts.AddLocalGroupMember(group, user.name), ERROR_SUCCESS);
  EXPECT_EQ(accounts.AddLocalGroupMember(group, user.name), ERROR_MEMBER_IN_ALIAS);
  EXPECT_EQ(accounts.AddLocalGroupMember(group, "NoSuchAccountOfTarviumTests"),
            ERROR_NO_SUCH_MEMBER);
  std::vector<std::string> members;
  ASSERT_EQ(accounts.GetGroupMembers("", group, false, members), ERROR_SUCCESS);
  EXPECT_EQ(members, std::vector<std::string>{user.name});
  EXPECT_EQ(accounts.DeleteLocalGroupMember(group, user.name), ERROR_SUCCESS);
  EXPECT_EQ(accounts.DeleteLocalGroupMember(group, user.name), ERROR_MEMBER_NOT_IN_ALIAS);
  EXPECT_EQ(accounts.DeleteLocalGroup(group), ERROR_SUCCESS);
  EXPECT_EQ(accounts.AddLocalGroupMember(group, user.name), ERROR_NO_SUCH_ALIAS);
}

TEST(Win32AccountChanges, AccountRightsAreAddedListedAndRemoved) {
  if (RunsUnderWine()) GTEST_SKIP() << "Wine's LookupAccountName knows no user NetUserAdd added";
  Win32Accounts accounts;
  TestUser testUser;
  const LocalUserInfo user = NewUserInfo(testUser);
  ASSERT_EQ(accounts.AddUser(user), ERROR_SUCCESS);
  std::string sid;
  ASSERT_EQ(accounts.LookupAccountName("", user.name, sid), ERROR_SUCCESS);
  std::vector<std::string> rights;
  EXPECT_EQ(accounts.EnumAccountRights("", sid, rights), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(accounts.RemoveAccountRight("", sid, "SeServiceLogonRight"), ERROR_SUCCESS);
  ASSERT_EQ(accounts.AddAccountRight("", sid, "SeServiceLogonRight"), ERROR_SUCCESS);
  EXPECT_EQ(accounts.AddAccountRight("", sid, "SeNoSuchRight"), ERROR_NO_SUCH_PRIVILEGE);
  ASSERT_EQ(accounts.EnumAccountRights("", sid, rights), ERROR_SUCCESS);
  EXPECT_EQ(rights, std::vector<std::string>{"SeServiceLogonRight"});
  EXPECT_EQ(accounts.RemoveAccountRight("", sid, "SeServiceLogonRight"), ERROR_SUCCESS);
}

// Wine's netapi32 has no NetJoinDomain: the operation, not the program, fails for it.
TEST(Win32AccountChanges, AMissingFunctionFailsOnlyItsOperation) {
  if (!RunsUnderWine()) GTEST_SKIP() << "Windows has every function; joining would change it";
  Win32Accounts accounts;
  EXPECT_EQ(accounts.JoinDomain("", "TARVIUM", "", "", "", 0), ERROR_PROC_NOT_FOUND);
  EXPECT_EQ(accounts.UnjoinDomain("", "", "", 0), ERROR_PROC_NOT_FOUND);
}

}  // namespace
}  // namespace platform::win32
