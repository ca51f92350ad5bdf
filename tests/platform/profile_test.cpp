// The profile functions over the emulated machine's files: how values are read (case, blanks,
// quotes, defaults, lists) and how writes change a file without touching the rest of it.
#include "platform/ini_profile.h"

#include <gtest/gtest.h>

#include "support/machine_dir.h"

namespace platform {
namespace {

using tarvium::test::MachineDir;

const char* const kIni = R"(C:\App\app.ini)";

TEST(IniProfile, ReadsValuesAndListsAsWindowsDoes) {
  MachineDir machine;
  IniProfile profile(machine.Files(), R"(C:\Windows)");
  machine.WriteHost("drive_c/App/app.ini",
                    "; comment=not a key\r\n"
                    "[Paths]\r\n"
                    "  Data Dir  =  C:\\Data  \r\n"
                    "Quoted=\"  spaced  \"\r\n"
                    "Single='x'\r\n"
                    "Half=\"open\n"
                    "Count= -42 apples\n"
                    "[ Other ]\n"
                    "k=v\n"
                    "[paths]\n"
                    "Data Dir=second section is not read\n");
  EXPECT_EQ(profile.GetPrivateProfileString("PATHS", "data dir", "def", kIni), "C:\\Data");
  EXPECT_EQ(profile.GetPrivateProfileString("Paths", "Quoted", "", kIni), "  spaced  ");
  EXPECT_EQ(profile.GetPrivateProfileString("Paths", "Single", "", kIni), "x");
  EXPECT_EQ(profile.GetPrivateProfileString("Paths", "Half", "", kIni), "\"open");
  EXPECT_EQ(profile.GetPrivateProfileString("Other", "k", "", kIni), "v");
  EXPECT_EQ(profile.GetPrivateProfileString("Paths", "; comment", "none", kIni), "none");
  EXPECT_EQ(profile.GetPrivateProfileInt("Paths", "Count", 7, kIni), -42);
  EXPECT_EQ(profile.GetPrivateProfileInt("Paths", "Missing", 7, kIni), 7);

  EXPECT_EQ(SplitProfileList(profile.GetPrivateProfileString(nullptr, nullptr, "", kIni)),
            (std::vector<std::string>{"Paths", "Other", "paths"}));
  EXPECT_EQ(SplitProfileList(profile.GetPrivateProfileString("paths", nullptr, "", kIni)),
            (std::vector<std::string>{"Data Dir", "Quoted", "Single", "Half", "Count"}));
  EXPECT_EQ(profile.GetPrivateProfileSection("other", kIni), std::string("k=v\0", 4));
}

TEST(IniProfile, WritesChangeOnlyWhatTheyMustAndCreateWhatIsMissing) {
  MachineDir machine;
  auto& files = machine.Files();
  IniProfile profile(files, R"(C:\Windows)");
  ASSERT_EQ(files.CreateDirectory(R"(C:\App)"), ERROR_SUCCESS);
  // Defaults, missing files and the text of writes to new files: profile_windows_cases_test.
  const std::string original =
      "; keep me\n"
      "[Main]\r\n"
      "  Key = old \r\n"
      "Other=1\n"
      "\r\n"
      "[Tail]\n"
      "x=1";
  ASSERT_EQ(files.WriteWholeFile(kIni, original), ERROR_SUCCESS);
  ASSERT_EQ(profile.WritePrivateProfileString("main", "KEY", "new", kIni), ERROR_SUCCESS);
  ASSERT_EQ(profile.WritePrivateProfileString("MAIN", "Added", "a", kIni), ERROR_SUCCESS);
  ASSERT_EQ(profile.WritePrivateProfileString("tail", "y", "2", kIni), ERROR_SUCCESS);
  ASSERT_EQ(profile.WritePrivateProfileString("New", "n", "3", kIni), ERROR_SUCCESS);
  EXPECT_EQ(machine.ReadFile(kIni),
            "; keep me\n"
            "[Main]\r\n"
            "Key=new\r\n"
            "Other=1\n"
            "Added=a\r\n"
            "\r\n"
            "[Tail]\n"
            "x=1\r\n"
            "y=2\r\n"
            "[New]\r\n"
            "n=3\r\n");

  ASSERT_EQ(profile.WritePrivateProfileString("Main", "other", nullptr, kIni), ERROR_SUCCESS);
  ASSERT_EQ(profile.WritePrivateProfileString("TAIL", nullptr, nullptr, kIni), ERROR_SUCCESS);
  ASSERT_EQ(profile.WritePrivateProfileSection("New", std::string("a=1\0b=2\0", 8), kIni),
            ERROR_SUCCESS);
  EXPECT_EQ(machine.ReadFile(kIni),
            "; keep me\n"
            "[Main]\r\n"
            "Key=new\r\n"
            "Added=a\r\n"
            "\r\n"
            "[New]\r\n"
            "a=1\r\n"
            "b=2\r\n");
  EXPECT_EQ(profile.WritePrivateProfileString(nullptr, nullptr, nullptr, kIni), ERROR_SUCCESS);

  // A read-only file is refused; a bare file name and Win.ini lie in the Windows directory.
  ASSERT_EQ(files.SetFileAttributes(kIni, FILE_ATTRIBUTE_READONLY), ERROR_SUCCESS);
  EXPECT_EQ(profile.WritePrivateProfileString("Main", "Key", "x", kIni), ERROR_ACCESS_DENIED);
  ASSERT_EQ(profile.WritePrivateProfileString("boot", "drivers", "mmsystem.dll", "System.ini"),
            ERROR_SUCCESS);
  EXPECT_EQ(machine.ReadFile(R"(C:\Windows\SYSTEM.INI)"), "[boot]\r\ndrivers=mmsystem.dll\r\n");
  ASSERT_EQ(profile.WriteProfileString("Reboot", "C:\\Setup.exe", "1"), ERROR_SUCCESS);
  EXPECT_EQ(profile.GetProfileInt("reboot", "c:\\setup.exe", 0), 1);
  EXPECT_EQ(profile.GetProfileString("Reboot", "C:\\Setup.exe", ""), "1");
  EXPECT_EQ(machine.ReadFile(R"(C:\Windows\win.ini)"), "[Reboot]\r\nC:\\Setup.exe=1\r\n");
}

}  // namespace
}  // namespace platform
