// The walk follows the tree links of the option table (first and last child, siblings), so each
// option is visited once per pass in either direction without a search.
#include "install/install_pass.h"

#include "engine/extension_library.h"
#include "engine/inf_reader.h"
#include "engine/pump_messages.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "install/copy_file.h"
#include "install/install_engine.h"
#include "install/option_selection.h"
#include "install/option_sizes.h"
#include "install/options_registry.h"
#include "install/process_section.h"
#include "install/progress.h"
#include "platform/ansi_case.h"

namespace tarvium {
namespace {

// The extension hook's events around an option.
constexpr uint32_t kHookBeforeOption = 6;  // 0 skips the option
constexpr uint32_t kHookAfterOption = 7;

// The per-user key of an option: its "UserKeyNames" entry, or the product's UserKeyName when
// that is built from "%Option".
std::string OptionUserKeyName(SetupRun& run, const OptionRecord& option) {
  std::string name;
  if (const InfFile* pInf = InstallFile(run))
    GetValue(*pInf, "UserKeyNames", option.name, name, kShortTextSize);
  if (name.empty()) {
    const std::string& userKeyName = run.variables.Get("UserKeyName");
    if (platform::AnsiUpper(userKeyName).find("%OPTION") == std::string::npos) return {};
    name = userKeyName;
  }
  ReplaceVariables(run, name);
  return name;
}

void RecordOption(SetupRun& run, const OptionRecord& option) {
  const SetupContext& ctx = run.ctx;
  if (ctx.bAdminSetup || OptionsKeyPath(run).empty()) return;
  if (!ctx.bUninstall) {
    if (!ctx.bServiceRelease) RecordOptionInstalled(run, option.name);
    return;
  }
  ForgetOptionInstalled(run, option.name);
  if (IsMachinePartRun(ctx)) return;
  if (const std::string userKey = OptionUserKeyName(run, option); !userKey.empty())
    DeleteUserKey(run, userKey);
}

void VisitOption(SetupRun& run, const OptionRecord& option) {
  SetOptionVariables(run, option);
  if (CallSetupHook(run, kHookBeforeOption, option.name) == 0) return;
  if (!OptionsKeyPath(run).empty()) NoteOptionBeforeRun(run, option.name);
  if (!ProcessSection(run, OwnSectionCall(option))) run.ctx.bAborted = true;
  if (!run.ctx.bAborted || run.ctx.bExitCommand) RecordOption(run, option);
  if (!run.ctx.bAborted) CallSetupHook(run, kHookAfterOption, option.name);
  PumpWindowMessages(run);
}

void Walk(SetupRun& run, int32_t i) {
  const OptionTable& table = EngineOf(run).options;
  const bool bBackwards = run.ctx.bUninstall;
  auto visitSelf = [&] {
    if (i > 0 && table[i].selected && !run.ctx.bAborted) VisitOption(run, table[i]);
  };
  if (!bBackwards) visitSelf();
  for (int32_t c = bBackwards ? table[i].lastChild : table[i].firstChild;
       c >= 0 && !run.ctx.bAborted; c = bBackwards ? table[c].prevSibling : table[c].nextSibling)
    Walk(run, c);
  if (bBackwards) visitSelf();
}

// A full or standard installation takes the options its mode proposes; a custom one (and a
// selection made with /O) keeps the selection as it is.
void PresetChosenMode(SetupRun& run, OptionTable& table) {
  const SetupContext& ctx = run.ctx;
  if (ctx.bUninstall || ctx.bRepair || ctx.bModify || !ctx.szOptions.empty()) return;
  if (ctx.iInstallMode == kModeComplete || ctx.iInstallMode == kModeTypical)
    PresetByMode(table, ctx.iInstallMode);
}

}  // namespace

void SetOptionVariables(SetupRun& run, const OptionRecord& option) {
  run.variables.Set("Option", option.name);
  run.variables.Set("OptionName", OptionShortName(option.name));
  run.variables.Set("OptionText", option.description);
}

SectionCall OwnSectionCall(const OptionRecord& option) {
  SectionCall call;
  call.section = option.name;
  call.pDescription = &option.description;
  call.dwOptionFlags = option.flags;
  call.bRequired = option.firstChild < 0;
  return call;
}

bool RunInstallPass(SetupRun& run) {
  InstallEngine& engine = EngineOf(run);
  engine.processedSections.clear();
  if (engine.options.Count() > 0) Walk(run, 0);
  const auto& createOptionLinks = engine.configuration.createOptionLinks;
  if (!run.ctx.bAborted && run.ctx.bShellLinks && createOptionLinks && !createOptionLinks(run))
    run.ctx.bAborted = true;
  return !run.ctx.bAborted;
}

bool RunInstallationPasses(SetupRun& run) {
  OptionTable& table = EngineOf(run).options;
  PresetChosenMode(run, table);
  SetProgressRange(run, SizeOfSelection(run, kModeCustom, true));
  if (!run.ctx.bModify) {
    if (!RunInstallPass(run)) return false;
    CheckRuntimeVersions(run);
    return true;
  }
  std::vector<bool> wanted(table.records.size());
  for (int32_t i = 1; i < table.Count(); ++i) {
    wanted[static_cast<size_t>(i)] = table[i].selected;
    table[i].selected = table[i].selected && !table[i].installed;
  }
  RunInstallPass(run);
  if (!run.ctx.bAborted) {
    run.ctx.bUninstall = true;
    for (int32_t i = 1; i < table.Count(); ++i)
      table[i].selected = table[i].installed && !wanted[static_cast<size_t>(i)];
    RunInstallPass(run);
    run.ctx.bUninstall = false;
  }
  for (int32_t i = 1; i < table.Count(); ++i) table[i].selected = wanted[static_cast<size_t>(i)];
  if (run.ctx.bAborted) return false;
  CheckRuntimeVersions(run);
  return true;
}

}  // namespace tarvium
