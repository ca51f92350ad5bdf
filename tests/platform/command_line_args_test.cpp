// The Windows command-line rules on the cases where they surprise: the program name's own rule,
// backslashes before quotes, runs of quotes inside and outside quoted parts, blanks that are not
// separators; and quoting that survives the split.
#include "platform/command_line_args.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLineArgs, SplitsByTheWindowsRulesAndQuotedArgumentsSplitBack) {
  const std::pair<std::string, Args> cases[] = {
      {"", {""}},
      {"prog", {"prog"}},
      {"prog  a\t\tb  ", {"prog", "a", "b"}},
      // Only space and tab separate; other control characters belong to the argument.
      {"prog a\rb\nc", {"prog", "a\rb\nc"}},
      // Quoted parts join with what surrounds them; an unclosed one runs to the end.
      {R"(prog x"y z"w "open end)", {"prog", "xy zw", "open end"}},
      {R"(prog "")", {"prog", ""}},
      {R"(prog ")", {"prog", ""}},
      // Backslashes count only before a quote: 2n give n and a quote that acts, 2n+1 give n and
      // a literal quote.
      {R"(prog C:\dir\ a\\b)", {"prog", R"(C:\dir\)", R"(a\\b)"}},
      {R"(prog \"x \\"y z" \\\"w)", {"prog", R"("x)", R"(\y z)", R"(\"w)"}},
      {R"(prog "C:\Program Files\\" next)", {"prog", R"(C:\Program Files\)", "next"}},
      // Runs of quotes outside a quoted part: 3 give a quote, 4 a quote and an open part.
      {R"(prog a""b a"""b a"""" c" d)", {"prog", "ab", R"(a"b)", R"(a" c)", "d"}},
      // Inside a quoted part the opening quote counts with the run: "" gives a quote and closes
      // the part, """ gives a quote and keeps it open.
      {R"(prog "a""b c" d)", {"prog", R"(a"b)", "c d"}},
      {R"(prog "x"""y z")", {"prog", R"(x"y z)"}},
      // The program name: backslashes and quotes mean nothing unless it starts with a quote,
      // which then ends at the next quote even without a blank after it.
      {R"(C:\a"b\c\ x)", {R"(C:\a"b\c\)", "x"}},
      {R"("C:\Program Files\p.exe"arg "two""")", {R"(C:\Program Files\p.exe)", "arg", R"(two")"}},
      {R"("p q\" r)", {R"(p q\)", "r"}},
      {R"( "a"b c)", {"", "ab", "c"}},  // a leading blank leaves the program name empty
  };
  for (const auto& [line, expected] : cases) EXPECT_EQ(CommandLineToArgv(line), expected) << line;

  const Args argv = {
      R"(C:\Program Files\tool.exe)", "plain",    "",       "two words", R"(say "hi")", R"(dir\)",
      R"(dir with blank\)",           R"(\\"\\)", "\"\"\"", "tab\there", "\xE9t\xE9"};
  EXPECT_EQ(CommandLineToArgv(ArgvToCommandLine(argv)), argv);
  EXPECT_EQ(QuoteArgument("plain"), "plain");            // nothing to protect: left as it is
  EXPECT_EQ(ArgvToCommandLine({"a\"b c"}), "\"ab c\"");  // a program name holds no quote
}

}  // namespace
}  // namespace platform
