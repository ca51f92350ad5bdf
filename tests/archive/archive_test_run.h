// A run for the archive tests: a fresh temporary directory that stands for the machine (it holds
// trusted-modules.txt), the real module service, and Windows paths for host paths (Z: is the
// host's root). Helpers read and write host files and run host tools.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/setup_run.h"
#include "platform/emulated/emulated_modules.h"
#include "platform/host/host_file_system.h"
#include "support/temp_dir.h"

namespace tarvium::test {

class ArchiveTestRun {
 public:
  ArchiveTestRun();

  // The Windows path of a host path below the temporary directory ("x/y" -> "Z:\tmp\...\x\y").
  std::string WinPath(const std::string& relPath) const;
  std::string HostPath(const std::string& relPath) const { return dir.Path() + "/" + relPath; }
  // The run's trace lines since the last call.
  std::vector<std::string> TakeTrace();

  TempDir dir;
  platform::HostFileSystem files;
  platform::EmulatedModules modules{dir.Path()};
  SetupRun run{files};
};

std::string ReadHostFile(const std::string& hostPath);  // empty when missing
bool HostPathExists(const std::string& hostPath);
std::string BuildDir();     // TARVIUM_BUILD_DIR, where the tests find the built module
std::string TestDataDir();  // tests/archive/data of the source tree
int RunHostCommand(const std::string& command);  // through the shell; the exit status

}  // namespace tarvium::test
