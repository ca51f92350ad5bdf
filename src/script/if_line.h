// ExecuteIf: one IF line of a script section, "IF condition THEN command [ELSE command] [ENDIF]".
// The chosen command is handed back to the section processing as a line of the section, so an
// IF line can run anything a section line can; in the size computation of options it is
// measured there instead of run.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvium {

struct SetupRun;

// Runs (or, with bSizing, measures and adds to *pnBytes) the command the condition chooses.
// A fault in the line itself (no IF, no " THEN", no command, ELSE without command, another word
// after the command) shows message 5528 with the line and executes nothing. Returns the result of
// the processed line: false when the section must stop; true otherwise.
bool ExecuteIf(SetupRun& run, std::string_view line, bool bSizing, int64_t* pnBytes = nullptr);

// The condition of a well-formed IF line (what ExecuteIf evaluates), or none for a line it refuses
// with 5528: how a checker of setup files asks the same question without a run.
std::optional<std::string_view> IfLineCondition(std::string_view line);
// What part of a line ExecuteIf refuses cannot be read ("no command after THEN", ...); null for
// a well-formed line.
const char* IfLineFault(std::string_view line);
// The command after THEN, and the one after ELSE when given, of a well-formed IF line; none for a
// line ExecuteIf refuses.
std::vector<std::string> IfLineCommands(std::string_view line);

}  // namespace tarvium
