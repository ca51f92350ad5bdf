// The Program Manager's command text: bracketed commands in a row, quoted and plain arguments,
// and the malformed texts of which nothing may be carried out.
#include "platform/dde_command.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(DdeCommand, CommandsArgumentsAndMalformedTexts) {
  std::vector<DdeCommand> commands;
  ASSERT_TRUE(ParseDdeCommands(
      " [CreateGroup( Tools ,1)] [AddItem(\"C:\\a b\\t.exe -x, y\",Tool,,2,,)][ExitProgman]",
      commands));
  ASSERT_EQ(commands.size(), 3u);
  EXPECT_EQ(commands[0].name, "CreateGroup");
  EXPECT_EQ(commands[0].args, (std::vector<std::string>{"Tools", "1"}));
  EXPECT_EQ(commands[1].args,
            (std::vector<std::string>{"C:\\a b\\t.exe -x, y", "Tool", "", "2", "", ""}));
  EXPECT_TRUE(commands[2].args.empty());
  ASSERT_TRUE(ParseDdeCommands("[X(\"say \"\"hi\"\"\")]", commands));
  EXPECT_EQ(commands[0].args, std::vector<std::string>{"say \"hi\""});
  for (const char* pszBad : {"", "   ", "CreateGroup(X)", "[CreateGroup(X)", "[CreateGroup(X]",
                             "[(X)]", "[A(\"open)]", "[A(\"q\" tail)]", "[A(x)] junk"})
    EXPECT_FALSE(ParseDdeCommands(pszBad, commands)) << pszBad;
}

}  // namespace
}  // namespace platform
