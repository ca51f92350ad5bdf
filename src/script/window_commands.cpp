// CloseWindow, AskKillProcesses and Prompt: the commands that deal with the programs and windows
// a user sees. The machine's platform layer offers no list of top-level windows yet (a started
// program of the emulated machine has no way to announce one), so no window matches CloseWindow
// and it has nothing to do; AskKillProcesses works on the machine's real processes.
#include "engine/inf_values.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "script/command_handlers.h"
#include "script/decimal_text.h"

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

// The processes page: OK (1) ends the programs, Cancel (2) fails the line. A run without a person
// (silent, or no user interface) takes OK.
int AskProcessesPage(SetupRun& run, const std::vector<std::string>& running,
                     const std::string& seconds) {
  std::string list;
  for (const std::string& name : running) list += "\n" + name;
  const std::string text = ApplicationText(run, "AskKillProcessesText1") + "\n" +
                           ApplicationText(run, "AskKillProcessesText2");
  if (run.ctx.bServiceMode && run.commands.sendServiceRequest)
    return run.commands.sendServiceRequest(run, "askkillprocesses;" + text + list) ? 1 : 2;
  if (run.ctx.bSilent || !run.ui || (!seconds.empty() && ReadDecimal(seconds) == 0)) return 1;
  ui::MessageBoxRequest request;
  request.caption = run.ctx.szWindowTitle;
  request.text = text + "\n" + list;
  request.icon = ui::IconKind::Exclamation;
  request.buttons = {{"&OK", 1}, {"&Cancel", kResultOk}};
  return run.ui->MessageBox(request);
}

}  // namespace

bool AskKillProcessesCommand(CommandCall& call) {
  const std::vector<std::string> args = TextArguments(call.arguments);
  if (args.size() < 2) return MissingArgument(call);
  const std::vector<std::string> running =
      RunningPrograms(call.run, std::vector<std::string>(args.begin() + 1, args.end()));
  if (running.empty()) return true;
  if (AskProcessesPage(call.run, running, args[0]) == kResultOk) return false;
  EndPrograms(call.run, running);
  return true;
}

bool CloseWindowCommand(CommandCall& call) {
  const std::string pattern = ArgumentAt(TextArguments(call.arguments), 0);
  if (pattern.empty()) return MissingArgument(call);
  return true;  // no top-level window of the machine matches
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
