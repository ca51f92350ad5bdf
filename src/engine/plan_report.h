// The plan file of a plan run in its two forms, made from one list: text lines for people and
// JSON lines for programs. The engine's decisions and the machine's recorded changes are merged
// in the order they happened (a decision follows the changes recorded before it); the last line
// tells the restart the run would ask for and its exit code. Texts are written as UTF-8.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/run_plan.h"
#include "engine/setup_context.h"
#include "platform/recording/machine_change.h"

namespace tarvium {

struct PlanEnd {
  std::string restart;  // "none", "restart the computer", "log off", ...
  int32_t nExitCode = 0;
};

// What the end of the run would do to the session: from the run's end-of-run fields.
std::string PlanRestartText(const SetupContext& ctx);

std::string PlanText(const RunPlan& plan, const std::vector<platform::MachineChange>& changes,
                     const PlanEnd& end);
std::string PlanJsonLines(const RunPlan& plan,
                          const std::vector<platform::MachineChange>& changes, const PlanEnd& end);

}  // namespace tarvium
