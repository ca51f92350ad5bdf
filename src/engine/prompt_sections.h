// Which prompt sections can be asked. A prompt section names the variable its answer sets; one
// that is missing, or whose variable is missing or unusable, is passed over. The wizard leaves
// such sections out of the prompt list before it walks it, so that Back never lands on one and
// bounces forward again, and the prompt page reads its variable through the same rule.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

// The variable the prompt section sets; empty, with a trace line, when the section is missing or
// its Variable is missing or holds "=" (which the answer's line NAME=value could not carry).
std::string PromptVariable(SetupRun& run, const std::string& section);

}  // namespace tarvium
