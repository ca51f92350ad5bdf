// INI files through Windows' own profile functions (GetPrivateProfileStringA and the others):
// Windows resolves a file name without a directory to its Windows directory, keeps its cache, maps
// the sections the system maps to the registry, and reads and writes the encodings it knows.
#pragma once
#include "platform/profile.h"

namespace platform::win32 {

class Win32Profile final : public Profile {
 public:
  // As Windows: a null key on a section without keys gives the default value.
  std::string GetPrivateProfileString(const char* section, const char* key,
                                      const char* defaultValue,
                                      const std::string& fileName) override;
  int32_t GetPrivateProfileInt(const char* section, const char* key, int32_t nDefault,
                               const std::string& fileName) override;
  // An empty section or key name fails with ERROR_INVALID_PARAMETER: Windows' writer crashes on
  // it.
  uint32_t WritePrivateProfileString(const char* section, const char* key, const char* value,
                                     const std::string& fileName) override;
  std::string GetPrivateProfileSection(const char* section, const std::string& fileName) override;
  // A null or empty section fails with ERROR_INVALID_PARAMETER before Windows is asked.
  uint32_t WritePrivateProfileSection(const char* section, std::string_view entries,
                                      const std::string& fileName) override;
  std::string GetProfileString(const char* section, const char* key,
                               const char* defaultValue) override;
  int32_t GetProfileInt(const char* section, const char* key, int32_t nDefault) override;
  uint32_t WriteProfileString(const char* section, const char* key, const char* value) override;
};

}  // namespace platform::win32
