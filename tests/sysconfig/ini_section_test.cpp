// INI sections on a real temporary machine, installed and then removed: list merges of the
// Win.ini run entry, System.ini device lines, short-form deletes, the quoted form, read-only
// files; and the line forms as pure text.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "platform/file_system.h"
#include "sysconfig/ini_lines.h"
#include "sysconfig/ini_section.h"
#include "sysconfig_test_run.h"

namespace tarvium {
namespace {

using test::SysconfigTestRun;

const char* const kWinIni = R"(C:\Windows\win.ini)";
const char* const kSystemIni = R"(C:\Windows\system.ini)";

bool InstallThenRemove(SysconfigTestRun& t, const std::string& section, const std::string& file,
                       const std::function<void()>& checkInstalled) {
  if (!HandleIniSection(t.run, section, file, 0)) return false;
  checkInstalled();
  t.run.ctx.bUninstall = true;
  const bool bOk = HandleIniSection(t.run, section, file, 0);
  t.run.ctx.bUninstall = false;
  return bOk;
}

TEST(IniSection, RunListAndDeviceLinesAreMergedAndUnmerged) {
  SysconfigTestRun t(
      "[Win.ini]\n"
      "windows, run, C:\\Tools\\new\\agent.exe\n"
      "windows, run, C:\\App\\monitor.exe\n"
      "[System.ini]\n"
      "386Enh, device, C:\\App\\vdev.386\n"
      "386Enh, device, C:\\App\\vdev.386\n"
      "386Enh, device, C:\\App\\other.386\n");
  const std::string winIni = "[windows]\r\nrun=C:\\old\\AGENT.EXE notepad.exe\r\nload=\r\n";
  const std::string systemIni = "[386Enh]\r\ndevice=*vmm\r\n";
  t.Write(kWinIni, winIni);
  t.Write(kSystemIni, systemIni);

  ASSERT_TRUE(InstallThenRemove(t, "Win.ini", "Win.ini", [&] {
    EXPECT_EQ(t.Read(kWinIni),
              "[windows]\r\nrun=C:\\Tools\\new\\agent.exe notepad.exe C:\\App\\monitor.exe\r\n"
              "load=\r\n");
  }));
  // The matched item is dropped, not restored; the rest stays in order.
  EXPECT_EQ(t.Read(kWinIni), "[windows]\r\nrun=notepad.exe\r\nload=\r\n");
  const auto changes = t.run.machine.Broadcasts().SettingChanges();
  ASSERT_EQ(changes.size(), 4u);
  EXPECT_EQ(changes[0], "WM_WININICHANGE windows");

  ASSERT_TRUE(InstallThenRemove(t, "System.ini", "System.ini", [&] {
    EXPECT_EQ(
        t.Read(kSystemIni),
        "[386Enh]\r\ndevice=*vmm\r\ndevice=C:\\App\\vdev.386\r\ndevice=C:\\App\\other.386\r\n");
    EXPECT_TRUE(t.run.ctx.bRestartWindows);
  }));
  EXPECT_EQ(t.Read(kSystemIni), systemIni);
}

TEST(IniSection, ShortAndQuotedFormsAddAndDelete) {
  SysconfigTestRun t(
      "[Ini:app.ini]\n"
      "Path=C:\\Data\n"
      "-Old, gone\n"
      "-Obsolete\n"
      "Main, Path, %Windows%\n"
      "Main, List, a, b, c\n"
      "\"C:\\Data\\other.ini\", Opts, Key=old, Key=new\n"
      "\"C:\\Data\\other.ini\", Opts, , Added=1\n");
  t.run.variables.Set("Windows", "C:\\Windows");
  t.Write(R"(C:\Data\app.ini)", "[Old]\r\ngone=1\r\nkept=2\r\n[Obsolete]\r\nx=1\r\n");
  t.Write(R"(C:\Data\other.ini)", "[Opts]\r\nKey=old\r\nOther=1\r\n");
  ASSERT_TRUE(HandleIniSection(t.run, "Ini:app.ini", "app.ini", 0x1));
  EXPECT_EQ(t.Read(R"(C:\Data\app.ini)"),
            "[Old]\r\nkept=2\r\n[Main]\r\nPath=C:\\Windows\r\nList=a, b, c\r\n");
  EXPECT_EQ(t.Read(R"(C:\Data\other.ini)"), "[Opts]\r\nOther=1\r\nAdded=1\r\n");
}

// A file the setup created goes with its folders when emptied: the scenario
// ini-files-installed-and-removed.
TEST(IniSection, ReadOnlyFileStaysAndAMissingSectionAsks) {
  SysconfigTestRun t("[Locked.ini]\nMain, Key, 1\n");
  uint32_t dwAttributes = 0;
  const std::string locked = R"(C:\Windows\Locked.ini)";
  t.Write(locked, "[Other]\r\nx=1\r\n");
  t.run.machine.Files().SetFileAttributes(locked, platform::FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(InstallThenRemove(t, "Locked.ini", "Locked.ini", [&] {
    EXPECT_EQ(t.Read(locked), "[Other]\r\nx=1\r\n[Main]\r\nKey=1\r\n");
  }));
  EXPECT_EQ(t.Read(locked), "[Other]\r\nx=1\r\n");
  ASSERT_EQ(t.run.machine.Files().GetFileAttributes(locked, dwAttributes), 0u);
  EXPECT_TRUE(dwAttributes & platform::FILE_ATTRIBUTE_READONLY);

  EXPECT_FALSE(HandleIniSection(t.run, "Missing.ini", "Missing.ini", 0));
  EXPECT_EQ(t.Messages(), std::vector<int>{5529});
}

TEST(IniSection, MapsFilesToTheRegistryAndReportsFilesItCannotCreate) {
  SysconfigTestRun t(
      "[App.ini]\n"
      "Main, Key, 1\n"
      "[Win.ini]\n"
      "Desktop, Wallpaper, none\n"
      "[Broken.ini]\n"
      "\"Z:\\no\\such\\dir\\x.ini\", S, , K=1\n"
      "Main, Key, 1\n");
  t.run.ctx.bAutoIniFileMapping = true;
  t.run.variables.Set("DeveloperName", "Vendor");
  t.run.variables.Set("ProductName", "Product");
  ASSERT_TRUE(HandleIniSection(t.run, "App.ini", "App.ini", 0));
  EXPECT_EQ(t.machine.RegString(
                platform::RegRoot::LocalMachine,
                "Software\\Microsoft\\Windows NT\\CurrentVersion\\IniFileMapping\\App", ""),
            "!#USR:Software\\Vendor\\Product\\App");
  ASSERT_TRUE(HandleIniSection(t.run, "Win.ini", "Win.ini", 0));
  EXPECT_EQ(t.machine.RegString(
                platform::RegRoot::LocalMachine,
                "Software\\Microsoft\\Windows NT\\CurrentVersion\\IniFileMapping\\Win", ""),
            "")
      << "WIN.INI stays a file";

  // The line operations keep a Unicode file's encoding.
  const std::string unicode = R"(C:\Windows\unicode.ini)";
  t.Write(unicode, std::string("\xFF\xFE[\0S\0]\0\r\0\n\0K\0=\0a\0\r\0\n\0", 22));
  bool bAdded = false;
  ASSERT_TRUE(IniAddLine(t.run, "S", "K", "b", unicode, bAdded));
  EXPECT_TRUE(bAdded);
  ASSERT_TRUE(IniRemoveLine(t.run, "S", "K", "a", unicode));
  EXPECT_EQ(t.Read(unicode).substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(t.run.machine.Profiles().GetPrivateProfileSection("S", unicode),
            std::string("K=b\0", 4));

  // 5504 for the file, then 5515 for the line, whose default answer (Cancel) fails the section.
  EXPECT_FALSE(HandleIniSection(t.run, "Broken.ini", "Broken.ini", 0));
  EXPECT_EQ(t.Messages(), (std::vector<int>{5504, 5515}));
  EXPECT_FALSE(t.Exists(R"(C:\Windows\Broken.ini)"));
}

TEST(IniLines, FormsNamesAndMergesReadAsWritten) {
  struct Case {
    const char* line;
    bool bQuoted, bHasKey, bDelete;
    const char* file;
    const char* section;
    const char* key;
    const char* value;
  };
  const Case cases[] = {
      {"windows, run, a.exe, b.exe", false, true, false, "", "windows", "run", "a.exe, b.exe"},
      {"-Main, Key", false, true, true, "", "Main", "Key", ""},
      {" - Main ", false, false, true, "", "Main", "", ""},
      {"Main", false, false, false, "", "Main", "", ""},
      {"\"x.ini\", S, K=old, K=new", true, true, true, "x.ini", "S", "K", "old"},
      {"\"x.ini\", S, , K=new=v", true, true, false, "x.ini", "S", "K", "new=v"},
      {"\"x.ini\", S, K", false, true, false, "", "x.ini", "S", "K"},
  };
  for (const Case& c : cases) {
    const std::optional<IniLineEdit> edit = ParseIniLine(c.line);
    ASSERT_TRUE(edit) << c.line;
    EXPECT_EQ(std::tie(edit->bQuoted, edit->bHasKey, edit->bDelete),
              std::tie(c.bQuoted, c.bHasKey, c.bDelete))
        << c.line;
    EXPECT_EQ(edit->file + "|" + edit->section + "|" + edit->key + "|" + edit->value,
              std::string(c.file) + "|" + c.section + "|" + c.key + "|" + c.value)
        << c.line;
  }
  EXPECT_FALSE(ParseIniLine("   "));

  EXPECT_EQ(IniFileOfSection("Fonts.app.ini"), "app.ini");
  EXPECT_EQ(IniFileOfSection("Settings.ini"), "Settings.ini");
  EXPECT_EQ(IniFileOfSection("Settings"), "Settings.ini");
  EXPECT_EQ(NormalizeIniFileName("c:\\windows\\WIN.INI"), "c:\\windows\\Win.ini");

  EXPECT_EQ(MergeProgramList("a.exe,C:\\x\\B.COM  c", "d:\\b.exe", true), "a.exe d:\\b.exe c");
  EXPECT_EQ(MergeProgramList("a.exe b.exe c", "b", false), "a.exe c");
  EXPECT_EQ(MergeProgramList("", "b.exe", true), "b.exe");
  EXPECT_EQ(MergeProgramList("a.exe", "b.exe", false), "a.exe");
  EXPECT_EQ(MergeProgramList("a.exe d: b.exe", "", true), "a.exe b.exe");

  EXPECT_FALSE(AddIniLineText("[S]\r\nK = V\r\n", "s", "k", "v"));
  EXPECT_EQ(AddIniLineText("[S]\r\nK=V\r\n\r\n[T]", "S", "K", "W"), "[S]\r\nK=V\r\nK=W\r\n\r\n[T]");
  EXPECT_EQ(AddIniLineText("", "S", "K", "V"), "[S]\r\nK=V\r\n");
  EXPECT_EQ(RemoveIniLineText("[S]\r\nK=A\r\nK=B\r\n", "S", "k", "b"), "[S]\r\nK=A\r\n");
  EXPECT_EQ(RemoveIniLineText("[S]\r\nK=A\r\nK=B\r\n", "S", "K", ""), "[S]\r\nK=B\r\n");
  EXPECT_FALSE(RemoveIniLineText("[S]\r\nK=A\r\n", "T", "K", ""));
}

}  // namespace
}  // namespace tarvium
