// The counter update behind the script commands Increment, Decrement, Multiply and Divide: a
// number kept in a variable, a registry value or an INI key is read, changed and written back,
// and an uninstall pass runs the change backwards unless the command keeps its direction.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

// argumentText: the command's text, "(target[, amount])" or "target[, amount]" after a blank; the
// target is a variable reference (%Name%, %HKLM,Key,Value%, %File,Section,Key%). False when the
// text has no arguments.
bool UpdateCounter(SetupRun& run, const std::string& argumentText, bool bIncrease,
                   bool bMultiplicative, bool bKeepDirection);

// The target and amount fields of such a text; false when it has no arguments.
bool SplitCounterArguments(const std::string& argumentText, std::string& target,
                           std::string& amountText);

}  // namespace tarvium
