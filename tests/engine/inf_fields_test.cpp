// Comma fields with quoting and flag lists.
#include "engine/inf_fields.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvium {
namespace {

std::vector<std::string> Fields(const char* line) {
  std::vector<std::string> fields;
  std::string field;
  for (const char* rest = NextField(line, field); rest; rest = NextField(rest, field))
    fields.push_back(field);
  return fields;
}

TEST(InfFields, QuotedAndUnquotedFieldsAndFlagLists) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Fields("a, \"b,c\", 'it''s'"), (V{"a", "b,c", "it's"}));
  EXPECT_EQ(Fields("  one  ,two ,,three"), (V{"one  ", "two ", "", "three"}));
  EXPECT_EQ(Fields("\"say \"\"hi\"\"\" junk, next"), (V{"say \"hi\"", "next"}));
  EXPECT_EQ(Fields("'a\"b', \"c'd\""), (V{"a\"b", "c'd"}));
  EXPECT_EQ(Fields("x,"), (V{"x"})) << "nothing after the last comma is no field";
  EXPECT_EQ(Fields("x, "), (V{"x", ""}));
  EXPECT_EQ(Fields("\"open quote, to the end"), (V{"open quote, to the end"}));
  EXPECT_EQ(Fields("a,b\r\nc,d"), (V{"a", "b"})) << "fields end at the line end";
  EXPECT_TRUE(Fields("").empty());
  std::string field = "stale";
  EXPECT_EQ(NextField(nullptr, field), nullptr);
  EXPECT_EQ(field, "");

  static constexpr FlagName kFlags[] = {{"Silent", 1}, {"Force", 2}, {"Shared", 8}};
  EXPECT_EQ(ParseFlags("10", kFlags), 10u);
  EXPECT_EQ(ParseFlags("12abc", kFlags), 12u);
  EXPECT_EQ(ParseFlags("silent+FORCE", kFlags), 3u);
  EXPECT_EQ(ParseFlags("Silent | Shared)Force", kFlags), 11u);
  EXPECT_EQ(ParseFlags("", kFlags), 0u);
  EXPECT_EQ(ParseFlags("Silent+Bogus", kFlags), kUnknownFlags);
  EXPECT_EQ(ParseFlags("(Silent)", kFlags), kUnknownFlags) << "only ')' separates";
}

}  // namespace
}  // namespace tarvium
