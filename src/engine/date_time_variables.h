// The date and time variables (SysDate, SysTime, LongSysTime, ExactSysTime) and the system's
// installation language, both read from the machine when they are needed.
#pragma once
#include <cstdint>
#include <string>

#include "platform/clock.h"

namespace tarvium {

struct SetupRun;

// A local time as SysDate, SysTime, LongSysTime and ExactSysTime write it.
struct DateTimeTexts {
  std::string date;       // day, month, four-digit year
  std::string time;       // hour, minute
  std::string longTime;   // hour, minute, second
  std::string exactTime;  // hour, minute, second and milliseconds after a '.'
};

// Whether a "/" date separator of the user's settings is replaced by "." (the date variables and
// the error file's header) or kept (the heads of the error file's message entries).
enum class SlashDate { Replaced, Kept };

// The texts of a local time with the user's date and time separators.
DateTimeTexts FormatDateTime(SetupRun& run, const platform::SystemTime& st, SlashDate slash);

// Recomputes the four date and time variables from the local time.
void RefreshDateTime(SetupRun& run);

// The language Windows was installed in (LANGID): the Nls "InstallLanguage" value, else the
// first translation of the version resource of User.exe in the system directory, else 0.
uint16_t GetInstallLanguage(SetupRun& run);

}  // namespace tarvium
