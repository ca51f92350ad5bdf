#include "engine/run_plan.h"

#include <array>

#include "engine/setup_run.h"
#include "ui/user_interface.h"

namespace tarvium {
namespace {

std::string_view PageName(ui::PageKind kind) {
  static constexpr std::array<std::string_view, 14> kNames = {
      "administrator", "same version", "licence",         "information",    "from CD",
      "shared",        "mode",         "directory",       "data directory", "user",
      "medium",        "value",        "programs to end", "restart"};
  const auto nKind = static_cast<size_t>(kind);
  return nKind < kNames.size() ? kNames[nKind] : "page";
}

}  // namespace

void RunPlan::Note(std::string what, std::string subject, std::string decision,
                   std::string reason) {
  decisions_.push_back({std::move(what), std::move(subject), std::move(decision), std::move(reason),
                        changeCount_ ? changeCount_() : 0});
}

void NotePlan(SetupRun& run, std::string what, std::string subject, std::string decision,
              std::string reason) {
  if (run.plan)
    run.plan->Note(std::move(what), std::move(subject), std::move(decision), std::move(reason));
}

void NotePlanPage(SetupRun& run, const ui::PageRequest& page, int nAnswer) {
  if (!run.plan) return;
  std::string value = page.value;
  if (!page.secondValue.empty()) value += ", " + page.secondValue;
  if (page.bSecret) value.clear();
  NotePlan(run, "page", std::string(PageName(page.kind)), "answer " + std::to_string(nAnswer),
           std::move(value));
}

void NotePlanBox(SetupRun& run, std::string_view source, int nAnswer, std::string text) {
  NotePlan(run, "message", std::string(source), "answer " + std::to_string(nAnswer),
           std::move(text));
}

}  // namespace tarvium
