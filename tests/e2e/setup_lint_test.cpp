// setup-lint as its users run it: each row is a small setup information file and the findings
// (file:line: severity: ... [rule]) and exit status the real program must give for it. Then
// every scenario whose Setup.inf is installed as written and succeeds lints without an error.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/doc_pages.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace tarvium::test {
namespace {

// A clean product: named in the programs list, Setup.inf copied along; {body} is appended.
std::string Product(const std::string& body) {
  return "[Setup]\r\nVersion=10.00\r\n[Application]\r\nProductName=P\r\n"
         "UninstallDisplayName=P\r\nApplicationDir=C:\\P\r\n[Options]\r\nMain=Main,DEFAULT\r\n"
         "[Main]\r\n1:Setup.inf, %App%, , 100\r\n" +
         body;
}

struct LintCase {
  const char* what;
  std::string text;
  std::vector<std::string> findings;  // each a line of the output, after "Setup.inf:"
  int nExit;
};

std::vector<LintCase> Cases() {
  return {
      {"clean", Product("1:data, %App%\\data, DIRECTORY\r\n"), {}, 0},
      {"missing option section",
       "[Application]\r\nUninstallDisplayName=P\r\n[Options]\r\nMain=Main\r\nGone=G\r\n"
       "[Main]\r\n1:Setup.inf,,,9\r\n",
       {"5: error: option 'Gone' has no section [Gone] [missing-section]"},
       2},
      {"wildcard falls back to %Option%",
       "[Application]\r\nUninstallDisplayName=P\r\n[Options]\r\nA=A,WILDCARD\r\n"
       "[%Option%]\r\n1:Setup.inf,,,9\r\n",
       {},
       0},
      {"parent options need no section",
       "[Application]\r\nUninstallDisplayName=P\r\n[Options]\r\nA=A\r\nA\\B=B\r\n"
       "[A\\B]\r\n1:Setup.inf,,,9\r\n",
       {},
       0},
      {"missing referenced section",
       Product("#Elsewhere\r\n"),
       {"11: error: reference to section [Elsewhere], which the file lacks [missing-section]"},
       2},
      {"unknown flags",
       Product("2:b.dll, %App%, REGISTR, 5\r\n#Main, SOMETIMES\r\n[Options]\r\n"),
       {"11: error: copy line has an unknown flag in 'REGISTR' [unknown-flag]",
        "12: error: reference has an unknown flag in 'SOMETIMES' [unknown-flag]",
        "13: warning: section [Options] is given again (first at line 7); the engine ignores "
        "this one [duplicate-section]"},
       2},
      {"option flag",
       "[Application]\r\nUninstallDisplayName=P\r\n[Options]\r\nM=M,DEFALT\r\n"
       "[M]\r\n1:Setup.inf,,,9\r\n",
       {"4: error: option 'M' has an unknown flag in 'DEFALT' [unknown-flag]"},
       2},
      {"bad conditions",
       Product("IF %A%==1 THEN Rem ELSE\r\nIF %A% LIKE 1 THEN Rem\r\nIF %A%==1 THEN Rem\r\n"
               "[Strings]\r\nA=1\r\n"),
       {"11: error: IF line the engine cannot read (IF condition THEN command [ELSE command]) "
        "[bad-condition]",
        "12: error: condition fault at '%A% LIKE 1' [bad-condition]"},
       2},
      {"duplicate key",
       "[Setup]\r\nVersion=10.00\r\nversion=11.00\r\n[Application]\r\nUninstallDisplayName=P\r\n"
       "[Options]\r\nM=M\r\n[M]\r\n1:Setup.inf,,,9\r\n",
       {"3: warning: version is given again in [Setup] (first at line 2); the engine reads the "
        "first [duplicate-key]"},
       1},
      {"special sections are not read as generic lines",
       Product("#System.ini\r\n[System.ini]\r\n386Enh, device, *v\r\n"),
       {},
       0},
      {"traps",
       "[Application]\r\nUninstallKeyName=P\r\nApplicationDir=C:\\P\r\n[Options]\r\nM=M\r\n"
       "[M]\r\n1:a.dll, %App%a.dll\r\n",
       {"1: warning: UninstallKeyName without UninstallDisplayName in [Application]: the programs "
        "list hides the product's entry [no-uninstall-name]",
        "1: warning: no copy line installs Setup.inf: the removal the programs list starts will "
        "not find it [setup-inf-not-copied]",
        "7: warning: copy line of 'a.dll' gives no size: the space the product needs is computed "
        "without it [no-size]",
        "7: warning: '%App%a.dll': a directory variable runs into the name after it (missing "
        "'\\') [dir-variable-glued]"},
       1},
      {"a product kept out of the programs list needs neither its name nor Setup.inf",
       "[Application]\r\nApplicationDir=C:\\P\r\n[Options]\r\nM=M\r\n[M]\r\n"
       "1:a.dll, %App%\\a.dll, , 5\r\n",
       {},
       0},
      {"undefined variables: defined by Set, Tokenize, a string key, the engine, the session",
       Product("MD %App%\\%Later%\r\nSET Later=%Unset%\\x\r\nSET N=Tokenize(Tok)\r\n"
               "Call %windir%\\a.exe %HKLM\\Software\\X:Path% %Tok3% %ErrorLevel% 50% off\r\n"
               "Echo %Greeting% %Option%\r\n[Strings]\r\nGreeting=Hi\r\n"),
       {"12: warning: %Unset% is defined nowhere (not by the engine, not in the file): it reads as "
        "empty [undefined-variable]"},
       1},
      {"option graph: order, circle, one-member groups (also through Name\\*)",
       "[Application]\r\nUninstallDisplayName=P\r\n[Options]\r\nA\\B=B\r\nA=A\r\nC=C\r\n"
       "[OptionDependencies]\r\nA=C\r\nC=A\\B\r\nA\\B=A\r\n[OptionGroups]\r\nC\r\n1=A\\*\r\n"
       "2=A, C\r\n[A\\B]\r\n1:Setup.inf,,,9\r\n[C]\r\n#A\\B\r\n",
       {"4: error: option 'A\\B' comes before its parent 'A' (line 5): the engine finds no parent "
        "and stops the run [option-order]",
        "10: error: options select each other in a circle: A -> C -> A\\B -> A [option-cycle]",
        "12: warning: option group with a single member: an exclusive choice with nothing to "
        "choose from [one-member-group]",
        "13: warning: option group with a single member: an exclusive choice with nothing to "
        "choose from [one-member-group]"},
       2},
      {"section kinds and commands",
       Product("#Regs:Fonts\r\n#Cmds\r\n[Regs:Fonts]\r\nHKLM\\X\r\n[Cmds]\r\nCal setup.exe\r\n"
               "Ren a.txt\r\nIF 1==1 THEN Renn\r\nUnzip \"a b.zip\", C:\\x\r\nnotes.exe /q\r\n"
               "-Ren a.txt b.txt\r\n"),
       {"13: warning: no handler takes section [Regs:Fonts] (not a registry, INI, batch, shell or "
        "other kind the engine knows): its lines are read as copy lines and commands "
        "[unknown-section-kind]",
        "16: error: 'Cal' is no command: the engine would start a program of that name "
        "[bad-command]",
        "17: error: Ren needs 2 argument(s), the line gives 1 (message 5528 at run time) "
        "[bad-command]",
        "18: error: 'Renn' is no command: the engine would start a program of that name "
        "[bad-command]"},
       2},
      {"string sections: a language the engine cannot serve, a key one language lacks",
       Product("[Strings:07]\r\nTitle=T\r\nHello=H\r\n[Strings:09]\r\nTitle=T\r\n"),
       {"11: warning: no [Strings] section for fr-FR (0x040C): the engine chooses [Strings], "
        "which the file lacks [missing-strings]",
        "14: warning: [Strings:09] lacks the key Hello, which [Strings:07] gives (line 13) "
        "[missing-strings]"},
       1},
      {"string sections: the fallback serves every other language",
       Product("[Strings:07]\r\nTitle=T\r\n[Strings]\r\nTitle=T\r\n"),
       {},
       0},
  };
}

TEST(SetupLint, ReportsEachRuleAtTheFilesLine) {
  for (const LintCase& c : Cases()) {
    TempDir dir;
    dir.WriteFile("Setup.inf", c.text);
    const ToolResult result = RunTool("setup-lint", ShellQuote(dir.Path() + "/Setup.inf"));
    std::string expected;
    for (const std::string& finding : c.findings)
      expected += dir.Path() + "/Setup.inf:" + finding + "\n";
    EXPECT_EQ(result.out, expected) << c.what;
    EXPECT_EQ(result.nExit, c.nExit) << c.what << ": " << result.out;
  }
}

TEST(SetupLint, WritesJsonAndRefusesWhatItCannotRead) {
  TempDir dir;
  const std::string file = dir.WriteFile("Setup.inf", Product("#Gone\r\n"));
  const ToolResult json = RunTool("setup-lint", "--json " + ShellQuote(file));
  EXPECT_EQ(json.out, "[{\"file\": \"" + file +
                          "\", \"line\": 11, \"severity\": \"error\", \"rule\": "
                          "\"missing-section\", \"text\": \"reference to section [Gone], which "
                          "the file lacks\"}]\n");
  EXPECT_EQ(json.nExit, 2);
  const ToolResult missing = RunTool("setup-lint", ShellQuote(dir.Path() + "/none.inf"));
  EXPECT_EQ(missing.nExit, 2);
  EXPECT_NE(missing.out.find("cannot read"), std::string::npos) << missing.out;
  EXPECT_EQ(RunTool("setup-lint", "a.inf b c").nExit, 2);
  const std::string rules = "\n" + RunTool("setup-lint", "--rules").out;
  for (const char* rule :
       {"missing-section", "unknown-flag", "bad-condition", "duplicate-section", "duplicate-key",
        "no-uninstall-name", "setup-inf-not-copied", "no-size", "dir-variable-glued",
        "undefined-variable", "option-order", "option-cycle", "one-member-group",
        "unknown-section-kind", "bad-command", "missing-strings"})
    EXPECT_NE(rules.find(std::string("\n") + rule + " "), std::string::npos) << rule;
}

// A scenario's file is meant to be good when it is installed as written (no documentation example
// or preparation adds to it) and every run of it succeeds.
bool IsMeantToBeGood(const std::filesystem::path& scenario) {
  const std::string ini = ReadHostFile((scenario / "scenario.ini").string());
  for (const char* mark : {"\nDocExample=", "\nPrepare="})
    if (ini.find(mark) != std::string::npos) return false;
  for (size_t at = ini.find("\nExitCode="); at != std::string::npos;
       at = ini.find("\nExitCode=", at + 1))
    if (ini.compare(at, 12, "\nExitCode=0\n") != 0 && ini.compare(at, 13, "\nExitCode=0\r\n") != 0)
      return false;
  return true;
}

TEST(SetupLint, GoodScenarioFilesHaveNoErrors) {
  int nLinted = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(SourceDir() + "/tests/e2e/scenarios")) {
    const std::filesystem::path inf = entry.path() / "Setup.inf";
    if (!std::filesystem::exists(inf) || !IsMeantToBeGood(entry.path())) continue;
    const ToolResult result = RunTool("setup-lint", ShellQuote(inf.string()));
    EXPECT_LT(result.nExit, 2) << result.out;
    ++nLinted;
  }
  EXPECT_GT(nLinted, 40);
}

}  // namespace
}  // namespace tarvium::test
