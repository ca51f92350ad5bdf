// ReplaceVariables: the one operation that replaces %Name% references in a text. A reference
// names a predefined variable, an environment variable, a registry value or an INI value; a
// name that nothing defines gives the empty text. Inserted values are not scanned again.
#pragma once
#include <cstddef>
#include <string>

namespace tarvium {

struct SetupRun;

inline constexpr size_t kVariableLineSize = 64768;  // results are cut to 64767 characters
// Callers that replace again until no reference is left stop after this many rounds: variables
// that refer to each other (B=%C%, C=%B%) would never end.
inline constexpr int kMaxReplaceRounds = 32;

// Replaces the references in `text` in place. The mark is always '%'.
void ReplaceVariables(SetupRun& run, std::string& text, char cMark = '%');

// The value of one variable name as a reference without prefix or suffix reads it ("" if none).
std::string LookupVariable(SetupRun& run, const std::string& upperName);

}  // namespace tarvium
