// Zip archives keep an entry's time as an MS-DOS date and time in local time; the file system
// keeps FILETIME values in UTC. The machine's clock converts between the two.
#pragma once
#include <cstdint>

namespace tarvium {

struct SetupRun;

// 0 when the DOS value is not a real date.
uint64_t FileTimeOfDosDateTime(SetupRun& run, uint32_t dosDateTime);
// Times before 1980 become 1980-01-01 00:00, the first the format can hold.
uint32_t DosDateTimeOfFileTime(SetupRun& run, uint64_t ftUtc);

}  // namespace tarvium
