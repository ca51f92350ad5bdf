// The "Requirements" section: every line must hold before anything is installed. A line is a set
// of alternatives separated by '|' and holds when one of them holds; an alternative compares two
// operands, each a text or an expression function call.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

// False with the first line that does not hold; lines after it are not checked.
bool CheckRequirements(SetupRun& run, std::string& szFailedLine);

// One alternative: "left[(args)] operator right[(args)]". A missing operand or operator shows
// 5528 with the line and is false, as is an unknown operator.
bool RequirementHolds(SetupRun& run, const std::string& alternative, const std::string& line);

}  // namespace tarvium
