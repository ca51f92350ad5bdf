// The last error text: the formatted text of the most recent message, kept on the run and left
// in the registry as "LastError" under HKLM\Software\kelvaron\Stowfield, where the management
// agent reads why a run stopped. A registry that refuses the write is ignored.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

inline constexpr const char* kLastErrorKey = "Software\\kelvaron\\Stowfield";
inline constexpr const char* kLastErrorValue = "LastError";

// Does nothing for an empty text.
void RecordLastError(SetupRun& run, const std::string& text);

}  // namespace tarvium
