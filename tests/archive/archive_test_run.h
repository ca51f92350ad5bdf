// A run for the archive tests on a fresh emulated machine (MachineDir): its C: drive, its
// trusted-modules.txt, the real module service and the host clock. Windows paths name places on
// C: ("C:\out"); the tests check the results on the host side of the same files, and run host
// tools (zip, unzip, bsdtar, sha256sum, python3) on them.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/setup_run.h"
#include "platform/emulated/emulated_modules.h"
#include "platform/emulated/host_clock.h"
#include "support/machine_dir.h"

namespace tarvium::test {

class ArchiveTestRun {
 public:
  ArchiveTestRun();

  // "out\a.txt" -> "C:\out\a.txt" and the host path of the same file.
  static std::string WinPath(const std::string& relPath) { return "C:\\" + relPath; }
  std::string HostPath(const std::string& relPath) const;
  // The run's trace lines since the last call.
  std::vector<std::string> TakeTrace();

  MachineDir machine;
  platform::EmulatedModules modules;
  platform::HostClock clock;
  SetupRun run{machine.Files()};
};

std::string ReadHostFile(const std::string& hostPath);              // empty when missing
bool HostPathExists(const std::string& hostPath);                   // also a dangling symbolic link
std::vector<std::string> ListHostTree(const std::string& hostDir);  // relative names, sorted
std::string BuildDir();     // TARVIUM_BUILD_DIR, where the tests find the built module
std::string TestDataDir();  // tests/archive/data of the source tree
std::string ZPath(const std::string& hostPath);  // the Windows path on Z: of a host path
int RunHostCommand(const std::string& command);  // through the shell; the exit status

}  // namespace tarvium::test
