// The profile functions over any FileSystem: every call reads the INI file whole, answers from
// its text or splices the change into it, and writes it back only when it changed. Nothing is
// cached between calls, so two processes working on one file see each other's changes at once.
#pragma once
#include <functional>
#include <string>

#include "platform/file_system.h"
#include "platform/profile.h"

namespace platform {

class IniProfile : public Profile {
 public:
  // windowsDir is the machine's Windows directory ("C:\Windows"): where file names without a
  // directory and Win.ini lie.
  IniProfile(FileSystem& files, std::string windowsDir);

  std::string GetPrivateProfileString(const char* section, const char* key,
                                      const char* defaultValue,
                                      const std::string& fileName) override;
  int32_t GetPrivateProfileInt(const char* section, const char* key, int32_t nDefault,
                               const std::string& fileName) override;
  uint32_t WritePrivateProfileString(const char* section, const char* key, const char* value,
                                     const std::string& fileName) override;
  std::string GetPrivateProfileSection(const char* section, const std::string& fileName) override;
  uint32_t WritePrivateProfileSection(const char* section, std::string_view entries,
                                      const std::string& fileName) override;
  std::string GetProfileString(const char* section, const char* key,
                               const char* defaultValue) override;
  int32_t GetProfileInt(const char* section, const char* key, int32_t nDefault) override;
  uint32_t WriteProfileString(const char* section, const char* key, const char* value) override;

 private:
  using Edit = std::function<std::string(std::string_view text)>;

  std::string PathOf(const std::string& fileName) const;
  std::string ReadText(const std::string& fileName);
  // Applies `edit` to the file's text; bCreate makes a missing file (an edit that only deletes
  // leaves a missing file missing).
  uint32_t ChangeFile(const std::string& fileName, bool bCreate, const Edit& edit);

  FileSystem& m_files;
  std::string m_windowsDir;
  std::string m_winIni;
};

}  // namespace platform
