// The system information service's own work: the account lookups with their growing buffers and
// the ".\name" form, the version's display text, and which known folder each special folder is.
#include "platform/win32/win32_system_info.h"

#include <gtest/gtest.h>

#include "platform/ansi_case.h"
#include "platform/win_error.h"
#include "win32/scratch_places.h"

namespace platform::win32 {
namespace {

TEST(Win32SystemInfo, AccountNamesAndSidsGoRoundTrip) {
  Win32SystemInfo system;
  const std::string userSid = system.UserSid();
  ASSERT_TRUE(userSid.starts_with("S-1-5-")) << userSid;
  std::string name, domain;
  ASSERT_EQ(system.LookupAccountSid(userSid, name, domain), ERROR_SUCCESS);
  EXPECT_TRUE(AnsiEqualNoCase(name, system.UserName())) << name;
  const std::pair<std::string, std::string> namesOfSids[] = {
      {name, userSid},
      {domain + "\\" + name, userSid},
      {".\\" + name, userSid},  // this computer's account, a form Windows itself does not know
  };
  for (const auto& [form, expectedSid] : namesOfSids) {
    std::string sid;
    EXPECT_EQ(system.LookupAccountName(form, sid), ERROR_SUCCESS) << form;
    EXPECT_EQ(sid, expectedSid) << form;
  }
  for (const char* wellKnown : {"S-1-1-0", "S-1-5-18", "S-1-5-32-544"}) {
    ASSERT_EQ(system.LookupAccountSid(wellKnown, name, domain), ERROR_SUCCESS) << wellKnown;
    std::string sid;
    EXPECT_EQ(system.LookupAccountName(domain.empty() ? name : domain + "\\" + name, sid),
              ERROR_SUCCESS);
    EXPECT_EQ(sid, wellKnown);
  }
  EXPECT_EQ(system.LookupAccountSid("S-1-5-21-1-2-3-424242", name, domain), ERROR_NONE_MAPPED);
  std::string sid;
  EXPECT_EQ(system.LookupAccountName("NoSuchAccountOfTarviumTests", sid), ERROR_NONE_MAPPED);
}

TEST(Win32SystemInfo, VersionTextNamesTheProductBuildAndWidth) {
  const OsVersionInfo version = Win32SystemInfo().OsVersion();
  EXPECT_TRUE(version.b64Bit);
  EXPECT_TRUE(version.displayString.starts_with(version.name)) << version.displayString;
  EXPECT_NE(version.displayString.find(" (build "), std::string::npos) << version.displayString;
  EXPECT_TRUE(version.displayString.ends_with("), 64-bit")) << version.displayString;
}

TEST(Win32SystemInfo, FoldersAreTheOnesWindowsNamesThemBy) {
  using tarvium::test::EnvironmentText;
  Win32SystemInfo system;
  const std::string windows = EnvironmentText("SystemRoot");
  ASSERT_FALSE(windows.empty());
  const std::pair<SpecialFolder, std::string> cases[] = {
      {SpecialFolder::Windows, windows},
      {SpecialFolder::System, windows + "\\system32"},
      {SpecialFolder::SystemX86, windows + "\\syswow64"},
      {SpecialFolder::UserProfile, EnvironmentText("USERPROFILE")},
      {SpecialFolder::AppData, EnvironmentText("APPDATA")},
      {SpecialFolder::LocalAppData, EnvironmentText("LOCALAPPDATA")},
      {SpecialFolder::CommonAppData, EnvironmentText("ProgramData")},
      {SpecialFolder::Public, EnvironmentText("PUBLIC")},
      {SpecialFolder::ProgramFiles, EnvironmentText("ProgramW6432")},
      {SpecialFolder::ProgramFilesX86, EnvironmentText("ProgramFiles(x86)")},
      {SpecialFolder::CommonFiles, EnvironmentText("CommonProgramW6432")},
      {SpecialFolder::CommonFilesX86, EnvironmentText("CommonProgramFiles(x86)")},
      {SpecialFolder::Temp, EnvironmentText("TMP")},
  };
  for (const auto& [folder, expected] : cases) {
    if (expected.empty()) continue;  // a variable this environment does not set
    std::string path;
    ASSERT_EQ(system.GetSpecialFolder(folder, path), ERROR_SUCCESS) << expected;
    EXPECT_TRUE(AnsiEqualNoCase(path, expected)) << path << " " << expected;
  }
  // Every folder: an absolute path without a final backslash, or none at all.
  int nFound = 0;
  for (int n = static_cast<int>(SpecialFolder::Windows);
       n <= static_cast<int>(SpecialFolder::SidebarDefaultParts); ++n) {
    std::string path = "left over";
    const uint32_t err = system.GetSpecialFolder(static_cast<SpecialFolder>(n), path);
    if (err == ERROR_FILE_NOT_FOUND) {
      EXPECT_TRUE(path.empty()) << n;
      continue;
    }
    ASSERT_EQ(err, ERROR_SUCCESS) << n;
    EXPECT_TRUE(path.size() >= 3 && path[1] == ':' && path[2] == '\\' &&
                (path.size() == 3 || path.back() != '\\'))
        << n << " " << path;
    ++nFound;
  }
  EXPECT_GT(nFound, 40);
}

}  // namespace
}  // namespace platform::win32
