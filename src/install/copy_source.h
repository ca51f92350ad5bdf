// Finding a copy line's source on the installation media: the medium counter, the cabinet that
// holds a medium's files when the plain file is not there, the compressed "_" name, and what
// happens when none of them exists (OPTIONAL, the error file of a /F run, or the question for the
// medium, which may be answered after the source directory was changed).
#pragma once
#include <cstdint>
#include <string>

#include "platform/file_system.h"

namespace tarvium {

struct SetupRun;

enum class SourceFound {
  Found,    // fullSource (and cabinet, when the file comes from one) name it
  Skipped,  // the line is done without a copy
  Failed,   // the line fails
};

struct CopySource {
  std::string fullSource;  // in: the plain source; out: the file to read
  std::string cabinet;     // the first cabinet of the set, empty for a plain or compressed file
  uint32_t nMedium = 1;    // out: the medium looked on (the line's, or the counter when higher)
  // The size and times of the file to read when it was found (not for a cabinet), so that the
  // copy does not ask again.
  platform::FileInfo info;
  bool bHasInfo = false;
};

SourceFound FindCopySource(SetupRun& run, uint32_t nMedium, uint32_t dwCopyFlags,
                           CopySource& source);

// The name a compressed source has on the medium: the last character of a three-character
// extension replaced by '_', or '_' appended to a shorter one; empty without an extension.
std::string CompressedName(const std::string& path);

}  // namespace tarvium
