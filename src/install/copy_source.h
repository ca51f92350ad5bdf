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

// What the source lookup asks of the medium, so that a checker can answer it from listings of
// the media folders instead of one file-system query per line.
class MediumFiles {
 public:
  virtual ~MediumFiles() = default;
  // The size and times of the file at path; false when none is there or it is a directory.
  virtual bool FileInfoOf(const std::string& path, platform::FileInfo& info) = 0;
  // Whether anything is there.
  virtual bool Exists(const std::string& path) = 0;
  // The cabinet that holds the files of a medium (CabinetPath); empty when there is none.
  virtual std::string CabinetOf(uint32_t nMedium) = 0;
};

// Where a source lies on its medium now: the plain file, the medium's cabinet (not in an
// administrator installation, which is laid out plain), then the compressed name. False when
// none of them is there. A found cabinet is taken without asking whether it holds the member:
// the copy asks that.
bool LocateSourceOn(MediumFiles& medium, uint32_t nMedium, bool bAdminInstallation,
                    CopySource& source);

SourceFound FindCopySource(SetupRun& run, uint32_t nMedium, uint32_t dwCopyFlags,
                           CopySource& source);

// The name a compressed source has on the medium: the last character of a three-character
// extension replaced by '_', or '_' appended to a shorter one; empty without an extension.
std::string CompressedName(const std::string& path);

}  // namespace tarvium
