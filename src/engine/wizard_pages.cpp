// The questions of a run, asked in a fixed order of ten pages. Each page has a condition and an
// asking function; the walk goes forward on Next, back to the page shown before on Back and stops
// the run on Cancel. A page whose condition fails is passed over and counts as not shown, so Back
// is offered only once a page was shown. The option page belongs to the installation engine and
// the prompt pages to the script engine; both are asked through the run's hooks.
#include <cstring>
#include <vector>

#include "engine/inf_fields.h"
#include "engine/inf_reader.h"
#include "engine/mode_size_text.h"
#include "engine/prompt_sections.h"
#include "engine/replace_variables.h"
#include "engine/run_plan.h"
#include "engine/setup_phases.h"
#include "engine/setup_run.h"
#include "engine/text_escapes.h"

namespace tarvium {
namespace {

using ui::kChoiceFromCD;
using ui::kChoiceFromServer;
using ui::kChoiceLocal;
using ui::kChoiceLocalShared;
using ui::kModeCustom;
using ui::kModeFull;

struct WizardPage {
  bool (*isShown)(const SetupContext& ctx);
  int (*ask)(SetupRun& run, bool bBack);
};

// Not silent and not uninstalling, repairing or modifying: the pages that set up a new install.
bool IsFreshInteractive(const SetupContext& ctx) {
  return !ctx.bSilent && !ctx.bUninstall && !ctx.bRepair && !ctx.bModify;
}

int AskPage(SetupRun& run, ui::PageRequest& page, bool bBack) {
  page.bBack = bBack;
  page.bCancel = !run.ctx.bDisableCancelButton;
  return ShowWizardPage(run, page);
}

// The terms-of-use or info text: from the file the first key names, else from the second key's
// value (variables replaced twice).
std::string PageText(SetupRun& run, std::string fileName, const char* pszValueKey) {
  ReplaceVariables(run, fileName);
  if (!fileName.empty()) {
    std::string bytes;
    if (run.machine.Files().ReadWholeFile(fileName, bytes) != 0) return "";
    TextEncoding encoding;
    const std::vector<char> text = DecodeText(bytes, encoding);
    return std::string(text.data(), strnlen(text.data(), text.size()));
  }
  std::string text;
  GetValue(*run.inf, "Application", pszValueKey, text, kVariableLineSize);
  ReplaceVariables(run, text);
  ReplaceVariables(run, text);
  return text;
}

bool IsLicenceShown(const SetupContext& ctx) {
  return ctx.bAskLicence && !ctx.bSilent && !ctx.bUninstall &&
         (!ctx.bRepair || ctx.bServiceRelease) && !ctx.bModify && !ctx.bUserPartRun;
}

int AskLicence(SetupRun& run, bool bBack) {
  ui::PageRequest page;
  page.kind = ui::PageKind::Licence;
  page.text = ResolveTextEscapes(PageText(run, run.ctx.szLicenceTextFileName, "LicenceText"));
  return AskPage(run, page, bBack);
}

bool IsInfoShown(const SetupContext& ctx) {
  return ctx.bAskInfo && !ctx.bSilent && !ctx.bUninstall &&
         !(ctx.bRepair && !ctx.bServiceRelease && !ctx.bAskInfoUpdate) && !ctx.bModify &&
         !ctx.bUserPartRun;
}

int AskInfo(SetupRun& run, bool bBack) {
  ui::PageRequest page;
  page.kind = ui::PageKind::Info;
  page.text = ResolveTextEscapes(PageText(run, "", "InfoText"));
  return AskPage(run, page, bBack);
}

bool IsFromCDShown(const SetupContext& ctx) {
  return ctx.bAskFromCD && !ctx.bFromCD && !ctx.bAdminInstallation && !ctx.bAdminSetup &&
         IsFreshInteractive(ctx) && !ctx.bUserPartRun;
}

int AskFromCD(SetupRun& run, bool bBack) {
  ui::PageRequest page;
  page.kind = ui::PageKind::FromCD;
  page.nDefaultChoice = run.ctx.bFromCD ? kChoiceFromCD : kChoiceLocal;
  const int nResult = AskPage(run, page, bBack);
  if (nResult == kChoiceFromCD || nResult == kChoiceLocal) {
    run.ctx.bFromCD = nResult == kChoiceFromCD;
    return ui::kPageNext;
  }
  return nResult;
}

bool IsSharedShown(const SetupContext& ctx) {
  return ctx.bAskShared && ctx.bAdminInstallation && !ctx.bClientSwitch && !ctx.bLocalOnly &&
         !ctx.bAdminSetup && IsFreshInteractive(ctx) && !ctx.bUserPartRun;
}

// After the choice: which "AskDir" holds, and the client directory's default.
void ApplySharedChoice(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  if (!ctx.bAdminSetup && (ctx.bClientSetup || ctx.bFromCD)) ctx.bAskDir = ctx.bClientAskDir;
  if (ctx.bWorkstationSetup && ctx.bClientSetup) ctx.bAskDir = false;
  if (!run.variables.Get("Client").empty()) return;
  std::string clientDir = ctx.szClientDir;
  ReplaceVariables(run, clientDir);
  run.variables.Set("Client", clientDir.empty() ? run.variables.Get("ApplicationDir") : clientDir);
}

int AskShared(SetupRun& run, bool bBack) {
  ui::PageRequest page;
  page.kind = ui::PageKind::Shared;
  page.nDefaultChoice = run.ctx.bClientSetup ? kChoiceFromServer : kChoiceLocalShared;
  const int nResult = AskPage(run, page, bBack);
  if (nResult != kChoiceFromServer && nResult != kChoiceLocalShared) return nResult;
  run.ctx.bClientSetup = nResult == kChoiceFromServer;
  ApplySharedChoice(run);
  return ui::kPageNext;
}

bool IsModeShown(const SetupContext& ctx) {
  return ctx.bAskMode && !ctx.bAdminSetup && !ctx.bWorkstationSetup && IsFreshInteractive(ctx);
}

// The size of a mode for the "%s" of its choice, in the locale's number format; empty when the
// installation engine cannot tell it.
std::string ModeSize(SetupRun& run, int iMode) {
  if (!run.install.sizeOfMode) return "";
  const std::string decimal = run.machine.Profiles().GetProfileString("intl", "sDecimal", ",");
  return ModeSizeText(run.install.sizeOfMode(run, iMode), decimal);
}

int AskMode(SetupRun& run, bool bBack) {
  ui::PageRequest page;
  page.kind = ui::PageKind::Mode;
  page.nDefaultChoice = run.ctx.iInstallMode;
  page.fullSize = ModeSize(run, kModeFull);
  page.standardSize = ModeSize(run, ui::kModeStandard);
  const int nResult = AskPage(run, page, bBack);
  if (nResult < kModeFull || nResult > kModeCustom) return nResult;
  run.ctx.iInstallMode = nResult;
  return ui::kPageNext;
}

// "D:" alone means the root of the drive.
void DriveToRoot(std::string& dir) {
  if (dir.size() == 2 && dir[1] == ':') dir.push_back('\\');
}

int AskDirectoryPage(SetupRun& run, ui::PageKind kind, int nText, std::string_view variable,
                     bool bBack) {
  ui::PageRequest page;
  page.kind = kind;
  page.text = std::to_string(nText);
  page.value = run.variables.Get(variable);
  const int nResult = AskPage(run, page, bBack);
  DriveToRoot(page.value);
  if (nResult == ui::kPageNext) run.variables.Set(variable, page.value);
  return nResult;
}

bool IsDirectoryShown(const SetupContext& ctx) {
  return ctx.bAskDir && IsFreshInteractive(ctx);
}

int AskDirectory(SetupRun& run, bool bBack) {
  const bool bClient = run.ctx.bClientSetup || run.ctx.bFromCD;
  return AskDirectoryPage(run, ui::PageKind::Directory, 5036, bClient ? "Client" : "ApplicationDir",
                          bBack);
}

bool IsDataDirectoryShown(const SetupContext& ctx) {
  return ctx.bAskDataDir && !ctx.bAdminSetup && !ctx.bWorkstationSetup && IsFreshInteractive(ctx);
}

int AskDataDirectory(SetupRun& run, bool bBack) {
  return AskDirectoryPage(run, ui::PageKind::DataDirectory, 5037, "DataDir", bBack);
}

bool IsUserShown(const SetupContext& ctx) {
  return ctx.bAskUser && IsFreshInteractive(ctx) && !ctx.bAdminInstallation && !ctx.bUserPartRun;
}

int AskUser(SetupRun& run, bool bBack) {
  ui::PageRequest page;
  page.kind = ui::PageKind::User;
  page.value = run.variables.Get("User");
  page.secondValue = run.variables.Get("Company");
  const int nResult = AskPage(run, page, bBack);
  if (nResult == ui::kPageNext) {
    run.variables.Set("User", page.value);
    run.variables.Set("Company", page.secondValue);
  }
  return nResult;
}

// The sections of the prompt list that can be asked; the others are passed over here, once, so
// that walking back never lands on one of them.
std::vector<std::string> PromptSections(SetupRun& run) {
  std::vector<std::string> sections;
  for (const char* rest = run.ctx.szPrompts.c_str(); *rest;) {
    std::string name;
    rest = NextField(rest, name);
    if (!name.empty() && !PromptVariable(run, name).empty()) sections.push_back(name);
  }
  return sections;
}

bool ArePromptsShown(const SetupContext& ctx) {
  return !ctx.szPrompts.empty();
}

// Each prompt section is a page of its own, walked forward and back; Back from the first one
// goes back to the page before the prompts. Coming back from the page after them (bFromLast)
// starts at the last one.
int AskPromptPages(SetupRun& run, bool bBack, bool bFromLast) {
  const std::vector<std::string> sections = PromptSections(run);
  if (!run.script.askPrompt || sections.empty()) return ui::kPageNext;
  for (size_t i = bFromLast ? sections.size() - 1 : 0; i < sections.size();) {
    const int nResult = run.script.askPrompt(run, sections[i], bBack || i > 0);
    if (nResult == ui::kPageBack) {
      if (i == 0) return ui::kPageBack;
      --i;
    } else if (nResult == ui::kPageNext) {
      ++i;
    } else {
      return nResult;
    }
  }
  return ui::kPageNext;
}

int AskPrompts(SetupRun& run, bool bBack) {
  return AskPromptPages(run, bBack, false);
}

bool AreOptionsShown(const SetupContext& ctx) {
  return ctx.iInstallMode == kModeCustom && ctx.szOptions.empty() && !ctx.bSilent &&
         !ctx.bUninstall && !ctx.bRepair && ctx.bAskOptions;
}

int AskOptionsPage(SetupRun& run, bool bBack) {
  if (SetupService* service = ConnectedService(run)) return service->GetOptions(run);
  return run.install.askOptions ? run.install.askOptions(run, bBack) : ui::kPageNext;
}

int AskOptions(SetupRun& run, bool bBack) {
  const int nResult = AskOptionsPage(run, bBack);
  std::string target;
  if (nResult != ui::kPageNext || run.ctx.bUninstall || !run.install.hasSpaceForSelection ||
      run.install.hasSpaceForSelection(run, target))
    return nResult;
  return ShowMessage(run, 5566, target) == kResultIgnore ? ui::kPageNext : ui::kPageCancel;
}

constexpr WizardPage kPages[] = {
    {IsLicenceShown, AskLicence},
    {IsInfoShown, AskInfo},
    {IsFromCDShown, AskFromCD},
    {IsSharedShown, AskShared},
    {IsModeShown, AskMode},
    {IsDirectoryShown, AskDirectory},
    {IsDataDirectoryShown, AskDataDirectory},
    {IsUserShown, AskUser},
    {ArePromptsShown, AskPrompts},
    {AreOptionsShown, AskOptions},
};

// The mode a run takes when the mode page is not asked.
int DefaultInstallMode(const SetupContext& ctx) {
  const bool bFixedSetup = ctx.bAdminSetup || ctx.bWorkstationSetup || ctx.bClientSetup;
  return bFixedSetup && !ctx.bAskOptions ? kModeFull : kModeCustom;
}

}  // namespace

int ShowWizardPage(SetupRun& run, ui::PageRequest& page) {
  SetupService* service = ConnectedService(run);
  const int nAnswer = service  ? service->AskPage(run, page)
                      : run.ui ? run.ui->ShowPage(page)
                               : page.nDefaultChoice;
  NotePlanPage(run, page, nAnswer);
  return nAnswer;
}

PhaseEnd AskPages(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  if (ctx.bClientSwitch && ctx.bAdminInstallation) ctx.bClientSetup = true;
  ctx.iInstallMode = DefaultInstallMode(ctx);
  std::vector<size_t> shown;  // the pages shown so far, for Back
  bool bReturned = false;     // the page about to be asked is reached by Back
  for (size_t i = 0; i < std::size(kPages) && ctx.bOk;) {
    if (!kPages[i].isShown(ctx)) {
      // the shared page before it may have made this a client setup
      if (kPages[i].ask == AskMode) ctx.iInstallMode = DefaultInstallMode(ctx);
      ++i;
      continue;
    }
    // Back from a later page comes to the last of the prompt pages, not their first.
    const int nResult = bReturned && kPages[i].ask == AskPrompts
                            ? AskPromptPages(run, !shown.empty(), true)
                            : kPages[i].ask(run, !shown.empty());
    bReturned = nResult == ui::kPageBack && !shown.empty();
    if (bReturned) {
      i = shown.back();
      shown.pop_back();
    } else if (nResult == ui::kPageNext) {
      shown.push_back(i++);
    } else if (nResult != ui::kPageBack) {
      ctx.bOk = false;
    }
  }
  return PhaseEnd::Next;
}

}  // namespace tarvium
