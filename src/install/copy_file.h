// The copy procedure: installs one file from a plain or compressed source or a cabinet member,
// deciding with the conflict rules (equal files, versions, dates, sizes) what becomes of an
// existing destination, and in an uninstall pass removes what the line installed. Copy lines
// resolve their paths and call it; CheckRuntimeVersions runs over the collected list after the
// pass.
#pragma once
#include <cstdint>
#include <string>

#include "platform/file_system.h"

namespace tarvium {

struct SetupRun;

// The last-written slots: APPEND writes to the file the previous copy of the same slot wrote.
inline constexpr int kOrdinarySlot = 0;
inline constexpr int kSecondCopySlot = 1;  // the administrator setup's second copy

struct CopyFileRequest {
  std::string source;       // full source path (the destination when !bCarryOut)
  std::string destination;  // full destination path
  int64_t nExpectedSize = 0;
  uint32_t dwCopyFlags = 0;
  uint32_t dwAttributes = 0;  // the attribute words of the line
  int nSlot = kOrdinarySlot;
  std::string name;       // the line's name field (shared files, fonts)
  std::string cabinet;    // the first cabinet of the set, empty for a plain or compressed source
  uint32_t nMedium = 1;   // the medium whose cabinet that is: reading on from it moves the counter
  bool bCarryOut = true;  // false: only the shared-file counting happens
  // The size and times of the source (GetFileSizeAndTimes) when the caller found it; null: the
  // copy asks.
  const platform::FileInfo* pSourceInfo = nullptr;
  // The same for the destination (INVALID_FILE_ATTRIBUTES: nothing there).
  const platform::FileInfo* pDestinationInfo = nullptr;
};

// Installs (or, in an uninstall pass, removes) one file; false fails the line.
bool CopyTheFile(SetupRun& run, const CopyFileRequest& request);

// After the pass: warns (5551) about each collected destination that the system's search path
// would find in an older version first.
void CheckRuntimeVersions(SetupRun& run);

}  // namespace tarvium
