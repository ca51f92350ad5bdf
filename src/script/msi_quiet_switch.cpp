// The rewrite works in place on the parameters so that everything else stays where it was.
#include "script/msi_quiet_switch.h"

#include "platform/ansi_case.h"

namespace tarvium {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool IsQuietSwitchAt(const std::string& parameters, size_t nPos) {
  return (nPos == 0 || IsBlank(parameters[nPos - 1])) && nPos + 2 < parameters.size() &&
         (parameters[nPos] == '/' || parameters[nPos] == '-') &&
         (parameters[nPos + 1] == 'q' || parameters[nPos + 1] == 'Q') &&
         !IsBlank(parameters[nPos + 2]);
}

}  // namespace

void ForceQuietMsiParameters(std::string_view commandLine, std::string& parameters) {
  if (platform::AnsiUpper(commandLine).find("MSIEXEC") == std::string::npos) return;
  for (size_t nPos = 0; nPos < parameters.size(); ++nPos) {
    if (!IsQuietSwitchAt(parameters, nPos)) continue;
    nPos += 2;
    parameters[nPos] = 'n';
    while (nPos + 1 < parameters.size() && !IsBlank(parameters[nPos + 1])) parameters[++nPos] = ' ';
  }
}

}  // namespace tarvium
