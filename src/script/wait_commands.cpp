// Sleep and the four Wait commands. Every wait polls every 100 milliseconds, dispatching window
// messages in between, and ends early when the run is aborted; a timeout is given in seconds and
// missing means no limit. A wait that runs out of time fails the line.
#include <algorithm>

#include "engine/pump_messages.h"
#include "engine/setup_run.h"
#include "script/call_function.h"
#include "script/command_handlers.h"
#include "script/decimal_text.h"

namespace tarvium {
namespace {

inline constexpr uint32_t kPollMs = 100;
inline constexpr uint64_t kNoLimit = UINT64_MAX;

// True as soon as the condition holds; false when the time ran out or the run was aborted.
template <class Condition>
bool WaitUntil(SetupRun& run, uint64_t nLimitMs, Condition holds) {
  platform::Clock& clock = run.machine.Time();
  const uint64_t nStart = clock.GetTickCount64();
  while (!holds()) {
    const uint64_t nElapsed = clock.GetTickCount64() - nStart;
    if (nElapsed >= nLimitMs || !PumpWindowMessages(run)) return false;
    clock.Sleep(static_cast<uint32_t>(std::min<uint64_t>(kPollMs, nLimitMs - nElapsed)));
  }
  return true;
}

uint64_t TimeoutOf(const std::string& seconds) {
  return seconds.empty() ? kNoLimit : uint64_t(std::max(0, ReadDecimal(seconds))) * 1000;
}

bool ProcessRuns(SetupRun& run, const std::string& name) {
  std::vector<platform::ProcessEntry> running;
  return run.machine.Programs().EnumProcesses(name, running) == platform::ERROR_SUCCESS &&
         !running.empty();
}

template <class Condition>
bool WaitForArgument(CommandCall& call, Condition holds) {
  const std::vector<std::string> args = TextArguments(call.arguments);
  const std::string subject = ArgumentAt(args, 0);
  if (subject.empty()) return MissingArgument(call);
  return WaitUntil(call.run, TimeoutOf(ArgumentAt(args, 1)), [&] { return holds(subject); });
}

}  // namespace

bool SleepCommand(CommandCall& call) {
  const std::string text = ArgumentAt(TextArguments(call.arguments), 0);
  if (text.empty()) return MissingArgument(call);
  const int32_t nMs = std::max(0, ReadDecimal(text));
  SetupRun& run = call.run;
  if (SetupService* service = ConnectedService(run))
    service->Sleep(run, static_cast<uint32_t>(nMs));
  WaitUntil(run, static_cast<uint64_t>(nMs), [] { return false; });
  return true;
}

bool WaitUntilFileExistsCommand(CommandCall& call) {
  return WaitForArgument(
      call, [&](const std::string& path) { return call.run.machine.Files().FileExists(path); });
}

bool WaitUntilProcessExistsCommand(CommandCall& call) {
  return WaitForArgument(call,
                         [&](const std::string& name) { return ProcessRuns(call.run, name); });
}

bool WaitWhileProcessExistsCommand(CommandCall& call) {
  return WaitForArgument(call,
                         [&](const std::string& name) { return !ProcessRuns(call.run, name); });
}

// "reference[, seconds]" or "reference, value name": a second argument that starts with a digit
// is the time-out, whatever the first; one that does not names a value, and the wait has no limit.
bool WaitUntilRegKeyExistsCommand(CommandCall& call) {
  const std::vector<std::string> args = TextArguments(call.arguments);
  std::string reference = ArgumentAt(args, 0);
  if (reference.empty()) return MissingArgument(call);
  const std::string second = ArgumentAt(args, 1);
  uint64_t nLimitMs = kNoLimit;
  if (!second.empty() && IsDecimalDigit(second[0]))
    nLimitMs = TimeoutOf(second);
  else if (reference.find('\\') == std::string::npos)
    reference = call.arguments;  // the comma form: root, key[, value]
  else if (!second.empty())
    reference += ":" + second;
  return WaitUntil(call.run, nLimitMs, [&] {
    std::string result;
    return CallFunction(call.run, "DoesRegKeyExist", "(" + reference + ")", result) &&
           result == "1";
  });
}

}  // namespace tarvium
