// The script commands on a real temporary machine: pass rules and undoing in the removal pass,
// loops, waits, sizing, the abort rule of the syntax versions, text, registry and XML editing.
// Each test drives ExecuteCmd with lines as a script section holds them. The argument splitters
// are here too: plain and quoted arguments, doubled quotes, kept trailing blanks, and the end of
// the list at a line break.
// The printing commands on a real temporary machine: a driver, a monitor, a printer and their
// removal, the spooler's answers that count as success, the default printer in the device
// settings, DeleteAllPrinters, print processors and providers, and the failures that reach
// message 5561 or 5530.
// CloseWindow, KillProcess, AskKillProcesses and the process waits on a real temporary machine:
// the mode table and the title patterns, windows announced by running programs and closed by the
// mode, the timed box and its ABORT rule, the processes page, and waits that see real processes.
// LaunchProgram on a real temporary machine: small host scripts stand for the programs (a Windows
// path of the machine that holds a "#!" script runs it), the exit_with_code helper for a child
// setup that ends with a full 32-bit code, and the shortcuts of tests/data/lnk for links.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "engine/init_variables.h"
#include "engine/machine_environment.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "engine/variable_sections.h"
#include "platform/spooler.h"
#include "platform/win_error.h"
#include "script/close_window_mode.h"
#include "script/crypt/scramble_value.h"
#include "script/execute_cmd.h"
#include "script/launch_program.h"
#include "script/msi_quiet_switch.h"
#include "script/next_argument.h"
#include "script/script_command.h"
#include "script/script_engine.h"
#include "script/script_test_run.h"
#include "support/answering_ui.h"
#include "support/temp_dir.h"
#include "support/test_data.h"
#include "support/test_machine.h"

namespace tarvium {
namespace {

class ScriptCommands : public ::testing::Test, public test::ScriptTestRun {
 protected:
  ScriptCommands() {
    InitVariables(run);
    // The loop's command is recorded as it reads at its turn, then run as a line.
    run.sectionLines.processLine = [this](SetupRun& r, const std::string& line) {
      std::string replaced = line;
      ReplaceVariables(r, replaced);
      turns.push_back(replaced);
      return ExecuteCmd(r, line, {}, false, true, nullptr) != 0;
    };
  }

  void Write(const std::string& path, const std::string& text) { machine.WriteFile(path, text); }
  std::string Read(const std::string& path) { return machine.ReadFile(path); }
  platform::FileSystem& files() { return run.machine.Files(); }
  std::string Variable(const std::string& name) { return LookupVariable(run, name); }

  std::vector<std::string> turns;
};

// Every argument NextArgument finds in the text.
std::vector<std::string> SplitAll(std::string_view text) {
  std::vector<std::string> args;
  std::string arg;
  for (size_t nPos = 0; (nPos = NextArgument(text, nPos, arg)) != std::string_view::npos;)
    args.push_back(arg);
  return args;
}

TEST(CommandArguments, WordsTextListFormsAndPlainAndQuotedArguments) {
  EXPECT_EQ(WordArguments(R"(  a "b c"  d"e f"g )"),
            (std::vector<std::string>{"a", "b c", "de fg"}));
  EXPECT_EQ(TextArguments(R"( x , 'y, z' ,,"q""r" )"),
            (std::vector<std::string>{"x", "y, z", "", "q\"r"}));
  EXPECT_EQ(ListArguments(" (a, b) "), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(ListArguments("a,(b)"), (std::vector<std::string>{"a", "(b)"}));
  EXPECT_TRUE(WordArguments("   ").empty());

  EXPECT_EQ(SplitAll("abc, 3"), (std::vector<std::string>{"abc", "3"}));
  EXPECT_EQ(SplitAll("  a b  ,c"), (std::vector<std::string>{"a b  ", "c"}));
  EXPECT_EQ(SplitAll("\"a, b\" x ,'it''s',\"say \"\"hi\"\"\""),
            (std::vector<std::string>{"a, b", "it's", "say \"hi\""}));
  EXPECT_EQ(SplitAll("a,,b"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(SplitAll("a,\nb"), (std::vector<std::string>{"a"}));
  EXPECT_TRUE(SplitAll("").empty());
  EXPECT_TRUE(SplitAll("   ").empty());
  EXPECT_EQ(SplitAll("\"open"), (std::vector<std::string>{"open"}));
  // A comma at the very end or alone, and empty or doubled quotes at the ends of an argument.
  EXPECT_EQ(SplitAll("a,"), (std::vector<std::string>{"a"}));
  EXPECT_EQ(SplitAll(","), (std::vector<std::string>{""}));
  EXPECT_EQ(SplitAll("'',\"\""), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(SplitAll("'a''',b"), (std::vector<std::string>{"a'", "b"}));
}

TEST_F(ScriptCommands, CopyIsUndoneInTheRemovalPassAndAppendJoinsFiles) {
  Write(R"(C:\src\a.txt)", "A");
  Write(R"(C:\src\b.log)", "B");
  EXPECT_EQ(Line(R"(-Copy C:\src\a.txt C:\dst\sub\a.txt)"), 1);
  EXPECT_FALSE(files().FileExists(R"(C:\dst\sub\a.txt)")) << "a marked line waits for removal";

  EXPECT_EQ(Line(R"(Copy C:\src\*.txt C:\dst\sub)"), 1);
  EXPECT_EQ(Read(R"(C:\dst\sub\a.txt)"), "A");
  EXPECT_FALSE(files().FileExists(R"(C:\dst\sub\b.log)"));

  EXPECT_EQ(Removal(R"(-Copy C:\src\b.log C:\other\)"), 1);
  EXPECT_EQ(Read(R"(C:\other\b.log)"), "B") << "a marked line copies in the removal pass";

  EXPECT_EQ(Removal(R"(Copy C:\src\*.txt C:\dst\sub)"), 1);
  EXPECT_FALSE(files().DirectoryExists(R"(C:\dst)")) << "files and emptied directories go";
  EXPECT_TRUE(files().FileExists(R"(C:\src\a.txt)"));

  Write(R"(C:\tree\x\1.dat)", "11");
  Write(R"(C:\tree\x\y\2.dat)", "222");
  Write(R"(C:\tree\x\y\skip.dat)", "s");
  EXPECT_EQ(Line(R"(Copy C:\tree\x\*.dat C:\copy /S /Exclude:skip.dat)"), 1);
  EXPECT_EQ(Read(R"(C:\copy\y\2.dat)"), "222");
  EXPECT_FALSE(files().FileExists(R"(C:\copy\y\skip.dat)"));

  Write(R"(C:\log\a.txt)", "old text\r\n");
  Write(R"(C:\log\b.txt)", "more\r\n");
  EXPECT_EQ(Line(R"(Append C:\log\a.txt C:\log\b.txt)"), 1);
  EXPECT_EQ(Read(R"(C:\log\a.txt)"), "old text\r\nmore\r\n")
      << "the old text, then the second file";
  EXPECT_EQ(Read(R"(C:\log\b.txt)"), "more\r\n");

  int64_t nBytes = 0;
  EXPECT_EQ(ExecuteCmd(run, R"(Copy C:\tree\x\*.dat C:\sized /S)", {}, true, true, &nBytes), 1);
  EXPECT_EQ(nBytes, 6) << "sizing counts every file /S would copy";
  EXPECT_FALSE(files().DirectoryExists(R"(C:\sized)"));
}

TEST_F(ScriptCommands, DirectoriesAndRenamesAreUndoneInTheRemovalPass) {
  EXPECT_EQ(Line(R"(MD C:\made\b\c)"), 1);
  EXPECT_TRUE(files().DirectoryExists(R"(C:\made\b\c)"));
  Write(R"(C:\made\keep.txt)", "k");
  EXPECT_EQ(Removal(R"(MD C:\made\b\c)"), 1);
  EXPECT_FALSE(files().DirectoryExists(R"(C:\made\b)"));
  EXPECT_TRUE(files().DirectoryExists(R"(C:\made)")) << "a directory with a file stays";

  Write(R"(C:\r\one.txt)", "1");
  EXPECT_EQ(Line(R"(Ren C:\r\one.txt two.txt)"), 1);
  EXPECT_TRUE(files().FileExists(R"(C:\r\two.txt)"));
  EXPECT_EQ(Removal(R"(Ren C:\r\one.txt two.txt)"), 1);
  EXPECT_TRUE(files().FileExists(R"(C:\r\one.txt)"));
  EXPECT_EQ(Line(R"(RenDir C:\r C:\s)"), 1);
  EXPECT_TRUE(files().FileExists(R"(C:\s\one.txt)"));
  EXPECT_EQ(Removal(R"(RenDir C:\r C:\s)"), 1);
  EXPECT_TRUE(files().FileExists(R"(C:\r\one.txt)"));

  const std::string windows = run.variables.Get("Windows");
  files().CreateDirectory(windows + "\\Empty");
  EXPECT_EQ(Line("RD \"" + windows + "\""), 0) << "a machine folder is never removed";
  EXPECT_TRUE(files().DirectoryExists(windows));
  EXPECT_EQ(Line("RD \"" + windows + "\\Empty\""), 1);
  EXPECT_FALSE(files().DirectoryExists(windows + "\\Empty"));

  Write(R"(C:\del\a.tmp)", "");
  Write(R"(C:\del\sub\b.tmp)", "");
  Write(R"(C:\del\sub\c.txt)", "");
  EXPECT_EQ(Line(R"(Del C:\del\*.tmp /S)"), 1);
  EXPECT_FALSE(files().FileExists(R"(C:\del\sub\b.tmp)"));
  EXPECT_TRUE(files().FileExists(R"(C:\del\sub\c.txt)"));
  EXPECT_EQ(Line(R"(DelTree C:\del)"), 1);
  EXPECT_FALSE(files().DirectoryExists(R"(C:\del)"));
}

TEST_F(ScriptCommands, ForLoopsCountUpDownAndBackwardsInTheRemovalPass) {
  EXPECT_EQ(Line("For I,1,3,,Rem %I%"), 1);
  EXPECT_EQ(turns, (std::vector<std::string>{"Rem 1", "Rem 2", "Rem 3"}));
  turns.clear();
  EXPECT_EQ(Line("For I,3,1,,Rem %I%"), 1);
  EXPECT_EQ(turns, (std::vector<std::string>{"Rem 3", "Rem 2", "Rem 1"}));
  // The removal pass counts backwards: the scenario script-section-removal.
  turns.clear();
  EXPECT_EQ(Line("For I,0,10,5,Set I=%I%"), 1);
  EXPECT_EQ(turns, (std::vector<std::string>{"Set I=0", "Set I=5", "Set I=10"}));
  turns.clear();
  EXPECT_EQ(Line("For J,1,9,,Set J=9"), 1) << "the command may move the counter";
  EXPECT_EQ(turns.size(), 1u);

  int64_t nBytes = 0;
  turns.clear();
  EXPECT_EQ(ExecuteCmd(run, "For K,4,6,,Rem xyz", {}, true, true, &nBytes), 1);
  EXPECT_TRUE(turns.empty());
  EXPECT_EQ(nBytes, 7) << "the command is measured once";
  EXPECT_EQ(Variable("K"), "4");

  run.shownMessages.clear();
  Line("For ,1,3,,Rem");
  EXPECT_EQ(Messages(), std::vector<int>{5528});
}

TEST_F(ScriptCommands, RunEndingCommandsFollowTheSyntaxVersionAndFailedArchivesStopTheRun) {
  struct Case {
    uint32_t nVersion;
    const char* line;
    int nResult;
    bool bAborted;
  };
  for (const Case& c :
       {Case{0x950, "-Abort stop", 0, true}, Case{0x1000, "-Abort stop", 1, false},
        Case{0x950, "-AbortReboot stop", 1, false}, Case{0x1000, "Abort stop", 0, true}}) {
    run.ctx.bAborted = false;
    run.ctx.nFormatVersion = c.nVersion;
    EXPECT_EQ(Line(c.line), c.nResult) << c.line << " " << std::hex << c.nVersion;
    EXPECT_EQ(run.ctx.bAborted, c.bAborted) << c.line;
  }
  EXPECT_EQ(run.ctx.szExitText, "stop");

  run.ctx.bAborted = false;
  EXPECT_EQ(Line("AbortSilent quiet, please"), 0);
  EXPECT_TRUE(run.ctx.bAbortSilent);
  EXPECT_EQ(run.ctx.szExitText, "quiet") << "the message is the first argument";
  // Exit and SetReboot: the scenarios script-exit and script-set-reboot.

  // A failed archive stops the run.
  run.ctx.bAborted = false;
  run.shownMessages.clear();
  EXPECT_EQ(Line(R"(Unzip C:\none.zip,C:\out)"), 0);
  EXPECT_TRUE(run.ctx.bAborted);
  run.ctx.bAborted = false;
  EXPECT_EQ(Line("Unzip C:\\none.zip"), 0) << "destination missing: 5528 answered with 2";
  EXPECT_FALSE(run.ctx.bAborted);
  EXPECT_EQ(Messages(), (std::vector<int>{5502, 5528}));
}

TEST_F(ScriptCommands, SizingRunsOnlyTheMeasuringCommands) {
  int64_t nBytes = 0;
  EXPECT_EQ(ExecuteCmd(run, "Echo hello", {}, true, true, &nBytes), 1);
  EXPECT_EQ(ExecuteCmd(run, "Sleep", {}, true, true, &nBytes), 1) << "not even its arguments";
  EXPECT_EQ(ExecuteCmd(run, "Set A=1", {}, true, true, &nBytes), 1);
  EXPECT_EQ(ExecuteCmd(run, "Set B=ReadXmlText(C:\\no.xml,/a)", {}, true, true, &nBytes), 1);
  EXPECT_TRUE(run.shownMessages.empty());
  EXPECT_EQ(Variable("A"), "1");
  EXPECT_EQ(Variable("B"), "") << "the XML readers are not called while sizing";
  EXPECT_EQ(nBytes, 0);
  EXPECT_EQ(ExecuteCmd(run, "PlaySound x.wav", {}, false, false, &nBytes), 1);
}

TEST_F(ScriptCommands, WaitsSleepsDrivesAndProgramLines) {
  EXPECT_EQ(Line("Sleep"), 0);
  EXPECT_EQ(Messages(), std::vector<int>{5528});
  EXPECT_EQ(Line("Sleep 10"), 1);
  EXPECT_EQ(Line(R"(WaitUntilFileExists C:\never.txt,1)"), 0);
  Write(R"(C:\there.txt)", "");
  EXPECT_EQ(Line(R"(WaitUntilFileExists C:\there.txt)"), 1);
  EXPECT_EQ(Line(R"(WaitWhileProcessExists no-such-program,1)"), 1);
  EXPECT_EQ(Line(R"(WaitUntilRegKeyExists HKLM\Software\Never,1)"), 0);
  EXPECT_EQ(Line("WaitUntilRegKeyExists HKLM,Software"), 1) << "the comma form";
  EXPECT_EQ(Line("WaitUntilRegKeyExists Garbage,0"), 0) << "a digit is a time-out after any first";

  EXPECT_EQ(Line("Z:"), 1);
  std::string current;
  files().GetCurrentDirectory(current);
  EXPECT_EQ(current.substr(0, 2), "Z:");
  EXPECT_EQ(Line("C:"), 1);
  files().GetCurrentDirectory(current);
  EXPECT_EQ(current.substr(0, 2), "C:");
  // A program line does not wait and Call does: the scenario script-section-install.
}

TEST_F(ScriptCommands, TextRegistryXmlAndVariableReplacements) {
  Write(R"(C:\t.txt)", "a A a");
  EXPECT_EQ(Line(R"(ReplaceTextFile C:\t.txt,a,b,2)"), 1);
  EXPECT_EQ(Read(R"(C:\t.txt)"), "a b a");
  EXPECT_EQ(Line(R"(ReplaceTextFile C:\t.txt,A,xy)"), 1);
  EXPECT_EQ(Read(R"(C:\t.txt)"), "xy b xy");

  machine.SetRegString(platform::RegRoot::LocalMachine, "Software\\T", "P",
                       "%SystemRoot%\\old;C:\\old", platform::REG_EXPAND_SZ);
  platform::RegValue value;
  EXPECT_EQ(Line(R"(ReplaceRegValue HKLM,Software\T,P,OLD,new,1)"), 1);
  ASSERT_EQ(
      run.machine.Reg().QueryValue(platform::RegRoot::LocalMachine, "Software\\T", "P", value), 0u);
  EXPECT_EQ(value.dwType, platform::REG_EXPAND_SZ);
  const std::string expected = "%SystemRoot%\\new;C:\\old";
  EXPECT_EQ(std::string(value.data.begin(), value.data.end()), expected + '\0');

  Write(R"(C:\v.ini)", "Dir=%ProgramFilesDir%\\X\nPercent=100%\n");
  EXPECT_EQ(Line(R"(ReplaceVars C:\v.ini)"), 1);
  EXPECT_EQ(Read(R"(C:\v.ini)"),
            "Dir=" + run.variables.Get("ProgramFilesDir") + "\\X\nPercent=100%\n");

  EXPECT_EQ(Line("Set  Name = two words "), 1);
  EXPECT_EQ(Variable("NAME"), "two words");
  run.machine.Env().SetVariable("TPATH", run.variables.Get("Windows") + "\\Tools;D:\\x");
  EXPECT_EQ(Line("CollapseEnv tpath"), 1);
  EXPECT_EQ(Variable("TPATH"), "%Windows%\\Tools;D:\\x");
  EXPECT_EQ(Line("ReplaceEnv TPATH"), 1);
  EXPECT_EQ(Variable("TPATH"), run.variables.Get("Windows") + "\\Tools;D:\\x");

  // UpdateXml and DeleteXml edit a real file.
  Write(R"(C:\c.xml)",
        "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n"
        "<config><server name=\"a\">old</server><port>1</port></config>\n");
  EXPECT_EQ(Line(R"(UpdateXml C:\c.xml,/config/server,,new)"), 1);
  EXPECT_EQ(Line(R"(UpdateXml (C:\c.xml,/config,port,8080))"), 1);
  EXPECT_EQ(Line("UpdateXml C:\\c.xml,/config/server,owner,J\xFCrgen"), 1);
  EXPECT_EQ(Line(R"(DeleteXml C:\c.xml,/config/server,name)"), 1);
  const std::string xml = Read(R"(C:\c.xml)");
  EXPECT_NE(xml.find("encoding=\"windows-1252\""), std::string::npos) << xml;
  EXPECT_NE(xml.find("<server owner=\"J\xFCrgen\">new</server>"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<port>8080</port>"), std::string::npos) << xml;

  EXPECT_EQ(Line(R"(DeleteXml C:\c.xml,/config/port,)"), 1);
  EXPECT_EQ(Read(R"(C:\c.xml)").find("port"), std::string::npos);
  EXPECT_FALSE(run.ctx.bAborted);
  EXPECT_EQ(Line(R"(DeleteXml C:\c.xml,/config/none,x)"), 0);
  EXPECT_FALSE(run.ctx.bAborted) << "a failed delete does not abort";
  EXPECT_EQ(Line(R"(UpdateXml C:\c.xml,/config/none,x,1)"), 0);
  EXPECT_TRUE(run.ctx.bAborted);
  EXPECT_EQ(Messages(), (std::vector<int>{5503, 5503}));
}

using platform::RegRoot;

constexpr const char* kPrint = "SYSTEM\\CurrentControlSet\\Control\\Print";
constexpr const char* kDriverDir = "C:\\Windows\\System32\\spool\\drivers\\x64";

class PrinterCommands : public ::testing::Test, public test::ScriptTestRun {
 protected:
  PrinterCommands() {
    InitVariables(run);
    for (const char* file : {"drv.dll", "drv.ini", "drvui.dll", "drv.hlp", "dep1.dll"})
      Put(std::string(kDriverDir) + "\\" + file);
    Put("C:\\Windows\\System32\\mymon.dll");
  }

  void Put(const std::string& path) { machine.WriteFile(path, "MZ"); }
  bool KeyExists(const std::string& key) {
    return run.machine.Reg().OpenKey(RegRoot::LocalMachine, key) == 0;
  }
  std::string WinIni(const char* section, const char* key) {
    return run.machine.Profiles().GetProfileString(section, key, "");
  }
  platform::FileSystem& files() { return run.machine.Files(); }
};

TEST_F(PrinterCommands, DriverMonitorAndPrinterAddedAndRemoved) {
  const std::string driverKey =
      std::string(kPrint) + "\\Environments\\Windows x64\\Drivers\\Version-3\\Tarvium Laser";
  const std::string printerKey = std::string(kPrint) + "\\Printers\\Office Laser";
  const std::string addPrinter =
      "AddPrinter (,Office Laser,LPT1:,Tarvium Laser,,,QUEUED|DEFAULT,,Second floor,Room 2,,,"
      "1,1,0,0)";
  // Each added twice: the spooler's "already installed" answers count as success.
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(Line("AddMonitor ,,Tarvium Monitor,mymon.dll"), 1);
    EXPECT_EQ(Line("AddPrinterDriver ,,Tarvium Laser,0x3,drv.dll,drv.ini,drvui.dll,drv.hlp,"
                   "dep1.dll;drv.ini,Tarvium Monitor,RAW"),
              1);
    EXPECT_EQ(Line(addPrinter), 1);
  }
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(machine.RegString(RegRoot::LocalMachine, driverKey, "Configuration File"), "drvui.dll");
  EXPECT_EQ(machine.RegString(RegRoot::LocalMachine, printerKey, "Port"), "LPT1:");
  EXPECT_EQ(machine.RegString(RegRoot::LocalMachine, printerKey, "Print Processor"), "WinPrint");
  platform::PrinterInfo info;
  ASSERT_EQ(run.machine.Printing().GetPrinter("", "office laser", info), 0u);
  EXPECT_EQ(info.dwAttributes, 0x41u) << "QUEUED, and LOCAL added by the spooler";
  EXPECT_EQ(info.location, "Room 2");
  std::vector<platform::DriverInfo> drivers;
  ASSERT_EQ(run.machine.Printing().EnumPrinterDrivers("", "", drivers), 0u);
  ASSERT_EQ(drivers.size(), 1u);
  EXPECT_EQ(drivers[0].dependentFiles, (std::vector<std::string>{"dep1.dll", "drv.ini"}));
  EXPECT_EQ(drivers[0].dwVersion, 3u);
  // DEFAULT made it the default printer with its entry of the device list.
  EXPECT_EQ(WinIni("devices", "Office Laser"), "winspool,Ne00:");
  EXPECT_EQ(WinIni("windows", "device"), "Office Laser,winspool,Ne00:");

  // The driver is in use; the printer's unmarked line in the removal pass deletes the printer.
  EXPECT_EQ(Line("DeletePrinterDriver ,,Tarvium Laser"), 0);
  EXPECT_EQ(Messages(), std::vector<int>{5561});
  EXPECT_EQ(Removal(addPrinter), 1);
  EXPECT_FALSE(KeyExists(printerKey));
  EXPECT_EQ(WinIni("devices", "Office Laser"), "");
  EXPECT_EQ(WinIni("windows", "device"), "") << "no printer is left to be the default";
  // The marked removal lines of driver and monitor, and a machine left as it was without WIN.INI:
  // the scenario printer-installed-and-removed.
}

TEST_F(PrinterCommands, FailuresGiveTheirMessages) {
  const struct {
    const char* line;
    int nMessage;
  } cases[] = {
      {"AddPrinter ,Laser,LPT1:,No Such Driver", 5561},
      {"AddPrinterDriver ,,Laser,3,missing.dll,drv.ini,drvui.dll", 5561},
      {"AddPrinterDriver ,Windows 95,Laser,3,drv.dll,drv.ini,drvui.dll", 5561},
      {"AddMonitor ,,Monitor,nowhere.dll", 5561},
      {"AddPort ,Local Port", 5561},  // no one answers the monitor's dialog
      {"DeletePort ,COM9:", 5561},
      {"AddPrinter ,Laser,LPT1:,Driver,,,QUEUED|FANCY", 5530},
      {"AddPrinter ,", 5528},
      {"DeleteMonitor ,,", 5528},
  };
  for (const auto& c : cases) {
    run.shownMessages.clear();
    EXPECT_EQ(Line(c.line), 0) << c.line;
    EXPECT_EQ(Messages(), std::vector<int>{c.nMessage}) << c.line;
  }
  EXPECT_EQ(run.shownMessages.back().args.size(), 1u);
}

TEST_F(PrinterCommands, DefaultPassesOnAndDeleteAllPrintersEmptiesTheMachine) {
  ASSERT_EQ(Line("AddPrinterDriver ,,Tarvium Laser,3,drv.dll,drv.ini,drvui.dll"), 1);
  ASSERT_EQ(Line("AddPrinter ,First,LPT1:,Tarvium Laser,,,DEFAULT"), 1);
  ASSERT_EQ(Line("AddPrinter ,Second,LPT2:,Tarvium Laser"), 1);
  ASSERT_EQ(Line("AddPrinterConnection \\\\SERVER\\Shared"), 1);
  EXPECT_EQ(WinIni("devices", "\\\\SERVER\\Shared"), "winspool,Ne02:");
  ASSERT_EQ(Line("AddPrinterConnection \\\\SERVER\\Other"), 1);
  EXPECT_EQ(Removal("AddPrinterConnection \\\\SERVER\\Other"), 1);
  EXPECT_EQ(WinIni("devices", "\\\\SERVER\\Other"), "") << "undone in the removal pass";
  EXPECT_EQ(Line("DeletePrinter ,First"), 1);
  EXPECT_EQ(WinIni("windows", "device"), "Second,winspool,Ne01:");
  EXPECT_EQ(Line("DeletePrinter ,First"), 0) << "gone already";
  run.shownMessages.clear();

  EXPECT_EQ(Line("DeleteAllPrinters"), 1);
  std::vector<platform::PrinterEntry> printers;
  ASSERT_EQ(run.machine.Printing().EnumPrinters("", true, printers), 0u);
  EXPECT_TRUE(printers.empty());
  EXPECT_EQ(WinIni("devices", nullptr), "");
  EXPECT_EQ(WinIni("windows", "device"), "Second,winspool,Ne01:")
      << "DeleteAllPrinters leaves the default entry alone";
  EXPECT_EQ(Line("DeletePrinterDriver ,,Tarvium Laser"), 1) << "no printer uses it now";
}

TEST_F(PrinterCommands, DependentFilesEndAtTheFirstEmptyName) {
  const struct {
    const char* driver;
    const char* dependents;
    std::vector<std::string> expected;
  } cases[] = {
      {"Trailing", "dep1.dll;drv.ini;", {"dep1.dll", "drv.ini"}},
      {"Gap", "dep1.dll;;missing.dll", {"dep1.dll"}},  // the missing file is never named
      {"Leading", ";dep1.dll", {}},
  };
  for (const auto& c : cases)
    ASSERT_EQ(Line(std::string("AddPrinterDriver ,,") + c.driver +
                   ",3,drv.dll,drv.ini,drvui.dll,," + c.dependents),
              1)
        << c.driver;
  std::vector<platform::DriverInfo> drivers;
  ASSERT_EQ(run.machine.Printing().EnumPrinterDrivers("", "", drivers), 0u);
  for (const auto& c : cases) {
    const auto found = std::find_if(drivers.begin(), drivers.end(),
                                    [&](const auto& driver) { return driver.name == c.driver; });
    ASSERT_NE(found, drivers.end()) << c.driver;
    EXPECT_EQ(found->dependentFiles, c.expected) << c.driver;
  }
}

// DOS-based Windows keeps the default printer through the DEFAULT attribute: the printer added
// with it becomes the default, and when it is deleted the next printer takes its place.
TEST(PrinterCommandsOnDosBasedWindows, DefaultPrinterFollowsTheAttribute) {
  test::TestMachine test;
  const auto machine = test.OpenReconfigured([](auto& config) { config.dwPlatformId = 1; });
  SetupRun run(*machine);
  AttachScriptEngine(run);
  InitVariables(run);
  const std::string driverDir = run.variables.Get("PrinterDriverDir");
  for (const char* file : {"drv.dll", "drv.ini", "drvui.dll"})
    ASSERT_EQ(machine->Files().WriteWholeFile(driverDir + "\\" + file, "MZ"), 0u) << driverDir;
  const auto line = [&](const std::string& text) {
    return ExecuteCmd(run, text, {}, false, true, nullptr);
  };
  ASSERT_EQ(line("AddPrinterDriver ,,Laser,3,drv.dll,drv.ini,drvui.dll"), 1);
  ASSERT_EQ(line("AddPrinter ,First,LPT1:,Laser,,,DEFAULT"), 1);
  ASSERT_EQ(line("AddPrinter ,Second,LPT2:,Laser"), 1);
  platform::Profile& profile = machine->Profiles();
  EXPECT_EQ(profile.GetProfileString("windows", "device", ""), "First,winspool,Ne00:");
  EXPECT_EQ(line("DeletePrinter ,First"), 1);
  EXPECT_EQ(profile.GetProfileString("windows", "device", ""), "Second,winspool,Ne01:");
  EXPECT_TRUE(run.shownMessages.empty());
}

TEST_F(PrinterCommands, ProcessorsAndProvidersAddedAndRemoved) {
  Put("C:\\Windows\\System32\\spool\\prtprocs\\x64\\tproc.dll");
  Put("C:\\Windows\\System32\\tprov.dll");
  const std::string providers = std::string(kPrint) + "\\Providers";
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(Line("AddPrintProcessor ,,TarviumProc,tproc.dll"), 1);
    EXPECT_EQ(Line("AddPrintProvider ,,Tarvium Provider,tprov.dll"), 1);
  }
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(machine.RegString(
                RegRoot::LocalMachine,
                std::string(kPrint) + "\\Environments\\Windows x64\\Print Processors\\TarviumProc",
                "Driver"),
            "tproc.dll");
  EXPECT_EQ(machine.RegString(RegRoot::LocalMachine, providers + "\\Tarvium Provider", "Name"),
            "tprov.dll");
  ASSERT_EQ(Line("AddPrinterDriver ,,Tarvium Laser,3,drv.dll,drv.ini,drvui.dll"), 1);
  EXPECT_EQ(Line("AddPrinter ,Laser,LPT1:,Tarvium Laser,TarviumProc,MYTYPE"), 1)
      << "a processor of its own brings its own data types";
  EXPECT_EQ(Line("DeletePrinter ,Laser"), 1);
  EXPECT_EQ(Line("DeletePrintProvider ,,Tarvium Provider"), 1);
  EXPECT_EQ(Line("DeletePrintProcessor ,,TarviumProc"), 1);
  EXPECT_FALSE(KeyExists(providers + "\\Tarvium Provider"));
  platform::RegValue order;
  ASSERT_EQ(run.machine.Reg().QueryValue(RegRoot::LocalMachine, providers, "Order", order), 0u);
  const std::string expected("Internet Print Provider\0LanMan Print Services\0\0", 47);
  EXPECT_EQ(std::string(order.data.begin(), order.data.end()), expected);
  EXPECT_EQ(Line("DeletePrintProcessor ,,TarviumProc"), 0);
}

TEST(CloseWindowMode, KeywordsNumbersAndUnknownWords) {
  struct Case {
    const char* text;
    int32_t nMode;
    CloseAction action;
  };
  const Case cases[] = {
      {"", 3, CloseAction::QueryThenDestroy},
      {"  ", 3, CloseAction::QueryThenDestroy},
      {"0", 0, CloseAction::Destroy},
      {"1", 1, CloseAction::Close},
      {"65539", 0x10003, CloseAction::QueryThenDestroy},
      {"KILLPROCESS", 0, CloseAction::Destroy},
      {"closewindow", 1, CloseAction::Close},
      {"DestroyWindow", 2, CloseAction::Destroy},
      {"QUERYCLOSEWINDOW", 3, CloseAction::QueryThenDestroy},
      {"CLOSEWINDOW+ABORT", 0x10001, CloseAction::Close},
      {"QUERYCLOSEWINDOW|ABORT", 0x10003, CloseAction::QueryThenDestroy},
      {"DESTROYWINDOW CONTINUE", 2, CloseAction::Destroy},
      {"CLOSEWINDOW)ABORT", 0x10001, CloseAction::Close},
      {"CLOSEWINDOW+DESTROYWINDOW", 3, CloseAction::QueryThenDestroy},  // or-ed, not added
      {"ABORT", 0x10000, CloseAction::Destroy},
      {"CLOSE", -1, CloseAction::None},
      {"CLOSEWINDOW+BOGUS", -1, CloseAction::None},
      {"-1", -1, CloseAction::None},
      {"4", 4, CloseAction::None},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseCloseWindowMode(c.text), c.nMode) << c.text;
    EXPECT_EQ(CloseActionOf(ParseCloseWindowMode(c.text)), c.action) << c.text;
  }
}

TEST(CloseWindowMode, TitlesMatchThePatternWithStars) {
  struct Case {
    const char* pattern;
    const char* title;
    bool bMatches;
  };
  const Case cases[] = {
      {"Editor", "Editor", true},
      {"editor", "EDITOR", true},
      {"Editor", "Editor 2", false},
      {"Edit", "Editor", false},
      {"*", "", true},
      {"*", "anything", true},
      {"", "", true},
      {"", "x", false},
      {"Viewer*", "Viewer - a.txt", true},
      {"*a.txt", "Viewer - a.txt", true},
      {"*.txt*", "Viewer - a.txt", true},
      {"V*r*a*", "Viewer - a.txt", true},
      {"V*q*", "Viewer - a.txt", false},
      {"*aa", "aaa", true},
      {"a*b*c", "abbbc", true},
      {"a*b*c", "abcb", false},
      {"?iewer", "Viewer", false},
      {"**", "x", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TitleMatches(c.pattern, c.title), c.bMatches) << c.pattern << " / " << c.title;
}

// The person at the run: answers the boxes with OK, or lets the timed ones run out, and answers
// the pages with a fixed result; what was shown is recorded.
class PersonAtTheRun final : public test::AnsweringUserInterface {
 public:
  int MessageBox(const ui::MessageBoxRequest& request) override {
    boxes.push_back(request);
    request.bTimedOut = bLetTimeRunOut && request.nTimeoutMs > 0;
    return request.buttons[request.nDefault].nResult;
  }
  int ShowPage(ui::PageRequest& request) override {
    pages.push_back(request);
    return nPageAnswer;
  }

  bool bLetTimeRunOut = false;
  int nPageAnswer = ui::kPageNext;
  std::vector<ui::MessageBoxRequest> boxes;
  std::vector<ui::PageRequest> pages;
};

class WindowCommands : public ::testing::Test, public test::ScriptTestRun {
 protected:
  WindowCommands() {
    InitVariables(run);
    auto ui = std::make_unique<PersonAtTheRun>();
    person = ui.get();
    run.ui = std::move(ui);
  }
  ~WindowCommands() override {
    for (platform::ProcessHandle hProcess : handles_) {
      programs().TerminateProcess(hProcess, 1);
      programs().CloseProcess(hProcess);
    }
  }

  // A program of the machine that runs until it is ended, with a window of that title.
  platform::ProcessHandle StartWithWindow(const std::string& title, bool bAgreesToEnd = true) {
    platform::ProcessHandle hProcess;
    EXPECT_EQ(programs().CreateProcess({.commandLine = "sleep 30"}, hProcess), 0u);
    handles_.push_back(hProcess);
    platform::ProcessInfo info;
    programs().GetProcessInfo(hProcess, info);
    EXPECT_EQ(
        machine.Machine().EmulatedWindows().AnnounceWindow(info.dwProcessId, title, bAgreesToEnd),
        0u);
    return hProcess;
  }
  bool Runs(platform::ProcessHandle hProcess) {
    bool bRunning = false;
    programs().IsProcessRunning(hProcess, bRunning);
    return bRunning;
  }
  bool EndsSoon(platform::ProcessHandle hProcess) {
    platform::WaitResult result = platform::WaitResult::TimedOut;
    programs().WaitForProcess(hProcess, 10000, {}, result);
    return result == platform::WaitResult::Exited;
  }
  // A script of the machine that runs until it is ended, started as a program line. Each test
  // names its own, as the tests may run side by side and these commands act on every process of
  // the name.
  void StartWorker(const std::string& name) {
    const std::string path = "C:\\bin\\" + name;
    // Ending the script leaves its sleep behind, as ending a process leaves its children; the sleep
    // must not hold the test's output open.
    machine.WriteScript(path, "sleep 30 >/dev/null 2>&1 </dev/null");
    ASSERT_EQ(Line(path), 1);
    ASSERT_EQ(Line("WaitUntilProcessExists " + name + ",10"), 1);
  }
  platform::Processes& programs() { return run.machine.Programs(); }

  PersonAtTheRun* person = nullptr;

 private:
  std::vector<platform::ProcessHandle> handles_;
};

// The close message after a timed box, and a box run out under ABORT: the scenarios
// script-close-window and script-close-window-abort.
TEST_F(WindowCommands, CloseWindowClosesTheMatchingWindowsByItsMode) {
  const platform::ProcessHandle hEditor = StartWithWindow("Editor", false);

  EXPECT_EQ(Line("CloseWindow Nothing*,CLOSEWINDOW,3,Never shown"), 1);
  EXPECT_TRUE(person->boxes.empty()) << "no window matches: no box";

  EXPECT_EQ(Line("CloseWindow editor"), 0) << "the empty mode asks; the editor refuses";
  EXPECT_EQ(Line("CloseWindow Editor,BOGUS"), 1) << "mode -1 sends nothing";
  EXPECT_TRUE(Runs(hEditor));

  person->bLetTimeRunOut = true;
  EXPECT_EQ(Line("CloseWindow Ed*,DESTROYWINDOW,5,Closing the editor"), 1)
      << "without ABORT the time running out only closes the box";
  EXPECT_TRUE(EndsSoon(hEditor));
  EXPECT_TRUE(person->pages.empty());
}

TEST_F(WindowCommands, TheTimedBoxFollowsTheSilentLevel) {
  StartWithWindow("Silent 1");
  StartWithWindow("Silent 2");
  run.ctx.bSilent = true;
  run.ctx.iSilentLevel = 1;
  person->bLetTimeRunOut = true;
  EXPECT_EQ(Line("CloseWindow Silent 1,ABORT,2,Not shown"), 1)
      << "no box at silent level 1, so no time runs out";
  EXPECT_TRUE(person->boxes.empty());
  run.ctx.iSilentLevel = 2;
  EXPECT_EQ(Line("CloseWindow Silent 2,ABORT,2,Shown"), 0);
  EXPECT_EQ(person->boxes.size(), 1u);
}

TEST_F(WindowCommands, KillProcessAndTheWaitsActOnRealProcesses) {
  StartWorker("tvwin_kill.sh");
  EXPECT_EQ(Line("KillProcess tvwin_kill.sh,2,Ending the worker"), 1);
  ASSERT_EQ(person->boxes.size(), 1u);
  EXPECT_EQ(person->boxes[0].nTimeoutMs, 2000u);
  EXPECT_EQ(Line("WaitWhileProcessExists tvwin_kill.sh,10"), 1);
  EXPECT_EQ(Line("WaitUntilProcessExists tvwin_kill.sh,1"), 0);
  EXPECT_EQ(Line("KillProcess tvwin_kill.sh,2,Not shown"), 1);
  EXPECT_EQ(person->boxes.size(), 1u) << "nothing runs: no box";
}

TEST_F(WindowCommands, AskKillProcessesAsksTheProcessesPage) {
  StartWorker("tvwin_ask.sh");
  person->nPageAnswer = ui::kPageCancel;
  EXPECT_EQ(Line("AskKillProcesses 5,tvwin_ask.sh,tvwin_absent.exe"), 0);
  ASSERT_EQ(person->pages.size(), 1u);
  const ui::PageRequest page = person->pages[0];
  EXPECT_EQ(page.kind, ui::PageKind::Processes);
  EXPECT_EQ(page.items, std::vector<std::string>{"tvwin_ask.sh"});
  EXPECT_EQ(page.nSeconds, 5);
  EXPECT_FALSE(page.bCancel) << "a countdown hides Cancel";
  ASSERT_TRUE(page.isSettled);
  EXPECT_FALSE(page.isSettled());
  EXPECT_EQ(Line("WaitUntilProcessExists tvwin_ask.sh,1"), 1) << "Cancel ends nothing";

  person->nPageAnswer = ui::kPageNext;
  EXPECT_EQ(Line("AskKillProcesses ,tvwin_ask.sh"), 1);
  ASSERT_EQ(person->pages.size(), 2u);
  EXPECT_EQ(person->pages[1].nSeconds, -1);
  EXPECT_TRUE(person->pages[1].bCancel);
  EXPECT_EQ(Line("WaitWhileProcessExists tvwin_ask.sh,10"), 1) << "OK ends the programs";
  EXPECT_TRUE(page.isSettled());

  EXPECT_EQ(Line("AskKillProcesses ,tvwin_ask.sh"), 1);
  StartWorker("tvwin_ask.sh");
  EXPECT_EQ(Line("AskKillProcesses 0,tvwin_ask.sh"), 1);
  EXPECT_EQ(Line("WaitWhileProcessExists tvwin_ask.sh,10"), 1);
  StartWorker("tvwin_ask.sh");
  run.ctx.bSilent = true;
  EXPECT_EQ(Line("AskKillProcesses ,tvwin_ask.sh"), 1);
  EXPECT_EQ(Line("WaitWhileProcessExists tvwin_ask.sh,10"), 1);
  EXPECT_EQ(person->pages.size(), 2u)
      << "nothing running, a time-out of 0 and a silent run ask no page";
}

using test::TestMachine;

// A user interface that records what the launch asks of it and says "stop" at a chosen pump.
class RecordingUi : public ui::UserInterface {
 public:
  int MessageBox(const ui::MessageBoxRequest&) override { return 2; }
  void SetWaitCursor(bool bOn) override { calls.push_back(bOn ? "cursor on" : "cursor off"); }
  void EnableMainWindows(bool bEnable) override { calls.push_back(bEnable ? "enable" : "disable"); }
  bool PumpMessages() override { return ++nPumps < nStopAtPump; }

  std::vector<std::string> calls;
  int nPumps = 0;
  int nStopAtPump = 1 << 30;
};

class Launch : public ::testing::Test {
 protected:
  std::string ErrorLevel() {
    std::string value;
    machine.Machine().Env().GetVariable("ERRORLEVEL", value);
    return value;
  }
  bool Call(const std::string& line, bool bWait = true) {
    dwError = dwExitCode = 12345;
    return LaunchProgram(run, line, "", "", false, bWait, false, &dwError, &dwExitCode, line);
  }
  bool Shown(int nMessage) {
    return std::any_of(run.shownMessages.begin(), run.shownMessages.end(),
                       [nMessage](const ShownMessage& m) { return m.nMessage == nMessage; });
  }
  TestMachine machine;
  SetupRun run{machine.Machine()};
  uint32_t dwError = 0;
  uint32_t dwExitCode = 0;
};

std::string ExitWithCode() {
  return test::ZPath(TARVIUM_EXIT_WITH_CODE);
}

TEST_F(Launch, ExitCodesErrorLevelAndTheChildsEnvironment) {
  machine.WriteScript("C:\\Tools\\three.cmd", "exit 3");
  SetVariable(run, "TOOLS", "C:\\Tools");
  EXPECT_TRUE(Call("%TOOLS%\\three.cmd"));
  EXPECT_EQ(ErrorLevel(), "3");
  EXPECT_EQ(dwExitCode, 3u);
  EXPECT_EQ(dwError, 0u);
  EXPECT_EQ(run.ctx.iReboot, 0);

  const std::pair<int32_t, int32_t> cases[] = {{6702, 1}, {6703, 3}, {6706, 4}, {6708, 5}};
  for (const auto& [iCode, iReboot] : cases) {
    run.ctx.iReboot = 0;
    EXPECT_TRUE(Call(ExitWithCode() + " " + std::to_string(iCode)));
    EXPECT_EQ(ErrorLevel(), std::to_string(iCode));
    EXPECT_EQ(run.ctx.iReboot, iReboot) << iCode;
  }
  // A negated code comes back whole and asks for nothing.
  run.ctx.iReboot = 0;
  EXPECT_TRUE(Call(ExitWithCode() + " -6708"));
  EXPECT_EQ(ErrorLevel(), "-6708");
  EXPECT_EQ(dwExitCode, static_cast<uint32_t>(-6708));
  EXPECT_EQ(run.ctx.iReboot, 0);

  // The child never sees the ErrorLevel of an earlier program (here -6708): it is emptied before
  // each start.
  const std::string out = machine.HostPath("C:\\") + "/level.txt";
  machine.WriteScript("C:\\Tools\\level.cmd",
                      "printf '[%s]' \"$ERRORLEVEL\" >> '" + out + "'; exit 4");
  EXPECT_TRUE(Call("C:\\Tools\\level.cmd"));
  EXPECT_EQ(ErrorLevel(), "4");
  EXPECT_TRUE(Call("C:\\Tools\\level.cmd"));
  EXPECT_EQ(machine.ReadFile("C:\\level.txt"), "[][]");

  // A value the setup wrote into the machine environment of the registry reaches the program.
  machine.WriteScript("C:\\Tools\\env.cmd",
                      "printf '[%s]' \"$TOOLS_HOME\" > '" + machine.HostPath("C:\\") + "/env.txt'");
  machine.SetRegString(platform::RegRoot::LocalMachine, kMachineEnvironmentKey, "TOOLS_HOME",
                       "%SystemRoot%\\Tools", platform::REG_EXPAND_SZ);
  EXPECT_TRUE(Call("C:\\Tools\\env.cmd"));
  std::string windir;
  machine.Machine().Env().GetVariable("SystemRoot", windir);
  EXPECT_EQ(machine.ReadFile("C:\\env.txt"), "[" + windir + "\\Tools]");
}

TEST_F(Launch, CallTimeLimitEndsTheProgram) {
  machine.WriteScript("C:\\Tools\\slow.cmd", "exec sleep 20");
  run.ctx.nCallTimeOut = 1000;
  EXPECT_TRUE(Call("C:\\Tools\\slow.cmd"));
  EXPECT_EQ(ErrorLevel(), "-1");
  ASSERT_EQ(run.shownMessages.size(), 1u);
  EXPECT_EQ(run.shownMessages[0].nMessage, 5569);
  EXPECT_EQ(std::get<std::string>(run.shownMessages[0].args[0]), "C:\\Tools\\slow.cmd");

  run.ctx.nCallTimeOut = 100;
  run.ctx.bAbortAfterCallTimeOut = true;
  EXPECT_FALSE(Call("C:\\Tools\\slow.cmd"));
  EXPECT_EQ(dwExitCode, 0xFFFFFFFFu);
  EXPECT_EQ(run.shownMessages.size(), 2u);
}

TEST_F(Launch, WithoutWaitingReturnsAtOnceAndAQuitEndsAWait) {
  machine.WriteScript("C:\\Tools\\wait.cmd", "sleep 2");  // outlives the test's waits, then ends
  auto ui = std::make_unique<RecordingUi>();
  RecordingUi& recorder = *ui;
  run.ui = std::move(ui);
  EXPECT_TRUE(Call("C:\\Tools\\wait.cmd", false));
  EXPECT_EQ(ErrorLevel(), "0");  // not known yet
  EXPECT_EQ(recorder.calls, (std::vector<std::string>{"cursor on", "cursor off"}));
  EXPECT_EQ(recorder.nPumps, 0);

  // A pump that says stop ends the wait and the run; the program goes on by itself.
  recorder.calls.clear();
  recorder.nStopAtPump = 3;
  EXPECT_TRUE(Call("C:\\Tools\\wait.cmd"));
  EXPECT_TRUE(run.ctx.bAborted);
  EXPECT_EQ(recorder.nPumps, 3);
  EXPECT_EQ(recorder.calls,
            (std::vector<std::string>{"cursor on", "disable", "enable", "cursor off"}));
  EXPECT_FALSE(Shown(5569));
}

TEST_F(Launch, FailedStartsAndLogonsAndAnotherUserInTheProfile) {
  machine.WriteScript("C:\\Tools\\mark.cmd",
                      "echo ran > '" + machine.HostPath("C:\\") + "/ran.txt'");
  EXPECT_FALSE(Call("C:\\Tools\\missing.exe /x"));
  EXPECT_EQ(dwError, platform::ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(ErrorLevel(), "-1");
  ASSERT_EQ(run.shownMessages.size(), 1u);
  EXPECT_EQ(run.shownMessages[0].nMessage, 5508);
  EXPECT_EQ(run.shownMessages[0].args[1], MessageArg(int64_t{2}));

  // Under another account that cannot log on: nothing starts, and there is no start to report.
  EXPECT_FALSE(LaunchProgram(run, "C:\\Tools\\mark.cmd", "CORP\\nobody", "secret", false, true,
                             false, &dwError, &dwExitCode, ""));
  EXPECT_EQ(dwError, platform::ERROR_LOGON_FAILURE);
  EXPECT_FALSE(machine.Machine().Files().FileExists("C:\\ran.txt"));
  EXPECT_EQ(run.shownMessages.size(), 1u);
  // Without a program nothing starts either.
  EXPECT_FALSE(Call("   "));

  // Another user starts in the profile, with the right password only.
  AttachScriptEngine(run);
  const std::string out = machine.HostPath("C:\\") + "/who.txt";
  machine.WriteScript("C:\\Tools\\who.cmd", "{ pwd -P; echo \"$USERNAME\"; } > '" + out + "'");
  ASSERT_EQ(machine.Machine().EmulatedUsers().AddUser({"Anna", "Pa$$w0rd"}), 0u);
  ASSERT_EQ(machine.Machine().Files().CreateDirectoryTree("C:\\Users\\Anna"), 0u);

  EXPECT_FALSE(LaunchProgram(run, "C:\\Tools\\who.cmd", ".\\Anna", "wrong", false, true, false,
                             &dwError, &dwExitCode, ""));
  EXPECT_EQ(dwError, platform::ERROR_LOGON_FAILURE);
  EXPECT_FALSE(machine.Machine().Files().FileExists("C:\\who.txt"));

  // The password may stand in the file encrypted; the guard decrypts it before the logon.
  std::string encrypted = "Pa$$w0rd";
  ASSERT_TRUE(Tarvium::ScrambleValue(encrypted, 7));
  EXPECT_TRUE(LaunchProgram(run, "C:\\Tools\\who.cmd", "Anna", encrypted, false, true, false,
                            &dwError, &dwExitCode, ""));
  EXPECT_EQ(machine.ReadFile("C:\\who.txt"),
            std::filesystem::canonical(machine.HostPath("C:\\Users\\Anna")).string() + "\nAnna\n");
}

TEST_F(Launch, ShortcutStartsItsTargetWithItsArgumentsInItsDirectory) {
  const std::string out = machine.HostPath("C:\\") + "/out.txt";
  machine.WriteScript("C:\\Tools\\show-args.cmd",
                      "{ pwd -P; printf '[%s]\\n' \"$@\"; } > '" + out + "'");
  machine.Machine().Files().CreateDirectoryTree("C:\\Work");
  machine.Machine().Files().CreateDirectoryTree("C:\\Links");
  const std::string link = test::ReadTestData("lnk/show-args.lnk");
  ASSERT_FALSE(link.empty());
  ASSERT_EQ(machine.Machine().Files().WriteWholeFile("C:\\Links\\Show-Args.LNK", link), 0u);

  EXPECT_TRUE(Call("C:\\Links\\Show-Args.LNK \"and more\""));
  EXPECT_EQ(machine.ReadFile("C:\\out.txt"),
            std::filesystem::canonical(machine.HostPath("C:\\Work")).string() +
                "\n[first]\n[two words]\n[last]\n[and more]\n");
  EXPECT_EQ(ErrorLevel(), "0");
}

TEST(MsiQuietSwitch, ServiceRunsForceNoInterface) {
  const std::pair<const char*, const char*> cases[] = {
      {"/i x.msi /qb", "/i x.msi /qn"},
      {"/i x.msi /qb! /l*v log", "/i x.msi /qn  /l*v log"},
      {"/i x.msi /QB-", "/i x.msi /Qn "},
      {"-qr /x {GUID}", "-qn /x {GUID}"},
      {"/i x.msi /q", "/i x.msi /q"},
      {"/i x.msi /q TARGETDIR=C:\\my-queue", "/i x.msi /q TARGETDIR=C:\\my-queue"},
  };
  for (const auto& [pszBefore, pszAfter] : cases) {
    std::string parameters = pszBefore;
    ForceQuietMsiParameters("MsiExec.exe", parameters);
    EXPECT_EQ(parameters, pszAfter) << pszBefore;
  }
  std::string other = "/qb";
  ForceQuietMsiParameters("setup.exe", other);
  EXPECT_EQ(other, "/qb");
}

TEST(ShellWorkingDirectory, CurrentDirectoryWithoutTrailingBackslashOrTheWindowsDirectory) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\Work\\", "C:\\Work"},
      {"C:\\", "C:\\"},
      {"\\\\?\\C:\\Long\\", "C:\\Long"},
      {"\\\\srv\\share\\x", "C:\\Windows"},
      {"\\\\?\\UNC\\srv\\share", "C:\\Windows"},
  };
  for (const auto& [pszCurrent, pszExpected] : cases)
    EXPECT_EQ(ShellWorkingDirectory(pszCurrent, "C:\\Windows"), pszExpected) << pszCurrent;
}

}  // namespace
}  // namespace tarvium
