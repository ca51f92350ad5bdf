// The accounts and network services' own work: enumerations read in rounds and sorted, a user's
// SID and profile folder, group members named as one adds them, the domain controller's error,
// the adapters' list and the connections this service made. Under Wine the group functions answer
// for any name, there is no DsGetDcName and no network provider: those cases are skipped there.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/ansi_case.h"
#include "platform/win32/win32_accounts.h"
#include "platform/win32/win32_network.h"
#include "platform/win32/win32_system_info.h"
#include "platform/win_error.h"
#include "win32/scratch_places.h"
#include "win32/wine_check.h"

namespace platform::win32 {
namespace {

using tarvium::test::RunsUnderWine;

bool ContainsNoCase(const std::vector<std::string>& names, const std::string& name) {
  return std::any_of(names.begin(), names.end(),
                     [&](const std::string& one) { return AnsiEqualNoCase(one, name); });
}

TEST(Win32Accounts, UsersAndGroupsAreSortedAndHoldTheCurrentUser) {
  Win32Accounts accounts;
  Win32SystemInfo system;
  const auto byUpperCase = [](const auto& a, const auto& b) { return AnsiUpper(a) < AnsiUpper(b); };
  std::vector<std::string> users;
  ASSERT_EQ(accounts.EnumUsers(users), ERROR_SUCCESS);
  EXPECT_TRUE(std::is_sorted(users.begin(), users.end(), byUpperCase));
  EXPECT_TRUE(ContainsNoCase(users, system.UserName())) << system.UserName();

  UserAccount user;
  ASSERT_EQ(accounts.GetUser(system.UserName(), user), ERROR_SUCCESS);
  EXPECT_EQ(user.sid, system.UserSid());
  EXPECT_TRUE(AnsiEqualNoCase(user.profileDir, tarvium::test::EnvironmentText("USERPROFILE")))
      << user.profileDir;
  EXPECT_EQ(accounts.GetUser("NoSuchUserOfTarviumTests", user), NERR_UserNotFound);

  std::vector<std::string> groups;
  ASSERT_EQ(accounts.EnumGroups(false, groups), ERROR_SUCCESS);
  if (RunsUnderWine()) GTEST_SKIP() << "Wine's group functions list none and answer for any name";
  EXPECT_TRUE(std::is_sorted(groups.begin(), groups.end(), byUpperCase));
  std::string administrators, builtin;
  ASSERT_EQ(system.LookupAccountSid("S-1-5-32-544", administrators, builtin), ERROR_SUCCESS);
  EXPECT_TRUE(ContainsNoCase(groups, administrators)) << administrators;
  std::vector<std::string> members;
  EXPECT_EQ(accounts.GetGroupMembers("", administrators, false, members), ERROR_SUCCESS);
  for (const std::string& member : members)  // this computer's accounts without its name
    EXPECT_FALSE(AnsiStartsWithNoCase(member, system.ComputerName() + "\\")) << member;
  EXPECT_EQ(accounts.GetGroupMembers("", "NoSuchGroupOfTarviumTests", false, members),
            ERROR_NO_SUCH_ALIAS);
}

TEST(Win32Accounts, AMachineOutsideADomainHasNoController) {
  if (RunsUnderWine()) GTEST_SKIP() << "Wine has no DsGetDcName";
  const std::string domain = Win32SystemInfo().DomainName();
  if (!domain.empty() && !AnsiEqualNoCase(domain, "WORKGROUP"))
    GTEST_SKIP() << "this machine may be in the domain " << domain;
  std::string dcName = "unchanged";
  EXPECT_EQ(Win32Accounts().GetDCName("", dcName), NERR_DCNotFound);
  EXPECT_EQ(dcName, "unchanged");
}

TEST(Win32Network, AdaptersHaveDottedAddressesOrThereAreNone) {
  std::vector<AdapterInfo> adapters;
  const uint32_t err = Win32Network().GetAdaptersInfo(adapters);
  EXPECT_EQ(err == ERROR_NO_DATA, adapters.empty()) << err;
  for (const AdapterInfo& adapter : adapters) {
    EXPECT_FALSE(adapter.name.empty());
    for (const std::string& address : {adapter.ipAddress, adapter.subnetMask})
      EXPECT_EQ(std::count(address.begin(), address.end(), '.'), 3) << address;
  }
}

TEST(Win32Network, AConnectionThatFailsIsNotListed) {
  Win32Network network;
  EXPECT_NE(network.UseConnection("\\\\no-such-server-of-tarvium\\share", "", ""), ERROR_SUCCESS);
  EXPECT_TRUE(network.Connections().empty());
}

}  // namespace
}  // namespace platform::win32
