// The emulated machine's console reading a person's answers from the host's standard input: one
// line a call, its CR dropped, UTF-8 turned into ANSI, and the last line counted without its LF.
#include "platform/emulated/machine/host_console.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace platform::emulated {
namespace {

TEST(HostConsoleTest, ReadsTheInputALineAtATime) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const std::string typed = "No\r\nGr\xc3\xbcn\n\nlast";
  ASSERT_EQ(::write(fds[1], typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
  ::close(fds[1]);
  const int savedInput = ::dup(STDIN_FILENO);
  ::dup2(fds[0], STDIN_FILENO);
  ::close(fds[0]);
  HostConsole console;
  std::string line;
  for (const char* expected : {"No", "Gr\xfcn", "", "last"}) {
    EXPECT_TRUE(console.ReadLine(line));
    EXPECT_EQ(line, expected);
  }
  EXPECT_FALSE(console.ReadLine(line));
  EXPECT_EQ(line, "");
  ::dup2(savedInput, STDIN_FILENO);
  ::close(savedInput);
}

}  // namespace
}  // namespace platform::emulated
