// libmspack reads and writes through an mspack_system of callbacks; this one reads the media
// through the platform's FileSystem, so the cabinet and SZDD readers never touch the host
// directly, and sends what the library "writes" to the caller's sink instead of a file (the copy
// procedure writes the destination itself, with its own temporary names and times).
#pragma once
#include <mspack.h>

#include <cstdint>

#include "install/cabinet_files.h"
#include "platform/file_system.h"

namespace tarvium {

// The name under which libmspack is handed the sink as its output file.
inline constexpr const char* kSinkFileName = "\x01sink";

// An mspack_system whose first member makes it usable as one; the library passes it back to
// the callbacks.
struct MspackIo {
  mspack_system sys;  // first: the library's pointer is this object's
  platform::FileSystem* pFiles = nullptr;
  const ByteSink* pSink = nullptr;  // the current output, set around one extraction
  bool bSinkStopped = false;        // the sink refused data (the copy was aborted)
  uint32_t dwLastOpenError = 0;     // the Windows error of the last open that failed

  explicit MspackIo(platform::FileSystem& files);
  MspackIo(const MspackIo&) = delete;
  MspackIo& operator=(const MspackIo&) = delete;
};

// The Windows error for a libmspack error code of a reading operation.
uint32_t WindowsErrorOfMspack(const MspackIo& io, int nError);

}  // namespace tarvium
