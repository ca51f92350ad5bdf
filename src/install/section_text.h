// The non-empty lines of a section of the setup information file, in file order, as the option
// table and the requirement check read their sections: comments dropped, no continuation.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace tarvium {

class InfFile;

// Lines are cut to the 64767 characters of the engine's line buffer. A missing file or section
// gives no lines.
std::vector<std::string> NonEmptyLines(const InfFile* pInf, std::string_view section);

// Splits "left=right" at the first '=': left trimmed, the rest after '='. False without '='.
bool SplitAtEquals(const std::string& line, std::string& left, std::string& right);

// The trimmed text of a field.
std::string TrimmedField(const std::string& field);

}  // namespace tarvium
