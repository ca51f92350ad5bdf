// The readers fill a buffer of a size given in advance and cut what does not fit, answering the
// buffer's size less one (a value) or less two (a list, which ends in two zero bytes): an answer
// that reaches size - 2 is read again into a buffer twice as large.
#include "platform/win32/win32_profile.h"

#include "platform/win32/windows_api.h"
#undef GetPrivateProfileString
#undef GetPrivateProfileInt
#undef WritePrivateProfileString
#undef GetPrivateProfileSection
#undef WritePrivateProfileSection
#undef GetProfileString
#undef GetProfileInt
#undef WriteProfileString

namespace platform::win32 {
namespace {

constexpr DWORD kFirstBufferSize = 1024;
constexpr DWORD kLargestBuffer = 1u << 26;  // beyond any INI file Windows would read

template <typename Read>
std::string ReadGrowing(Read read) {
  std::string buffer(kFirstBufferSize, '\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = read(buffer.data(), size);
    if (length + 2 < size || size >= kLargestBuffer) {
      buffer.resize(length < size ? length : size);
      return buffer;
    }
    buffer.resize(2 * size);
  }
}

// Windows' answer to a write: its error when it failed. A failure without an error code is
// reported as a write fault rather than as success.
uint32_t WriteResult(BOOL bWritten) {
  if (bWritten) return ERROR_SUCCESS;
  const DWORD dwError = GetLastError();
  return dwError != ERROR_SUCCESS ? dwError : ERROR_WRITE_FAULT;
}

bool IsEmptyName(const char* name) {
  return name && !*name;
}

// The rules of the interface around one of Windows' string writers. All three null asks Windows to
// flush its cache, which it answers with FALSE even when it did; the engine sees success. A null
// section with anything else fails with ERROR_FILE_NOT_FOUND, Windows' answer to a null section
// with a key; the rule is kept here because Wine takes a null section with a null key for a
// section to delete and succeeds. Windows' writer crashes on an empty section or key name (its
// conformance tests leave those cases out for that reason): they fail with
// ERROR_INVALID_PARAMETER instead.
template <typename Write>
uint32_t WriteEntry(const char* section, const char* key, const char* value, Write write) {
  if (!section && !key && !value) {
    write();
    return ERROR_SUCCESS;
  }
  if (!section) return ERROR_FILE_NOT_FOUND;
  if (IsEmptyName(section) || IsEmptyName(key)) return ERROR_INVALID_PARAMETER;
  SetLastError(ERROR_SUCCESS);
  return WriteResult(write());
}

}  // namespace

std::string Win32Profile::GetPrivateProfileString(const char* section, const char* key,
                                                  const char* defaultValue,
                                                  const std::string& fileName) {
  return ReadGrowing([&](char* buffer, DWORD size) {
    return GetPrivateProfileStringA(section, key, defaultValue, buffer, size, fileName.c_str());
  });
}

int32_t Win32Profile::GetPrivateProfileInt(const char* section, const char* key, int32_t nDefault,
                                           const std::string& fileName) {
  return static_cast<int32_t>(GetPrivateProfileIntA(section, key, nDefault, fileName.c_str()));
}

uint32_t Win32Profile::WritePrivateProfileString(const char* section, const char* key,
                                                 const char* value, const std::string& fileName) {
  return WriteEntry(section, key, value, [&] {
    return WritePrivateProfileStringA(section, key, value, fileName.c_str());
  });
}

std::string Win32Profile::GetPrivateProfileSection(const char* section,
                                                   const std::string& fileName) {
  return ReadGrowing([&](char* buffer, DWORD size) {
    return GetPrivateProfileSectionA(section, buffer, size, fileName.c_str());
  });
}

// Windows reads the entries up to an empty one, so the list gets its closing zero byte here (the
// string's own terminator makes the second). A null section crashes Wine's function, an empty one
// is kept from Windows as in the string writer.
uint32_t Win32Profile::WritePrivateProfileSection(const char* section, std::string_view entries,
                                                  const std::string& fileName) {
  if (!section || !*section) return ERROR_INVALID_PARAMETER;
  std::string list(entries);
  if (list.empty() || list.back() != '\0') list.push_back('\0');
  SetLastError(ERROR_SUCCESS);
  return WriteResult(WritePrivateProfileSectionA(section, list.c_str(), fileName.c_str()));
}

std::string Win32Profile::GetProfileString(const char* section, const char* key,
                                           const char* defaultValue) {
  return ReadGrowing([&](char* buffer, DWORD size) {
    return GetProfileStringA(section, key, defaultValue, buffer, size);
  });
}

int32_t Win32Profile::GetProfileInt(const char* section, const char* key, int32_t nDefault) {
  return static_cast<int32_t>(GetProfileIntA(section, key, nDefault));
}

uint32_t Win32Profile::WriteProfileString(const char* section, const char* key, const char* value) {
  return WriteEntry(section, key, value, [&] { return WriteProfileStringA(section, key, value); });
}

}  // namespace platform::win32
