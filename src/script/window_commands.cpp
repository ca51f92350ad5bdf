// CloseWindow, AskKillProcesses and Prompt: the commands that deal with the programs and windows
// a user sees. CloseWindow acts on the top-level windows the machine lists (on the emulated
// machine, those its programs announced); AskKillProcesses asks the processes page about the
// machine's real processes and ends them on OK.
#include <algorithm>

#include "engine/inf_values.h"
#include "engine/replace_variables.h"
#include "engine/run_plan.h"
#include "engine/service_hooks.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "script/close_window_mode.h"
#include "script/command_handlers.h"
#include "script/decimal_text.h"
#include "script/last_error.h"
#include "script/message_catalog.h"
#include "script/message_format.h"
#include "script/timed_notice.h"

namespace tarvium {
namespace {

// The named programs that run, each once.
std::vector<std::string> RunningPrograms(SetupRun& run, const std::vector<std::string>& names) {
  std::vector<std::string> running;
  for (const std::string& name : names) {
    std::vector<platform::ProcessEntry> entries;
    if (!name.empty() && run.machine.Programs().EnumProcesses(name, entries) == 0 &&
        !entries.empty())
      running.push_back(name);
  }
  return running;
}

void EndPrograms(SetupRun& run, const std::vector<std::string>& names) {
  platform::Processes& programs = run.machine.Programs();
  for (const std::string& name : names) {
    std::vector<platform::ProcessEntry> entries;
    programs.EnumProcesses(name, entries);
    for (const platform::ProcessEntry& entry : entries) {
      platform::ProcessHandle hProcess;
      if (programs.OpenProcess(entry.dwProcessId, hProcess) != 0) continue;
      programs.TerminateProcess(hProcess, 1);
      programs.CloseProcess(hProcess);
    }
  }
}

std::string ApplicationText(SetupRun& run, const char* key) {
  if (!run.inf) return "";
  std::string text = ReadTextKey(*run.inf, "Application", key, 4096);
  ReplaceVariables(run, text);
  return text;
}

// The processes page: OK (1) ends the programs, Cancel (2) fails the line. It proceeds with OK at
// once for a time-out of 0 and in a run without a person (silent, or no user interface); with a
// positive time-out it counts down and proceeds with OK at zero or once the programs are gone.
int AskProcessesPage(SetupRun& run, const std::vector<std::string>& running,
                     const std::string& seconds) {
  const std::string text = ApplicationText(run, "AskKillProcessesText1") + "\n" +
                           ApplicationText(run, "AskKillProcessesText2");
  if (SetupService* service = ConnectedService(run)) {
    // The service's answer counts as the page's: Cancel is confirmed with message 5509 first.
    std::string list;
    for (const std::string& name : running) list += "\n" + name;
    std::vector<std::string> values;
    return service->AskDialog(run, ServiceDialog::AskKillProcesses, text + list, values);
  }
  const int32_t nSeconds = seconds.empty() ? -1 : std::max(0, ReadDecimal(seconds));
  if (run.ctx.bSilent || !run.ui || nSeconds == 0) return ui::kPageNext;
  ui::PageRequest page;
  page.kind = ui::PageKind::Processes;
  page.text = text;
  page.items = running;
  page.nSeconds = nSeconds;
  page.bCancel = nSeconds < 0 && !run.ctx.bDisableCancelButton;
  page.isSettled = [&run, names = running] { return RunningPrograms(run, names).empty(); };
  const int nAnswer = run.ui->ShowPage(page);
  NotePlanPage(run, page, nAnswer);
  return nAnswer;
}

// Sends a window the mode's message; false when it refused the shutdown query.
bool CloseOneWindow(SetupRun& run, const platform::WindowEntry& window, CloseAction action) {
  platform::TopLevelWindows& windows = run.machine.TopWindows();
  int64_t lResult = 0;
  SetupTrace(run, "CloseWindow: '%s' of process %u\n", window.title.c_str(), window.dwProcessId);
  switch (action) {
    case CloseAction::Close:
      windows.SendMessage(window.hWnd, platform::WM_CLOSE, lResult);
      return true;
    case CloseAction::QueryThenDestroy:
      if (windows.SendMessage(window.hWnd, platform::WM_QUERYENDSESSION, lResult) ==
              platform::ERROR_SUCCESS &&
          lResult == 0) {
        SetupTrace(run, "CloseWindow: '%s' refuses to close\n", window.title.c_str());
        return false;
      }
      [[fallthrough]];
    case CloseAction::Destroy:
      windows.SendMessage(window.hWnd, platform::WM_DESTROY, lResult);
      return true;
    case CloseAction::None:
      break;
  }
  return true;
}

std::vector<platform::WindowEntry> MatchingWindows(SetupRun& run, const std::string& pattern) {
  std::vector<platform::WindowEntry> windows;
  run.machine.TopWindows().EnumWindows(windows);
  std::erase_if(windows, [&](const platform::WindowEntry& window) {
    return !TitleMatches(pattern, window.title);
  });
  return windows;
}

}  // namespace

bool AskKillProcessesCommand(CommandCall& call) {
  const std::vector<std::string> args = TextArguments(call.arguments);
  if (args.size() < 2) return MissingArgument(call);
  const std::vector<std::string> running =
      RunningPrograms(call.run, std::vector<std::string>(args.begin() + 1, args.end()));
  if (running.empty()) return true;
  if (AskProcessesPage(call.run, running, args[0]) == ui::kPageCancel) return false;
  EndPrograms(call.run, running);
  return true;
}

// "pattern[, mode[, seconds[, message]]]": the message is shown first (closing by itself after
// the seconds); under ABORT a box that ran out of time fails the line with text 5039 as the last
// error text, and nothing is closed.
bool CloseWindowCommand(CommandCall& call) {
  const std::vector<std::string> args = TextArguments(call.arguments);
  const std::string pattern = ArgumentAt(args, 0);
  if (pattern.empty()) return MissingArgument(call);
  SetupRun& run = call.run;
  const int32_t nMode = ParseCloseWindowMode(ArgumentAt(args, 1));
  const std::vector<platform::WindowEntry> windows = MatchingWindows(run, pattern);
  if (windows.empty()) return true;
  const bool bTimedOut =
      ShowTimedNotice(run, ArgumentAt(args, 3), ReadDecimal(ArgumentAt(args, 2)));
  if (bTimedOut && (nMode & kCloseWindowAbort) != 0) {
    const std::string text = FormatMessageText(GetText(run, 5039), {MessageArg(pattern)});
    run.messages.szLastError = text;
    RecordLastError(run, text);
    return false;
  }
  const CloseAction action = CloseActionOf(nMode);
  for (const platform::WindowEntry& window : windows)
    if (!CloseOneWindow(run, window, action)) return false;
  return true;
}

bool PromptCommand(CommandCall& call) {
  const std::string name = ArgumentAt(WordArguments(call.arguments), 0);
  if (name.empty()) return MissingArgument(call);
  SetupRun& run = call.run;
  if (!run.script.askPrompt) {
    SetupTrace(run, "Prompt not available: %s\n", name.c_str());
    return true;
  }
  if (run.ui) run.ui->EnableMainWindows(false);
  const int nResult = run.script.askPrompt(run, name, false);
  if (run.ui) run.ui->EnableMainWindows(true);
  return nResult == 1;
}

}  // namespace tarvium
