// The clock of the emulated machine: the host's real time, time zone (TZ and the host's zone
// files) and boot-time tick count. Construction: HostClock clock;
// Tests that compare time stamps fix the calendar time with FixLocalTime; the tick count, Sleep
// and the time-zone conversions stay real, so waits behave as before.
#pragma once
#include <ctime>
#include <optional>

#include "platform/clock.h"

namespace platform {

class HostClock final : public Clock {
 public:
  void GetLocalTime(SystemTime& st) override;
  void GetSystemTime(SystemTime& st) override;
  uint64_t GetSystemTimeAsFileTime() override;
  uint64_t GetTickCount64() override;
  void Sleep(uint32_t nMilliseconds) override;
  uint32_t FileTimeToLocalFileTime(uint64_t ftUtc, uint64_t& ftLocal) override;
  uint32_t LocalFileTimeToFileTime(uint64_t ftLocal, uint64_t& ftUtc) override;

  // From now on "now" is this local time and does not advance (false for a time that is no
  // real date); UnfixTime returns to the host's time.
  bool FixLocalTime(const SystemTime& st);
  void UnfixTime() { ftFixedLocal_.reset(); }

 private:
  // The zone's offset from UTC now, in FILETIME ticks. It is looked up once per second: a copy
  // converts several times for every file and every trace line, and the lookup costs more than
  // all the rest of a conversion.
  int64_t CurrentBiasTicks();

  std::optional<uint64_t> ftFixedLocal_;  // FILETIME of the fixed local time
  std::time_t biasSecond_ = -1;           // the second the kept offset was looked up in
  int64_t nBiasTicks_ = 0;
};

}  // namespace platform
