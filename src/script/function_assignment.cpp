// The value is analysed as written after '=': a value that starts with blanks before '(' names
// no function and is a fault, as is a value without any ')'. A ')' that only comes before the
// '(' is no fault: the name then holds it, names no function, and the value stays as written.
#include "script/function_assignment.h"

#include "engine/ansi_text.h"
#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "platform/ansi_case.h"
#include "script/call_function.h"

namespace tarvium {

bool EvaluateFunctionAssignment(SetupRun& run, std::string& line) {
  const size_t nEquals = line.find('=');
  if (nEquals == std::string::npos) return true;
  const std::string name = platform::AnsiUpper(TrimAnsi(std::string_view(line).substr(0, nEquals)));
  std::string value = line.substr(nEquals + 1);
  const size_t nOpen = value.find('(');
  if (nOpen != std::string::npos && nOpen > 0 && value[0] != '*') {
    const std::string_view function = TrimAnsi(std::string_view(value).substr(0, nOpen));
    const size_t nClose = value.rfind(')');
    if (function.empty() || nClose == std::string::npos) {
      ShowMessage(run, 5528, line);
      return false;
    }
    const size_t nArgsEnd = nClose > nOpen ? nClose + 1 : value.size();
    std::string result;
    if (CallFunction(run, function, std::string_view(value).substr(nOpen, nArgsEnd - nOpen),
                     result))
      value = std::move(result);
  }
  line = name + "=" + value;
  return true;
}

}  // namespace tarvium
