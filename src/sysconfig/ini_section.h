// INI sections of the setup information file: each line changes one entry of an INI file (the
// section's file, or in the quoted form any file it names). Nothing is recorded for the removal:
// the uninstall pass runs the same lines last to first, each turned into its deletion, and
// removes sections and files that the removal left empty. Also the two line operations other
// parts use: adding a line even when its key exists, and removing one exact line.
#pragma once
#include <cstdint>
#include <string>

namespace tarvium {

struct SetupRun;

// Runs one INI section on iniFileName ("Win.ini", "System.ini" or the section's file name);
// false stops the install pass.
bool HandleIniSection(SetupRun& run, const std::string& sectionName, const std::string& iniFileName,
                      uint32_t dwSectionFlags);

// Adds "key=value" to the section unless the same line is there; bAdded tells whether it was
// written. False (after 5503 or 5504) when the file cannot be created or written.
bool IniAddLine(SetupRun& run, const std::string& section, const std::string& key,
                const std::string& value, const std::string& file, bool& bAdded);
// Removes the first line of the section with that key and value (any value when empty). False
// when the file cannot be read or written.
bool IniRemoveLine(SetupRun& run, const std::string& section, const std::string& key,
                   const std::string& value, const std::string& file);

// The INI file a section name addresses: after the first dot when what follows is longer than
// three characters and holds a further dot ("Fonts.app.ini" is "app.ini"); ".ini" appended to a
// name without a dot.
std::string IniFileOfSection(const std::string& name);

}  // namespace tarvium
