// A temporary emulated machine for platform tests: a fresh directory with drive_c/ (holding
// Windows\ and the user's Temp\), drive_d/ as D: and share/ as \\server\share, the default
// MachineConfig over it, its registry.db and an EmulatedFileSystem. Removed when the test ends.
#pragma once
#include <memory>
#include <string>

#include "platform/emulated/files/emulated_file_system.h"
#include "platform/emulated/machine/machine_config.h"
#include "platform/emulated/registry/registry_sqlite.h"
#include "support/temp_dir.h"

namespace tarvium::test {

class MachineDir {
 public:
  MachineDir();

  platform::emulated::EmulatedFileSystem& Files() { return *m_files; }
  platform::Registry& Registry() { return *m_registry; }
  const platform::emulated::MachineConfig& Config() const { return m_config; }
  const std::string& Path() const { return m_dir.Path(); }
  // The host path of a file of the machine directory ("drive_c/x.txt").
  std::string Host(const std::string& relative) const { return m_dir.Path() + "/" + relative; }
  std::string WriteHost(const std::string& relative, const std::string& bytes) const {
    return m_dir.WriteFile(relative, bytes);
  }
  // The bytes of a file of the machine by its Windows path ("" when it cannot be read).
  std::string ReadFile(const std::string& windowsPath) {
    std::string bytes;
    m_files->ReadWholeFile(windowsPath, bytes);
    return bytes;
  }
  // A new EmulatedFileSystem over the same directory, as another engine process would see it.
  void Reopen();

 private:
  TempDir m_dir;
  platform::emulated::MachineConfig m_config;
  std::unique_ptr<platform::emulated::SqliteRegistry> m_registry;
  std::unique_ptr<platform::emulated::EmulatedFileSystem> m_files;
};

}  // namespace tarvium::test
