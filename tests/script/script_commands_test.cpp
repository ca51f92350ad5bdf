// The script commands on a real temporary machine: pass rules and undoing in the removal pass,
// loops, waits, sizing, the abort rule of the syntax versions, text, registry and XML editing.
// Each test drives ExecuteCmd with lines as a script section holds them. The argument splitters
// are here too: plain and quoted arguments, doubled quotes, kept trailing blanks, and the end of
// the list at a line break.
#include <gtest/gtest.h>

#include "engine/init_variables.h"
#include "engine/replace_variables.h"
#include "engine/variable_sections.h"
#include "script/execute_cmd.h"
#include "script/next_argument.h"
#include "script/script_command.h"
#include "script/script_test_run.h"

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
  turns.clear();
  EXPECT_EQ(Removal("For I,1,3,,Rem %I%"), 1);
  EXPECT_EQ(turns, (std::vector<std::string>{"Rem 3", "Rem 2", "Rem 1"}));
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

  machine.WriteScript(R"(C:\bin\later)", "sleep 2\nexit 7");
  EXPECT_EQ(Line(R"(C:\bin\later readme.txt)"), 1);
  EXPECT_EQ(Variable("ERRORLEVEL"), "0") << "the program line does not wait";
  EXPECT_EQ(Line(R"(Call C:\bin\later)"), 1);
  EXPECT_EQ(Variable("ERRORLEVEL"), "7");
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

}  // namespace
}  // namespace tarvium
