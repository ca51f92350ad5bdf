// The entries are built once in tree order; a toggle changes only states and texts, which the
// refresh recomputes from the table in one backward sweep: a parent is declared before its
// children, so its index is lower and its subtree is complete when the sweep reaches it.
#include "install/option_page.h"

#include <algorithm>

#include "engine/run_plan.h"
#include "engine/setup_run.h"
#include "install/install_engine.h"
#include "install/option_record.h"
#include "install/option_selection.h"
#include "install/option_sizes.h"
#include "script/message_catalog.h"
#include "script/message_format.h"

namespace tarvium {
namespace {

bool IsListed(const OptionRecord& option) {
  return (option.flags & OPTION_HIDDEN) == 0;
}

bool IsFixed(const OptionRecord& option) {
  return (option.flags & OPTION_COPYALWAYS) != 0;
}

// The decimal separator of the user's locale settings.
std::string DecimalSeparator(SetupRun& run) {
  return run.machine.Profiles().GetProfileString("intl", "sDecimal", ",");
}

// Appends the listed options below option i in tree order, their entries at nDepth.
void AddEntries(const OptionTable& table, int32_t i, int nDepth, const std::string& separator,
                std::vector<ui::OptionEntry>& entries) {
  for (int32_t c = table[i].firstChild; c >= 0; c = table[c].nextSibling) {
    const OptionRecord& option = table[c];
    if (!IsListed(option)) {
      AddEntries(table, c, nDepth, separator, entries);
      continue;
    }
    ui::OptionEntry entry;
    entry.nOption = c;
    entry.title =
        option.description.empty() ? std::string(OptionShortName(option.name)) : option.description;
    entry.sizeText = ui::OptionSizeText(option.size, separator);
    entry.nDepth = nDepth;
    entry.bRadio = option.groupIndex >= 0;
    entry.bEnabled = !IsFixed(option);
    entry.description = option.help;
    entries.push_back(std::move(entry));
    AddEntries(table, c, nDepth + 1, separator, entries);
  }
}

// Every option's mark: checked when it and every listed option below it are selected, clear
// when none of them is, partial otherwise.
std::vector<ui::CheckState> SubtreeStates(const OptionTable& table) {
  const size_t nCount = table.records.size();
  std::vector<uint8_t> anySelected(nCount, 0), allSelected(nCount, 1);
  for (int32_t i = table.Count() - 1; i > 0; --i) {
    const size_t n = static_cast<size_t>(i);
    if (IsListed(table[i])) {
      anySelected[n] |= table[i].selected ? 1 : 0;
      allSelected[n] &= table[i].selected ? 1 : 0;
    }
    const size_t nParent = static_cast<size_t>(std::max(table[i].parent, 0));
    anySelected[nParent] |= anySelected[n];
    allSelected[nParent] &= allSelected[n];
  }
  std::vector<ui::CheckState> states(nCount, ui::CheckState::Clear);
  for (size_t n = 0; n < nCount; ++n) {
    if (allSelected[n] && anySelected[n])
      states[n] = ui::CheckState::Checked;
    else if (anySelected[n])
      states[n] = ui::CheckState::Partial;
  }
  return states;
}

// "%d of %d components selected", counting the options a person can choose.
std::string CountLine(SetupRun& run, const OptionTable& table) {
  int64_t nSelected = 0, nChoosable = 0;
  for (int32_t i = 1; i < table.Count(); ++i) {
    if (!IsListed(table[i]) || IsFixed(table[i])) continue;
    ++nChoosable;
    nSelected += table[i].selected ? 1 : 0;
  }
  return FormatMessageText(GetText(run, 5006), {nSelected, nChoosable});
}

void Refresh(SetupRun& run, ui::OptionsPage& page, const std::string& separator) {
  const OptionTable& table = EngineOf(run).options;
  const std::vector<ui::CheckState> states = SubtreeStates(table);
  for (ui::OptionEntry& entry : page.entries) {
    entry.bSelected = table[entry.nOption].selected;
    entry.state = states[static_cast<size_t>(entry.nOption)];
  }
  page.countLine = CountLine(run, table);
  const SelectionSpace space = SpaceForSelection(run);
  page.selectionSizeText =
      ui::OptionSizeText(static_cast<uint64_t>(std::max<int64_t>(space.nNeeded, 0)), separator);
  page.spaceWarning = space.Fits() ? std::string() : GetText(run, 5001);
}

// A fixed option never changes here, and the selected member of a group with the value 1 keeps
// its place until another member is chosen.
bool ToggleEntry(SetupRun& run, ui::OptionsPage& page, size_t nEntry,
                 const std::string& separator) {
  OptionTable& table = EngineOf(run).options;
  if (nEntry >= page.entries.size()) return false;
  const int32_t i = page.entries[nEntry].nOption;
  if (i <= 0 || i >= table.Count() || IsFixed(table[i])) return false;
  const bool bSelected = table[i].selected;
  if (bSelected && table[i].groupIndex >= 0 && table[i].groupValue == 1) return false;
  SelectOption(table, i, !bSelected);
  Refresh(run, page, separator);
  return true;
}

}  // namespace

void FillOptionsPage(SetupRun& run, ui::OptionsPage& page) {
  const OptionTable& table = EngineOf(run).options;
  const std::string separator = DecimalSeparator(run);
  page.entries.clear();
  if (table.Count() > 0) AddEntries(table, 0, 1, separator, page.entries);
  page.checkmarks = ui::CheckmarkSetOf(run.ctx.nUseCheckmarks);
  page.toggle = [&run, separator](ui::OptionsPage& shown, size_t nEntry) {
    return ToggleEntry(run, shown, nEntry, separator);
  };
  Refresh(run, page, separator);
}

int ShowOptionsPage(SetupRun& run, bool bBack) {
  if (!run.ui) return ui::kPageNext;
  ui::OptionsPage page;
  FillOptionsPage(run, page);
  page.bBack = bBack;
  page.bCancel = !run.ctx.bDisableCancelButton;
  const int nAnswer = run.ui->ShowOptions(page);
  NotePlan(run, "page", "options", "answer " + std::to_string(nAnswer), {});
  return nAnswer;
}

}  // namespace tarvium
