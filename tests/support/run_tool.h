// Runs one of the built command-line programs as its users do, for the end-to-end tests: the
// binaries are found in TARVIUM_BUILD_DIR (set by CTest), "build" when it is not set.
#pragma once
#include <string>
#include <string_view>

namespace tarvium::test {

struct ToolResult {
  int nExit = -1;   // exit status; -1 when the program did not end normally
  std::string out;  // standard output with standard error folded in
};

// Runs tools/NAME with an argument string that the shell splits (quote with ShellQuote).
ToolResult RunTool(const std::string& name, const std::string& args);
// Runs a command line of the host's shell (a program of the host, such as lnkinfo).
ToolResult RunHostCommand(const std::string& commandLine);

// The text in single quotes, safe for the shell whatever it holds.
std::string ShellQuote(std::string_view text);

}  // namespace tarvium::test
