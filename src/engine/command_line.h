// ParseCommandLine: the switches of Setup.exe and the setup information file name, turned into
// the switch fields of SetupContext. The command text is the command line's arguments followed
// by the "AddParameters" value of Setup.ini beside the executable.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvium {

struct SetupRun;

// The arguments and, after one blank, [Setup] AddParameters of <szExeDir>\Setup.ini.
std::string BuildCommandText(SetupRun& run, const std::string& arguments);
// Blank-separated arguments; a double quote starts a stretch that runs to the next one, in which
// blanks do not separate; the quotes themselves are dropped.
std::vector<std::string> SplitSetupArguments(std::string_view text);
// Fills the switch fields from the command text (the arguments, without the program name).
void ParseCommandLine(SetupRun& run, const std::string& commandText);

// The file of "/Plan:FILE" or "/Plan=FILE" (the name in any case, '-' for '/'): nullopt without
// the switch, empty for a "/Plan" without its file. The caller of the engine reads it before the
// run: a plan run goes against a machine that records changes.
std::optional<std::string> PlanFileOf(std::string_view commandText);
// With /?: shows the usage text (message 5541) and returns true: the run ends.
bool ShowUsageIfAsked(SetupRun& run);

}  // namespace tarvium
