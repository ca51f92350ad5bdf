// Conditions and IF lines on a real temporary machine: the kinds of comparison, the precedence
// and short-circuit of "&" and "|", the faults inside a condition and those of the IF line itself;
// and the shared version comparison: the numeric parts from format version 14.10, the older
// partly textual order, part counts, and revisions.
#include <gtest/gtest.h>

#include <utility>

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

}  // namespace
}  // namespace tarvium
