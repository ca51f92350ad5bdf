// Where a copy line reads and writes: the full source on the medium and the full destination,
// with the destination-relative part of the source appended to a directory destination, the
// unwritable system directory replaced by the Windows directory, the staging of client files by
// administrator and workstation setups (and the administrator's second copy of system files),
// and the layout of an administrator installation that later runs read from.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "install/copy_line_fields.h"
#include "platform/file_system.h"

namespace tarvium {

struct SetupRun;

struct CopyLinePaths {
  std::string fullSource;
  std::string fullDestination;
  std::string secondDestination;  // the administrator setup's second copy; empty when none
  bool bSkip = false;             // the layout has no place for the file: the line is done
  // What the file system told of the full destination while the path was resolved: whether it
  // was asked about that path, and the file's size and times (INVALID_FILE_ATTRIBUTES: nothing
  // there), so that the copy need not ask again.
  bool bDestinationLookedUp = false;
  platform::FileInfo destinationInfo;

  // Back to an empty result whose strings keep their room (every member is reset here).
  void Clear() {
    fullSource.clear();
    fullDestination.clear();
    secondDestination.clear();
    bSkip = false;
    bDestinationLookedUp = false;
    destinationInfo = {};
  }
};

// Where a plain installation reads a line's source: an absolute source (drive or leading "\\")
// as it stands, any other below the source directory.
void FullSourceInto(std::string& out, const std::string& srcDir, std::string_view source);

// Resolves the paths of a line whose variables are replaced.
CopyLinePaths ResolveCopyLinePaths(SetupRun& run, const CopyLineFields& fields,
                                   uint32_t dwCopyFlags, uint32_t dwAttributes);
// The same into paths whose strings keep their room from the line before.
void ResolveCopyLinePaths(SetupRun& run, const CopyLineFields& fields, uint32_t dwCopyFlags,
                          uint32_t dwAttributes, CopyLinePaths& paths);

}  // namespace tarvium
