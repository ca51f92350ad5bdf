// Placeholder until the copy procedure lands: a request is traced and counts as done.
#include "install/copy_file.h"

#include "engine/debug_output.h"
#include "engine/setup_run.h"

namespace tarvium {

bool CopyTheFile(SetupRun& run, const CopyFileRequest& request) {
  DebugOutput(run,
              "File copy not carried out yet: " + request.source + " to " + request.destination);
  return true;
}

void CheckRuntimeVersions(SetupRun&) {}

}  // namespace tarvium
