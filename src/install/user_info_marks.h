// The personalisation of SETUPUSERINFO files: while a file is copied its bytes are searched for
// two marks, "User" and "Company" each filled with underscores to 50 characters, and afterwards
// the user name and the company are written over the first occurrence of each, followed by a zero
// byte. The copy hands the marks its blocks in order; the last 49 bytes of each block are kept,
// so that a mark split between two blocks is found as well.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_system.h"

namespace tarvium {

struct SetupRun;

inline constexpr size_t kUserInfoMarkSize = 50;

class UserInfoMarks {
 public:
  // A block of the file; nOffset is where it starts in the file.
  void Scan(const uint8_t* pData, size_t nSize, uint64_t nOffset);
  std::optional<uint64_t> UserOffset() const { return userAt_; }
  std::optional<uint64_t> CompanyOffset() const { return companyAt_; }
  // Writes %User% and %Company% over the marks found; false when a write fails.
  bool WriteUserInfo(SetupRun& run, platform::FileHandle hFile) const;

 private:
  std::string tail_;  // the end of the bytes scanned so far, shorter than a mark
  uint64_t nTailOffset_ = 0;
  std::optional<uint64_t> userAt_;
  std::optional<uint64_t> companyAt_;
};

}  // namespace tarvium
