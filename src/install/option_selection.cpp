// The rule recurses through dependencies, dependants, children and group siblings. One selection
// reaches each option at most once: it is marked with the selection's number when first reached,
// and later requests of the same selection pass it by. For consistent data that is what the rule
// gives anyway; for contradictory data (an option that depends on a member of its own group) it
// keeps the first decision instead of switching back and forth, so every selection is linear in
// the options and their links.
#include "install/option_selection.h"

#include "engine/setup_run.h"
#include "install/install_engine.h"
#include "install/option_record.h"

namespace tarvium {
namespace {

void Select(OptionTable& table, int32_t i, bool bSelect);

void SelectList(OptionTable& table, const std::vector<int32_t>& list, bool bSelect) {
  for (int32_t j : list) Select(table, j, bSelect);
}

void DeselectGroupSiblings(OptionTable& table, int32_t i) {
  const int32_t nGroup = table[i].groupIndex;
  for (int32_t s = table[i].prevSibling; s >= 0; s = table[s].prevSibling)
    if (table[s].groupIndex == nGroup) Select(table, s, false);
  for (int32_t s = table[i].nextSibling; s >= 0; s = table[s].nextSibling)
    if (table[s].groupIndex == nGroup) Select(table, s, false);
}

void Select(OptionTable& table, int32_t i, bool bSelect) {
  uint32_t& mark = table.selectionMarks[static_cast<size_t>(i)];
  if (mark == table.nSelection) return;
  mark = table.nSelection;
  if (table[i].selected != bSelect) {
    table[i].selected = bSelect;
    if (bSelect) {
      SelectList(table, table[i].dependencies, true);
      for (int32_t a = table[i].parent; a >= 0; a = table[a].parent)
        SelectList(table, table[a].dependencies, true);
    } else if (static_cast<size_t>(i) < table.dependants.size()) {
      SelectList(table, table.dependants[static_cast<size_t>(i)], false);
    }
  }
  for (int32_t c = table[i].lastChild; c >= 0; c = table[c].prevSibling) Select(table, c, bSelect);
  if (bSelect && table[i].groupIndex >= 0) DeselectGroupSiblings(table, i);
}

}  // namespace

void SelectOption(OptionTable& table, int32_t i, bool bSelect) {
  if (i < 0 || i >= table.Count()) return;
  if (table.selectionMarks.size() != table.records.size() || ++table.nSelection == 0) {
    table.selectionMarks.assign(table.records.size(), 0);
    table.nSelection = 1;
  }
  Select(table, i, bSelect);
}

void PresetByMode(OptionTable& table, int nMode) {
  for (OptionRecord& option : table.records) {
    if (option.flags & OPTION_HIDDEN) continue;
    bool bProposed = option.selected;
    if (nMode == kModeComplete) bProposed = true;
    if (nMode == kModeTypical)
      bProposed = (option.flags & (OPTION_DEFAULT | OPTION_COPYALWAYS)) || option.parent < 0;
    option.selected = option.installed = bProposed;
  }
}

void ApplyOptionSwitch(SetupRun& run, const std::string& szOptions) {
  OptionTable& table = EngineOf(run).options;
  size_t nPos = 0;
  while (nPos < szOptions.size()) {
    const char cSign = szOptions[nPos++];
    const size_t nEnd = szOptions.find_first_of("+-", nPos);
    const std::string name = szOptions.substr(nPos, nEnd - nPos);
    const int32_t i = FindOption(table, name);
    if (i > 0) SelectOption(table, i, cSign == '+');
    nPos = nEnd == std::string::npos ? szOptions.size() : nEnd;
  }
}

}  // namespace tarvium
