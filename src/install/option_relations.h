// The relations between options read after the table: "OptionDependencies" (selecting an option
// selects the options its line lists) and "OptionGroups" (mutually exclusive siblings, with a
// value that the option page reads).
#pragma once
#include <string>

#include "engine/inf_fields.h"
#include "install/section_text.h"

namespace tarvium {

struct SetupRun;
struct OptionTable;

// Calls onName(name) for every non-empty comma field of a list of option names, trimmed.
template <class OnName>
void ForEachListedName(const std::string& list, OnName onName) {
  std::string field;
  for (const char* rest = NextField(list.c_str(), field); rest; rest = NextField(rest, field)) {
    const std::string name = TrimmedField(field);
    if (!name.empty()) onName(name);
  }
}

// Fills the dependency lists and the reverse index of dependants. Unknown names give 5529 and are
// skipped (not shown in a client setup or from an administrator installation).
void ReadOptionDependencies(SetupRun& run, OptionTable& table);

// Fills groupIndex and groupValue; not read in an administrator or workstation setup.
void ReadOptionGroups(SetupRun& run, OptionTable& table);

}  // namespace tarvium
