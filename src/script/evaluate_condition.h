// EvaluateCondition: the truth of an IF condition over the run's variables. The condition is
// parsed first (its syntax faults shown as message 5528) and then evaluated left to right with
// short-circuiting, so that a function in a branch that cannot change the result is never called.
#pragma once
#include <string_view>

#include "script/condition_tree.h"

namespace tarvium {

struct SetupRun;

// An empty condition, or one that holds no comparison at all, is true.
bool EvaluateCondition(SetupRun& run, std::string_view text);

// Evaluates an already parsed chain (faults already reported).
bool EvaluateConditionChain(SetupRun& run, const ConditionChain& chain);

}  // namespace tarvium
