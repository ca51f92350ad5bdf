// Unpacking a zip archive into a directory of the machine: entry by entry, names sanitised and
// converted, the filter applied, read-only files replaced, stored times restored. Nothing is
// written outside the destination, no symbolic link in it is followed, a damaged entry or a wrong
// password leaves no half-written file, and an archive that would unpack to more than a deflate
// stream can produce from it (a zip bomb) is refused before anything is written.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

// True when the archive could be opened and every selected entry was written.
bool UnpackZip(SetupRun& run, const std::string& archive, const std::string& destination,
               const std::string& filter, const std::string& password);

}  // namespace tarvium
