// Times and attributes in the copy procedure: the 1 January 1980 stamp that marks a file being
// written (a file left with it is an interrupted copy), the stored DOS time of a cabinet member,
// the last-write time of the source for the equal-files rule, the date texts of the date
// question, and the times and attributes the new file gets from its source.
#pragma once
#include <cstdint>
#include <string>

#include "install/copy_job.h"

namespace tarvium {

struct SetupRun;

// 1 January 1980 00:00 local time, as a FILETIME.
uint64_t InterruptedCopyStamp(SetupRun& run);
// Whether a last-write time falls on 1 January 1980 (local time).
bool IsInterruptedCopyStamp(SetupRun& run, uint64_t ftLastWrite);

// The last-write time of the source: the plain file's, or the cabinet's stored local time. 0
// when unknown.
uint64_t SourceLastWriteTime(SetupRun& run, const CopyJob& job);

// The sign of a - b; the texts (when given) are "%02d%s%02d%s%04d %02d%s%02d" of each time in
// local time with the system's date and time separators.
int CompareFileDates(SetupRun& run, uint64_t ftA, uint64_t ftB, std::string* pTextA = nullptr,
                     std::string* pTextB = nullptr);

// The attributes the new file ends with: the plain source's without read-only, or the cabinet's
// stored ones, plus the RDONLY, HIDDEN and SYSTEM words; FILE_ATTRIBUTE_NORMAL when none.
uint32_t CopiedAttributes(const CopyJob& job);
// The times the new file ends with: now as creation time and the source's access and write times,
// or the cabinet's stored time as creation and write time.
platform::FileTimes CopiedTimes(SetupRun& run, const CopyJob& job);

}  // namespace tarvium
