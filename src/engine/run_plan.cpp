#include "engine/run_plan.h"

#include "engine/setup_run.h"

namespace tarvium {

void RunPlan::Note(std::string what, std::string subject, std::string decision,
                   std::string reason) {
  decisions_.push_back({std::move(what), std::move(subject), std::move(decision),
                        std::move(reason), changeCount_ ? changeCount_() : 0});
}

void NotePlan(SetupRun& run, std::string what, std::string subject, std::string decision,
              std::string reason) {
  if (run.plan)
    run.plan->Note(std::move(what), std::move(subject), std::move(decision), std::move(reason));
}

}  // namespace tarvium
