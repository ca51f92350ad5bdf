// The "Requirements" section: every line must hold before anything is installed. A line is a set
// of alternatives separated by '|' and holds when one of them holds; an alternative compares two
// operands, each a text or an expression function call.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace tarvium {

struct SetupRun;

// False with the first line that does not hold; lines after it are not checked.
bool CheckRequirements(SetupRun& run, std::string& szFailedLine);

// One alternative: "left[(args)] operator right[(args)]". A missing operand or operator shows
// 5528 with the line and is false, as is an unknown operator.
bool RequirementHolds(SetupRun& run, const std::string& alternative, const std::string& line);

// The alternatives of a line, split at every '|'.
std::vector<std::string> RequirementAlternatives(const std::string& line);

// How RequirementHolds reads an alternative, without a run: a comparison it evaluates, a missing
// operand or operator (5528), or an operator it does not know (the alternative never holds).
enum class RequirementForm { Comparison, Malformed, UnknownOperator };
RequirementForm ReadRequirementForm(std::string_view alternative);

}  // namespace tarvium
