#include "run_setup.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "engine/command_line.h"
#include "engine/main_sequence.h"
#include "engine/plan_report.h"
#include "engine/setup_run.h"
#include "install/install_engine.h"
#include "install/installation_run.h"
#include "install/installed_product.h"
#include "platform/ansi_case.h"
#include "platform/command_line_args.h"
#include "platform/error_text.h"
#include "platform/recording/recording_machine.h"
#include "platform/win_error.h"
#include "script/message_catalog.h"
#include "script/message_spec.h"
#include "script/script_engine.h"
#include "script/user_interface_link.h"
#include "service/setup_service_pipe.h"
#include "sysconfig/system_configuration.h"
#include "ui/create_user_interface.h"

namespace tarvium::setup {

std::string CommandText(const std::vector<std::string>& arguments) {
  std::string text;
  for (const std::string& given : arguments) {
    const std::string argument = platform::IsHelpArgument(given) ? "/?" : given;
    if (!text.empty()) text += ' ';
    const bool bQuote = argument.find_first_of(" \t") != std::string::npos;
    text += bQuote ? "\"" + argument + "\"" : argument;
  }
  return text;
}

bool AsksForUsageText(const std::vector<std::string>& arguments) {
  return std::any_of(arguments.begin(), arguments.end(), [](const std::string& argument) {
    return platform::IsHelpArgument(argument) && argument != "/?";
  });
}

std::string UsageText() {
  MessageSpec usage;
  ParseMessageSpec(CatalogEntry(CatalogLanguage::English, 5541).value_or(""), usage);
  return usage.textTemplate + "\nEvery switch and exit code: man tarvium-setup.";
}

namespace {

// Attaches the engine's parts and the user interface to a run on the machine.
void AttachEngine(SetupRun& run, platform::Machine& machine, const std::string& exePath) {
  run.bKeepDebugLines = false;
  AttachScriptEngine(run);
  AttachInstalledProduct(run);
  AttachInstallEngine(run);
  AttachInstallationRun(run);
  AttachSystemConfiguration(run);
  AttachServicePipe(run);
  ConnectUserInterface(run, ui::CreateUserInterface(machine));
  run.sequence.szExePath = exePath;
  run.ctx.szExeDir = exePath.substr(0, exePath.rfind('\\'));
}

// Writes the plan as text to planFile and as JSON lines beside it (planFile + ".jsonl"); false
// with a line on standard error when either cannot be written.
bool WritePlanFiles(platform::Machine& machine, const WriteOutputFile& writeOutput,
                    const std::string& planFile, const RunPlan& plan,
                    const std::vector<platform::MachineChange>& changes, const PlanEnd& end) {
  for (const auto& [path, text] :
       {std::pair{planFile, PlanText(plan, changes, end)},
        std::pair{planFile + ".jsonl", PlanJsonLines(plan, changes, end)}}) {
    if (const uint32_t dwError = writeOutput(path, text); dwError != platform::ERROR_SUCCESS) {
      machine.Output().WriteErrorLine("Setup.exe: cannot write the plan to " + path + ": " +
                                      platform::SystemErrorText(dwError));
      return false;
    }
  }
  return true;
}

// A plan run: the whole run against a machine that records its changes instead of making them,
// then the plan written where the caller's own files are. A plan that cannot be written ends
// the run with -1, as a run that could not start.
int32_t RunPlanned(platform::Machine& machine, const std::string& exePath,
                   const std::string& commandText, const std::string& planFile,
                   const WriteOutputFile& writeOutput) {
  platform::RecordingMachine recorder(machine);
  SetupRun run(recorder);
  AttachEngine(run, recorder, exePath);
  auto plan = std::make_shared<RunPlan>([&recorder] { return recorder.Changes().size(); });
  run.plan = plan;
  const int32_t nExitCode = WinMain(run, commandText);
  const PlanEnd end{PlanRestartText(run.ctx), nExitCode};
  if (!WritePlanFiles(machine, writeOutput, planFile, *plan, recorder.Changes(), end)) return -1;
  return nExitCode;
}

// Why a plan cannot go to this file, or empty: a plan switch without its file, or one naming a
// setup information file, which the plan would overwrite, are refused before anything runs.
std::string PlanFileFault(const std::string& planFile) {
  if (planFile.empty()) return "/Plan needs the file to write the plan to: /Plan:FILE";
  if (platform::AnsiEndsWithNoCase(planFile, ".inf"))
    return "the plan would overwrite a setup information file: " + planFile;
  return "";
}

}  // namespace

int32_t RunSetup(platform::Machine& machine, const std::string& exePath,
                 const std::string& commandText, const WriteOutputFile& writeOutput) {
  if (const std::optional<std::string> planFile = PlanFileOf(commandText)) {
    if (const std::string fault = PlanFileFault(*planFile); !fault.empty()) {
      machine.Output().WriteErrorLine("Setup.exe: " + fault);
      return -1;
    }
    return RunPlanned(machine, exePath, commandText, *planFile, writeOutput);
  }
  SetupRun run(machine);
  AttachEngine(run, machine, exePath);
  return WinMain(run, commandText);
}

}  // namespace tarvium::setup
