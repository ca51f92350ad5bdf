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
  decisions_.push_back(
      {std::move(what), std::move(subject), std::move(decision), std::move(reason), ChangeCount()});
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
  // The medium page asks for the file it misses: "label: path".
  if (page.kind == ui::PageKind::Disk && !page.text.empty())
    value = "the file is missing: " + page.text + ", source folder " + value;
  NotePlan(run, "page", std::string(PageName(page.kind)), "answer " + std::to_string(nAnswer),
           std::move(value));
}

void NotePlanTextLine(SetupRun& run, std::string what, std::string path, std::string_view line,
                      bool bTextChanged) {
  if (!run.plan) return;
  const char* pszDecision = !bTextChanged ? "keep" : run.ctx.bUninstall ? "remove" : "edit";
  std::string reason(line);
  if (!bTextChanged)
    reason += run.ctx.bUninstall ? ": the line is not there" : ": the line is there";
  NotePlan(run, std::move(what), std::move(path), pszDecision, std::move(reason));
}

void NotePlanBox(SetupRun& run, std::string_view source, int nAnswer, std::string text) {
  NotePlan(run, "message", std::string(source), "answer " + std::to_string(nAnswer),
           std::move(text));
}

}  // namespace tarvium
