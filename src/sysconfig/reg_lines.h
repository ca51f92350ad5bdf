// Registry sections and their lines: HandleRegSection runs a section of the setup information
// file, HandleRegLine applies one line, adding in an install and deleting, inverted, when the
// option that owns the section is removed.
#pragma once
#include <cstdint>
#include <string>

namespace tarvium {

struct SetupRun;

// Runs one registry section (read backwards in an uninstall pass). False stops the pass: the
// section is missing, a line's failure was answered with Cancel, or the user cancelled.
bool HandleRegSection(SetupRun& run, const std::string& sectionName, uint32_t dwSectionFlags);

// Applies one line. False only when a failure message (5518) was answered with anything but
// Ignore; lines that are no registry lines are skipped with true.
bool HandleRegLine(SetupRun& run, const std::string& line, uint32_t dwSectionFlags);

}  // namespace tarvium
