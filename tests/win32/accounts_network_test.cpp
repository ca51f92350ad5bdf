// The accounts and network services against the machine they run on, compared with what Windows
// says through other functions: the process token, the logon environment, the IP helper's newer
// adapter list. Under Wine the network management functions know only the current user, LogonUser
// accepts every password and there is no network provider: those cases are skipped there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "platform/ansi_case.h"
#include "platform/win32/win32_accounts.h"
#include "platform/win32/win32_network.h"
#include "platform/win32/win32_system_info.h"
#include "platform/win_error.h"
#include "win32/scratch_places.h"
#include "win32/wine_check.h"

// clang-format off
#include <winsock2.h>
#include <iphlpapi.h>
#include <lm.h>
// clang-format on

#undef ERROR_SUCCESS
#undef ERROR_NO_DATA
#undef ERROR_LOGON_FAILURE
#undef ERROR_BAD_NETPATH
#undef NERR_UserNotFound
#undef NERR_GroupNotFound
#undef NERR_DCNotFound
#undef ERROR_NO_SUCH_ALIAS
#undef ERROR_NOT_CONNECTED
#undef AnsiUpper
#undef LogonUser
#undef LookupAccountSid

namespace platform::win32 {
namespace {

using tarvium::test::EnvironmentText;

bool IsDottedAddress(const std::string& text) {
  unsigned parts[4];
  char end;
  if (std::sscanf(text.c_str(), "%u.%u.%u.%u%c", &parts[0], &parts[1], &parts[2], &parts[3],
                  &end) != 4)
    return false;
  return std::all_of(parts, parts + 4, [](unsigned part) { return part < 256; });
}

std::string DottedAddressOf(const in_addr& address) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&address);
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
  return text;
}

// The IPv4 addresses of every adapter, as GetAdaptersAddresses lists them.
std::vector<std::string> UnicastAddresses() {
  ULONG cbBuffer = 64 * 1024;
  std::vector<char> buffer(cbBuffer);
  auto* first = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
  std::vector<std::string> addresses;
  if (GetAdaptersAddresses(AF_INET, 0, nullptr, first, &cbBuffer) != 0) return addresses;
  for (auto* adapter = first; adapter; adapter = adapter->Next) {
    for (auto* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
      const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(unicast->Address.lpSockaddr);
      addresses.push_back(DottedAddressOf(ipv4->sin_addr));
    }
  }
  return addresses;
}

TEST(Win32Accounts, UsersAreSortedAndHoldTheCurrentUser) {
  Win32Accounts accounts;
  Win32SystemInfo system;
  std::vector<std::string> names;
  ASSERT_EQ(accounts.EnumUsers(names), ERROR_SUCCESS);
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const auto& a, const auto& b) {
    return AnsiUpper(a) < AnsiUpper(b);
  }));
  const std::string current = system.UserName();
  EXPECT_TRUE(std::any_of(names.begin(), names.end(), [&](const std::string& name) {
    return AnsiEqualNoCase(name, current);
  })) << current;
}

TEST(Win32Accounts, TheCurrentUserHasTheTokensSidAndProfile) {
  Win32Accounts accounts;
  Win32SystemInfo system;
  UserAccount user;
  ASSERT_EQ(accounts.GetUser(system.UserName(), user), ERROR_SUCCESS);
  EXPECT_TRUE(AnsiEqualNoCase(user.name, system.UserName()));
  EXPECT_EQ(user.sid, system.UserSid());
  EXPECT_FALSE(user.bDisabled);
  EXPECT_TRUE(AnsiEqualNoCase(user.profileDir, EnvironmentText("USERPROFILE"))) << user.profileDir;
}

TEST(Win32Accounts, MissingUsersAndGroups) {
  Win32Accounts accounts;
  UserAccount user;
  EXPECT_EQ(accounts.GetUser("NoSuchUserOfTarviumTests", user), NERR_UserNotFound);
  if (tarvium::test::RunsUnderWine())
    GTEST_SKIP() << "Wine's group functions answer for any group name";
  std::vector<std::string> members;
  EXPECT_EQ(accounts.GetGroupMembers("", "NoSuchGroupOfTarviumTests", false, members),
            ERROR_NO_SUCH_ALIAS);
  EXPECT_EQ(accounts.GetGroupMembers("", "NoSuchGroupOfTarviumTests", true, members),
            NERR_GroupNotFound);
}

// The administrators' group, named in the machine's language, lists the accounts in it.
TEST(Win32Accounts, LocalGroupsHoldTheAdministrators) {
  Win32Accounts accounts;
  Win32SystemInfo system;
  std::string administrators;
  std::string builtin;
  ASSERT_EQ(system.LookupAccountSid("S-1-5-32-544", administrators, builtin), ERROR_SUCCESS);
  std::vector<std::string> groups;
  ASSERT_EQ(accounts.EnumGroups(false, groups), ERROR_SUCCESS);
  if (tarvium::test::RunsUnderWine() && groups.empty())
    GTEST_SKIP() << "Wine's NetLocalGroupEnum lists no groups";
  EXPECT_TRUE(std::any_of(groups.begin(), groups.end(), [&](const std::string& group) {
    return AnsiEqualNoCase(group, administrators);
  }));
  std::vector<std::string> members;
  EXPECT_EQ(accounts.GetGroupMembers("", administrators, false, members), ERROR_SUCCESS);
  EXPECT_FALSE(members.empty());
}

TEST(Win32Accounts, WrongPasswordsDoNotLogOn) {
  if (tarvium::test::RunsUnderWine()) GTEST_SKIP() << "Wine's LogonUser accepts every password";
  Win32Accounts accounts;
  Win32SystemInfo system;
  EXPECT_EQ(accounts.LogonUser("", "NoSuchUserOfTarviumTests", "x"), ERROR_LOGON_FAILURE);
  EXPECT_EQ(accounts.LogonUser(".", system.UserName(), "surely not the password 3.14159"),
            ERROR_LOGON_FAILURE);
}

TEST(Win32Accounts, AMachineOutsideADomainHasNoController) {
  LPWSTR name = nullptr;
  NETSETUP_JOIN_STATUS status = NetSetupUnknownStatus;
  ASSERT_EQ(NetGetJoinInformation(nullptr, &name, &status), 0u);
  NetApiBufferFree(name);
  if (status == NetSetupDomainName) GTEST_SKIP() << "this machine is in a domain";
  if (tarvium::test::RunsUnderWine()) GTEST_SKIP() << "Wine has no DsGetDcName";
  Win32Accounts accounts;
  std::string dcName = "unchanged";
  EXPECT_EQ(accounts.GetDCName("", dcName), NERR_DCNotFound);
  EXPECT_EQ(dcName, "unchanged");
}

TEST(Win32Network, AdaptersHaveDottedAddressesWindowsKnows) {
  Win32Network network;
  std::vector<AdapterInfo> adapters;
  const uint32_t err = network.GetAdaptersInfo(adapters);
  if (err == ERROR_NO_DATA) {
    EXPECT_TRUE(adapters.empty());
    EXPECT_TRUE(UnicastAddresses().empty() ||
                UnicastAddresses() == std::vector<std::string>{"127.0.0.1"});
    return;
  }
  ASSERT_EQ(err, ERROR_SUCCESS);
  const std::vector<std::string> known = UnicastAddresses();
  for (const AdapterInfo& adapter : adapters) {
    EXPECT_FALSE(adapter.name.empty());
    EXPECT_TRUE(IsDottedAddress(adapter.ipAddress)) << adapter.ipAddress;
    EXPECT_TRUE(IsDottedAddress(adapter.subnetMask)) << adapter.subnetMask;
    if (adapter.ipAddress == "0.0.0.0") continue;
    EXPECT_NE(std::find(known.begin(), known.end(), adapter.ipAddress), known.end())
        << adapter.ipAddress;
  }
}

TEST(Win32Network, AConnectionThatFailsIsNotListed) {
  Win32Network network;
  EXPECT_NE(network.UseConnection("\\\\no-such-server-of-tarvium\\share", "", ""), ERROR_SUCCESS);
  EXPECT_TRUE(network.Connections().empty());
  if (tarvium::test::RunsUnderWine())
    GTEST_SKIP() << "Wine has no network provider: every cancel is ERROR_NO_NETWORK";
  EXPECT_EQ(network.CancelConnection("\\\\no-such-server-of-tarvium\\share", true),
            ERROR_NOT_CONNECTED);
}

}  // namespace
}  // namespace platform::win32
