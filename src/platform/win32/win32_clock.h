// Time from Windows itself: the system clock, the time zone Windows is set to and its tick count.
#pragma once
#include "platform/clock.h"

namespace platform::win32 {

class Win32Clock final : public Clock {
 public:
  void GetLocalTime(SystemTime& st) override;
  void GetSystemTime(SystemTime& st) override;
  uint64_t GetSystemTimeAsFileTime() override;
  uint64_t GetTickCount64() override;
  void Sleep(uint32_t nMilliseconds) override;
  uint32_t FileTimeToLocalFileTime(uint64_t ftUtc, uint64_t& ftLocal) override;
  uint32_t LocalFileTimeToFileTime(uint64_t ftLocal, uint64_t& ftUtc) override;
};

}  // namespace platform::win32
