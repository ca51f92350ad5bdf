#include "install/file_text_variables.h"

#include "engine/replace_variables.h"
#include "engine/setup_run.h"

namespace tarvium {

bool ReplaceVariablesInFile(SetupRun& run, const std::string& path) {
  platform::FileSystem& files = run.machine.Files();
  std::string text;
  if (files.ReadWholeFile(path, text) != 0) return false;
  if (text.find('%') == std::string::npos) return true;
  std::string result;
  result.reserve(text.size());
  size_t nStart = 0;
  while (nStart < text.size()) {
    size_t nEnd = text.find('\n', nStart);
    nEnd = nEnd == std::string::npos ? text.size() : nEnd + 1;
    size_t nTextEnd = nEnd;
    while (nTextEnd > nStart && (text[nTextEnd - 1] == '\n' || text[nTextEnd - 1] == '\r'))
      --nTextEnd;
    std::string line = text.substr(nStart, nTextEnd - nStart);
    ReplaceVariables(run, line);
    result += line;
    result.append(text, nTextEnd, nEnd - nTextEnd);
    nStart = nEnd;
  }
  platform::FileHandle hFile = platform::FileHandle::Invalid;
  if (files.CreateFile(path, platform::GENERIC_WRITE, platform::TRUNCATE_EXISTING, 0, hFile) != 0)
    return false;
  uint32_t nWritten = 0;
  const uint32_t err =
      files.WriteFile(hFile, result.data(), static_cast<uint32_t>(result.size()), nWritten);
  return files.CloseHandle(hFile) == 0 && err == 0 && nWritten == result.size();
}

}  // namespace tarvium
