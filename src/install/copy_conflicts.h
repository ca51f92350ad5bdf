// The conflict rules: whether a newly copied file replaces the existing destination. The version
// resources decide first (operating system, then version, then language and character set),
// asking 5543, 5544 or 5545 when the existing file looks better; without a version on either
// side the dates decide (REPLACEOLDER, NODATEWARNING, question 5506). Silent runs, silent level
// 3 and a None answered earlier in the run answer No without asking; None sets that answer.
#pragma once
#include <cstdint>
#include <string>

#include "install/copy_job.h"

namespace tarvium {

struct SetupRun;
struct FileVersionInfo;

// The file version as one number, major part highest: the order the rules compare in.
uint64_t BinaryFileVersion(const FileVersionInfo& info);

enum class VersionDecision { Keep, Replace, NoDecision };

// The version rule between the new file and the existing one; reason says which rule decided.
VersionDecision CompareFileVersions(SetupRun& run, const std::string& newFile,
                                    const std::string& existingFile, std::string& reason);

// Both rules for a copy whose new file lies at job.target beside the existing destination;
// reason says which rule decided, in words (a plan run shows it).
bool ReplacesExistingFile(SetupRun& run, const CopyJob& job, std::string& reason);

}  // namespace tarvium
