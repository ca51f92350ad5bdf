// Local times are converted with the machine's time zone, so that a file stamped on one machine
// compares the same way there as Windows would compare it.
#include "install/copy_times.h"

#include <cstdio>

#include "archive/zip_times.h"
#include "engine/setup_run.h"
#include "platform/clock.h"

namespace tarvium {
namespace {

constexpr uint32_t kFirstOfJanuary1980 = (1u << 21) | (1u << 16);  // DOS date and time fields
constexpr uint32_t kAttributeWords = platform::FILE_ATTRIBUTE_READONLY |
                                     platform::FILE_ATTRIBUTE_HIDDEN |
                                     platform::FILE_ATTRIBUTE_SYSTEM;
constexpr uint32_t kCabinetAttributes = kAttributeWords | platform::FILE_ATTRIBUTE_ARCHIVE;

bool LocalTimeOf(SetupRun& run, uint64_t ftUtc, platform::SystemTime& st) {
  uint64_t ftLocal = ftUtc;
  if (run.machine.Time().FileTimeToLocalFileTime(ftUtc, ftLocal) != 0) ftLocal = ftUtc;
  return platform::FileTimeToSystemTime(ftLocal, st);
}

std::string DateText(SetupRun& run, uint64_t ftUtc) {
  platform::SystemTime st;
  LocalTimeOf(run, ftUtc, st);
  const platform::InternationalSettings intl = run.machine.System().International();
  char text[96];
  std::snprintf(text, sizeof text, "%02d%s%02d%s%04d %02d%s%02d", st.wDay, intl.sDate.c_str(),
                st.wMonth, intl.sDate.c_str(), st.wYear, st.wHour, intl.sTime.c_str(), st.wMinute);
  return text;
}

uint64_t CabinetFileTime(SetupRun& run, const CabinetFileInfo& info) {
  return FileTimeOfDosDateTime(run, uint32_t(info.wDosDate) << 16 | info.wDosTime);
}

}  // namespace

uint64_t InterruptedCopyStamp(SetupRun& run) {
  return FileTimeOfDosDateTime(run, kFirstOfJanuary1980);
}

bool IsInterruptedCopyStamp(SetupRun& run, uint64_t ftLastWrite) {
  platform::SystemTime st;
  return LocalTimeOf(run, ftLastWrite, st) && st.wYear == 1980 && st.wMonth == 1 && st.wDay == 1;
}

uint64_t SourceLastWriteTime(SetupRun& run, const CopyJob& job) {
  if (job.FromCabinet()) return job.dwCabinetError == 0 ? CabinetFileTime(run, job.cabinetFile) : 0;
  return job.bSourceFound ? job.source.times.ftLastWriteTime : 0;
}

int CompareFileDates(SetupRun& run, uint64_t ftA, uint64_t ftB, std::string* pTextA,
                     std::string* pTextB) {
  if (pTextA) *pTextA = DateText(run, ftA);
  if (pTextB) *pTextB = DateText(run, ftB);
  return ftA < ftB ? -1 : ftA > ftB ? 1 : 0;
}

uint32_t CopiedAttributes(const CopyJob& job) {
  uint32_t dwAttributes = job.request.dwAttributes & kAttributeWords;
  if (job.FromCabinet())
    dwAttributes |= job.cabinetFile.dwAttributes & kCabinetAttributes;
  else
    dwAttributes |= job.source.dwFileAttributes &
                    ~(platform::FILE_ATTRIBUTE_READONLY | platform::FILE_ATTRIBUTE_DIRECTORY |
                      platform::FILE_ATTRIBUTE_NORMAL);
  return dwAttributes ? dwAttributes : platform::FILE_ATTRIBUTE_NORMAL;
}

platform::FileTimes CopiedTimes(SetupRun& run, const CopyJob& job) {
  if (job.FromCabinet()) {
    const uint64_t ftStored = CabinetFileTime(run, job.cabinetFile);
    return {ftStored, 0, ftStored};
  }
  return {run.machine.Time().GetSystemTimeAsFileTime(), job.source.times.ftLastAccessTime,
          job.source.times.ftLastWriteTime};
}

}  // namespace tarvium
