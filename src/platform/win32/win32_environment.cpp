// The readers are asked with a buffer and answer the size they need when it is too small, so each
// is called again with that size (the variable may have grown in between).
#include "platform/win32/win32_environment.h"

#include <cstring>

#include "platform/win32/windows_api.h"
#undef ExpandEnvironmentStrings

namespace platform::win32 {
namespace {

constexpr DWORD kFirstBufferSize = 256;
constexpr int kMaxAttempts = 8;

uint32_t ResultOf(BOOL bDone) {
  return bDone ? ERROR_SUCCESS : GetLastError();
}

}  // namespace

// A set variable may be empty: Windows then answers 0 without an error, which is why the error is
// cleared before asking.
uint32_t Win32Environment::GetVariable(const std::string& name, std::string& value) {
  std::string buffer(kFirstBufferSize, '\0');
  for (int nAttempt = 0; nAttempt < kMaxAttempts; ++nAttempt) {
    SetLastError(ERROR_SUCCESS);
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = GetEnvironmentVariableA(name.c_str(), buffer.data(), size);
    if (length == 0) {
      value.clear();
      return GetLastError();
    }
    if (length < size) {
      buffer.resize(length);
      value = std::move(buffer);
      return ERROR_SUCCESS;
    }
    buffer.resize(length);  // the size needed, its zero byte included
  }
  return ERROR_MORE_DATA;
}

uint32_t Win32Environment::SetVariable(const std::string& name, const std::string& value) {
  return ResultOf(SetEnvironmentVariableA(name.c_str(), value.c_str()));
}

uint32_t Win32Environment::DeleteVariable(const std::string& name) {
  return ResultOf(SetEnvironmentVariableA(name.c_str(), nullptr));
}

// Windows keeps the current directory of each drive as hidden variables named "=C:" (and a few
// more starting with '=', such as "=ExitCode"); they are no variables a setup sets or reads, so
// the block leaves every entry whose name starts with '=' out.
std::vector<std::string> Win32Environment::Block() {
  std::vector<std::string> block;
  char* const strings = GetEnvironmentStringsA();
  if (!strings) return block;
  for (const char* entry = strings; *entry; entry += std::strlen(entry) + 1)
    if (*entry != '=') block.emplace_back(entry);
  FreeEnvironmentStringsA(strings);
  return block;
}

// The answer counts the zero byte, and the ANSI form may count one byte more than it writes: the
// result is read up to its zero byte.
std::string Win32Environment::ExpandEnvironmentStrings(const std::string& text) {
  std::string buffer(text.size() + kFirstBufferSize, '\0');
  for (int nAttempt = 0; nAttempt < kMaxAttempts; ++nAttempt) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD needed = ExpandEnvironmentStringsA(text.c_str(), buffer.data(), size);
    if (needed == 0) return text;
    if (needed <= size) {
      buffer.resize(std::strlen(buffer.c_str()));
      return buffer;
    }
    buffer.resize(needed);
  }
  return text;
}

}  // namespace platform::win32
