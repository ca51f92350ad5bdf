// The text, number and variable functions through CallFunction, and assignments NAME=Function(...)
// through the engine's EvaluateAssignment with the script engine attached.
#include <gtest/gtest.h>

#include "engine/evaluate_assignment.h"
#include "engine/inf_file.h"
#include "engine/replace_variables.h"
#include "script/call_function.h"
#include "script_test_run.h"

namespace tarvium {
namespace {

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
