#include "engine/plan_report.h"

#include <functional>
#include <optional>
#include <string_view>

#include "engine/json_text.h"
#include "platform/code_page.h"

namespace tarvium {
namespace {

using platform::AnsiToUtf8;
using platform::MachineChange;

// Calls onChange and onDecision in the order the run made them.
void ForEachEntry(const RunPlan& plan, const std::vector<MachineChange>& changes,
                  const std::function<void(const MachineChange&)>& onChange,
                  const std::function<void(const PlanDecision&)>& onDecision) {
  size_t nNext = 0;
  for (const PlanDecision& decision : plan.Decisions()) {
    for (; nNext < decision.nChangesBefore && nNext < changes.size(); ++nNext)
      onChange(changes[nNext]);
    onDecision(decision);
  }
  for (; nNext < changes.size(); ++nNext) onChange(changes[nNext]);
}

// A text of several lines (a message's) as one line of the text form: each line end a " | ".
std::string OneLine(std::string_view text) {
  std::string line;
  for (size_t nPos = 0; nPos < text.size(); ++nPos) {
    if (text[nPos] == '\r' && nPos + 1 < text.size() && text[nPos + 1] == '\n') continue;
    if (text[nPos] == '\r' || text[nPos] == '\n')
      line += " | ";
    else
      line += text[nPos];
  }
  return AnsiToUtf8(line);
}

// A copy, a move and a rename at the restart go from one path to another; the others' detail is
// not a path.
struct Direction {
  std::string from;
  std::string to;
};
std::optional<Direction> DirectionOf(const MachineChange& change) {
  switch (change.kind) {
    case platform::ChangeKind::FileCopied:
    case platform::ChangeKind::FileMoved:
      return Direction{change.detail, change.target};
    case platform::ChangeKind::DeferredRename:
      if (change.detail.empty()) return std::nullopt;  // a deletion at the restart
      return Direction{change.target, change.detail};
    default:
      return std::nullopt;
  }
}

}  // namespace

std::string PlanRestartText(const SetupContext& ctx) {
  if (ctx.bExitWindows) {
    if (ctx.uExitWindowsFlags & 8) return "shut down";
    return (ctx.uExitWindowsFlags & 2) ? "restart the computer" : "log off";
  }
  if (ctx.bRestartWindows || ctx.bConfigChanged) return "restart needed, not performed";
  return "none";
}

std::string PlanText(const RunPlan& plan, const std::vector<MachineChange>& changes,
                     const PlanEnd& end) {
  std::string out;
  ForEachEntry(
      plan, changes,
      [&](const MachineChange& change) {
        out += "  " + std::string(platform::ChangeKindName(change.kind)) + " ";
        if (const std::optional<Direction> direction = DirectionOf(change))
          out += OneLine(direction->from) + " -> " + OneLine(direction->to);
        else if (change.detail.empty())
          out += OneLine(change.target);
        else
          out += OneLine(change.target) + ": " + OneLine(change.detail);
        out += '\n';
      },
      [&](const PlanDecision& decision) {
        out += decision.what + " " + decision.decision + ": " + OneLine(decision.subject);
        if (!decision.reason.empty()) out += " (" + OneLine(decision.reason) + ")";
        out += '\n';
      });
  return out + "restart: " + end.restart + "\nexit code: " + std::to_string(end.nExitCode) + "\n";
}

std::string PlanJsonLines(const RunPlan& plan, const std::vector<MachineChange>& changes,
                          const PlanEnd& end) {
  std::string out;
  ForEachEntry(
      plan, changes,
      [&](const MachineChange& change) {
        out += "{\"type\": \"change\", \"kind\": " +
               JsonString(platform::ChangeKindName(change.kind)) +
               ", \"target\": " + JsonString(AnsiToUtf8(change.target)) +
               ", \"detail\": " + JsonString(AnsiToUtf8(change.detail));
        if (const std::optional<Direction> direction = DirectionOf(change))
          out += ", \"from\": " + JsonString(AnsiToUtf8(direction->from)) +
                 ", \"to\": " + JsonString(AnsiToUtf8(direction->to));
        out += "}\n";
      },
      [&](const PlanDecision& decision) {
        out += "{\"type\": \"decision\", \"what\": " + JsonString(decision.what) +
               ", \"decision\": " + JsonString(decision.decision) +
               ", \"subject\": " + JsonString(AnsiToUtf8(decision.subject)) +
               ", \"reason\": " + JsonString(AnsiToUtf8(decision.reason)) + "}\n";
      });
  return out + "{\"type\": \"end\", \"restart\": " + JsonString(end.restart) +
         ", \"exitCode\": " + std::to_string(end.nExitCode) + "}\n";
}

}  // namespace tarvium
