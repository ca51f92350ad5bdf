// minizip's file functions (zlib_filefunc64_def) over platform::FileSystem handles, so that zip
// archives are read and written on the machine's drives like every other file of a run, with the
// drive rules (read-only drives, files in use) of the file system.
#pragma once
#include <ioapi.h>

#include "platform/file_system.h"

namespace tarvium {

// Fills `functions` so that minizip opens the Windows path it is given through `fileSystem`.
void FillZipFileFunctions(platform::FileSystem& fileSystem, zlib_filefunc64_def& functions);

}  // namespace tarvium
