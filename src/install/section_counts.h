// The use counts of shared sections in the product's record ("Setup\Sections"): the handlers of
// sections whose effect several options or products share step the count before they act.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

// Install: raises the section's count (not in a repair run or with /N) and answers true.
// Uninstall pass: lowers it (not below 0) and answers true only when it reached 0.
bool StepSectionCount(SetupRun& run, const std::string& section);

}  // namespace tarvium
