// The generic section: every section whose name selects no handler. Its lines are section
// references ("#[!]Name[, Flags]"), copy lines (starting with a digit) and script commands
// (anything else); IF lines reach this processing again with the command they chose.
#pragma once
#include <cstddef>
#include <string>

namespace tarvium {

// The most sections one chain of references holds open at once; a deeper reference fails with
// message 5565.
inline constexpr size_t kMaxSectionDepth = 100;

struct SetupRun;
struct SectionCall;

// Finds the section (or "%Option%" for a wildcard option) and processes its lines in the pass's
// direction; the first false result ends it with false.
bool ProcessGenericSection(SetupRun& run, const SectionCall& call);

// One line of a section with the section's call.
bool ProcessSectionLine(SetupRun& run, const SectionCall& call, const std::string& line);

}  // namespace tarvium
