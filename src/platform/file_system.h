// Files and directories as the engine sees them: Windows paths, Win32 error codes, bytes.
// The emulated machine implements it over a directory of drives; a Win32 backend will call the
// Windows functions of the same names.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Reads a whole file. An error opening it is returned as Windows gives it (ERROR_FILE_NOT_FOUND,
  // ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED, ...); an error or short count while reading it
  // after a successful open is ERROR_READ_FAULT.
  virtual uint32_t ReadWholeFile(const std::string& path, std::string& bytes) = 0;
};

}  // namespace platform
