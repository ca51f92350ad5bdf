// The test runs: with /T nothing is copied, and each copy is written to the test list that the
// main sequence opened in the temporary directory instead: with /T0 the source path relative to
// the source directory (quoted when it holds a blank), with /T1 the commands of a batch file that
// would do the copy ("extract" for a cabinet member; "md" for the directory, then "copy", or
// "expand" for a compressed source).
#pragma once

#include "install/copy_job.h"

namespace tarvium {

struct SetupRun;

void WriteTestListEntry(SetupRun& run, const CopyJob& job, bool bCompressed);

}  // namespace tarvium
