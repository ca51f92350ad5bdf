// Batch-file and config.sys sections on a real temporary machine: the autoexec.bat of an NT
// machine changes the environment in the registry (and back in the uninstall pass), a batch file
// is edited once per line, CONFIG.NT gets parameter lines, and an invalid line stops with 5531
// without writing the file.
// The batch and config.sys editors: PATH merges in front and at the end and their exact removal,
// a directory already in the list, SET lines created and deleted, command lines applied once,
// driver lines replaced with their own keyword, '+' lines beside existing ones.
// INI sections on a real temporary machine, installed and then removed: list merges of the
// Win.ini run entry, System.ini device lines, short-form deletes, the quoted form, read-only
// files; and the line forms as pure text.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "engine/registry_text.h"
#include "platform/file_system.h"
#include "sysconfig/batch_text.h"
#include "sysconfig/config_text.h"
#include "sysconfig/ini_lines.h"
#include "sysconfig/ini_section.h"
#include "sysconfig/startup_sections.h"
#include "sysconfig_test_run.h"

namespace tarvium {
namespace {

using platform::RegRoot;
using test::SysconfigTestRun;

const char* const kEnvironment = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";

std::string RawEnvironment(SysconfigTestRun& t, const std::string& name, uint32_t& dwType) {
  platform::RegValue value;
  if (t.run.machine.Reg().QueryValue(RegRoot::LocalMachine, kEnvironment, name, value) != 0)
    return "<none>";
  dwType = value.dwType;
  std::string text(value.data.begin(), value.data.end());
  return text.substr(0, text.find('\0'));
}

// The folder in front of Path with its type kept, a new variable as REG_SZ, no autoexec.bat
// written, and Path and the variable as before after the removal: the scenarios
// startup-files-installed and startup-files-installed-and-removed.
TEST(StartupSections, NtAutoexecLinesChangeTheEnvironmentAndAreUndone) {
  SysconfigTestRun t(
      "[Autoexec.bat]\n"
      "PATH <C:\\Tools\n"
      "PATH >%%Vendor%%\\bin\n"
      "SET TOOLS_HOME=C:\\Tools\n"
      "-SET OLD_HOME\n"
      "SET =nameless\n"
      "WIN\n");
  uint32_t dwType = 0;
  t.machine.SetRegString(RegRoot::LocalMachine, kEnvironment, "OLD_HOME", "C:\\");
  const std::string original = RawEnvironment(t, "Path", dwType);
  ASSERT_EQ(original,
            "%SystemRoot%\\system32;%SystemRoot%;%SystemRoot%\\system32\\wbem;"
            "%SystemRoot%\\system32\\WindowsPowershell\\v1.0");

  ASSERT_TRUE(HandleBatSection(t.run, "Autoexec.bat", "c:\\autoexec.bat"));
  EXPECT_EQ(RawEnvironment(t, "Path", dwType),
            "C:\\Tools;%SystemRoot%\\system32;%SystemRoot%;%SystemRoot%\\system32\\wbem;"
            "%SystemRoot%\\system32\\WindowsPowershell\\v1.0;%Vendor%\\bin");
  EXPECT_EQ(RawEnvironment(t, "OLD_HOME", dwType), "<none>");
  EXPECT_EQ(RawEnvironment(t, "", dwType), "<none>") << "a SET without a name names no value";
  std::string processValue;
  t.run.machine.Env().GetVariable("TOOLS_HOME", processValue);
  EXPECT_EQ(processValue, "C:\\Tools");
  EXPECT_EQ(t.run.machine.Broadcasts().SettingChanges(),
            std::vector<std::string>{"WM_WININICHANGE Environment"});

  t.run.ctx.bUninstall = true;
  ASSERT_TRUE(HandleBatSection(t.run, "Autoexec.bat", "c:\\autoexec.bat"));
  EXPECT_EQ(RawEnvironment(t, "Path", dwType), original) << "the appended folder goes too";
  EXPECT_EQ(RawEnvironment(t, "OLD_HOME", dwType), "<none>");
  platform::RegValue value;
  std::string name;
  for (uint32_t i = 0;
       t.run.machine.Reg().EnumValue(RegRoot::LocalMachine, kEnvironment, i, name, value) == 0; ++i)
    EXPECT_NE(name, "PATH") << "the value keeps its spelling";
}

TEST(StartupSections, BatchFilesAndConfigNtAreEditedAsText) {
  SysconfigTestRun t(
      "[Bat:start.bat]\n"
      "Path=C:\\App\n"
      "@ECHO OFF\n"
      "SET APP=C:\\App\n"
      "[Config.sys]\n"
      "files=40\n"
      "+device=C:\\App\\app.sys\n"
      "-buffers\n"
      "[Bad.Config.sys]\n"
      "files=50\n"
      "no form here\n");
  ASSERT_TRUE(HandleBatSection(t.run, "Bat:start.bat", "start"));
  ASSERT_TRUE(HandleBatSection(t.run, "Bat:start.bat", "start"));
  EXPECT_EQ(t.Read("C:\\App\\start.bat"), "@ECHO OFF\r\nSET APP=C:\\App\r\n");

  const std::string configNt = "C:\\Windows\\System32\\CONFIG.NT";
  t.Write(configNt, "dos=high, umb\r\nbuffers=20\r\nfiles=20\r\n");
  ASSERT_TRUE(HandleConfigSysSection(t.run, "Config.sys", "c:\\config.sys"));
  EXPECT_EQ(t.Read(configNt), "dos=high, umb\r\nfiles = 40\r\ndevice = C:\\App\\app.sys\r\n");

  EXPECT_FALSE(HandleConfigSysSection(t.run, "Bad.Config.sys", "c:\\config.sys"));
  EXPECT_EQ(t.Messages(), std::vector<int>{5531});
  EXPECT_EQ(t.Read(configNt), "dos=high, umb\r\nfiles = 40\r\ndevice = C:\\App\\app.sys\r\n");

  t.run.ctx.bUninstall = true;
  ASSERT_TRUE(HandleBatSection(t.run, "Bat:start.bat", "start"));
  EXPECT_EQ(t.Read("C:\\App\\start.bat"), "");
  ASSERT_TRUE(HandleConfigSysSection(t.run, "Config.sys", "c:\\config.sys"));
  EXPECT_EQ(t.Read(configNt), "dos=high, umb\r\n");
}

// ASCII text as UTF-16LE bytes with their byte-order mark.
std::string Utf16Le(std::string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char c : text) bytes += {c, '\0'};
  return bytes;
}

TEST(StartupSections, UnicodeBatchAndConfigFilesAreEditedInTheirEncoding) {
  SysconfigTestRun t(
      "[Bat:u16.bat]\n"
      "Path=C:\\App\n"
      "SET X=1\n"
      "PATH <C:\\App\n"
      "[Config.sys]\n"
      "files=40\n");
  t.Write("C:\\App\\u16.bat", Utf16Le("SET X=0\r\nPATH C:\\A\r\n"));
  ASSERT_TRUE(HandleBatSection(t.run, "Bat:u16.bat", "u16"));
  EXPECT_EQ(t.Read("C:\\App\\u16.bat"), Utf16Le("SET X=1\r\nPATH C:\\App;C:\\A\r\n"));

  const std::string configNt = "C:\\Windows\\System32\\CONFIG.NT";
  t.Write(configNt,
          "\xEF\xBB\xBF"
          "files=20\r\n");
  ASSERT_TRUE(HandleConfigSysSection(t.run, "Config.sys", "c:\\config.sys"));
  EXPECT_EQ(t.Read(configNt),
            "\xEF\xBB\xBF"
            "files = 40\r\n");
}

TEST(StartupSections, RefreshEnvironmentCopiesTheMachineEnvironment) {
  SysconfigTestRun t("");
  auto set = [&](const char* name, const std::string& text, uint32_t dwType) {
    t.machine.SetRegString(RegRoot::LocalMachine, kEnvironment, name, text, dwType);
  };
  set("TOOLS", "%windir%\\Tools", platform::REG_EXPAND_SZ);
  set("TEMP", "C:\\Elsewhere", platform::REG_SZ);
  set("EMPTY", "", platform::REG_SZ);
  platform::Environment& env = t.run.machine.Env();
  std::string temp, windir;
  env.GetVariable("TEMP", temp);
  env.GetVariable("windir", windir);
  RefreshEnvironment(t.run);
  std::string value;
  ASSERT_EQ(env.GetVariable("TOOLS", value), 0u);
  EXPECT_EQ(value, windir + "\\Tools");
  env.GetVariable("TEMP", value);
  EXPECT_EQ(value, temp);
  EXPECT_NE(env.GetVariable("EMPTY", value), 0u);
}

TEST(EditBatText, AppliesLinesAndUndoesThemExactly) {
  struct Case {
    const char* text;
    const char* line;
    bool bUninstall;
    const char* expected;
  };
  const Case cases[] = {
      // PATH: in front by default and with '<', at the end with '>', kept when contained.
      {"PATH C:\\A;C:\\B\r\n", "PATH <C:\\New", false, "PATH C:\\New;C:\\A;C:\\B\r\n"},
      {"PATH C:\\A;C:\\B\r\n", "PATH C:\\New", false, "PATH C:\\New;C:\\A;C:\\B\r\n"},
      {"PATH=C:\\A\n", "PATH >C:\\New", false, "PATH=C:\\A;C:\\New\n"},
      {"SET PATH=C:\\A\r\n", "PATH <C:\\New", false, "SET PATH=C:\\New;C:\\A\r\n"},
      {"PATH C:\\A;C:\\BIN\r\n", "PATH <c:\\bin", false, "PATH C:\\A;C:\\BIN\r\n"},
      {"ECHO OFF\r\n", "PATH <C:\\New", false, "ECHO OFF\r\nPATH C:\\New\r\n"},
      {"PATH\r\n", "PATH <C:\\New", false, "PATH C:\\New\r\n"},
      // The uninstall pass removes exactly the item; the others stay in order.
      {"PATH C:\\New;C:\\A;C:\\B\r\n", "PATH <C:\\New", true, "PATH C:\\A;C:\\B\r\n"},
      {"PATH C:\\A;c:\\new;C:\\B", "PATH >C:\\New", true, "PATH C:\\A;C:\\B"},
      {"PATH C:\\New\r\nECHO\r\n", "PATH C:\\New", true, "ECHO\r\n"},
      {"PATH C:\\NewDir;C:\\A\r\n", "PATH C:\\New", true, "PATH C:\\NewDir;C:\\A\r\n"},
      // SET: created, replaced by variable, deleted; a delete line in an uninstall does nothing.
      {"", "SET TOOLS=C:\\Tools", false, "SET TOOLS=C:\\Tools\r\n"},
      {"set tools=old\r\nREM x\r\n", "SET TOOLS=new", false, "SET TOOLS=new\r\nREM x\r\n"},
      {"SET TOOLS=C:\\Tools\r\n", "SET TOOLS=C:\\Tools", true, ""},
      {"SET TOOLS=x\r\n", "-SET TOOLS=x", false, ""},
      {"SET TOOLS=x\r\n", "-SET TOOLS=x", true, "SET TOOLS=x\r\n"},
      // SET without '=' names its variable; SET without a name is a command.
      {"SET TOOLS=x\r\nWIN\r\n", "-SET TOOLS", false, "WIN\r\n"},
      {"SET TOOLS=x\r\n", "SET  TOOLS", true, ""},
      {"SET PATH=C:\\A\r\n", "-SET PATH", false, "SET PATH=C:\\A\r\n"},
      {"SET PATH\r\n", "PATH <C:\\New", false, "SET PATH=C:\\New\r\n"},
      {"", "SET PATH", false, "SET PATH\r\n"},
      {"SET TOOLS=x\r\n", "SET =y", false, "SET TOOLS=x\r\nSET =y\r\n"},
      // Commands: compared word by word, appended once, lines with bare CR kept as they are.
      {"@ECHO OFF\rWIN\r", "c:\\app\\start.exe /q", false,
       "@ECHO OFF\rWIN\rc:\\app\\start.exe /q\r\n"},
      {"C:\\APP\\START.EXE   /Q\r\n", "c:\\app\\start.exe /q", false, "c:\\app\\start.exe /q\r\n"},
      {"c:\\app\\start.exe /q\r\nWIN\r\n", "c:\\app\\start.exe /q", true, "WIN\r\n"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(EditBatText(c.text, c.line, c.bUninstall), c.expected) << c.line << " on " << c.text;
  const std::string once = EditBatText("WIN\r\n", "NET START", false);
  EXPECT_EQ(EditBatText(once, "NET START", false), once);
}

TEST(EditConfigText, SetsAddsAndDeletesParameters) {
  struct Case {
    const char* text;
    const char* name;
    const char* value;  // null: none
    ConfigEdit mode;
    const char* expected;
  };
  const char* const sys =
      "FILES=30\r\nDEVICEHIGH=C:\\DOS\\EMM386.EXE RAM\r\nDEVICE=C:\\HIMEM.SYS\r\n";
  const std::string sysWithNew = std::string(sys) + "device = C:\\NEW.SYS\r\n";
  const Case cases[] = {
      {sys, "device", "c:\\dos\\emm386.exe NOEMS", ConfigEdit::Set,
       "FILES=30\r\nDEVICEHIGH = c:\\dos\\emm386.exe NOEMS\r\nDEVICE=C:\\HIMEM.SYS\r\n"},
      {sys, "device", "C:\\NEW.SYS", ConfigEdit::Set, sysWithNew.c_str()},
      {sys, "files", "40", ConfigEdit::Set,
       "files = 40\r\nDEVICEHIGH=C:\\DOS\\EMM386.EXE RAM\r\nDEVICE=C:\\HIMEM.SYS\r\n"},
      {"FILES=30", "FILES", "40", ConfigEdit::Add, "FILES=30\r\nFILES = 40\r\n"},
      {sys, "device", "c:\\himem.sys", ConfigEdit::Delete,
       "FILES=30\r\nDEVICEHIGH=C:\\DOS\\EMM386.EXE RAM\r\n"},
      {sys, "BUFFERS", nullptr, ConfigEdit::Delete, sys},
      {"", "NUMLOCK", nullptr, ConfigEdit::Set, "NUMLOCK\r\n"},
  };
  for (const Case& c : cases) {
    const std::optional<std::string> value =
        c.value ? std::optional<std::string>(c.value) : std::nullopt;
    EXPECT_EQ(EditConfigText(c.text, c.name, value, c.mode), c.expected) << c.name;
  }
}

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
