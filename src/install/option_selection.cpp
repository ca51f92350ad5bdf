// The rule recurses through dependencies, dependants, children and group siblings. Each option
// remembers the state the current selection last decided for it: a request for that same state
// passes it by, a request for the other state reverses the decision. Selecting a parent reaches
// each member of a group among its children twice (selected, then deselected by the member
// selected after it), so the first member ends selected. For contradictory data (an option that
// depends on a member of its own group) reversals could go on forever: a selection may reverse
// only a bounded number of decisions, after which every option keeps its last one.
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

// Room for the reversals of nested groups (each level reverses its subtree about twice).
constexpr size_t kRedecisionsPerOption = 16;

void Select(OptionTable& table, int32_t i, bool bSelect) {
  uint32_t& mark = table.selectionMarks[static_cast<size_t>(i)];
  const uint32_t nDecision = table.nSelection * 2 + (bSelect ? 1 : 0);
  if (mark == nDecision) return;
  if (mark / 2 == table.nSelection) {
    if (table.nRedecisionsLeft == 0) return;
    --table.nRedecisionsLeft;
  }
  mark = nDecision;
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
  if (table.selectionMarks.size() != table.records.size() || ++table.nSelection >= 0x80000000u) {
    table.selectionMarks.assign(table.records.size(), 0);
    table.nSelection = 1;
  }
  table.nRedecisionsLeft = table.records.size() * kRedecisionsPerOption;
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
    // A first character that is no sign deselects and still belongs to the name: "A+B" drops A.
    const char cSign = szOptions[nPos];
    if (cSign == '+' || cSign == '-') ++nPos;
    const size_t nEnd = szOptions.find_first_of("+-", nPos);
    const std::string name = szOptions.substr(nPos, nEnd - nPos);
    const int32_t i = FindOption(table, name);
    if (i > 0) SelectOption(table, i, cSign == '+');
    nPos = nEnd == std::string::npos ? szOptions.size() : nEnd;
  }
}

}  // namespace tarvium
