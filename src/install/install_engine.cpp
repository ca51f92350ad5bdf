// The hooks capture nothing: every operation finds the engine's state through the run, so a run
// can be attached again (a test's second run, a rebuilt table) without stale references.
#include "install/install_engine.h"

#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "install/build_options.h"
#include "install/command_services.h"
#include "install/copy_line.h"
#include "install/generic_section.h"
#include "install/install_pass.h"
#include "install/option_page.h"
#include "install/option_selection.h"
#include "install/option_sizes.h"
#include "install/requirements.h"

namespace tarvium {
namespace {

// The section call IF lines run their command in: the innermost section being processed.
SectionCall CurrentSectionCall(SetupRun& run) {
  const InstallEngine& engine = EngineOf(run);
  return engine.sectionStack.empty() ? SectionCall{} : engine.sectionStack.back();
}

bool ProcessIfChoice(SetupRun& run, const std::string& line) {
  return ProcessSectionLine(run, CurrentSectionCall(run), line);
}

int64_t MeasureIfChoice(SetupRun& run, const std::string& line) {
  InstallEngine& engine = EngineOf(run);
  const int64_t nBefore = engine.nSizedBytes;
  engine.nSizedBytes = 0;
  ProcessSectionLine(run, CurrentSectionCall(run), line);
  const int64_t nBytes = engine.nSizedBytes;
  engine.nSizedBytes = nBefore;
  return nBytes;
}

bool HasSpaceForSelection(SetupRun& run, std::string& szTarget) {
  const SelectionSpace space = SpaceForSelection(run);
  szTarget = space.target;
  return space.Fits();
}

}  // namespace

InstallEngine& EngineOf(SetupRun& run) {
  if (!run.installEngine) run.installEngine = std::make_shared<InstallEngine>();
  return *run.installEngine;
}

const InfFile* InstallFile(SetupRun& run) {
  return run.inf ? &*run.inf : nullptr;
}

void AttachInstallEngine(SetupRun& run) {
  EngineOf(run);
  run.install.buildOptions = BuildOptions;
  run.install.applyOptionSwitch = ApplyOptionSwitch;
  run.install.checkRequirements = CheckRequirements;
  run.install.hasSpaceForSelection = HasSpaceForSelection;
  run.install.sizeOfMode = [](SetupRun& modeRun, int iMode) {
    return SizeOfSelection(modeRun, iMode, false);
  };
  run.install.runInstallation = RunInstallationPasses;
  run.install.askOptions = ShowOptionsPage;
  SetCopyLineProcessor(run, ProcessCopyLine);
  run.sectionLines.processLine = ProcessIfChoice;
  run.sectionLines.measureLine = MeasureIfChoice;
  AttachCommandServices(run);
}

void RegisterSectionHandler(SetupRun& run, SectionKind kind, SectionHandler handler) {
  EngineOf(run).handlers[static_cast<size_t>(kind)] = std::move(handler);
}

void SetCopyLineProcessor(SetupRun& run, CopyLineProcessor processor) {
  EngineOf(run).copyLineProcessor = std::move(processor);
}

}  // namespace tarvium
