// Access lists of a file and a registry key changed one entry at a time and read back. Trustees
// read back as "DOMAIN\name", so the test compares with the name LookupAccountSid gives. Wine
// keeps no lists for files and merges entries only in part: those cases are skipped there.
#include "platform/win32/win32_access_lists.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/ansi_case.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system_info.h"
#include "platform/win_error.h"
#include "win32/scratch_places.h"
#include "win32/wine_check.h"

namespace platform::win32 {
namespace {

using tarvium::test::ScratchFolder;

constexpr uint32_t ERROR_NONE_MAPPED = 1332;
constexpr uint32_t kFileReadData = 0x1;

// The entries of the trustee that apply to the object itself and are not inherited: the ones the
// test makes (a new object may carry entries for its children, or from its parent).
std::vector<AccessEntry> EntriesOf(const std::vector<AccessEntry>& entries,
                                   const std::string& trustee) {
  std::vector<AccessEntry> found;
  std::copy_if(entries.begin(), entries.end(), std::back_inserter(found), [&](const auto& one) {
    return AnsiEqualNoCase(one.trustee, trustee) && one.dwInheritance == NO_INHERITANCE;
  });
  return found;
}

// The rights the entries of one mode hold together (Windows merges a grant into the trustee's
// entry, Wine adds an entry).
uint32_t RightsOf(const std::vector<AccessEntry>& entries, uint32_t dwMode) {
  uint32_t dwRights = 0;
  for (const AccessEntry& entry : entries)
    if (entry.dwMode == dwMode) dwRights |= entry.dwRights;
  return dwRights;
}

// "BUILTIN\Users": the name entries read back with.
std::string FullNameOf(const std::string& sid) {
  std::string name, domain;
  if (Win32SystemInfo().LookupAccountSid(sid, name, domain) != ERROR_SUCCESS) return {};
  return domain.empty() ? name : domain + "\\" + name;
}

// Grants, sets, denies and revokes on one object, checking the list after each step.
void ChangeAndReadBack(SecuredObject kind, const std::string& object) {
  Win32AccessLists lists;
  const std::string users = FullNameOf("S-1-5-32-545");
  ASSERT_FALSE(users.empty());
  ASSERT_EQ(lists.ChangeAccess(kind, object, {users, GRANT_ACCESS, kFileReadData, 0}),
            ERROR_SUCCESS);
  ASSERT_EQ(lists.ChangeAccess(kind, object, {users, GRANT_ACCESS, DELETE, 0}), ERROR_SUCCESS);
  std::vector<AccessEntry> entries;
  ASSERT_EQ(lists.GetAccess(kind, object, entries), ERROR_SUCCESS);
  EXPECT_EQ(RightsOf(EntriesOf(entries, users), GRANT_ACCESS), kFileReadData | DELETE);

  ASSERT_EQ(lists.ChangeAccess(kind, object, {users, SET_ACCESS, READ_CONTROL, 0}), ERROR_SUCCESS);
  ASSERT_EQ(lists.ChangeAccess(kind, object, {users, DENY_ACCESS, WRITE_DAC, 0}), ERROR_SUCCESS);
  ASSERT_EQ(lists.GetAccess(kind, object, entries), ERROR_SUCCESS);
  const std::vector<AccessEntry> mine = EntriesOf(entries, users);
  ASSERT_FALSE(mine.empty());
  EXPECT_EQ(mine[0].dwMode, DENY_ACCESS);  // denying entries come first
  EXPECT_EQ(RightsOf(mine, DENY_ACCESS), WRITE_DAC);
  EXPECT_EQ(RightsOf(mine, GRANT_ACCESS), READ_CONTROL);  // setting replaced the granted rights

  if (tarvium::test::RunsUnderWine())
    GTEST_SKIP() << "Wine's SetEntriesInAcl revokes nothing and refuses an unknown trustee with 87";
  ASSERT_EQ(lists.ChangeAccess(kind, object, {users, REVOKE_ACCESS, 0, 0}), ERROR_SUCCESS);
  ASSERT_EQ(lists.GetAccess(kind, object, entries), ERROR_SUCCESS);
  EXPECT_TRUE(EntriesOf(entries, users).empty());
  EXPECT_EQ(lists.ChangeAccess(kind, object,
                               {"NoSuchAccountOfTarviumTests", GRANT_ACCESS, kFileReadData, 0}),
            ERROR_NONE_MAPPED);
}

TEST(Win32AccessLists, AFilesListIsChangedAndReadBack) {
  ScratchFolder folder;
  std::vector<AccessEntry> entries;
  EXPECT_EQ(Win32AccessLists().GetAccess(SecuredObject::File, folder / "missing.txt", entries),
            ERROR_FILE_NOT_FOUND);
  if (tarvium::test::RunsUnderWine())
    GTEST_SKIP() << "Wine keeps no access list for files on this file system: a change succeeds "
                    "and the list reads back as it was";
  ASSERT_TRUE(tarvium::test::WriteFileBytes(folder / "secured.txt", "x"));
  ChangeAndReadBack(SecuredObject::File, folder / "secured.txt");
}

TEST(Win32AccessLists, ARegistryKeysListIsChangedAndReadBack) {
  const std::string keyPath = "Software\\" + tarvium::test::UniqueTestName("TarviumAcl");
  ASSERT_EQ(Win32Registry().CreateKey(RegRoot::CurrentUser, keyPath), ERROR_SUCCESS);
  ChangeAndReadBack(SecuredObject::RegistryKey, "CURRENT_USER\\" + keyPath);
  tarvium::test::RemoveRegistryKey(RegRoot::CurrentUser, keyPath, RegView::Default);
}

}  // namespace
}  // namespace platform::win32
