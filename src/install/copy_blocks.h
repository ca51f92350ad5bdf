// Writing the new file of a copy: the source opened (a plain file, an SZDD file through the
// expansion, or a cabinet member), the destination directory created when missing, the target
// created or extended and stamped as unfinished while it is written, the bytes moved in blocks with
// the progress moving and the window messages pumped after each one, the user information written
// over its marks, the variables replaced, and the times and attributes given. A plain source
// without marks to look for is moved by the file system itself (CopyFileRange), block by block.
#pragma once

#include "install/copy_job.h"

namespace tarvium {

struct SetupRun;

// False when the line fails (after its message: 5507, 5501, 5502, 5503, 5504, 5560) or the run
// was aborted; a target this copy created is then deleted again.
bool WriteCopyTarget(SetupRun& run, CopyJob& job);

}  // namespace tarvium
