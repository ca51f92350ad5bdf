// One run of the copy procedure as its steps hand it on: the request, what the source and the
// destination were found to be, which file is written (the destination itself, a temporary name
// beside it, or the file an APPEND line extends) and how much was written. The steps live in
// files of their own (copy_blocks, copy_times, copy_conflicts, copy_names, copy_test_list) and
// copy_file.cpp strings them together.
#pragma once
#include <cstdint>
#include <string>

#include "install/cabinet_files.h"
#include "install/copy_file.h"
#include "install/copy_flags.h"
#include "platform/file_system.h"

namespace tarvium {

// The block size of the copy loop; the progress moves by each block.
inline constexpr uint32_t kCopyBlockSize = 30720;
// The BACKUP attribute word.
inline constexpr uint32_t kAttributeBackup = 16;

struct CopyJob {
  explicit CopyJob(const CopyFileRequest& copyRequest)
      : request(copyRequest), dwFlags(copyRequest.dwCopyFlags) {}

  bool Has(uint32_t dwFlag) const { return (dwFlags & dwFlag) != 0; }
  bool FromCabinet() const { return !request.cabinet.empty(); }

  const CopyFileRequest& request;
  uint32_t dwFlags;

  // The source: a plain or compressed file (its information when it could be read), or a
  // member of a cabinet set (what the cabinet stores about it, once looked up).
  bool bSourceFound = false;
  platform::FileInfo source;
  bool bSourceAttributesKnown = false;  // the caller's information has no attributes
  bool bCabinetLookedUp = false;
  uint32_t dwCabinetError = 0;
  CabinetFileInfo cabinetFile;
  bool bExpandMode = false;  // read through the LZ expansion, which expands SZDD files
  bool bPlainRead = true;    // resumable: no expansion, or the exceptions of the read mode

  // The destination as found before the copy.
  bool bDestinationExisted = false;  // the file was there (an interrupted copy included)
  bool bReplacing = false;           // it is there and the new file goes to a temporary name
  platform::FileInfo destination;

  // What is written.
  std::string target;          // the file the copy writes, named once a copy is decided
  bool bOpenExisting = false;  // APPEND or a resumed copy: the target is extended
  uint64_t nStartOffset = 0;   // size of the target before this copy
  uint64_t nWritten = 0;       // bytes this copy wrote

  // Why the file is copied, kept or skipped, in words (a plan run writes it down).
  std::string reason;
  bool bKeptExisting = false;  // the conflict rules kept the file there; the new one was dropped
};

}  // namespace tarvium
