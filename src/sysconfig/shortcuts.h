// Program groups and shortcuts: shell links made and removed by the lines of Shell sections and of
// the options' shell sections, and Program Manager groups and items made through the shell's DDE
// conversation. What one run keeps between sections (the conversation with the Program Manager,
// the link relay for folders the ANSI code page cannot name) lives in a ShortcutState that the
// attachment creates and the registered handlers share; nothing is kept in globals.
#pragma once
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include "platform/dde.h"

namespace tarvium {

struct SetupRun;

struct ShortcutState {
  platform::DdeConversation hProgman = platform::DdeConversation::None;
  bool bRelayChecked = false;  // whether links go through the relay was decided
  std::string relayPath;       // the relay program while links are handed to it
};

// Makes (install) or removes (uninstall) the link of one shell link line.
bool CreateShellLink(SetupRun& run, ShortcutState& state, const std::string& line);
// The same with the link path given apart from the other nine fields, a comma list as written in
// a line (variables not yet replaced), with or without the comma that follows the link.
bool CreateShellLinkAt(SetupRun& run, ShortcutState& state, const std::string& link,
                       const std::string& fields);
// The same for a link the engine itself makes (the workstation links): no run filter applies.
bool CreateEngineLinkAt(SetupRun& run, ShortcutState& state, const std::string& link,
                        const std::string& fields);

// Every line of the section through CreateShellLink; a missing section is 5529.
bool HandleShellSection(SetupRun& run, ShortcutState& state, const std::string& section);

// The shell sections of the options being processed, from the option at optionIndex down.
bool CreateOptionLinks(SetupRun& run, ShortcutState& state, int32_t optionIndex);

// Visits the options being processed below (and including) optionIndex in the pass's order,
// children first in an uninstall, with the option variables set; the root itself is not visited.
// Stops at the first false or when the run is cancelled; false then.
bool WalkProcessedOptions(SetupRun& run, int32_t optionIndex,
                          const std::function<bool(int32_t)>& visit);

// How a section's lines are read in the removal pass: backwards, as every handler replays them,
// or in file order, where a line says how the lines after it are meant (a Group line).
enum class RemovalOrder { Backwards, FileOrder };

// The section's non-empty lines in the run's direction, each handed to `apply` with the position
// set; false at the first false or when the run is cancelled.
bool ApplySectionLines(SetupRun& run, const char* start, const std::string& section,
                       const std::function<bool(const std::string&)>& apply,
                       RemovalOrder order = RemovalOrder::Backwards);
// The first of the names that is a section of the run's file, with its name; null when none is.
const char* FirstSection(SetupRun& run, std::initializer_list<std::string> names,
                         std::string& found);

// The Progman section: its group, then the Program Manager sections of the options.
bool HandleProgmanSection(SetupRun& run, ShortcutState& state, const std::string& section);
// Sends one command to the Program Manager; 5516 when it cannot be sent (Ignore: success).
bool ProgmanExecute(SetupRun& run, ShortcutState& state, const std::string& command);
// A script's DDE line: opens the Program Manager conversation when there is none, then sends.
bool ProgmanCommand(SetupRun& run, ShortcutState& state, const std::string& command);

// Registers the Shell and Progman handlers and the installation engine's link hooks on the run.
void AttachShortcuts(SetupRun& run);

}  // namespace tarvium
