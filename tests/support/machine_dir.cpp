// A test machine: the directories of its drives, its registry and its file system.
#include "support/machine_dir.h"

#include <filesystem>
#include <stdexcept>

namespace tarvium::test {

MachineDir::MachineDir() {
  m_config.drives.push_back({'D', "drive_d", false});
  m_config.shares.push_back({"server", "share", "share", false});
  for (const char* dir :
       {"drive_c/Windows", "drive_c/Users/User/AppData/Local/Temp", "drive_d", "share"})
    std::filesystem::create_directories(m_dir.Path() + "/" + dir);
  if (platform::emulated::SqliteRegistry::Open({Host("registry.db"), m_config.szUserSid},
                                               m_registry) != 0)
    throw std::runtime_error("cannot open the test machine's registry");
  Reopen();
}

void MachineDir::Reopen() {
  m_files.reset();
  m_files =
      std::make_unique<platform::emulated::EmulatedFileSystem>(m_dir.Path(), m_config, *m_registry);
}

}  // namespace tarvium::test
