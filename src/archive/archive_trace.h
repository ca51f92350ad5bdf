// Formatted diagnostic lines of the archive operations. The trace texts are printf formats with
// the archive's own wording, so the formatting stays printf-like instead of being re-spelled.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

void TraceArchive(SetupRun& run, const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));

}  // namespace tarvium
