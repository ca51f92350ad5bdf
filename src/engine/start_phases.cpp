// The first phases of a run: from the initialisation to the /V check. Everything they read comes
// from the command line and the setup information file; nothing of the machine changes yet except
// the error and trace files.
#include "engine/command_line.h"
#include "engine/date_time_variables.h"
#include "engine/debug_output.h"
#include "engine/error_file.h"
#include "engine/inf_location.h"
#include "engine/inf_reader.h"
#include "engine/init_variables.h"
#include "engine/path_steps.h"
#include "engine/product_identity.h"
#include "engine/replace_variables.h"
#include "engine/setup_phases.h"
#include "engine/setup_run.h"
#include "engine/shutdown_countdown.h"
#include "engine/string_section_choice.h"
#include "engine/variable_sections.h"

namespace tarvium {
namespace {

// "1.2" or "1.2.3": the version, then "." and the revision when there is one.
std::string VersionText(const std::string& version, const std::string& revision) {
  return revision.empty() ? version : version + "." + revision;
}

}  // namespace

PhaseEnd InitialiseRun(SetupRun& run) {
  if (run.script.initMessageCatalog) run.script.initMessageCatalog(run);
  if (!InitVariables(run)) return PhaseEnd::NotStarted;
  if (run.script.chooseLanguage) run.script.chooseLanguage(run);
  return PhaseEnd::Next;
}

PhaseEnd ReadCommandLine(SetupRun& run) {
  ParseCommandLine(run, BuildCommandText(run, run.sequence.szArguments));
  if (run.ctx.szShutdownSpec.empty()) return PhaseEnd::Next;
  RunShutdownCountdown(run, run.ctx.szShutdownSpec);
  return PhaseEnd::NotStarted;
}

PhaseEnd ResolveFiles(SetupRun& run) {
  ResolveInfFile(run);
  PrepareErrorFile(run);
  if (run.script.attachErrorFile) run.script.attachErrorFile(run);
  return PhaseEnd::Next;
}

PhaseEnd LoadSetupFile(SetupRun& run) {
  if (run.ctx.bShowUsage) return PhaseEnd::Next;
  TextEncoding encoding;
  run.inf = LoadTextFile(run, run.ctx.szInfFile, encoding);
  run.ctx.bOk = run.inf && BuildSectionIndex(run, *run.inf);
  return PhaseEnd::Next;
}

PhaseEnd TakeSetupProgram(SetupRun& run) {
  if (run.ctx.szSetupProgram.empty()) run.ctx.szSetupProgram = run.sequence.szExePath;
  return PhaseEnd::Next;
}

// There is no main window on this platform; the usage text is the one thing shown in its place.
PhaseEnd CreateMainWindow(SetupRun& run) {
  return ShowUsageIfAsked(run) ? PhaseEnd::StartLoop : PhaseEnd::Next;
}

PhaseEnd LoadStringSections(SetupRun& run) {
  const InfFile& inf = *run.inf;
  const std::string strings =
      ChooseStringSection(inf, "Strings", run.messages.lcidLanguage, "UseStringSection");
  const std::string sysStrings =
      ChooseStringSection(inf, "SysStrings", GetInstallLanguage(run), "UseSysStringSection");
  run.ctx.bOk = LoadVariableSection(run, inf, strings, false, false) &&
                LoadVariableSection(run, inf, sysStrings, false, false);
  return PhaseEnd::Next;
}

// Also writes the identity lines of the error and trace files.
PhaseEnd ReadIdentity(SetupRun& run) {
  ReadProductIdentity(run, *run.inf);
  return PhaseEnd::Next;
}

PhaseEnd ApplySourceDirectory(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  run.sequence.szRememberedSrcDir = ctx.szSrcDir;
  std::string dir = ctx.szSrcDirOverride;
  ReplaceVariables(run, dir);
  if (dir.empty()) return PhaseEnd::Next;
  if (dir.back() != '\\') dir.push_back('\\');
  if (dir.find(':') != std::string::npos || dir.front() == '\\') {
    ctx.szSrcDir = dir;
  } else {
    ctx.szSrcDir += dir;
    RemoveParentSteps(ctx.szSrcDir);
  }
  SetVariable(run, "SrcDir", ctx.szSrcDir);
  return PhaseEnd::Next;
}

PhaseEnd SendVariablesToDebugger(SetupRun& run) {
  if (!run.ctx.bDebug) return PhaseEnd::Next;
  for (const std::string& entry : run.machine.Env().Block()) DebugOutput(run, entry + "\n");
  const auto names = PredefinedNames();
  for (size_t i = 0; i < names.size(); ++i)
    DebugOutput(
        run, std::string(names[i].name) + "=" + run.variables.ValueAt(static_cast<int>(i)) + "\n");
  return PhaseEnd::Next;
}

PhaseEnd ApplyWorkstationSwitch(SetupRun& run) {
  if (run.ctx.bAdminWorkstation) {
    run.ctx.bAdminSetup = false;
    run.ctx.bWorkstationSetup = true;
  }
  return PhaseEnd::Next;
}

PhaseEnd CheckRequiredVersion(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  if (ctx.szRequiredVersion.empty()) return PhaseEnd::Next;
  const std::string& version = run.variables.Get("Version");
  const std::string& revision = run.variables.Get("Revision");
  std::string requiredRevision = ctx.szRequiredRevision;
  if (requiredRevision == "0" && revision.empty()) requiredRevision.clear();
  if (version == ctx.szRequiredVersion && revision == requiredRevision) return PhaseEnd::Next;
  ctx.bAbortedBySetupData = true;
  ctx.bOk = false;
  ctx.bAborted = true;
  ShowMessage(run, 5572, VersionText(ctx.szRequiredVersion, requiredRevision),
              VersionText(version, revision));
  return PhaseEnd::Next;
}

}  // namespace tarvium
