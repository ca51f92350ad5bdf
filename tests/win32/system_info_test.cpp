// The system information service against what the same Windows says through other doors: the
// environment variables it sets at logon, the registry keys its dialogs read, the locale
// functions of the user's language.
#include "platform/win32/win32_system_info.h"

#include <gtest/gtest.h>

#include "platform/ansi_case.h"
#include "platform/win_error.h"
#include "win32/scratch_places.h"
#include "win32/wine_check.h"

#include "platform/win32/windows_api.h"

// The interface's codes are uint32_t; those of <windows.h> are long.
#undef ERROR_SUCCESS
#undef ERROR_FILE_NOT_FOUND
#undef ERROR_NONE_MAPPED
#undef AnsiUpper
#undef LookupAccountSid
#undef LookupAccountName

namespace platform::win32 {
namespace {

using tarvium::test::EnvironmentText;

std::string RegistryText(HKEY root, const char* key, const char* name) {
  char buffer[512];
  DWORD cbData = sizeof buffer;
  if (RegGetValueA(root, key, name, RRF_RT_REG_SZ, nullptr, buffer, &cbData) != 0) return {};
  return buffer;
}

bool IsAbsoluteWithoutTrailingBackslash(const std::string& path) {
  const bool bAbsolute = path.size() >= 3 && path[1] == ':' && path[2] == '\\';
  return bAbsolute && (path.size() == 3 || path.back() != '\\');
}

TEST(Win32SystemInfo, NamesAreThoseOfTheLogonEnvironment) {
  Win32SystemInfo system;
  EXPECT_TRUE(AnsiEqualNoCase(system.ComputerName(), EnvironmentText("COMPUTERNAME")));
  EXPECT_TRUE(AnsiEqualNoCase(system.UserName(), EnvironmentText("USERNAME")));
  EXPECT_FALSE(system.DomainName().empty());
}

TEST(Win32SystemInfo, UserSidNamesTheUserBothWays) {
  Win32SystemInfo system;
  const std::string sid = system.UserSid();
  ASSERT_TRUE(sid.starts_with("S-1-5-")) << sid;
  std::string name;
  std::string domain;
  ASSERT_EQ(system.LookupAccountSid(sid, name, domain), ERROR_SUCCESS);
  EXPECT_TRUE(AnsiEqualNoCase(name, system.UserName()));
  for (const std::string& form : {name, domain + "\\" + name, ".\\" + name}) {
    std::string found;
    EXPECT_EQ(system.LookupAccountName(form, found), ERROR_SUCCESS) << form;
    EXPECT_EQ(found, sid) << form;
  }
}

TEST(Win32SystemInfo, WellKnownAccountsGoRoundTrip) {
  Win32SystemInfo system;
  for (const char* sid : {"S-1-1-0", "S-1-5-18", "S-1-5-32-544", "S-1-5-32-545"}) {
    std::string name;
    std::string domain;
    ASSERT_EQ(system.LookupAccountSid(sid, name, domain), ERROR_SUCCESS) << sid;
    EXPECT_FALSE(name.empty()) << sid;
    std::string found;
    const std::string qualified = domain.empty() ? name : domain + "\\" + name;
    EXPECT_EQ(system.LookupAccountName(qualified, found), ERROR_SUCCESS) << qualified;
    EXPECT_EQ(found, sid) << qualified;
  }
}

TEST(Win32SystemInfo, UnknownAccountsAreNotMapped) {
  Win32SystemInfo system;
  std::string name;
  std::string domain;
  EXPECT_EQ(system.LookupAccountSid("S-1-5-21-1-2-3-424242", name, domain), ERROR_NONE_MAPPED);
  std::string sid;
  EXPECT_EQ(system.LookupAccountName("NoSuchAccountOfTarviumTests", sid), ERROR_NONE_MAPPED);
  EXPECT_EQ(system.LookupAccountSid("not a sid", name, domain), uint32_t{ERROR_INVALID_SID});
}

TEST(Win32SystemInfo, VersionIsTheRegistrysCurrentVersion) {
  Win32SystemInfo system;
  const OsVersionInfo version = system.OsVersion();
  constexpr const char* kKey = R"(SOFTWARE\Microsoft\Windows NT\CurrentVersion)";
  EXPECT_EQ(std::to_string(version.dwBuildNumber),
            RegistryText(HKEY_LOCAL_MACHINE, kKey, "CurrentBuildNumber"));
  DWORD dwMajor = 0;
  DWORD cbData = sizeof dwMajor;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, kKey, "CurrentMajorVersionNumber", RRF_RT_REG_DWORD, nullptr,
                   &dwMajor, &cbData) == ERROR_SUCCESS) {
    EXPECT_EQ(version.dwMajorVersion, dwMajor);
  }
  EXPECT_EQ(version.dwPlatformId, uint32_t{VER_PLATFORM_WIN32_NT});
  EXPECT_TRUE(version.b64Bit);
  EXPECT_TRUE(version.displayString.starts_with(version.name)) << version.displayString;
  EXPECT_TRUE(version.displayString.ends_with(
      "(build " + RegistryText(HKEY_LOCAL_MACHINE, kKey, "CurrentBuild") + "), 64-bit"))
      << version.displayString;
}

TEST(Win32SystemInfo, EveryFolderHasAnAbsolutePathOrNone) {
  Win32SystemInfo system;
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
    EXPECT_TRUE(IsAbsoluteWithoutTrailingBackslash(path)) << n << " " << path;
    ++nFound;
  }
  EXPECT_GT(nFound, 40);
}

// The folders Windows also names in the environment of every process.
TEST(Win32SystemInfo, FoldersAreThoseOfTheEnvironment) {
  const struct {
    SpecialFolder folder;
    const char* variable;
  } kCases[] = {
      {SpecialFolder::Windows, "SystemRoot"},
      {SpecialFolder::UserProfile, "USERPROFILE"},
      {SpecialFolder::AppData, "APPDATA"},
      {SpecialFolder::LocalAppData, "LOCALAPPDATA"},
      {SpecialFolder::CommonAppData, "ProgramData"},
      {SpecialFolder::Public, "PUBLIC"},
      {SpecialFolder::ProgramFiles, "ProgramW6432"},
      {SpecialFolder::ProgramFilesX86, "ProgramFiles(x86)"},
      {SpecialFolder::CommonFiles, "CommonProgramW6432"},
      {SpecialFolder::CommonFilesX86, "CommonProgramFiles(x86)"},
      {SpecialFolder::Temp, "TMP"},
  };
  Win32SystemInfo system;
  for (const auto& test : kCases) {
    const std::string expected = EnvironmentText(test.variable);
    if (expected.empty()) continue;
    std::string path;
    ASSERT_EQ(system.GetSpecialFolder(test.folder, path), ERROR_SUCCESS) << test.variable;
    EXPECT_TRUE(AnsiEqualNoCase(path, expected)) << test.variable << ": " << path;
  }
}

TEST(Win32SystemInfo, SystemFoldersLieInTheWindowsFolder) {
  Win32SystemInfo system;
  std::string windows;
  std::string systemFolder;
  std::string systemX86;
  ASSERT_EQ(system.GetSpecialFolder(SpecialFolder::Windows, windows), ERROR_SUCCESS);
  ASSERT_EQ(system.GetSpecialFolder(SpecialFolder::System, systemFolder), ERROR_SUCCESS);
  ASSERT_EQ(system.GetSpecialFolder(SpecialFolder::SystemX86, systemX86), ERROR_SUCCESS);
  EXPECT_TRUE(AnsiEqualNoCase(systemFolder, windows + "\\system32")) << systemFolder;
  EXPECT_TRUE(AnsiEqualNoCase(systemX86, windows + "\\syswow64")) << systemX86;
}

TEST(Win32SystemInfo, LanguageAndLocaleAreKnownToWindows) {
  Win32SystemInfo system;
  wchar_t name[LOCALE_NAME_MAX_LENGTH];
  EXPECT_GT(LCIDToLocaleName(system.DefaultLocale(), name, LOCALE_NAME_MAX_LENGTH, 0), 0);
  EXPECT_GT(LCIDToLocaleName(MAKELCID(system.UiLanguage(), SORT_DEFAULT), name,
                             LOCALE_NAME_MAX_LENGTH, 0),
            0);
}

// What the locale functions give in UTF-16 for the user's locale, converted the same way.
TEST(Win32SystemInfo, InternationalSettingsAreTheUsersLocale) {
  const auto wideLocaleText = [](LCTYPE type) {
    wchar_t buffer[128];
    char ansi[256];
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 128) <= 0) return std::string("?");
    WideCharToMultiByte(CP_ACP, 0, buffer, -1, ansi, sizeof ansi, nullptr, nullptr);
    return std::string(ansi);
  };
  Win32SystemInfo system;
  const InternationalSettings settings = system.International();
  EXPECT_EQ(settings.sDate, wideLocaleText(LOCALE_SDATE));
  EXPECT_EQ(settings.sTime, wideLocaleText(LOCALE_STIME));
  EXPECT_EQ(settings.sShortDate, wideLocaleText(LOCALE_SSHORTDATE));
  EXPECT_EQ(settings.sLongDate, wideLocaleText(LOCALE_SLONGDATE));
  EXPECT_EQ(settings.sTimeFormat, wideLocaleText(LOCALE_STIMEFORMAT));
  EXPECT_EQ(settings.sDecimal, wideLocaleText(LOCALE_SDECIMAL));
  EXPECT_EQ(settings.sList, wideLocaleText(LOCALE_SLIST));
}

TEST(Win32SystemInfo, AMachineWithABatteryIsALaptop) {
  SYSTEM_POWER_STATUS status;
  ASSERT_TRUE(GetSystemPowerStatus(&status));
  const bool bBattery = status.BatteryFlag != 128 && status.BatteryFlag != 255;
  Win32SystemInfo system;
  if (bBattery) {
    EXPECT_TRUE(system.IsLaptop());
  }
  if (!bBattery && !tarvium::test::RunsUnderWine()) GTEST_SKIP() << "no battery to check";
}

}  // namespace
}  // namespace platform::win32
