// The names the copy procedure writes under beside a destination: the temporary name of a new
// file that is to replace an existing one ("app.000", the first free number), the ".new" name of
// KEEPEXISTING ("app.new"), and the numbered backup of a replaced file ("app.exe.000", built from
// the whole name).
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

// The destination without its extension followed by ".new" (bKeepExisting) or by the first free
// ".%03d" from ".000".
std::string TemporaryCopyName(SetupRun& run, const std::string& destination, bool bKeepExisting);
// The destination's full name followed by the first free ".%03d" from ".000".
std::string BackupName(SetupRun& run, const std::string& destination);

}  // namespace tarvium
