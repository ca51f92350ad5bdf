#include "install/user_info_marks.h"

#include <algorithm>
#include <string_view>

#include "engine/setup_run.h"

namespace tarvium {
namespace {

const std::string kUserMark = "User" + std::string(46, '_');
const std::string kCompanyMark = "Company" + std::string(43, '_');

void FindMark(std::string_view text, uint64_t nOffset, const std::string& mark,
              std::optional<uint64_t>& found) {
  if (found) return;
  if (const size_t nAt = text.find(mark); nAt != std::string_view::npos) found = nOffset + nAt;
}

bool WriteOver(SetupRun& run, platform::FileHandle hFile, std::optional<uint64_t> offset,
               const std::string& value) {
  if (!offset) return true;
  std::string text = value.substr(0, kUserInfoMarkSize - 1);
  text.push_back('\0');
  platform::FileSystem& files = run.machine.Files();
  uint32_t nWritten = 0;
  return files.SetFilePointerEx(hFile, static_cast<int64_t>(*offset), platform::FILE_BEGIN,
                                nullptr) == 0 &&
         files.WriteFile(hFile, text.data(), static_cast<uint32_t>(text.size()), nWritten) == 0 &&
         nWritten == text.size();
}

}  // namespace

void UserInfoMarks::Scan(const uint8_t* pData, size_t nSize, uint64_t nOffset) {
  if (userAt_ && companyAt_) return;
  std::string text = tail_;
  text.append(reinterpret_cast<const char*>(pData), nSize);
  const uint64_t nTextOffset = tail_.empty() ? nOffset : nTailOffset_;
  FindMark(text, nTextOffset, kUserMark, userAt_);
  FindMark(text, nTextOffset, kCompanyMark, companyAt_);
  const size_t nKeep = std::min(text.size(), kUserInfoMarkSize - 1);
  tail_ = text.substr(text.size() - nKeep);
  nTailOffset_ = nTextOffset + (text.size() - nKeep);
}

bool UserInfoMarks::WriteUserInfo(SetupRun& run, platform::FileHandle hFile) const {
  return WriteOver(run, hFile, userAt_, run.variables.Get("User")) &&
         WriteOver(run, hFile, companyAt_, run.variables.Get("Company"));
}

}  // namespace tarvium
