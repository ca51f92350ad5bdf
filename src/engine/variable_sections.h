// Setting variables one at a time (SetVariable) and a whole section of "Name=Value" lines at once
// (LoadVariableSection): a predefined name sets its buffer, any other name becomes an entry of
// the run's environment, upper-cased.
#pragma once
#include <string>
#include <string_view>

namespace tarvium {

struct SetupRun;
class InfFile;

inline constexpr size_t kEnvironmentEntryMax = 32767;  // "NAME=value" at most

bool SetVariable(SetupRun& run, const std::string& name, const std::string& value);

// A missing section succeeds with nothing loaded. bNormalizePaths resolves "\.." steps;
// bEncrypted decrypts the values and stores lines as written. False when a line could not be
// stored (message 5500); the other lines are still loaded.
bool LoadVariableSection(SetupRun& run, const InfFile& inf, std::string_view section,
                         bool bNormalizePaths, bool bEncrypted);

}  // namespace tarvium
