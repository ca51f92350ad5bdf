// The argument splitter: plain and quoted arguments, doubled quotes, kept trailing blanks, and the
// end of the list at a line break.
#include "script/next_argument.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> SplitAll(std::string_view text) {
  std::vector<std::string> args;
  std::string arg;
  for (size_t nPos = 0; (nPos = tarvium::NextArgument(text, nPos, arg)) != std::string_view::npos;)
    args.push_back(arg);
  return args;
}

TEST(NextArgument, SplitsPlainAndQuotedArguments) {
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

}  // namespace
