// Conditions and IF lines on a real temporary machine: the kinds of comparison, the precedence
// and short-circuit of "&" and "|", the faults inside a condition and those of the IF line itself;
// and the shared version comparison: the numeric parts from format version 14.10, the older
// partly textual order, part counts, and revisions.
// The text, number and variable functions through CallFunction, and assignments NAME=Function(...)
// through the engine's EvaluateAssignment with the script engine attached.
#include <gtest/gtest.h>

#include <utility>

#include "engine/evaluate_assignment.h"
#include "engine/inf_file.h"
#include "engine/replace_variables.h"
#include "script/call_function.h"
#include "script/condition_tree.h"
#include "script/evaluate_condition.h"
#include "script/if_line.h"
#include "script/version_compare.h"
#include "script_test_run.h"

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
                           "IF 1=1 THEN Beep OTHER Echo", "IF 1=1 THEN Beep ELSE 'Echo'x y"})
    EXPECT_TRUE(ExecuteIf(run, line, false)) << line;
  EXPECT_EQ(processed.size(), 7u);  // only the last line was valid
  EXPECT_EQ(Messages(), (std::vector<int>(5, 5528)));
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
  const std::pair<const char*, const char*> cases[][2] = {
      {{"Left", "(abc,5)"}, {"abc", ""}},
      {{"left", "(abc,2)"}, {"ab", ""}},
      {{"Right", "(abcdef,2)"}, {"ef", ""}},
      {{"Mid", "(abcdef,2,10)"}, {"cdef", ""}},
      {{"Mid", "(abc,7,1)"}, {"", ""}},
      // Counts exactly at the ends of the text.
      {{"Left", "(abc,3)"}, {"abc", ""}},
      {{"Left", "(abc,0)"}, {"", ""}},
      {{"Right", "(abc,3)"}, {"abc", ""}},
      {{"Right", "(abc,0)"}, {"", ""}},
      {{"Mid", "(abc,0,3)"}, {"abc", ""}},
      {{"Mid", "(abc,2,1)"}, {"c", ""}},
      {{"Mid", "(abc,3,1)"}, {"", ""}},
      {{"RemoveFromLeft", "(abc,3)"}, {"", ""}},
      {{"RemoveFromLeft", "(abc,0)"}, {"abc", ""}},
      {{"RemoveFromRight", "(abc,3)"}, {"", ""}},
      {{"Len", "(abc)"}, {"3", ""}},
      {{"BitXOr", "(-1,2147483647)"}, {"-2147483648", ""}},
      {{"RemoveFromLeft", "(abc,1)"}, {"bc", ""}},
      {{"RemoveFromRight", "(abc,5)"}, {"", ""}},
      {{"RemoveFromRight", "(abc,-1)"}, {"abc", ""}},
      {{"Len", "()"}, {"0", ""}},
      {{"LEN", "('a, b')"}, {"4", ""}},
      {{"Lowercase",
        "(\xC4"
        "BC\xC9)"},
       {"\xE4"
        "bc\xE9",
        ""}},
      {{"Uppercase",
        "(stra\xDF"
        "e\x9C)"},
       {"STRA\xDF"
        "E\x8C",
        ""}},
      {{"BitAnd", "(12,10)"}, {"8", ""}},
      {{"BitOr", "(12,10)"}, {"14", ""}},
      {{"BitXOr", "(12,10)"}, {"6", ""}},
      {{"BitOr", "(-2147483648,1)"}, {"-2147483647", ""}},
      {{"StringToHex", "(AB,0)"}, {"41,42,00", ""}},
      {{"StringToHex", "(AB,1)"}, {"41,00,42,00,00,00", ""}},
      {{"HexToString", "(\"41,42\",0)"}, {"AB", ""}},
      {{"HexToString", "(\"41,00,e4,00,00,00,43,00\",1)"}, {"A\xE4", ""}},
      {{"HexToString", "('41, zz,42',0)"}, {"A", ""}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Call(c[0].first, c[0].second), c[1].first) << c[0].first << c[0].second;

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

}  // namespace
}  // namespace tarvium
