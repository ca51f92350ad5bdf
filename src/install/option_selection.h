// Keeping the selection consistent: selecting an option selects what it and its ancestors depend
// on and deselects the other members of its group among its siblings; deselecting it deselects
// the options that depend on it; either state is carried down to its children. The mode presets
// and the /O switch select through the same rule.
#pragma once
#include <cstdint>
#include <string>

namespace tarvium {

struct SetupRun;
struct OptionTable;

void SelectOption(OptionTable& table, int32_t i, bool bSelect);

// Fills selected and installed from the mode (6102 complete, 6105 typical, 6108 custom); hidden
// options keep their state.
void PresetByMode(OptionTable& table, int nMode);

// "+Name" selects, "-Name" deselects the option named up to the next '+' or '-'; a list that
// starts without a sign deselects its first option ("A+B"). Unknown names are passed over.
void ApplyOptionSwitch(SetupRun& run, const std::string& szOptions);

}  // namespace tarvium
