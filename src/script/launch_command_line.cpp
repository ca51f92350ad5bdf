// Splitting on the first word only: the parameters stay exactly as written, because the started
// program splits them itself.
#include "script/launch_command_line.h"

namespace tarvium {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

size_t SkipBlanks(std::string_view text, size_t nPos) {
  while (nPos < text.size() && IsBlank(text[nPos])) ++nPos;
  return nPos;
}

}  // namespace

void SplitProgram(std::string_view commandLine, std::string& program, std::string& parameters) {
  program.clear();
  size_t nPos = SkipBlanks(commandLine, 0);
  bool bQuoted = false;
  for (; nPos < commandLine.size(); ++nPos) {
    const char c = commandLine[nPos];
    if (c == '"') {
      bQuoted = !bQuoted;
    } else if (IsBlank(c) && !bQuoted) {
      break;
    } else {
      program += c;
    }
  }
  parameters = std::string(commandLine.substr(SkipBlanks(commandLine, nPos)));
}

std::string JoinProgram(std::string_view program, std::string_view parameters) {
  std::string line = "\"" + std::string(program) + "\"";
  if (!parameters.empty()) line += " " + std::string(parameters);
  return line;
}

std::string JoinParameters(std::string_view first, std::string_view second) {
  if (first.empty()) return std::string(second);
  if (second.empty()) return std::string(first);
  return std::string(first) + " " + std::string(second);
}

}  // namespace tarvium
