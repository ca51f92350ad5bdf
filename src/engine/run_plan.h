// The decisions of a plan run (Setup.exe /Plan:FILE) with their reasons: a file copied, kept or
// skipped and why, each message with the answer it got, each program the run would start. The
// run goes against a machine that records its changes instead of making them; each decision
// notes how many changes were recorded before it, so that the plan file can put decisions and
// changes in the order they happened.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvium {

namespace ui {
struct PageRequest;
}

struct SetupRun;

struct PlanDecision {
  std::string what;      // "file", "message", ...
  std::string subject;   // the file's path, the message's number, ...
  std::string decision;  // "copy", "keep", "skip", "answer 6", ...
  std::string reason;    // why, in words
  size_t nChangesBefore = 0;
};

class RunPlan {
 public:
  // changeCount tells how many machine changes have been recorded so far.
  explicit RunPlan(std::function<size_t()> changeCount) : changeCount_(std::move(changeCount)) {}

  void Note(std::string what, std::string subject, std::string decision, std::string reason);
  const std::vector<PlanDecision>& Decisions() const { return decisions_; }
  size_t ChangeCount() const { return changeCount_ ? changeCount_() : 0; }

 private:
  std::function<size_t()> changeCount_;
  std::vector<PlanDecision> decisions_;
};

// Notes a decision on the run's plan; nothing without one (every run but a plan run).
void NotePlan(SetupRun& run, std::string what, std::string subject, std::string decision,
              std::string reason);

// A page the run shows (a wizard page, the medium, the programs to end, the restart countdown)
// with the answer it got; the reason is the value the page ends with, such as the directory.
void NotePlanPage(SetupRun& run, const ui::PageRequest& page, int nAnswer);

// A line of a file edited as text (batch, config): "keep" when the text stays as it was, else
// "remove" in a removal and "edit" otherwise; the reason is the line.
void NotePlanTextLine(SetupRun& run, std::string what, std::string path, std::string_view line,
                      bool bTextChanged);

// A box the run shows outside the message catalog (Echo's, a timed notice) with its answer.
void NotePlanBox(SetupRun& run, std::string_view source, int nAnswer, std::string text);

}  // namespace tarvium
