// Conditions and IF lines on a real temporary machine: the kinds of comparison, the precedence
// and short-circuit of "&" and "|", the faults inside a condition and those of the IF line itself;
// and the shared version comparison: the numeric parts from format version 14.10, the older
// partly textual order, part counts, and revisions.
// The text, number and variable functions through CallFunction, and assignments NAME=Function(...)
// through the engine's EvaluateAssignment with the script engine attached.
// The machine functions over files, disks, the registry, adapters, accounts, processes and the
// clipboard of a real temporary machine: each normal answer and each missing object's "0" or "".
// .NET Framework detection on a real machine whose registry and Windows directory are seeded the
// way the framework installers leave them: the version keys, the runtime directories, and the
// "Release" numbers that tell 4.5 to 4.8 apart.
// ReadXmlNode and ReadXmlText on XML files of a real machine: nodes and attributes selected by
// XPath, texts converted to ANSI, and the failure that shows 5501 and aborts the run.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "engine/evaluate_assignment.h"
#include "engine/inf_file.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "machine_function_call.h"
#include "script/call_function.h"
#include "script/condition_tree.h"
#include "script/evaluate_condition.h"
#include "script/group_membership.h"
#include "script/if_line.h"
#include "script/version_compare.h"
#include "script_test_run.h"
#include "support/test_data.h"
#include "support/test_machine.h"

namespace tarvium {
namespace {

struct ConditionsTest : ::testing::Test, test::ScriptTestRun {};

// Every operator over pairs whose order is known, so that each kind of comparison is tried with
// equal sides as well as both unequal orders.
TEST_F(ConditionsTest, OperatorsOverOrderedPairsOfEveryKindAndComparisonsAsWritten) {
  run.ctx.nFormatVersion = 0x1410;
  struct Pair {
    const char* a;
    const char* b;
    int nOrder;
  };
  // clang-format off
  const Pair pairs[] = {
      // integers, versions, plain text
      {"5", "5", 0}, {"10", "9", 1}, {"-5", "3", -1}, {"5.0", "5.0", 0}, {"1.10", "1.9", 1},
      {"5.0", "5.1", -1}, {"abc", "ABC", 0}, {"abd", "abc", 1}, {"", "", 0}, {"", "0", -1},
      {"x", "", 1},
      // Windows collation: punctuation and symbols before digits before letters, accents only
      // between otherwise equal texts, hyphen and apostrophe passed over (word sort), and the
      // orders Windows' own comparison gives for ASCII punctuation.
      {"\xC4pfel", "Birne", -1}, {"_a", "ab", -1}, {"~", "0", -1}, {"9z", "a", -1},
      {"\xC4pfel", "Apfel", 1}, {"\xC4pfel", "Apfelb", -1}, {"\xE4PFEL", "\xC4pfel", 0},
      {"\xE9t\xE9", "ETE", 1}, {"Stra\xDF" "e", "STRASSE", 0}, {"co-op", "cook", 1},
      {"coop", "co-op", -1}, {"it's", "its", 1}, {"'o", "-o", -1}, {"-o", "/m", 1}, {"a-", "a", 1},
      {"#", ".", -1}, {"_", ".", 1}, {"EndDialog", "_Property", 1}, {"+", "~", 1},
      {"r", "\\", 1}};
  // clang-format on
  const struct {
    const char* szOperator;
    bool (*holds)(int);
  } operators[] = {{"=", [](int n) { return n == 0; }},  {"<>", [](int n) { return n != 0; }},
                   {">", [](int n) { return n > 0; }},   {"<", [](int n) { return n < 0; }},
                   {">=", [](int n) { return n >= 0; }}, {"<=", [](int n) { return n <= 0; }}};
  for (const Pair& pair : pairs) {
    for (const auto& op : operators) {
      const std::string text =
          std::string("\"") + pair.a + "\" " + op.szOperator + " \"" + pair.b + "\"";
      EXPECT_EQ(EvaluateCondition(run, text), op.holds(pair.nOrder)) << text;
    }
  }
  EXPECT_TRUE(run.shownMessages.empty());

  // Comparisons as written: variables, functions, groups and the older files' versions.
  ASSERT_TRUE(SetVariable(run, "NEG", "-5"));
  ASSERT_TRUE(SetVariable(run, "DASH", "-"));
  for (const char* text : {"10 > 9", "1.10 > 1.9", "abc = ABC", "%NEG% < 3", "%DASH% = 0",
                           "\"a b\" == \"A B\"", "2 <> 3", "10 != 9a", "1.2 < 1.2.0", "x <= x",
                           "b >= a", "Len(abcd) = 4", "Left(abc,2)==ab", "Nofunc(1) = nofunc(1)"})
    EXPECT_TRUE(EvaluateCondition(run, text)) << text;
  for (const char* text : {"9 > 10", "abc = abd", "%NEG% > 3", "2147483648 < 2147483647",
                           "%USER% inglobalgroup Admins", "%USER% INLOCALGROUP Users"})
    EXPECT_FALSE(EvaluateCondition(run, text)) << text;
  run.ctx.nFormatVersion = 0x1409;  // older files: later parts compare as text
  EXPECT_TRUE(EvaluateCondition(run, "1.10 < 1.9"));
  EXPECT_TRUE(EvaluateCondition(run, "10.0 > 9.0"));
  EXPECT_TRUE(run.shownMessages.empty());
}

TEST_F(ConditionsTest, OperandsMayStartWithAnyAnsiLetter) {
  ASSERT_TRUE(SetVariable(run, "WORD", "\xE4rger"));
  for (const char* text : {"\xC4rger = %WORD%", "\xD8l > Ol",
                           "\xDF"
                           "e = SSe",
                           "\x8A"
                           "a < Sb"})
    EXPECT_TRUE(EvaluateCondition(run, text)) << text;
  EXPECT_FALSE(EvaluateCondition(run, "\xC4rger = x"));
  EXPECT_TRUE(run.shownMessages.empty());
  EXPECT_TRUE(EvaluateCondition(run, "\xD7 = x"));  // the multiplication sign is no letter
  EXPECT_EQ(Messages(), (std::vector<int>{5528}));
}

TEST_F(ConditionsTest, PrecedenceShortCircuitAndFaultsInsideACondition) {
  for (const char* text : {"!(1=1) | 2=2", "1=1 & 2=3 | 3=3", "1=2 | 2=2 & 3=3", "!1=2",
                           "((1=1) & !(2=3))", "(1=2 | (2=2)) & 3=3", ""})
    EXPECT_TRUE(EvaluateCondition(run, text)) << text;
  for (const char* text : {"1=1 & 2=3", "1=2 & 2=2 | 3=3", "!(1=1 | 2=3)"})
    EXPECT_FALSE(EvaluateCondition(run, text)) << text;

  ASSERT_TRUE(SetVariable(run, "L", "a;b"));
  EXPECT_FALSE(EvaluateCondition(run, "1=2 & Tokenize(L,;)=2"));
  EXPECT_TRUE(EvaluateCondition(run, "1=1 | Tokenize(L,;)=2"));
  EXPECT_EQ(LookupVariable(run, "L1"), "");  // neither branch was evaluated
  EXPECT_TRUE(EvaluateCondition(run, "1=1 & Tokenize(L,;)=2"));
  EXPECT_EQ(LookupVariable(run, "L2"), "b");
  EXPECT_TRUE(run.shownMessages.empty());

  // A node that is no comparison is dropped: alone the condition is true, after "&" the
  // continuation is missing; an unknown operator makes its comparison true.
  EXPECT_TRUE(EvaluateCondition(run, "-5 < 3"));
  EXPECT_FALSE(EvaluateCondition(run, "1=2 & #junk"));
  EXPECT_TRUE(EvaluateCondition(run, "1 ~ 2"));
  EXPECT_FALSE(EvaluateCondition(run, "1 =< 2 & 1=2"));
  EXPECT_EQ(Messages(), (std::vector<int>{5528, 5528, 5528, 5528}));
  EXPECT_EQ(std::get<std::string>(run.shownMessages[0].args[0]), "-5 < 3");

  const ParsedCondition deep =
      ParseCondition(std::string(500, '(') + "1=1" + std::string(500, ')'));
  EXPECT_EQ(deep.faults.size(), 1u);
  const ParsedCondition unclosed = ParseCondition("(1=1 & Len(ab = 2");
  ASSERT_EQ(unclosed.chain.size(), 1u);
  EXPECT_EQ(unclosed.chain[0].group[1].comparison.left, "Len(ab = 2");
}

TEST_F(ConditionsTest, IfLinesChooseRunOrMeasureTheirCommand) {
  ASSERT_TRUE(SetVariable(run, "LANG", "DE"));
  EXPECT_TRUE(ExecuteIf(run, "IF 1=1 THEN Beep", false));
  EXPECT_TRUE(ExecuteIf(run, "IF 1=2 THEN Beep", false));
  EXPECT_TRUE(ExecuteIf(run, "  if 1=2 then Beep else Echo", false));
  EXPECT_TRUE(ExecuteIf(run, "IF 1=1 THEN Beep ENDIF", false));
  EXPECT_TRUE(ExecuteIf(run, "IF %LANG%==de THEN 'Copy a.txt b.txt' ELSE \"Echo %LANG%\"", false));
  EXPECT_TRUE(ExecuteIf(run, "IF %LANG%==en THEN 'Copy a.txt b.txt' ELSE \"Echo %LANG%\"", false));
  EXPECT_FALSE(ExecuteIf(run, "IF 1=1 THEN Stop", false));
  EXPECT_EQ(processed, (std::vector<std::string>{"Beep", "Echo", "Beep", "Copy a.txt b.txt",
                                                 "Echo DE", "Stop"}));
  EXPECT_TRUE(run.shownMessages.empty());

  int64_t nBytes = 0;
  EXPECT_TRUE(ExecuteIf(run, "IF 1=2 THEN Beep ELSE 'Echo two'", true, &nBytes));
  EXPECT_EQ(nBytes, 8);  // measured, not run
  EXPECT_EQ(processed.size(), 6u);

  for (const char* line : {"IF 1=1 THEN Beep ELSE", "Beep", "IF 1=1 Beep", "IF 1=1 THEN",
                           "IF 1=1 THEN Beep OTHER Echo", "IF 1=1 THEN Beep ELSE 'Echo'x y"}) {
    EXPECT_TRUE(ExecuteIf(run, line, true, &nBytes)) << line;  // sized first: no message yet
    EXPECT_TRUE(ExecuteIf(run, line, false)) << line;
  }
  EXPECT_EQ(processed.size(), 7u);                     // only the last line was valid
  EXPECT_EQ(Messages(), (std::vector<int>(5, 5528)));  // each once
  EXPECT_EQ(std::get<std::string>(run.shownMessages[0].args[0]), "IF 1=1 THEN Beep ELSE");
}

TEST(VersionCompare, PartsByFormatVersionAndRevisions) {
  constexpr uint32_t kNew = 0x1410;
  constexpr uint32_t kOld = 0x1409;
  EXPECT_GT(CompareVersions("1.10", "1.9", kNew), 0);
  EXPECT_LT(CompareVersions("1.10", "1.9", kOld), 0);
  EXPECT_GT(CompareVersions("10.1", "9.1", kOld), 0);  // the first part is a number
  EXPECT_EQ(CompareVersions("01.2", "1.2", kOld), 0);
  EXPECT_LT(CompareVersions("1.2", "1.2.0", kNew), 0);   // a missing part is lower
  EXPECT_EQ(CompareVersions("1..3", "1.0.3", kNew), 0);  // an empty part is the number 0
  EXPECT_GT(CompareVersions("1.b", "1.A", kNew), 0);     // text without regard to case
  EXPECT_EQ(CompareVersions("2.RC", "2.rc", kNew), 0);
  EXPECT_GT(CompareVersions("1.99999999999999999999", "1.4294967296", kNew), 0);
  // Ten parts at most: an eleventh does not count.
  EXPECT_EQ(CompareVersions("1.1.1.1.1.1.1.1.1.1.5", "1.1.1.1.1.1.1.1.1.1.4", kNew), 0);

  EXPECT_GT(CompareVersions("1.2", "1.2", kNew, "10", "9"), 0);
  // Revision "0" is none, on either side and on both.
  for (const auto& [a, b] : {std::pair{"0", ""}, {"", "0"}, {"0", "0"}, {"", ""}})
    EXPECT_EQ(CompareVersions("1.2", "1.2", kNew, a, b), 0) << a << " against " << b;
  EXPECT_GT(CompareVersions("1.2", "1.2", kNew, "1", "0"), 0);
  EXPECT_LT(CompareVersions("1.2", "1.2", kNew, "0", "1"), 0);
  EXPECT_LT(CompareVersions("1.2", "1.2", kNew, "", "1"), 0);
  EXPECT_LT(CompareVersions("1.2", "1.2", kNew, "a", "B"), 0);
  EXPECT_GT(CompareVersions("1.3", "1.2", kNew, "", "99"), 0);  // versions decide first
}

struct TextFunctionsTest : ::testing::Test, test::ScriptTestRun {
  std::string Call(std::string_view name, std::string_view args) {
    std::string result = "untouched";
    EXPECT_TRUE(CallFunction(run, name, args, result)) << name << args;
    return result;
  }
};

TEST_F(TextFunctionsTest, TextAndNumberFunctions) {
  struct Case {
    const char *name, *args, *expected;
  };
  const Case cases[] = {
      {"Left", "(abc,5)", "abc"},
      {"left", "(abc,2)", "ab"},
      {"Right", "(abcdef,2)", "ef"},
      {"Mid", "(abcdef,2,10)", "cdef"},
      {"Mid", "(abc,7,1)", ""},
      // Counts exactly at the ends of the text.
      {"Left", "(abc,3)", "abc"},
      {"Left", "(abc,0)", ""},
      {"Right", "(abc,3)", "abc"},
      {"Right", "(abc,0)", ""},
      {"Mid", "(abc,0,3)", "abc"},
      {"Mid", "(abc,2,1)", "c"},
      {"Mid", "(abc,3,1)", ""},
      {"RemoveFromLeft", "(abc,3)", ""},
      {"RemoveFromLeft", "(abc,0)", "abc"},
      {"RemoveFromRight", "(abc,3)", ""},
      {"Len", "(abc)", "3"},
      {"BitXOr", "(-1,2147483647)", "-2147483648"},
      {"RemoveFromLeft", "(abc,1)", "bc"},
      {"RemoveFromRight", "(abc,5)", ""},
      {"RemoveFromRight", "(abc,-1)", "abc"},
      {"Len", "()", "0"},
      {"LEN", "('a, b')", "4"},
      {"Lowercase", "(\304BC\311)", "\344bc\351"},
      {"Uppercase", "(stra\337e\234)", "STRA\337E\214"},
      {"BitAnd", "(12,10)", "8"},
      {"BitOr", "(12,10)", "14"},
      {"BitXOr", "(12,10)", "6"},
      {"BitOr", "(-2147483648,1)", "-2147483647"},
      {"StringToHex", "(AB,0)", "41,42,00"},
      {"StringToHex", "(AB,1)", "41,00,42,00,00,00"},
      {"HexToString", "(\"41,42\",0)", "AB"},
      {"HexToString", "(\"41,00,e4,00,00,00,43,00\",1)", "A\xE4"},
      {"HexToString", "('41, zz,42',0)", "A"},
  };
  for (const Case& c : cases) EXPECT_EQ(Call(c.name, c.args), c.expected) << c.name << c.args;

  std::string result = "kept";
  EXPECT_FALSE(CallFunction(run, "NoSuchFunction", "(1)", result));
  EXPECT_EQ(result, "kept");
  EXPECT_EQ(Call("Left", "(" + std::string(70000, 'x') + ",70000)").size(), kFunctionResultMax);
}

TEST_F(TextFunctionsTest, TokenizeSetsNumberedVariablesAndReadTextFileDecodes) {
  ASSERT_TRUE(SetVariable(run, "LIST", "a;b;;c"));
  EXPECT_EQ(Call("Tokenize", "(LIST,;)"), "3");
  EXPECT_EQ(
      LookupVariable(run, "LIST1") + LookupVariable(run, "LIST2") + LookupVariable(run, "LIST3"),
      "abc");
  ASSERT_TRUE(SetVariable(run, "CSV", "x, 'y,z' ,,w"));
  EXPECT_EQ(Call("Tokenize", "(csv)"), "4");  // default ",", quotes group, the empty piece counts
  EXPECT_EQ(LookupVariable(run, "CSV2"), "y,z");
  EXPECT_EQ(LookupVariable(run, "CSV4"), "w");
  ASSERT_TRUE(SetVariable(run, "PATHS", " ;; C:\\a ; "));
  EXPECT_EQ(Call("Tokenize", "(PATHS,'; ')"), "1");
  EXPECT_EQ(LookupVariable(run, "PATHS1"), "C:\\a");
  EXPECT_EQ(Call("Tokenize", "(EMPTYVAR,;)"), "0");
  EXPECT_EQ(Call("Tokenize", "()"), "0");

  // ReadTextFile decodes the file; a missing one is empty.
  const std::string utf8 = "\xEF\xBB\xBFgr\xC3\xBC\xC3\x9F\r\nzwei";
  ASSERT_EQ(run.machine.Files().WriteWholeFile("C:\\t.txt", utf8), 0u);
  EXPECT_EQ(Call("ReadTextFile", "(C:\\t.txt)"), "gr\xFC\xDF\r\nzwei");
  EXPECT_EQ(Call("ReadTextFile", "(C:\\missing.txt)"), "");
  EXPECT_EQ(Call("ReadTextFile", "()"), "");
}

TEST_F(TextFunctionsTest, AssignmentsCallFunctionsOrKeepTheirValue) {
  const std::pair<const char*, const char*> cases[] = {
      {"short = Left(abcdef,3)", "SHORT=abc"},
      {"Dir=C:\\Program Files (x86)\\App", "DIR=C:\\Program Files (x86)\\App"},
      {"p=(a,b)", "P=(a,b)"},
      {"s=*Left(abc,1)", "S=*Left(abc,1)"},
      {"plain=text", "PLAIN=text"},
      {"X=a)b(c", "X=a)b(c"},  // a ')' before the '(' names no function: no fault
      {"v=Left)(abc", "V=Left)(abc"},
      {"n=Len()", "N=0"},
      {"e=", "E="},
  };
  for (const auto& [line, expected] : cases) {
    std::string text = line;
    EXPECT_TRUE(EvaluateAssignment(run, text)) << line;
    EXPECT_EQ(text, expected);
  }
  for (const char* line : {"Bad=Name(1", "Bad= (1)x", "Bad=Len((abc"}) {
    std::string text = line;
    EXPECT_FALSE(EvaluateAssignment(run, text)) << line;
  }
  EXPECT_EQ(Messages(), (std::vector<int>(3, 5528)));

  const std::string inf = "[Strings]\nLen3=Len(%Three%)\nBad=Name(1\n";
  InfFile file(std::vector<char>(inf.begin(), inf.end()));
  file.BuildSectionIndex();
  ASSERT_TRUE(SetVariable(run, "Three", "abc"));
  EXPECT_TRUE(LoadVariableSection(run, file, "Strings", false, false));
  EXPECT_EQ(LookupVariable(run, "LEN3"), "3");
  EXPECT_EQ(LookupVariable(run, "BAD"), "");
  EXPECT_EQ(Messages(), (std::vector<int>(4, 5528)));
}

using platform::RegRoot;
using platform::RegView;
using test::CallMachineFunction;
using test::TestMachine;

struct Case {
  const char* function;
  const char* args;
  const char* expected;
};

void ExpectCalls(SetupRun& run, std::initializer_list<Case> cases) {
  for (const Case& c : cases)
    EXPECT_EQ(CallMachineFunction(run, c.function, c.args), c.expected)
        << c.function << "(" << c.args << ")";
}

TEST(MachineFunctions, FilesPathsRegistryKeysAndUninstallKeyNames) {
  TestMachine test;
  SetupRun run(test.Machine());
  test.WriteFile("C:\\Data\\readme.TXT", "Hello W\xF6rld");
  test.WriteFile("C:\\Data\\big.bin", "12345");
  test.WriteFile("C:\\Data\\Sub\\app.exe", test::ReadTestData("pe/english64.exe"));
  ExpectCalls(run, {
                       {"DoesFileExist", "C:\\Data\\*.txt", "1"},
                       {"DoesFileExist", "c:\\data\\README.txt", "1"},
                       {"DoesFileExist", "C:\\Data\\Sub", "1"},
                       {"DoesFileExist", "C:\\Data\\*.doc", "0"},
                       {"DoesFileExist", "C:\\Nowhere\\*", "0"},
                       {"DoesFileExist", "", "0"},
                       {"DoesPathExist", "C:\\Data\\Sub", "1"},
                       {"DoesPathExist", "\"C:\\Data\\readme.txt\"", "1"},
                       {"DoesPathExist", "C:\\Data\\none", "0"},
                       {"DoesTextInFileExist", "w\xD6RLD,C:\\Data\\readme.txt", "1"},
                       {"DoesTextInFileExist", "'o, W',C:\\Data\\readme.txt", "0"},
                       {"DoesTextInFileExist", "'o W',C:\\Data\\readme.txt", "1"},
                       {"DoesTextInFileExist", "absent,C:\\Data\\readme.txt", "0"},
                       {"DoesTextInFileExist", "Hello,C:\\Data\\missing.txt", "0"},
                       {"DoesTextInFileExist", "Hello,C:\\Data\\Sub", "0"},
                       // the first file, past ".", ".." and directories; directories alone: 0
                       {"FileSize", "C:\\Data\\*", "5"},
                       {"FileSize", "C:\\Data\\readme.txt", "11"},
                       {"FileSize", "C:\\Data\\Sub", "0"},
                       {"FileSize", "C:\\Data\\*.doc", "0"},
                       {"FileVersion", "C:\\Data\\Sub\\APP.exe", "2.3.40.500"},
                       {"FileVersion", "C:\\Data\\readme.txt", ""},
                       {"FileVersion", "C:\\Data\\missing.exe", ""},
                   });

  platform::Registry& reg = test.Machine().Reg();
  test.SetRegString(RegRoot::LocalMachine, "Software\\Tarvium\\Test", "Name", "x");
  test.SetRegString(RegRoot::LocalMachine, "Software\\Tarvium\\Odd:", "V", "x");
  ASSERT_EQ(reg.CreateKey(RegRoot::LocalMachine, "Software\\Classes\\.tvm"), 0u);
  ASSERT_EQ(reg.CreateKey(RegRoot::LocalMachine, "Software\\Tarvium\\A,B"), 0u);
  ASSERT_EQ(
      reg.CreateKey(RegRoot::LocalMachine, "Software\\Tarvium\\Only32", false, RegView::View32),
      0u);
  ExpectCalls(run, {
                       {"DoesRegKeyExist", "HKLM\\Software\\Tarvium\\Test", "1"},
                       {"DoesRegKeyExist", "HKEY_LOCAL_MACHINE\\SOFTWARE\\tarvium\\test:Name", "1"},
                       {"DoesRegKeyExist", "HKLM\\Software\\Tarvium\\Test:Missing", "0"},
                       // an empty value name: the missing default value counts as present
                       {"DoesRegKeyExist", "HKLM\\Software\\Tarvium\\Test:", "1"},
                       {"DoesRegKeyExist", "HKLM\\Software\\Tarvium\\Nope:", "0"},
                       {"DoesRegKeyExist", "HKLM\\Software\\Tarvium\\Odd::V", "1"},
                       {"DoesRegKeyExist", "HKLM\\Software\\Tarvium\\A,B", "1"},
                       {"DoesRegKeyExist", "HKLM\\Software\\Tarvium\\A,C", "0"},
                       {"DoesRegKeyExist", "HKLM,Software\\Tarvium\\Test,Name", "1"},
                       {"DoesRegKeyExist", "HKLM, Software\\Tarvium\\Test, Missing", "0"},
                       {"DoesRegKeyExist", "hkey_local_machine,Software\\Tarvium\\Test", "1"},
                       {"DoesRegKeyExist", "HKLM,Software\\Tarvium\\Test,\"\"", "1"},
                       {"DoesRegKeyExist", "HKLM,Software\\Tarvium\\Nope,Name", "0"},
                       {"DoesRegKeyExist", "\"HKLM\\Software\\Tarvium\\Test:Name\"", "1"},
                       {"DoesRegKeyExist", "HKCU\\Environment:TEMP", "1"},
                       {"DoesRegKeyExist", "HKEY_CURRENT_USER\\Environment:NOPE", "0"},
                       {"DoesRegKeyExist", "HKU\\.DEFAULT", "1"},
                       {"DoesRegKeyExist", "HKEY_USERS\\.DEFAULT", "1"},
                       {"DoesRegKeyExist", "HKCR\\.tvm", "1"},
                       {"DoesRegKeyExist", "HKEY_CLASSES_ROOT\\.none", "0"},
                       {"DoesRegKeyExist", "HKCC", "1"},
                       {"DoesRegKeyExist", "HKEY_CURRENT_CONFIG\\Nope", "0"},
                       {"DoesRegKeyExist", "HKPD\\Software", "0"},
                       {"DoesRegKeyExist", "HKEY_PERFORMANCE_DATA,Software", "0"},
                       {"DoesRegKeyExist", "HKDD\\Software", "0"},
                       {"DoesRegKeyExist", "HKEY_DYN_DATA\\Software", "0"},
                       {"DoesRegKeyExist", "HKXX\\Software", "0"},
                       {"DoesRegKeyExist", "Software\\Tarvium\\Test", "0"},
                       {"DoesRegKeyExist", "", "0"},
                       // the engine's view is the 64-bit one; the 32-bit half by its own path
                       {"DoesRegKeyExist", "HKLM\\Software\\Tarvium\\Only32", "0"},
                       {"DoesRegKeyExist", "HKLM\\Software\\WOW6432Node\\Tarvium\\Only32", "1"},
                   });

  // With a setup-service user, the current user's root is that user's hive.
  ASSERT_EQ(reg.CreateKey(RegRoot::Users, "S-1-5-21-7-7-7-1001\\Software\\Theirs"), 0u);
  EXPECT_EQ(CallMachineFunction(run, "DoesRegKeyExist", "HKCU\\Software\\Theirs"), "0");
  run.variables.userHiveSid = "S-1-5-21-7-7-7-1001";
  EXPECT_EQ(CallMachineFunction(run, "DoesRegKeyExist", "HKCU\\Software\\Theirs"), "1");
  EXPECT_EQ(CallMachineFunction(run, "DoesRegKeyExist", "HKCU,Software\\Theirs"), "1");

  const std::string uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
  auto addProduct = [&](const std::string& key, const std::string& name, RegView view) {
    platform::RegValue value{platform::REG_SZ, {name.begin(), name.end()}};
    value.data.push_back(0);
    ASSERT_EQ(reg.CreateKey(RegRoot::LocalMachine, uninstall + key, false, view), 0u);
    ASSERT_EQ(reg.SetValue(RegRoot::LocalMachine, uninstall + key, "DisplayName", value, view), 0u);
  };
  addProduct("{A64}", "Tarvium Demo", RegView::View64);
  addProduct("{B32}", "Tarvium Demo 32", RegView::View32);
  addProduct("{C32}", "Tarvium Demo", RegView::View32);
  ASSERT_EQ(reg.CreateKey(RegRoot::LocalMachine, uninstall + "NoName"), 0u);
  ExpectCalls(run, {
                       {"GetUninstallKeyName", "Tarvium Demo", "{A64}"},
                       {"GetUninstallKeyName", "tarvium demo,x64", "{A64}"},
                       {"GetUninstallKeyName", "Tarvium Demo,x86", "{C32}"},
                       {"GetUninstallKeyName", "Tarvium Demo 32,X86", "{B32}"},
                       {"GetUninstallKeyName", "Tarvium Demo 32,x64", ""},
                       {"GetUninstallKeyName", "Nothing", ""},
                       {"GetUninstallKeyName", "", ""},
                   });
  const auto logged = [&](const std::string& text) {
    return std::any_of(run.debugLines.begin(), run.debugLines.end(), [&](const std::string& line) {
      return line.find(text) != std::string::npos;
    });
  };
  EXPECT_TRUE(logged("GetUninstallKeyName: Looking for DisplayName 'Nothing'"));
  EXPECT_TRUE(logged("GetUninstallKeyName: No value for DisplayName given"));

  // A 32-bit Windows has one view: the architecture chooses nothing.
  auto machine32 = test.OpenReconfigured([](auto& config) { config.b64Bit = false; });
  SetupRun run32(*machine32);
  ExpectCalls(run32, {{"GetUninstallKeyName", "Tarvium Demo,x86", "{A64}"},
                      {"GetUninstallKeyName", "Tarvium Demo 32,x86", ""}});
}

TEST(MachineFunctions, DiskFreeSpaceOfDrivesAndShares) {
  TestMachine test;
  auto machine = test.OpenReconfigured([&](auto& config) {
    config.shares.push_back({"srv", "pub", "drive_c", false});
  });
  SetupRun run(*machine);
  for (const char* where : {"C:", "C:\\Windows\\System32", "c:\\no\\such\\dir", "relative\\dir",
                            "\\\\srv\\pub\\Windows", "\\\\srv\\pub"}) {
    const std::string bytes = CallMachineFunction(run, "GetDiskFreeSpace", where);
    const std::string kb = CallMachineFunction(run, "GetDiskFreeSpaceKB", where);
    EXPECT_GT(std::stoll(bytes), 0) << where;
    EXPECT_LE(std::stoll(bytes), 2147483647) << where;
    EXPECT_GT(std::stoll(kb), 0) << where;
  }
  ExpectCalls(run, {{"GetDiskFreeSpace", "Q:\\", "0"},
                    {"GetDiskFreeSpaceKB", "\\\\other\\share\\x", "0"},
                    {"GetDiskFreeSpace", "\\\\srv", "0"}});
  machine->EmulatedFiles().SetFaultPlan({.bDiskFull = true});
  ExpectCalls(run, {{"GetDiskFreeSpace", "C:\\", "0"}, {"GetDiskFreeSpaceKB", "C:", "0"}});
}

TEST(MachineFunctions, AdaptersDomainProcessesClipboardAndGroups) {
  TestMachine test;
  SetupRun run(test.Machine());
  ExpectCalls(run, {
                       {"GetIP", "", "192.168.56.10"},
                       {"GetNIC", "0", "00155D4A1001"},
                       {"GetNIC", "", "00155D4A1001"},
                       {"GetNIC", "1", "0015"},
                       {"GetNIC", "2", "5D4A1001"},
                       {"GetNICs", "", "00155D4A1001"},
                       {"GetDCName", "", ""},
                       {"GetDCName", "WORKGROUP", ""},
                   });

  auto domainMachine = test.OpenReconfigured([](auto& config) {
    config.szDomain = "CORP";
    config.szDomainController = "DC01";
    config.adapters = {{"Wifi", "", "a0-b1-c2-d3-e4-f5", "", "", "", true},
                       {"Lan", "", "00:11:22:33:44:55", "10.1.2.3", "", "", false}};
  });
  SetupRun domainRun(*domainMachine);
  ExpectCalls(domainRun, {
                             {"GetIP", "", "10.1.2.3"},  // the first adapter has no address
                             {"GetNIC", "0", "A0B1C2D3E4F5"},
                             {"GetNICs", "", "A0B1C2D3E4F5,001122334455"},
                             {"GetDCName", "", "\\\\DC01"},
                             {"GetDCName", "corp", "\\\\DC01"},
                             {"GetDCName", "OTHER", ""},
                         });

  auto offlineMachine = test.OpenReconfigured([](auto& config) {
    config.adapters = {{"Lan", "", "00-11-22-33-44-55", "", "", "", true}};
  });
  SetupRun offlineRun(*offlineMachine);
  ExpectCalls(offlineRun, {{"GetIP", "", ""}, {"GetNIC", "2", "22334455"}});

  // A program of the machine whose module base name ends in ".exe": a shell script that waits.
  // A command after the sleep keeps the shell from replacing itself with "sleep".
  test.WriteScript("C:\\Tools\\waiter.exe", "sleep 20\nexit 0");
  platform::ProcessHandle hProcess{};
  ASSERT_EQ(test.Machine().Programs().CreateProcess({"C:\\Tools\\waiter.exe"}, hProcess), 0u);
  // The child shows its own name only once it has started the script; wait for that (bounded).
  for (int i = 0; i < 500 && CallMachineFunction(run, "DoesProcessExist", "waiter.exe") != "1"; ++i)
    test.Machine().Time().Sleep(10);
  // The base name must match whole: neither side may leave out ".exe".
  ExpectCalls(run, {
                       {"DoesProcessExist", "script_tests", "1"},  // this test program
                       {"DoesProcessExist", "SCRIPT_TESTS", "1"},
                       {"DoesProcessExist", "script_tests.exe", "0"},
                       {"DoesProcessExist", "waiter.exe", "1"},
                       {"DoesProcessExist", "WAITER.EXE", "1"},
                       {"DoesProcessExist", "waiter", "0"},
                       {"DoesProcessExist", "waiter.ex", "0"},
                       {"DoesProcessExist", "no-such-program-runs", "0"},
                       {"DoesProcessExist", "", "0"},
                       {"GetClipboardText", "", ""},
                   });
  EXPECT_EQ(test.Machine().Programs().TerminateProcess(hProcess, 1), 0u);
  EXPECT_EQ(test.Machine().Programs().CloseProcess(hProcess), 0u);
  EXPECT_EQ(CallMachineFunction(run, "DoesProcessExist", "waiter.exe"), "0");
  ASSERT_EQ(test.Machine().Clip().SetClipboardText("copied, with a comma"), 0u);
  EXPECT_EQ(CallMachineFunction(run, "GetClipboardText", ""), "copied, with a comma");

  // Group membership of local and global groups, of this and of other servers.
  auto& accounts = test.Machine().EmulatedUsers();
  ASSERT_EQ(accounts.AddGlobalGroupMember("Sales", "CORP\\jdoe"), 0u);
  ASSERT_EQ(accounts.AddUser({"helper", "pw"}), 0u);
  ASSERT_EQ(accounts.AddLocalGroupMember("Backup Operators", "helper"), 0u);
  EXPECT_TRUE(IsGroupMember(run, "User", "Administrators", false));
  EXPECT_TRUE(IsGroupMember(run, "user", "ADMINISTRATORS", false));
  EXPECT_TRUE(IsGroupMember(run, "HELPER", "Backup Operators", false));
  EXPECT_TRUE(IsGroupMember(run, "nt authority\\interactive", "Users", false));
  EXPECT_FALSE(IsGroupMember(run, "Guest", "Administrators", false));
  EXPECT_FALSE(IsGroupMember(run, "User", "No Such Group", false));
  EXPECT_FALSE(IsGroupMember(run, "User", "Sales", false));  // a global group, asked as local

  EXPECT_TRUE(IsGroupMember(run, "corp\\JDOE", "Sales", true));
  EXPECT_TRUE(IsGroupMember(run, "CORP\\jdoe", "\\\\TARVIUM-PC\\Sales", true));
  EXPECT_FALSE(IsGroupMember(run, "CORP\\jdoe", "\\\\ELSEWHERE\\Sales", true));
  EXPECT_FALSE(IsGroupMember(run, "CORP\\jdoe", "\\\\TARVIUM-PC", true));
  EXPECT_FALSE(IsGroupMember(run, "jdoe", "Sales", true));
  EXPECT_FALSE(IsGroupMember(run, "User", "Administrators", true));

  // The same questions as conditions ask them, the operators in any case.
  EXPECT_TRUE(EvaluateCondition(run, "User INLOCALGROUP Administrators & 1=1"));
  EXPECT_TRUE(EvaluateCondition(run, "CORP\\jdoe inGlobalGroup \"Sales\""));
  EXPECT_FALSE(EvaluateCondition(run, "Guest inlocalgroup Administrators"));
}

const std::string kNdp = "Software\\Microsoft\\NET Framework Setup\\NDP\\";

class DotNetMachine {
 public:
  DotNetMachine() : run(test.Machine()) {}

  void Dword(const std::string& key, const char* name, uint32_t dw) {
    platform::RegValue value{platform::REG_DWORD,
                             {static_cast<uint8_t>(dw), static_cast<uint8_t>(dw >> 8),
                              static_cast<uint8_t>(dw >> 16), static_cast<uint8_t>(dw >> 24)}};
    ASSERT_EQ(test.Machine().Reg().CreateKey(RegRoot::LocalMachine, kNdp + key), 0u);
    ASSERT_EQ(test.Machine().Reg().SetValue(RegRoot::LocalMachine, kNdp + key, name, value), 0u);
  }
  void Text(const std::string& key, const char* name, const std::string& text) {
    test.SetRegString(RegRoot::LocalMachine, kNdp + key, name, text);
  }
  void Runtime(const std::string& framework, const std::string& dir) {
    ASSERT_EQ(test.Machine().Files().CreateDirectoryTree("C:\\Windows\\Microsoft.NET\\" +
                                                         framework + "\\" + dir),
              0u);
  }
  // "available/level" of each name, for one comparison per state.
  std::string States(std::initializer_list<const char*> names) {
    std::string states;
    for (const char* name : names)
      states += std::string(name) + "=" +
                CallMachineFunction(run, "IsDotNetVersionAvailable", name) + "/" +
                CallMachineFunction(run, "GetDotNetPatchLevel", name) + " ";
    return states;
  }

  test::TestMachine test;
  SetupRun run;
};

TEST(DotNetFunctions, OlderVersionsNeedTheirKeysVersionsAndRuntimesAndOneZeroItsPolicy) {
  DotNetMachine m;
  EXPECT_EQ(m.States({"2.0", "3.0", "3.5", "9.9", ""}),
            "2.0=0/-1 3.0=0/-1 3.5=0/-1 9.9=0/-1 =0/-1 ");

  m.Dword("v2.0.50727", "Install", 1);
  m.Dword("v2.0.50727", "SP", 2);
  EXPECT_EQ(m.States({"2.0"}), "2.0=0/-1 ");  // no runtime directory yet
  m.Runtime("Framework", "v2.0.50727");
  m.Dword("v3.0\\Setup", "InstallSuccess", 1);
  m.Text("v3.0\\Setup", "Version", "3.0.4506.25");  // one below the minimum
  m.Dword("v3.0", "SP", 1);
  m.Dword("v3.5", "Install", 1);
  m.Text("v3.5", "Version", "3.5.30729.4926");
  EXPECT_EQ(m.States({"2.0", "3.0", "3.5", "1.1"}), "2.0=1/2 3.0=0/-1 3.5=0/-1 1.1=0/-1 ");

  m.Text("v3.0\\Setup", "Version", "3.0.4506.648");
  EXPECT_EQ(m.States({"3.0", "3.5", "3.5 Full"}), "3.0=1/1 3.5=1/0 3.5 Full=0/-1 ");
  m.Runtime("Framework64", "v1.1.4322");
  m.Dword("v1.1.4322", "SP", 1);
  EXPECT_EQ(m.States({"1.1"}), "1.1=1/1 ");

  // Version 1.0 reads its policy and active setup keys.
  m.test.SetRegString(RegRoot::LocalMachine, "Software\\Microsoft\\.NETFramework\\Policy\\v1.0",
                      "3705", "x");
  EXPECT_EQ(m.States({"1.0"}), "1.0=0/-1 ");
  m.Runtime("Framework", "v1.0.3705");
  EXPECT_EQ(m.States({"1.0"}), "1.0=1/0 ");
  const std::string component =
      "Software\\Microsoft\\Active Setup\\Installed "
      "Components\\{78705f0d-e8db-4b2d-8193-982bdda15ecd}";
  m.test.SetRegString(RegRoot::LocalMachine, component, "Version", "1,0,3705,3");
  EXPECT_EQ(m.States({"1.0"}), "1.0=1/3 ");
}

TEST(DotNetFunctions, FourZeroClientAndFull) {
  DotNetMachine m;
  m.Dword("v4\\Client", "Install", 1);
  m.Text("v4\\Client", "Version", "4.0.30319");
  m.Dword("v4\\Client", "Servicing", 1);
  EXPECT_EQ(m.States({"4.0"}), "4.0=0/-1 ");  // no runtime
  m.Runtime("Framework64", "v4.0.30319");
  EXPECT_EQ(m.States({"4.0", "4.0 Client", "4.0 full"}), "4.0=1/1 4.0 Client=1/1 4.0 full=0/-1 ");
  m.Dword("v4\\Full", "Install", 1);
  m.Text("v4\\Full", "Version", "4.0.29999.0");  // below the minimum
  EXPECT_EQ(m.States({"4.0 Full"}), "4.0 Full=0/-1 ");
  m.Text("v4\\Full", "Version", "4.0.30319.1");
  m.Dword("v4\\Full", "Servicing", 4);
  EXPECT_EQ(m.States({"4.0 Full", "4.5"}), "4.0 Full=1/4 4.5=0/-1 ");
}

TEST(DotNetFunctions, ReleaseThresholdsOfFourFiveToFourEight) {
  DotNetMachine m;
  m.Runtime("Framework", "v4.0.30319");
  m.Dword("v4\\Full", "Release", 461308);  // 4.7.1
  m.Dword("v4\\Client", "Release", 461308);
  EXPECT_EQ(m.States({"4.5", "4.6", "4.7", "4.7 Full", "4.8", "4.8 Client", "4.9"}),
            "4.5=1/2 4.6=1/2 4.7=1/1 4.7 Full=1/1 4.8=0/-1 4.8 Client=0/-1 4.9=0/-1 ");

  // The bare 4.6 reads Client, the bare 4.7 reads Full; levels come from Full for bare names.
  m.Dword("v4\\Client", "Release", 394254);
  m.Dword("v4\\Full", "Release", 460798);
  EXPECT_EQ(m.States({"4.6", "4.6 Client", "4.6 Full", "4.7", "4.7 Client", "4.5", "4.5 Full"}),
            "4.6=1/2 4.6 Client=1/1 4.6 Full=1/2 4.7=1/0 4.7 Client=0/-1 4.5=1/2 4.5 Full=1/2 ");

  m.Dword("v4\\Full", "Release", 528040);
  m.Dword("v4\\Client", "Release", 300000);  // below 4.5's first level still counts for 4.5
  EXPECT_EQ(m.States({"4.8", "4.8 Full", "4.7", "4.6", "4.5 Client"}),
            "4.8=1/0 4.8 Full=1/0 4.7=1/2 4.6=0/-1 4.5 Client=1/0 ");
}

constexpr const char* kConfig =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<configuration>\n"
    "  <appSettings>\n"
    "    <add key=\"Server\" value=\"db01\"/>\n"
    "    <add key=\"Greeting\" value=\"Gr\xC3\xBC\xC3\x9F Gott\"/>\n"
    "  </appSettings>\n"
    "  <title>Main <b>window</b><![CDATA[ & more]]></title>\n"
    "</configuration>\n";

TEST(XmlFunctions, NodesTextsAndAttributesAndMissingOnesShow5501AndAbortTheRun) {
  test::TestMachine test;
  SetupRun run(test.Machine());
  ASSERT_EQ(test.Machine().Files().CreateDirectory("C:\\App"), platform::ERROR_SUCCESS);
  ASSERT_EQ(test.Machine().Files().WriteWholeFile("C:\\App\\app.config", kConfig),
            platform::ERROR_SUCCESS);
  ASSERT_EQ(test.Machine().Files().WriteWholeFile(
                "C:\\App\\ansi.xml",
                "<?xml version=\"1.0\" encoding=\"Windows-1252\"?><r a=\"\xE9t\xE9\">\xFC</r>"),
            platform::ERROR_SUCCESS);
  const std::pair<std::string, std::string> cases[] = {
      {"ReadXmlText(C:\\App\\app.config,'//add[@key=\"Server\"]',value)", "db01"},
      {"ReadXmlText(C:\\App\\app.config,//add[@key='Greeting']/@value)", "Gr\xFC\xDF Gott"},
      {"ReadXmlText(C:\\App\\app.config,/configuration/title)", "Main window & more"},
      {"ReadXmlText(C:\\App\\app.config,/configuration/title,missing)", ""},
      {"ReadXmlNode(C:\\App\\app.config,//add[2])",
       "<add key=\"Greeting\" value=\"Gr\xFC\xDF Gott\"/>"},
      {"ReadXmlNode(C:\\App\\app.config,/configuration/appSettings/add/@key)", "key=\"Server\""},
      {"ReadXmlNode(C:\\App\\app.config,/configuration/title/b)", "<b>window</b>"},
      {"ReadXmlText(C:\\App\\ansi.xml,/r,a)", "\xE9t\xE9"},
      {"ReadXmlText(C:\\App\\ansi.xml,/r)", "\xFC"},
  };
  for (const auto& [call, expected] : cases) {
    const size_t nParen = call.find('(');
    const std::string args = call.substr(nParen + 1, call.size() - nParen - 2);
    EXPECT_EQ(CallMachineFunction(run, call.substr(0, nParen), args), expected) << call;
  }
  EXPECT_TRUE(run.shownMessages.empty());
  EXPECT_FALSE(run.ctx.bAborted);

  // A missing or broken file, or a missing node, shows 5501 and aborts the run.
  ASSERT_EQ(test.Machine().Files().WriteWholeFile("C:\\App\\broken.xml", "<a><b></a>"),
            platform::ERROR_SUCCESS);
  for (const char* args : {"C:\\App\\missing.xml,/a", "C:\\App\\app.config,/configuration/none",
                           "C:\\App\\app.config,//add[", "C:\\App\\app.config,count(//add)",
                           "C:\\App\\broken.xml,/a", "C:\\App\\app.config,", ","}) {
    for (const char* function : {"ReadXmlNode", "ReadXmlText"}) {
      SetupRun failing(test.Machine());
      EXPECT_EQ(CallMachineFunction(failing, function, args), "") << function << " " << args;
      ASSERT_EQ(failing.shownMessages.size(), 1u) << function << " " << args;
      EXPECT_EQ(failing.shownMessages[0].nMessage, 5501);
      const std::string file = std::string(args).substr(0, std::string(args).find(','));
      EXPECT_EQ(std::get<std::string>(failing.shownMessages[0].args.at(0)), file);
      EXPECT_TRUE(failing.ctx.bAborted);
      // While the run is aborted, even a good node gives nothing and nothing more is shown.
      EXPECT_EQ(CallMachineFunction(failing, "ReadXmlText",
                                    "C:\\App\\app.config,//add[@key='Server'],value"),
                "");
      EXPECT_EQ(failing.shownMessages.size(), 1u);
    }
  }
}

}  // namespace
}  // namespace tarvium
