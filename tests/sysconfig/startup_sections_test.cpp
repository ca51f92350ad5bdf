// Batch-file and config.sys sections on a real temporary machine: the autoexec.bat of an NT
// machine changes the environment in the registry (and back in the uninstall pass), a batch file
// is edited once per line, CONFIG.NT gets parameter lines, and an invalid line stops with 5531
// without writing the file.
// The batch and config.sys editors: PATH merges in front and at the end and their exact removal,
// a directory already in the list, SET lines created and deleted, command lines applied once,
// driver lines replaced with their own keyword, '+' lines beside existing ones.
#include <gtest/gtest.h>

#include "engine/registry_text.h"
#include "sysconfig/batch_text.h"
#include "sysconfig/config_text.h"
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
  ASSERT_EQ(original, "%SystemRoot%\\system32;%SystemRoot%");

  ASSERT_TRUE(HandleBatSection(t.run, "Autoexec.bat", "c:\\autoexec.bat"));
  EXPECT_EQ(RawEnvironment(t, "Path", dwType),
            "C:\\Tools;%SystemRoot%\\system32;%SystemRoot%;%Vendor%\\bin");
  EXPECT_EQ(dwType, platform::REG_EXPAND_SZ);
  EXPECT_EQ(RawEnvironment(t, "TOOLS_HOME", dwType), "C:\\Tools");
  EXPECT_EQ(dwType, platform::REG_SZ);
  EXPECT_EQ(RawEnvironment(t, "OLD_HOME", dwType), "<none>");
  EXPECT_EQ(RawEnvironment(t, "", dwType), "<none>") << "a SET without a name names no value";
  std::string processValue;
  t.run.machine.Env().GetVariable("TOOLS_HOME", processValue);
  EXPECT_EQ(processValue, "C:\\Tools");
  EXPECT_FALSE(t.Exists("C:\\autoexec.bat"));
  EXPECT_EQ(t.run.machine.Broadcasts().SettingChanges(),
            std::vector<std::string>{"WM_WININICHANGE Environment"});

  t.run.ctx.bUninstall = true;
  ASSERT_TRUE(HandleBatSection(t.run, "Autoexec.bat", "c:\\autoexec.bat"));
  EXPECT_EQ(RawEnvironment(t, "Path", dwType), original);
  EXPECT_EQ(RawEnvironment(t, "TOOLS_HOME", dwType), "<none>");
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

}  // namespace
}  // namespace tarvium
