// DOS date and time fields: seconds in steps of two, years from 1980.
#include "archive/zip_times.h"

#include "engine/setup_run.h"
#include "platform/clock.h"
#include "platform/win_error.h"

namespace tarvium {

uint64_t FileTimeOfDosDateTime(SetupRun& run, uint32_t dosDateTime) {
  platform::SystemTime st;
  st.wYear = static_cast<uint16_t>(1980 + (dosDateTime >> 25));
  st.wMonth = static_cast<uint16_t>((dosDateTime >> 21) & 0x0F);
  st.wDay = static_cast<uint16_t>((dosDateTime >> 16) & 0x1F);
  st.wHour = static_cast<uint16_t>((dosDateTime >> 11) & 0x1F);
  st.wMinute = static_cast<uint16_t>((dosDateTime >> 5) & 0x3F);
  st.wSecond = static_cast<uint16_t>((dosDateTime & 0x1F) * 2);
  uint64_t ftLocal = 0, ftUtc = 0;
  if (!platform::SystemTimeToFileTime(st, ftLocal)) return 0;
  return run.machine.Time().LocalFileTimeToFileTime(ftLocal, ftUtc) == platform::ERROR_SUCCESS
             ? ftUtc
             : 0;
}

uint32_t DosDateTimeOfFileTime(SetupRun& run, uint64_t ftUtc) {
  uint64_t ftLocal = ftUtc;
  if (run.machine.Time().FileTimeToLocalFileTime(ftUtc, ftLocal) != platform::ERROR_SUCCESS)
    ftLocal = ftUtc;
  platform::SystemTime st;
  if (!platform::FileTimeToSystemTime(ftLocal, st) || st.wYear < 1980)
    return (1u << 21) | (1u << 16);
  return uint32_t(st.wYear - 1980) << 25 | uint32_t(st.wMonth) << 21 | uint32_t(st.wDay) << 16 |
         uint32_t(st.wHour) << 11 | uint32_t(st.wMinute) << 5 | uint32_t(st.wSecond / 2);
}

}  // namespace tarvium
