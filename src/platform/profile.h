// INI files as the engine sees them through the Windows profile functions: GetPrivateProfileString
// and WritePrivateProfileString with their special arguments, the section functions, and the
// Win.ini functions. Names are 8-bit ANSI; a file name without a directory lies in the machine's
// Windows directory. A null pointer argument has the meaning Windows gives to NULL; an empty
// section or key is an ordinary name ("[]", "=value"). Lines may end in CR LF, LF or CR; files
// with a UTF-16LE or UTF-8 byte-order mark are read and written in their encoding.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class Profile {
 public:
  virtual ~Profile() = default;

  // The value of `key` in `section`, blanks around it cut and a pair of quotes around it
  // removed; `defaultValue` (trailing blanks cut; null is empty) when there is none. With a null
  // section: the names of all sections; with a null key: the keys of the section. A list comes as
  // Windows fills the buffer: each name followed by a zero byte (SplitProfileList turns it into
  // names).
  virtual std::string GetPrivateProfileString(const char* section, const char* key,
                                              const char* defaultValue,
                                              const std::string& fileName) = 0;
  // The leading decimal number of the value (optionally signed, wrapped to 32 bits), or nDefault
  // without a value; a null section or key reads the first name of the list.
  virtual int32_t GetPrivateProfileInt(const char* section, const char* key, int32_t nDefault,
                                       const std::string& fileName) = 0;
  // Writes key=value, creating the file and the section when missing. A null value deletes the
  // key, a null key the whole section; all null but the file flushes (nothing is cached, so
  // there is nothing to do). A null section otherwise fails with ERROR_FILE_NOT_FOUND, an empty
  // file name with ERROR_ACCESS_DENIED. Returns ERROR_SUCCESS or the file system's error.
  virtual uint32_t WritePrivateProfileString(const char* section, const char* key,
                                             const char* value, const std::string& fileName) = 0;
  // Every non-blank line of a section, each followed by a zero byte: entries as "key=value"
  // (also "=value"), lines without '=' as they stand.
  virtual std::string GetPrivateProfileSection(const char* section,
                                               const std::string& fileName) = 0;
  // Replaces the lines of a section by `entries` ("key=value" lines each followed by a zero
  // byte), creating it when missing.
  virtual uint32_t WritePrivateProfileSection(const char* section, std::string_view entries,
                                              const std::string& fileName) = 0;

  // The same on Win.ini in the Windows directory.
  virtual std::string GetProfileString(const char* section, const char* key,
                                       const char* defaultValue) = 0;
  virtual int32_t GetProfileInt(const char* section, const char* key, int32_t nDefault) = 0;
  virtual uint32_t WriteProfileString(const char* section, const char* key, const char* value) = 0;
};

// The names of a zero-separated list as GetPrivateProfileString returns it.
std::vector<std::string> SplitProfileList(std::string_view list);

}  // namespace platform
