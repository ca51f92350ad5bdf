// The product's registration: the record, the answered prompts, the user list and the entry of the
// system's list of installed programs that an install run writes at its end, and their removal at
// the end of an uninstall run. Writes and deletes are not reported: a registration that cannot be
// written leaves the product installed but unlisted, which a repeated run repairs.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tarvium {

struct SetupRun;

// Writes the record, the prompts, the users entry and the uninstall entry (and places the engine
// where a built uninstall command starts it), and closes the run's journal in the same change.
void RegisterInstallation(SetupRun& run);

// Deletes what RegisterInstallation wrote, as far as this run is the last user of it.
void RemoveRegistration(SetupRun& run);

// Deletes the Options, Prompts, Sections, Users and Setup keys and "Software\<machineKeyName>";
// the first error that left one of the record's keys behind.
uint32_t DeleteRecordKeys(SetupRun& run, const std::string& machineKeyName);

// The answers of the prompt pages ("Name=Value"), which the record keeps for the removal.
std::vector<std::string>& AnsweredPrompts(SetupRun& run);

}  // namespace tarvium
