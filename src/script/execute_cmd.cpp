// The execution of one script line: references replaced, the reverse mark and the pass rule
// applied, the name looked up in the command table, the mode filters, the progress detail line,
// the handler, then message 5561 for a system component's failure and the abort check. For and
// the counter commands keep their references (see CommandEntry).
#include "script/execute_cmd.h"

#include "engine/ansi_text.h"
#include "engine/pump_messages.h"
#include "engine/replace_variables.h"
#include "engine/run_plan.h"
#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "platform/ansi_case.h"
#include "script/script_chars.h"
#include "script/script_command.h"

namespace tarvium {
namespace {

inline constexpr uint32_t kSyntaxVersion10 = 0x1000;

// For and the counter commands read their references themselves.
bool KeepsReferences(std::string_view text) {
  text = TrimAnsiLeft(text);
  if (!text.empty() && text[0] == '-') text = TrimAnsiLeft(text.substr(1));
  const CommandEntry* pEntry = FindCommand(text.substr(0, CommandNameEnd(text)));
  return pEntry && pEntry->bKeepsReferences;
}

bool RunsInSizing(std::string_view name) {
  for (std::string_view measured : {"Set", "ReplaceEnv", "If", "For", "Copy"})
    if (platform::AnsiEqualNoCase(name, measured)) return true;
  return false;
}

bool IsMediaCommand(std::string_view name) {
  return platform::AnsiEqualNoCase(name, "PlaySound") ||
         platform::AnsiEqualNoCase(name, "ShowPicture");
}

// Whether the line runs in this pass under the command's rule; sets bUndo for an unmarked line of
// a command that undoes itself in the removal pass.
bool DecidePass(SetupRun& run, PassRule rule, CommandCall& call) {
  const bool bRemovalPass = run.ctx.bUninstall;
  const bool bInPass = call.bMarked == bRemovalPass;
  switch (rule) {
    case PassRule::InPass:
      return bInPass;
    case PassRule::UndoInRemoval:
      call.bUndo = bRemovalPass && !call.bMarked;
      return bInPass || call.bUndo;
    case PassRule::Both:
      return true;
    case PassRule::BothMarkedOnly:
      return !call.bMarked || bRemovalPass;
    case PassRule::EveryPassBelow10:
      return run.ctx.nFormatVersion < kSyntaxVersion10 || bInPass;
  }
  return false;
}

void ShowLineInProgress(SetupRun& run, const std::string& line) {
  if (SetupService* service = ConnectedService(run)) {
    service->SetProgressText(run, line);
  } else if (run.commands.showProgressDetail) {
    run.commands.showProgressDetail(run, line, "");
  }
}

}  // namespace

size_t CommandNameEnd(std::string_view text) {
  bool bQuoted = false;
  size_t nPos = 0;
  for (; nPos < text.size(); ++nPos) {
    if (text[nPos] == '"') bQuoted = !bQuoted;
    if (!bQuoted && (IsScriptBlank(text[nPos]) || text[nPos] == '(')) break;
  }
  return nPos;
}

int ExecuteCmd(SetupRun& run, const std::string& line, const CommandPass& pass, bool bSizing,
               bool bMedia, int64_t* pnBytes) {
  if (pass.bNotCarriedOut) return 1;
  std::string text = line.substr(0, kVariableLineSize - 1);
  if (!KeepsReferences(text)) ReplaceVariables(run, text);
  while (!text.empty() && IsLineEnd(text.back())) text.pop_back();
  std::string_view body = TrimAnsiLeft(text);
  const bool bMarked = !body.empty() && body[0] == '-';
  if (bMarked) body = TrimAnsiLeft(body.substr(1));
  if (TrimAnsi(body).empty()) return 1;
  const size_t nNameEnd = CommandNameEnd(body);
  if (nNameEnd == 0) return 1;

  CommandCall call{run, line};
  call.line.assign(body);
  call.name.assign(body.substr(0, nNameEnd));
  call.arguments.assign(body.substr(nNameEnd));
  call.bMarked = bMarked;
  call.bSizing = bSizing;
  call.pnBytes = pnBytes;
  const CommandEntry* pEntry = FindCommand(call.name);
  if (!pEntry) pEntry = &ProgramCommand();
  if (!DecidePass(run, pEntry->rule, call)) return 1;
  if (bSizing && !RunsInSizing(call.name)) return 1;
  if (!bMedia && IsMediaCommand(call.name)) return 1;
  if (!bSizing) ShowLineInProgress(run, call.line);

  // A line that lacks arguments is reported when it is carried out, not also when it is sized.
  bool bOk = CountArguments(*pEntry, call.arguments) >= pEntry->nRequired ? pEntry->handler(call)
             : bSizing                                                    ? true
                                                                          : MissingArgument(call);
  if (!bOk && !call.systemError.empty() &&
      ShowMessage(run, 5561, call.systemError) == kResultIgnore)
    bOk = true;
  // An IF line notes its condition and the line it chose, which comes here itself.
  if (run.plan && !bSizing && !platform::AnsiEqualNoCase(call.name, "If"))
    NotePlan(run, "command", call.line, bOk ? "run" : "failed", call.systemError);
  if (bOk && !bSizing) bOk = PumpWindowMessages(run);
  return bOk ? 1 : 0;
}

}  // namespace tarvium
