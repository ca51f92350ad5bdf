// The console service reading standard input when it is a pipe, as when a deployment tool feeds
// the answers: one line a call, its CR dropped, the last line counted without its LF.
#include "platform/win32/win32_console.h"

#include <gtest/gtest.h>

#include "platform/win32/windows_api.h"

namespace {

TEST(Win32ConsoleTest, ReadsAPipedInputALineAtATime) {
  HANDLE hRead = nullptr;
  HANDLE hWrite = nullptr;
  ASSERT_TRUE(CreatePipe(&hRead, &hWrite, nullptr, 0));
  const std::string typed = "Nein\r\n\r\nlast";
  DWORD nWritten = 0;
  ASSERT_TRUE(
      WriteFile(hWrite, typed.data(), static_cast<DWORD>(typed.size()), &nWritten, nullptr));
  CloseHandle(hWrite);
  const HANDLE hSaved = GetStdHandle(STD_INPUT_HANDLE);
  SetStdHandle(STD_INPUT_HANDLE, hRead);
  platform::win32::Win32Console console;
  std::string line;
  for (const char* expected : {"Nein", "", "last"}) {
    EXPECT_TRUE(console.ReadLine(line));
    EXPECT_EQ(line, expected);
  }
  EXPECT_FALSE(console.ReadLine(line));
  SetStdHandle(STD_INPUT_HANDLE, hSaved);
  CloseHandle(hRead);
}

}  // namespace
