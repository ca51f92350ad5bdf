// The text of a DDE execute command: one or more "[Name(arg,arg,...)]" in a row, as the Program
// Manager reads it. An argument is trimmed; one in double quotes keeps its commas and blanks (a
// doubled quote stands for one). Parsing is a pure function of the text, tested and fuzzed
// without a machine.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct DdeCommand {
  std::string name;
  std::vector<std::string> args;
};

// False when the text is no sequence of bracketed commands (then nothing of it is carried out).
bool ParseDdeCommands(std::string_view text, std::vector<DdeCommand>& commands);

}  // namespace platform
