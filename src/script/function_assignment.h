// The script engine's side of EvaluateAssignment (engine/evaluate_assignment.h): a line
// NAME=value whose value calls an expression function gets the function's result as its value.
// AttachScriptEngine installs it as the run's assignment hook.
#pragma once
#include <string>
#include <string_view>

namespace tarvium {

struct SetupRun;

// A value that contains '(' and starts with neither '(' nor '*' calls the function named by the
// trimmed text before '('; the line becomes NAME=result with NAME upper-cased. A name that no
// function has keeps the value ("C:\Program Files (x86)\App"). An empty function name or no ')'
// shows message 5528 with the line and returns false. A line without '=' stays as it is.
bool EvaluateFunctionAssignment(SetupRun& run, std::string& line);

// How EvaluateFunctionAssignment reads a value (the text after '='), without a run: a checker of
// setup files asks the same question.
enum class ValueCallForm { None, Call, Malformed };
struct ValueCall {
  ValueCallForm form = ValueCallForm::None;
  std::string_view function;        // Call: the trimmed name before '('
  std::string_view argsWithParens;  // Call: from '(' up to the last ')' after it, or to the end
};
ValueCall ReadValueCall(std::string_view value);

}  // namespace tarvium
