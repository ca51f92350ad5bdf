// libFuzzer target for the shell link line and the Program Manager's command text. Any text must
// parse without a crash; a link path is always completed with ".lnk" or ".pif", and a parsed
// command list round-trips to the same commands when written back in the same syntax.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ansi_case.h"
#include "platform/dde_command.h"
#include "sysconfig/shell_line.h"

namespace {

void Require(bool bHolds) {
  if (!bHolds) __builtin_trap();
}

std::string Quoted(const std::string& arg) {
  std::string text = "\"";
  for (char c : arg) text += c == '"' ? std::string("\"\"") : std::string(1, c);
  return text + "\"";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  tarvium::ShellLinkLine line;
  std::string link;
  tarvium::ParseShellLine(
      text, [](std::string& f) { f += "%"; }, line, link);
  const std::string path = tarvium::CompleteLinkPath(link, "C:\\P");
  Require(platform::AnsiEndsWithNoCase(path, ".lnk") || platform::AnsiEndsWithNoCase(path, ".pif"));
  tarvium::ProgmanItemOfLink(line, link);

  std::vector<platform::DdeCommand> commands;
  if (!platform::ParseDdeCommands(text, commands)) return 0;
  std::string again;
  for (const platform::DdeCommand& command : commands) {
    again += "[" + command.name + "(";
    for (size_t i = 0; i < command.args.size(); ++i)
      again += (i ? "," : "") + Quoted(command.args[i]);
    again += ")]";
  }
  std::vector<platform::DdeCommand> reparsed;
  Require(platform::ParseDdeCommands(again, reparsed) && reparsed.size() == commands.size());
  return 0;
}
