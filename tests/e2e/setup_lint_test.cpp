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

// A value as setup-crypt writes it.
std::string Encrypted(const std::string& text) {
  std::string value = RunTool("setup-crypt", "encrypt " + ShellQuote(text)).out;
  while (!value.empty() && (value.back() == '\n' || value.back() == '\r')) value.pop_back();
  return value;
}

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
  const char* name = "Setup.inf";  // the file's name, which its removal command names
};

std::vector<LintCase> Cases() {
  return {
      {"clean: directories, created folders and empty files need no size",
       Product("1:data, %App%\\data, DIRECTORY\r\n1:, %App%\\Data\\, CREATE\r\n"
               "1:, Logs\\, CREATE\r\n1:, %App%\\empty.log, CREATE\r\n"),
       {},
       0},
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
      {"a parent option's section is carried out",
       "[Application]\r\nUninstallDisplayName=P\r\n[Options]\r\nA=A\r\nA\\B=B\r\n"
       "[A]\r\n1:a.dll, , REGISTR, 1\r\n[A\\B]\r\n1:Setup.inf,,,9\r\n",
       {"7: error: copy line has an unknown flag in 'REGISTR' [unknown-flag]"},
       2},
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
       Product("IF %A%==1 THEN Rem ELSE\r\nIF %A% LIKE 1 THEN Rem\r\nIF %A%==1 THEN #Main\r\n"
               "IF %A%==1 THEN #Main ELSE #Gone\r\n[Strings]\r\nA=1\r\n[Requirements]\r\n"
               "%A% >= 1 | %A%\r\n%A% LIKE 1\r\n"),
       {"11: error: IF line the engine cannot read: no command after ELSE (message 5528 at run "
        "time; IF condition THEN command [ELSE command], a command with blanks quoted: IF 1 == 1 "
        "THEN 'Echo hello') [bad-condition]",
        "12: error: condition fault at '%A% LIKE 1' [bad-condition]",
        "14: error: reference to section [Gone], which the file lacks [missing-section]",
        "18: error: requirement '%A%' lacks an operand or its operator (message 5528 at run "
        "time) [bad-condition]",
        "19: error: requirement '%A% LIKE 1' compares with an operator the engine does not know: "
        "it never holds [bad-condition]"},
       2},
      {"duplicate key",
       "[Setup]\r\nVersion=10.00\r\nversion=11.00\r\n[Application]\r\nUninstallDisplayName=P\r\n"
       "[Options]\r\nM=M\r\nm=Again\r\n[M]\r\n1:Setup.inf,,,9\r\n[Strings]\r\nA=1\r\nB=2\r\n"
       "A=3\r\n[Other]\r\nA=1\r\nA=2\r\n",
       {"3: warning: version is given again in [Setup] (first at line 2); the engine reads the "
        "first [duplicate-key]",
        "8: warning: option 'm' is given again (first at line 7): the engine lists it twice and "
        "finds the first by name [duplicate-key]",
        "14: warning: A is given again in [Strings] (first at line 12); the engine sets it again: "
        "the last line of it wins [duplicate-key]"},
       1},
      {"special sections are not read as generic lines",
       Product("#System.ini\r\n[System.ini]\r\n386Enh, device, *v\r\n"),
       {},
       0},
      {"traps",
       "[Application]\r\nUninstallKeyName=P\r\nApplicationDir=C:\\P\r\n[Options]\r\nM=M\r\n"
       "[M]\r\n1:a.dll, %App%a.dll\r\n",
       {"2: warning: UninstallKeyName without UninstallDisplayName in [Application]: the programs "
        "list hides the product's entry [no-uninstall-name]",
        "2: warning: no copy line installs Setup.inf as %App%\\Setup.inf: the removal the "
        "programs list starts will not find it [setup-inf-not-copied]",
        "7: warning: copy line of 'a.dll' gives no size: the space the product needs is computed "
        "without it (setup-lint --fill-sizes Setup.inf MEDIA_DIR writes it) [no-size]",
        "7: warning: '%App%a.dll': a directory variable runs into the name after it (missing "
        "'\\') [dir-variable-glued]"},
       1},
      {"registry lines",
       Product("[App.reg]\r\nCaption=Settings\r\nHKLM\\Software\\T:D=dword:10\r\n"
               "-HKLM\\Software\\Old\r\nHKXX\\Software\\T:D=1\r\n%Root%\\Software\\T:D=1\r\n"
               "HKEY_LOCAL_MACHINE,Software\\T,C,0x00010001,10\r\nHKLM\\T:E=dword:zz\r\n"
               "HKLM\\T:B=hex:01,1ff\r\nHKEY_LOCAL_MACHINE,T,C,0x00010001,12a\r\nHKLM\\T:F=dword:%"
               "N%\r\n"),
       {"15: warning: registry line without a known root before its first '\\' or ',': the "
        "engine skips it [bad-registry-line]",
        "18: warning: value 'zz' is not a number of its type throughout: the engine writes what "
        "it reads of it (0 for no digits) [bad-registry-line]",
        "19: warning: value '01,1ff' is not a number of its type throughout: the engine writes "
        "what it reads of it (0 for no digits) [bad-registry-line]",
        "20: warning: value '12a' is not a number of its type throughout: the engine writes what "
        "it reads of it (0 for no digits) [bad-registry-line]"},
       1},
      {"values cut to their room",
       "[Application]\r\nUninstallDisplayName=" + std::string(256, 'n') +
           "\r\nApplicationDir=C:\\" + std::string(1021, 'd') + "\r\nDataDir=C:\\" +
           std::string(1022, 'd') + "\r\n[Options]\r\nM=" + std::string(256, 'm') +
           "\r\n[M]\r\n1:Setup.inf,,,9\r\n",
       {"2: warning: UninstallDisplayName in [Application] has 256 characters; the engine keeps "
        "the first 255 [value-too-long]",
        "4: warning: DataDir in [Application] has 1025 characters; the engine keeps the first "
        "1024 [value-too-long]",
        "6: warning: the description of option 'M' has 256 characters; the engine keeps the "
        "first 255 [value-too-long]"},
       1},
      {"encrypted values",
       Product("[Encryption]\r\nGOOD=" + Encrypted("secret") +
               "\r\nBAD=#00112233445566778899\r\nAES=X00112233\r\nREF=%Other%\r\nNONE=\r\n"),
       {"13: error: encrypted value does not decrypt (damaged or changed): the variable keeps "
        "the encrypted text [bad-encrypted-value]",
        "14: error: an AES value (\"X...\") is not decrypted here: the variable keeps the "
        "encrypted text [bad-encrypted-value]"},
       2},
      {"Path key of an autoexec section",
       Product("#Autoexec.bat\r\n[Autoexec.bat]\r\nPATH %App%;%PATH%\r\nPath=%App%\r\n"),
       {"14: error: 'Path=' in [Autoexec.bat] is the section's own key, not a PATH line: the "
        "engine puts '%App%' before the batch file's full name (c:\\autoexec.bat), cannot "
        "create the file so named (message 5504 at run time) and the section fails (write 'PATH "
        "dir;%PATH%', with a blank, to change the search path) [path-in-autoexec]"},
       2},
      {"administrator section without its directory",
       Product("[Admin]\r\nAskDir=1\r\n"),
       {"11: warning: [Admin] has no ApplicationDir: an administrator setup (/A) takes its "
        "application directory from there and starts with an empty one [admin-without-appdir]"},
       1},
      {"the file the removal names: its own name below SetupInfDir, copied, not deleted",
       "[Application]\r\nUninstallKeyName=P\r\nUninstallDisplayName=P\r\nApplicationDir=C:\\P\r\n"
       "SetupInfDir=inst\r\n[Options]\r\nM=M\r\n[M]\r\n1:MyProd.inf, inst\\, , 9\r\n",
       {},
       0,
       "MyProd.inf"},
      {"the removal's file elsewhere or deleted",
       "[Application]\r\nUninstallKeyName=P\r\nUninstallDisplayName=P\r\nSetupInfDir=inst\r\n"
       "ApplicationDir=C:\\P\r\n"
       "[Options]\r\nM=M\r\n[M]\r\n1:Setup.inf, %Windows%\\Setup.inf, , 9\r\n"
       "1:Setup.inf, %App%\\sub\\, , 9\r\n1:Setup.inf, %App%\\inst\\Setup.inf, DELETE\r\n"
       "1:Setup.inf, %App%, , 9\r\n",
       {"2: warning: no copy line installs Setup.inf as %App%\\inst\\Setup.inf: the removal the "
        "programs list starts will not find it [setup-inf-not-copied]"},
       1},
      {"run-time faults: Copy, counters, nesting, security, registry lines, Rem, version",
       "[Setup]\r\nVersion=3.00\r\n[Application]\r\nUninstallDisplayName=P\r\n[Options]\r\n"
       "M=M\r\n[M]\r\nCopy onlyone\r\nCopy /S a\r\nCopy a b /D\r\nIncrement\r\n"
       "Decrement %N%\r\nRem %Undef%\r\nHKLM\\Software\\X:Name=1\r\nIF 1 == 1 THEN Echo hello\r\n"
       "#Security\r\n#S1\r\n[Security]\r\nAddUser name, password\r\n"
       "LocalUser.Add (name, password)\r\n%Windir%.Add (x)\r\n" +
           [] {
             std::string chain;
             for (int i = 1; i <= 100; ++i)
               chain += "[S" + std::to_string(i) + "]\r\n#S" + std::to_string(i + 1) + "\r\n";
             return chain + "[S101]\r\n";
           }(),
       {"2: error: [Setup] Version=3.00 is older than the engine accepts (message 5532) "
        "[no-version]",
        "8: error: Copy needs 2 argument(s), the line gives 1 (message 5528 at run time) "
        "[bad-command]",
        "9: error: Copy needs 2 argument(s), the line gives 1 (message 5528 at run time) "
        "[bad-command]",
        "11: error: Increment names no counter (%Name%, %HKLM,Key,Value% or %File,Section,Key%): "
        "the line fails and its section stops [bad-command]",
        "14: warning: a registry line in a section no registry handler reads: the engine starts "
        "it as a program (message 5508, cannot execute); put it in a registry section (Name.reg) "
        "that the section refers to [bad-command]",
        "15: error: IF line the engine cannot read: a word after the command that is neither ELSE "
        "nor ENDIF (message 5528 at run time; IF condition THEN command [ELSE command], a command "
        "with blanks quoted: IF 1 == 1 THEN 'Echo hello') [bad-condition]",
        "19: error: 'AddUser name, password' is no security command (Object.Method (fields), as "
        "LocalUser.Add (name, password)): message 5555 at run time and the section stops "
        "[bad-security-line]",
        "219: error: reference to section [S100] more than 100 levels below the option's section: "
        "the section fails (message 5565 at run time) [nested-too-deep]"},
       2},
      {"no sections at all",
       "",
       {"1: error: the file has no [section]: empty, binary or no "
        "setup information file [no-sections]"},
       2},
      {"a copy into %App% without ApplicationDir",
       "[Application]\r\n[Options]\r\nM=M\r\n[M]\r\n1:a.dll, %App%\\a.dll, , 5\r\n",
       {"5: warning: the line copies into the application directory, but [Application] gives no "
        "ApplicationDir: the run installs nothing there and reports success [no-appdir]"},
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
       "[OptionDependencies]\r\nA=C\r\nC=A\\B, Nope\r\nA\\B=A\r\n[OptionGroups]\r\nC\r\n1=A\\*\r\n"
       "2=A, C, X\\*\r\n[A\\B]\r\n1:Setup.inf,,,9\r\n[C]\r\n#A\\B\r\n",
       {"4: error: option 'A\\B' comes before its parent 'A' (line 5): the engine finds no parent "
        "and stops the run [option-order]",
        "9: error: [OptionDependencies] names option 'Nope', which the file does not declare "
        "(message 5529 at run time) [unknown-option]",
        "10: error: options select each other in a circle: A -> C -> A\\B -> A [option-cycle]",
        "12: warning: option group with a single member: an exclusive choice with nothing to "
        "choose from [one-member-group]",
        "13: warning: option group with a single member: an exclusive choice with nothing to "
        "choose from [one-member-group]",
        "14: error: [OptionGroups] names option 'X', which the file does not declare (message "
        "5529 at run time) [unknown-option]"},
       2},
      {"section kinds and commands",
       Product("#Regs:Fonts\r\n#Cmds\r\n[Regs:Fonts]\r\nHKLM\\X\r\n[Cmds]\r\nCal setup.exe\r\n"
               "Ren a.txt\r\nIF 1==1 THEN Renn\r\nUnzip \"a b.zip\", C:\\x\r\nnotes.exe /q\r\n"
               "-Ren a.txt b.txt\r\nMD C:\\Program Files\\P\r\nSleep\r\nSet X\r\n"
               "SET F=GetDiskFreSpace(C:)\r\nSET G=Left(abc\r\nSET H=C:\\Program Files (x86)\r\n"
               "[Strings]\r\nK=Len(abc)\r\nL=(abc\r\n"),
       {"13: warning: no handler takes section [Regs:Fonts] (not a registry, INI, batch, shell or "
        "other kind the engine knows): its lines are read as copy lines and commands "
        "[unknown-section-kind]",
        "14: warning: a registry line in a section no registry handler reads: the engine starts "
        "it as a program (message 5508, cannot execute); put it in a registry section (Name.reg) "
        "that the section refers to [bad-command]",
        "16: error: 'Cal' is no command: the engine would start a program of that name "
        "[bad-command]",
        "17: error: Ren needs 2 argument(s), the line gives 1 (message 5528 at run time) "
        "[bad-command]",
        "18: error: 'Renn' is no command: the engine would start a program of that name "
        "[bad-command]",
        "22: warning: MD takes 1 argument(s), the line gives 2: the engine ignores the rest (a "
        "path with blanks needs quotes) [bad-command]",
        "23: error: Sleep needs 1 argument(s), the line gives 0 (message 5528 at run time) "
        "[bad-command]",
        "24: error: Set needs NAME=value (message 5528 at run time) [bad-command]",
        "25: warning: 'GetDiskFreSpace' is no function the engine knows: the variable keeps the "
        "text as written [bad-expression]",
        "26: error: 'Left(abc' calls a function without a name or a closing ')': the variable is "
        "not set (message 5528 at run time) [bad-expression]"},
       2},
      {"string sections: a declared language the engine cannot serve, a key one language lacks",
       Product("[Strings:07]\r\nTitle=T\r\nHello=H\r\n[Strings:09]\r\nTitle=T\r\n"
               "[SysStrings:0c]\r\nS=1\r\n[SysStrings:09,01]\r\nS=1\r\n"),
       {"11: warning: no [Strings] section for fr-FR (0x040C): the engine chooses [Strings], "
        "which the file lacks [missing-strings]",
        "14: warning: [Strings:09] lacks the key Hello, which [Strings:07] gives (line 13) "
        "[missing-strings]",
        "16: warning: no [SysStrings] section for de-DE (0x0407): the engine chooses "
        "[SysStrings], which the file lacks [missing-strings]"},
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
    // A product row without [Setup] gets it at its end, below every line the row numbers.
    const bool bAddSetup = c.text.find("[Application]") != std::string::npos &&
                           c.text.find("[Setup]") == std::string::npos;
    const std::string file =
        dir.WriteFile(c.name, bAddSetup ? c.text + "[Setup]\r\nVersion=4.10\r\n" : c.text);
    const ToolResult result = RunTool("setup-lint", ShellQuote(file));
    std::string expected;
    for (const std::string& finding : c.findings) expected += file + ":" + finding + "\n";
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
  EXPECT_EQ(missing.out.find("\n\n"), std::string::npos) << "one line: " << missing.out;
  const ToolResult extra = RunTool("setup-lint", "a.inf b c");
  EXPECT_EQ(extra.nExit, 2);
  EXPECT_NE(extra.out.find("'c'"), std::string::npos) << extra.out;
  const std::string rules = "\n" + RunTool("setup-lint", "--rules").out;
  for (const char* rule :
       {"missing-section",     "unknown-flag",      "bad-condition",        "duplicate-section",
        "duplicate-key",       "no-uninstall-name", "setup-inf-not-copied", "no-size",
        "dir-variable-glued",  "missing-source",    "bad-registry-line",    "value-too-long",
        "bad-encrypted-value", "path-in-autoexec",  "admin-without-appdir", "undefined-variable",
        "option-order",        "option-cycle",      "one-member-group",     "unknown-section-kind",
        "bad-command",         "missing-strings",   "no-sections",          "no-version",
        "nested-too-deep",     "no-appdir",         "bad-security-line"})
    EXPECT_NE(rules.find(std::string("\n") + rule + " "), std::string::npos) << rule;
}

// The media: a plain file, an SZDD-compressed one (mscompress) on a medium without a cabinet (a
// cabinet is looked in before the compressed name), a cabinet member (gcab), a file that is
// nowhere, a member its cabinet lacks, and sources known only at run time.
TEST(SetupLint, LooksForSourcesOnTheMediaAndFillsTheirSizes) {
  TempDir media;
  media.WriteFile("a.dll", "12345");
  media.WriteFile("b.dll", std::string(3000, 'b'));
  media.WriteFile("c.dll", std::string(777, 'c'));
  ASSERT_EQ(RunHostCommand("cd " + ShellQuote(media.Path()) +
                           " && mscompress b.dll && mv b.dll_ b.dl_ && rm b.dll && gcab -c -z "
                           "Data1.cab c.dll && rm c.dll")
                .nExit,
            0);
  const std::string inf = media.WriteFile(
      "Setup.inf",
      "[Application]\r\nUninstallDisplayName=P\r\n[Disks]\r\nCabTemplateName=Data0.cab\r\n"
      "[Options]\r\nM=M\r\n[M]\r\n1:Setup.inf,%App%,,1\r\n1:a.dll, %App%\r\n"
      "2:b.dll, %App%, NOSIZEWARNING, 9\r\n; a comment\r\n1:c.dll, %App%, REGISTER\r\n"
      "2:gone.dll, %App%, , 1\r\n1:lost.dll, %App%, , 1\r\n1:%Other%\\x.dll, %App%, , 1\r\n"
      "2:opt.dll, %App%, OPTIONAL, 1\r\n[Strings]\r\nOther=sub\r\n[Setup]\r\nVersion=4.10\r\n");
  const std::string machine = "--machine " + ShellQuote(media.Path() + "/machine") + " ";
  const ToolResult lint = RunTool("setup-lint", ShellQuote(inf) + " " + ShellQuote(media.Path()));
  const std::string at = inf + ":";
  const std::string infSize = std::to_string(ReadHostFile(inf).size());
  EXPECT_EQ(lint.out,
            at +
                "8: warning: the line copies into the application directory, but [Application] "
                "gives no ApplicationDir: the run installs nothing there and reports success "
                "[no-appdir]\n" +
                at + "8: error: copy line of 'Setup.inf' gives the size 1, the source has " +
                infSize +
                ": an interactive run asks message 5517 (Ignore/Cancel) and Cancel, its default, "
                "stops the installation (setup-lint --fill-sizes corrects it) [wrong-size]\n" +
                at +
                "9: warning: copy line of 'a.dll' gives no size: the space the product needs is "
                "computed without it (setup-lint --fill-sizes Setup.inf MEDIA_DIR writes it) "
                "[no-size]\n" +
                at +
                "10: warning: copy line of 'b.dll' gives the size 9, the source has 3000 "
                "(setup-lint --fill-sizes corrects it) [wrong-size]\n" +
                at +
                "12: warning: copy line of 'c.dll' gives no size: the space the product "
                "needs is computed without it (setup-lint --fill-sizes Setup.inf MEDIA_DIR "
                "writes it) [no-size]\n" +
                at +
                "13: error: source 'gone.dll' is not on the media, compressed or in the "
                "medium's cabinet (the engine asks for the medium at run time) "
                "[missing-source]\n" +
                at +
                "14: error: source 'lost.dll' is not in cabinet 'Data1.cab' (message 5560 "
                "at run time) [missing-source]\n");
  EXPECT_EQ(lint.nExit, 2);

  const ToolResult fill =
      RunTool("setup-lint", "--fill-sizes " + ShellQuote(inf) + " " + ShellQuote(media.Path()));
  EXPECT_NE(fill.out.find("setup-lint: 4 copy lines given their size\n"), std::string::npos)
      << fill.out;
  EXPECT_EQ(fill.out.find("[no-size]"), std::string::npos) << fill.out;
  const std::string filled = ReadHostFile(inf);
  const std::string self = std::to_string(filled.size());
  EXPECT_NE(filled.find(
                "[M]\r\n1:Setup.inf,%App%,," + self +
                "\r\n1:a.dll, %App%, , 5\r\n2:b.dll, %App%, NOSIZEWARNING, 3000\r\n; a comment\r\n"
                "1:c.dll, %App%, REGISTER, 777\r\n2:gone.dll, %App%, , 1\r\n"),
            std::string::npos)
      << filled;
  const ToolResult noMachine = RunTool("setup-lint", machine + ShellQuote(inf));
  EXPECT_EQ(noMachine.nExit, 2);
  EXPECT_EQ(noMachine.out, "setup-lint: '" + media.Path() +
                               "/machine' holds no machine (winmachine create DIR makes one)\n");
  ASSERT_EQ(RunTool("winmachine", "create " + ShellQuote(media.Path() + "/machine")).nExit, 0);
  const ToolResult again = RunTool(
      "setup-lint", "--fill-sizes " + machine + ShellQuote(inf) + " " + ShellQuote(media.Path()));
  EXPECT_NE(again.out.find("setup-lint: 0 copy lines given their size"), std::string::npos)
      << again.out;
  EXPECT_EQ(ReadHostFile(inf), filled);
  // [Application] SrcDir moves the source directory below the media, as in a run.
  media.WriteFile("disk1/Setup.inf", "");
  const std::string moved = media.WriteFile(
      "Moved.inf",
      "[Application]\r\nUninstallDisplayName=P\r\nSrcDir=disk1\r\n[Options]\r\nM=M\r\n[M]\r\n"
      "1:Setup.inf, , , 0\r\n1:a.dll, , , 1\r\n[Setup]\r\nVersion=4.10\r\n");
  EXPECT_EQ(RunTool("setup-lint", ShellQuote(moved) + " " + ShellQuote(media.Path())).out,
            moved +
                ":8: error: source 'a.dll' is not on the media, compressed or in the medium's "
                "cabinet (the engine asks for the medium at run time) [missing-source]\n");
  const ToolResult noMedia = RunTool("setup-lint", "--fill-sizes " + ShellQuote(inf));
  EXPECT_EQ(noMedia.nExit, 2);
  EXPECT_NE(noMedia.out.find("--fill-sizes needs the media folder"), std::string::npos)
      << noMedia.out;
  EXPECT_EQ(RunTool("setup-lint", ShellQuote(inf) + " " + ShellQuote(media.Path() + "/none")).nExit,
            2);
}

// Only the size fields change: a UTF-8 file keeps its byte-order mark and LF line ends, a quoted
// destination its comma, a line its trailing blank and the name after the size; the file's own line
// gets the size the file has afterwards. A UTF-16 file is refused and left as it was.
TEST(SetupLint, FillsSizesWithoutTouchingTheRestOfTheFile) {
  TempDir media;
  media.WriteFile("a.dll", "123");
  media.WriteFile("c.dll", "1234567");
  const std::string head =
      "\xEF\xBB\xBF[Setup]\nVersion=4.10\n[Application]\nUninstallDisplayName=P\n[Options]\nM=M\n"
      "[M]\n";
  const std::string inf = media.WriteFile(
      "Setup.inf", head + "1:Setup.inf\n1:a.dll, \"x,y\\\", , 0 \n1:c.dll,d\\,REGISTER,,Name\n");
  const ToolResult fill =
      RunTool("setup-lint", "--fill-sizes " + ShellQuote(inf) + " " + ShellQuote(media.Path()));
  EXPECT_EQ(fill.nExit, 0) << fill.out;
  const std::string filled = ReadHostFile(inf);
  EXPECT_EQ(filled, head + "1:Setup.inf, , , " + std::to_string(filled.size()) +
                        "\n1:a.dll, \"x,y\\\", , 3 \n1:c.dll,d\\,REGISTER,7,Name\n");

  std::string utf16 = "\xFF\xFE";
  for (const char c : head.substr(3) + "1:c.dll\n") utf16 += {c, '\0'};
  const std::string wide = media.WriteFile("Wide.inf", utf16);
  const ToolResult refused =
      RunTool("setup-lint", "--fill-sizes " + ShellQuote(wide) + " " + ShellQuote(media.Path()));
  EXPECT_EQ(refused.nExit, 2);
  EXPECT_NE(refused.out.find("does not rewrite UTF-16"), std::string::npos) << refused.out;
  EXPECT_EQ(ReadHostFile(wide), utf16);
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
