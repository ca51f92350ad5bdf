// SetupRun: one run of the engine and the services it uses. main creates it and passes it by
// reference; there are no globals, so a test can create as many runs as it likes.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/command_hooks.h"
#include "engine/error_file.h"
#include "engine/inf_file.h"
#include "engine/install_hooks.h"
#include "engine/message_state.h"
#include "engine/run_plan.h"
#include "engine/script_hooks.h"
#include "engine/section_line_hooks.h"
#include "engine/sequence_state.h"
#include "engine/service_hooks.h"
#include "engine/setup_context.h"
#include "engine/show_message.h"
#include "engine/variable_store.h"
#include "platform/machine.h"
#include "ui/user_interface.h"

namespace tarvium {

// The installation engine's state (install_engine.h); opaque here.
struct InstallEngine;
// The loaded setup extension library (extension_library.h); opaque here.
struct SetupExtension;

// The section and the 1-based line being processed; messages and the error file name it.
struct CurrentPosition {
  std::string section;
  int32_t nLine = 0;
};

struct SetupRun {
  explicit SetupRun(platform::Machine& runMachine) : machine(runMachine) {}

  SetupContext ctx;
  platform::Machine& machine;  // every operating-system service the run uses
  CurrentPosition position;
  std::vector<ShownMessage> shownMessages;  // every message shown in this run, in order
  std::vector<std::string> debugLines;      // diagnostic lines (DebugOutput), in order
  bool bKeepDebugLines = true;              // Setup.exe has no reader of debugLines and keeps none
  LogFiles log;                             // the error file (/E) and the trace file (/B)
  VariableStore variables;                  // the predefined variables
  ScriptHooks script;                       // what the engine asks of the script engine
  InstallHooks install;                   // what the main sequence asks of the installation engine
  std::unique_ptr<ui::UserInterface> ui;  // none: nothing is shown, nothing to pump
  // The message catalog's language, its switches and the text of the last message.
  MessageState messages;
  // What the script engine asks of the section processing (IF lines run or measure a line).
  SectionLineHooks sectionLines;
  // What the script commands ask of the installation engine, the system configuration and the
  // setup service; each fills its entries when it attaches.
  CommandHooks commands;
  // The setup information file of the run, from its loading to the end of the run.
  std::optional<InfFile> inf;
  // What the phases of the main sequence hand on to later phases.
  SequenceState sequence;
  // The installation engine's state (option table, pass state, section handlers); created by
  // AttachInstallEngine.
  std::shared_ptr<InstallEngine> installEngine;
  // The setup extension library while it is loaded; none: every hook event answers 1.
  std::shared_ptr<SetupExtension> extension;
  // The setup service's pipe client (AttachServicePipe); none: a /G run cannot connect.
  std::unique_ptr<SetupService> service;
  // The machine's OS version once RunOsVersion asked for it; it does not change during a run.
  std::optional<platform::OsVersionInfo> osVersion;
  // The plan of a plan run (/Plan:FILE), which its caller writes out; none in any other run.
  std::shared_ptr<RunPlan> plan;
};

// The setup service when the run is connected to it (/G) and one is attached; null otherwise.
inline SetupService* ConnectedService(SetupRun& run) {
  return run.ctx.bServiceMode ? run.service.get() : nullptr;
}

// The machine's OS version, asked of the machine once per run: copy lines ask for it several
// times each, and the machine builds it anew from its configuration every time.
inline const platform::OsVersionInfo& RunOsVersion(SetupRun& run) {
  if (!run.osVersion) run.osVersion = run.machine.System().OsVersion();
  return *run.osVersion;
}

inline void SetPosition(SetupRun& run, const std::string& section, int32_t nLine) {
  run.position.section = section;
  run.position.nLine = nLine;
}

}  // namespace tarvium
