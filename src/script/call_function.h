// CallFunction: evaluates one expression function by name. The names of all function groups are
// looked up in one table, built once, without regard to case; a name outside it is reported as
// such so that the caller can keep the text as written.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace tarvium {

struct SetupRun;

// A function result holds at most this many characters (its buffer holds 64768 bytes).
inline constexpr size_t kFunctionResultMax = 64767;

// Evaluates `name` (any case) over its parenthesised argument list, parentheses included
// ("(abc,2)"), into `result`. False, with `result` untouched, when no function has that name.
bool CallFunction(SetupRun& run, std::string_view name, std::string_view argsWithParens,
                  std::string& result);

// Whether a function has that name (any case).
bool IsFunctionName(std::string_view name);

// Evaluates an operand text that is a call, letters and digits followed (after blanks) by '(':
// true with its result when the name is a function; false for any other text.
bool EvaluateFunctionText(SetupRun& run, std::string_view text, std::string& result);

}  // namespace tarvium
