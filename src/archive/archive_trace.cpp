// printf-style formatting of archive trace lines into DebugOutput; the line is sized first, so
// long paths are never cut.
#include "archive/archive_trace.h"

#include <cstdarg>
#include <cstdio>

#include "engine/debug_output.h"

namespace tarvium {

void TraceArchive(SetupRun& run, const char* pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  va_list sized;
  va_copy(sized, args);
  const int nLength = std::vsnprintf(nullptr, 0, pszFormat, sized);
  va_end(sized);
  std::string line(nLength > 0 ? static_cast<size_t>(nLength) : 0, '\0');
  if (nLength > 0) std::vsnprintf(line.data(), line.size() + 1, pszFormat, args);
  va_end(args);
  DebugOutput(run, line);
}

}  // namespace tarvium
