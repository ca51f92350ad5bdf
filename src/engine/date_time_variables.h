// The date and time variables (SysDate, SysTime, LongSysTime, ExactSysTime) and the system's
// installation language, both read from the machine when they are needed.
#pragma once
#include <cstdint>

namespace tarvium {

struct SetupRun;

// Recomputes the four date and time variables from the local time, with the user's date and
// time separators ("/" as date separator is replaced by ".").
void RefreshDateTime(SetupRun& run);

// The language Windows was installed in (LANGID): the Nls "InstallLanguage" value, else the
// first translation of the version resource of User.exe in the system directory, else 0.
uint16_t GetInstallLanguage(SetupRun& run);

}  // namespace tarvium
