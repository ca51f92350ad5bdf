// The programs run through the shell (popen), so that tests write their arguments as a user
// types them.
#include "support/run_tool.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>

namespace tarvium::test {

ToolResult RunTool(const std::string& name, const std::string& args) {
  const char* buildDir = std::getenv("TARVIUM_BUILD_DIR");
  return RunHostCommand(std::string(buildDir ? buildDir : "build") + "/tools/" + name + " " + args);
}

ToolResult RunHostCommand(const std::string& commandLine) {
  const std::string command = commandLine + " 2>&1";
  ToolResult result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return result;
  std::array<char, 4096> buffer;
  while (size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe))
    result.out.append(buffer.data(), n);
  const int status = ::pclose(pipe);
  result.nExit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string ShellQuote(std::string_view text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace tarvium::test
