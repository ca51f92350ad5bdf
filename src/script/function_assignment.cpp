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

ValueCall ReadValueCall(std::string_view value) {
  ValueCall call;
  const size_t nOpen = value.find('(');
  if (nOpen == std::string_view::npos || nOpen == 0 || value[0] == '*') return call;
  call.function = TrimAnsi(value.substr(0, nOpen));
  const size_t nClose = value.rfind(')');
  if (call.function.empty() || nClose == std::string_view::npos) {
    call.form = ValueCallForm::Malformed;
    return call;
  }
  const size_t nArgsEnd = nClose > nOpen ? nClose + 1 : value.size();
  call.form = ValueCallForm::Call;
  call.argsWithParens = value.substr(nOpen, nArgsEnd - nOpen);
  return call;
}

bool EvaluateFunctionAssignment(SetupRun& run, std::string& line) {
  const size_t nEquals = line.find('=');
  if (nEquals == std::string::npos) return true;
  const std::string name = platform::AnsiUpper(TrimAnsi(std::string_view(line).substr(0, nEquals)));
  std::string value = line.substr(nEquals + 1);
  const ValueCall call = ReadValueCall(value);
  if (call.form == ValueCallForm::Malformed) {
    ShowMessage(run, 5528, line);
    return false;
  }
  std::string result;
  if (call.form == ValueCallForm::Call &&
      CallFunction(run, call.function, call.argsWithParens, result))
    value = std::move(result);
  line = name + "=" + value;
  return true;
}

}  // namespace tarvium
