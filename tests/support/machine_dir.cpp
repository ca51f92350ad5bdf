#include "support/machine_dir.h"

#include <filesystem>

namespace tarvium::test {

MachineDir::MachineDir() {
  m_config.drives.push_back({'D', "drive_d", false});
  m_config.shares.push_back({"server", "share", "share", false});
  for (const char* dir :
       {"drive_c/Windows", "drive_c/Users/User/AppData/Local/Temp", "drive_d", "share"})
    std::filesystem::create_directories(m_dir.Path() + "/" + dir);
  Reopen();
}

void MachineDir::Reopen() {
  m_files.reset();
  m_files = std::make_unique<platform::emulated::EmulatedFileSystem>(m_dir.Path(), m_config);
}

}  // namespace tarvium::test
