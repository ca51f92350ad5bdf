// The error file of /E and the trace file of /B. The error file is written into a temporary file
// first and reaches its target at the end of the run only when something followed its header,
// so that a run without errors leaves no error file behind (or an appended one unchanged). Every
// line of both files ends with CR LF, as the trace lines do.
#pragma once
#include <cstdint>
#include <string>

#include "platform/file_system.h"

namespace tarvium {

struct SetupRun;

struct LogFiles {
  platform::FileHandle hErrorFile = platform::FileHandle::Invalid;
  std::string errorTempPath;
  std::string errorTarget;
  uint64_t nErrorHeaderEnd = 0;  // file position after the header lines
  platform::FileHandle hTraceFile = platform::FileHandle::Invalid;
};

// Opens the temporary error file and writes the first header lines (message 5504 and false when
// it cannot be created). Nothing happens without /E.
bool PrepareErrorFile(SetupRun& run);
// Writes the identity lines that end the headers of the open error and trace files.
void WriteIdentityLines(SetupRun& run, const std::string& productName, const std::string& version,
                        const std::string& revision, const std::string& setupInf);
// Appends text to the open error file, its line feeds written as CR LF.
void WriteErrorFile(SetupRun& run, const std::string& text);
// Copies (or appends) the temporary file to its target when entries follow the header, then
// deletes it.
void FinishErrorFile(SetupRun& run);
// Creates the /B trace file, replacing an existing one (message 5504 and false on failure).
bool CreateTraceFile(SetupRun& run);

}  // namespace tarvium
