// Places of their own for the tests of the Windows services: a fresh temporary folder and a fresh
// registry key, with names no other run uses, removed when a test ends. The Windows calls live in
// scratch_places.cpp so that a test needs no Windows header next to the platform headers, whose
// constants share their names with Windows' macros.
#pragma once
#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace tarvium::test {

// "<prefix>-<process id>-<tick count>-<counter>": no other test run uses it at the same time.
std::string UniqueTestName(const std::string& prefix);

// A new empty folder below the user's temporary folder (GetTempPathA), without a final
// backslash; empty when it could not be made.
std::string CreateScratchFolder();
// Removes the folder with everything in it.
void RemoveScratchFolder(const std::string& path);

// A scratch folder for the length of one test.
class ScratchFolder {
 public:
  ScratchFolder() : path_(CreateScratchFolder()) {}
  ~ScratchFolder() { RemoveScratchFolder(path_); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder's Windows path, without a trailing backslash.
  const std::string& Path() const { return path_; }
  // The Windows path of a name in the folder ("sub\file.txt").
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// The bytes of a file, written whole or read whole; false or empty when that failed.
bool WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);

// Deletes a key of HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE (the roots tests write to) with
// everything below it, in one view, by the system's own functions.
void RemoveRegistryKey(platform::RegRoot root, const std::string& keyPath, platform::RegView view);

// A variable of the process's environment as GetEnvironmentVariableA gives it (empty when unset),
// for comparing what the services say with what Windows says through another door.
std::string EnvironmentText(const char* name);

}  // namespace tarvium::test
