// The relations between options read after the table: "OptionDependencies" (selecting an option
// selects the options its line lists) and "OptionGroups" (mutually exclusive siblings, with a
// value that the option page reads).
#pragma once

namespace tarvium {

struct SetupRun;
struct OptionTable;

// Fills the dependency lists and the reverse index of dependants. Unknown names give 5529 and are
// skipped (not shown in a client setup or from an administrator installation).
void ReadOptionDependencies(SetupRun& run, OptionTable& table);

// Fills groupIndex and groupValue; not read in an administrator or workstation setup.
void ReadOptionGroups(SetupRun& run, OptionTable& table);

}  // namespace tarvium
