// The commands the user sees or hears: Echo's box, the error file's ErrorLogMsg entry, the meter,
// the sound, picture, splash, beep, input-blocking and clipboard commands, and DDE to the Program
// Manager (through the shortcut handlers' conversation). In a run driven by the setup service they
// become requests on the pipe. Where neither the user interface nor the machine offers the device
// (sound, pictures, the splash window, input blocking), the line is traced and the run goes on, as
// on a Windows without that feature.
#include "engine/ansi_text.h"
#include "engine/error_log_entries.h"
#include "engine/inf_values.h"
#include "engine/run_plan.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "script/command_handlers.h"
#include "script/decimal_text.h"

namespace tarvium {
namespace {

bool TraceUnavailable(CommandCall& call) {
  SetupTrace(call.run, "Not available on this machine: %s\n", call.line.c_str());
  return true;
}

std::string SetupName(SetupRun& run) {
  return run.inf ? ReadTextKey(*run.inf, "Application", "SetupName", 256) : std::string();
}

}  // namespace

// Echo runs only in a run that is not silent: at every silent level nothing is shown and, in a
// run connected to the setup service, nothing is sent, as no message is.
bool EchoCommand(CommandCall& call) {
  SetupRun& run = call.run;
  if (run.ctx.bSilent || run.ctx.bSilentNoEnd) return true;
  const std::string text(TrimAnsi(call.arguments));
  if (SetupService* service = ConnectedService(run)) {
    service->Echo(run, text);
    return true;
  }
  if (!run.ui) return true;
  const std::string name = SetupName(run);
  ui::MessageBoxRequest request;
  request.caption = name.empty() ? run.ctx.szWindowTitle : name;
  request.text = text;
  request.icon = ui::IconKind::Information;
  request.buttons = {{"&OK", kResultOk}};
  NotePlanBox(run, "Echo", run.ui->MessageBox(request), text);
  return true;
}

bool ErrorLogMsgCommand(CommandCall& call) {
  WriteErrorLogMsg(call.run, std::string(TrimAnsi(call.arguments)));
  return true;
}

bool AddMeterCommand(CommandCall& call) {
  const std::string amount = ArgumentAt(WordArguments(call.arguments), 0);
  if (amount.empty()) return MissingArgument(call);
  if (call.run.commands.moveProgress) call.run.commands.moveProgress(call.run, ReadDecimal(amount));
  return true;
}

bool PlaySoundCommand(CommandCall& call) {
  SetupRun& run = call.run;
  if (run.ctx.bSilent && run.ctx.iSilentLevel != 2) return true;
  const std::string file = ArgumentAt(TextArguments(call.arguments), 0);
  if (SetupService* service = ConnectedService(run)) {
    service->PlaySound(run, file);
    return true;
  }
  return TraceUnavailable(call);
}

bool ShowPictureCommand(CommandCall& call) {
  const std::string file = ArgumentAt(TextArguments(call.arguments), 0);
  if (SetupService* service = ConnectedService(call.run)) {
    service->ShowPicture(call.run, file);
    return true;
  }
  return TraceUnavailable(call);
}

bool SplashDialogOnCommand(CommandCall& call) {
  if (SetupService* service = ConnectedService(call.run))
    return service->Splash(call.run, call.line);
  if (call.run.ctx.bSilent && call.run.ctx.iSilentLevel == 0) return true;
  return TraceUnavailable(call);
}

bool SplashDialogTextCommand(CommandCall& call) {
  if (SetupService* service = ConnectedService(call.run))
    return service->Splash(call.run, call.line);
  return TraceUnavailable(call);
}

bool SplashDialogOffCommand(CommandCall& call) {
  return SplashDialogTextCommand(call);
}

bool BeepCommand(CommandCall& call) {
  const std::string kind = ArgumentAt(WordArguments(call.arguments), 0);
  const int32_t nSound = (kind.empty() ? 4 : ReadDecimal(kind)) * 16;
  SetupTrace(call.run, "Beep %d\n", nSound);
  return true;
}

bool BlockInputCommand(CommandCall& call) {
  return TraceUnavailable(call);
}

bool EmptyClipboardCommand(CommandCall& call) {
  call.run.machine.Clip().SetClipboardText("");
  return true;
}

bool DdeCommand(CommandCall& call) {
  const std::string command(TrimAnsi(call.arguments));
  if (command.empty()) return MissingArgument(call);
  if (!call.run.commands.progmanCommand) return TraceUnavailable(call);
  return call.run.commands.progmanCommand(call.run, command);
}

}  // namespace tarvium
