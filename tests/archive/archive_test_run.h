// A run for the archive tests on a fresh emulated machine (TestMachine): its C: drive, its
// trusted-modules.txt and every service of the machine, the module service among them. Windows
// paths name places on C: ("C:\out"); the tests check the results on the host side of the same
// files, and run host tools (zip, unzip, bsdtar, sha256sum, python3) on them.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/setup_run.h"
#include "support/temp_dir.h"
#include "support/test_machine.h"

namespace tarvium::test {

class ArchiveTestRun {
 public:
  // "out\a.txt" -> "C:\out\a.txt" and the host path of the same file.
  static std::string WinPath(const std::string& relPath) { return "C:\\" + relPath; }
  std::string HostPath(const std::string& relPath) const;
  // The host path of a file of the machine directory ("trusted-modules.txt").
  std::string MachinePath(const std::string& relPath) const {
    return machine.Path() + "/" + relPath;
  }
  // Writes a file below the machine directory ("drive_c/src/a.txt"), making its folders.
  void WriteMachineFile(const std::string& relPath, const std::string& bytes) const;
  // The run's trace lines since the last call.
  std::vector<std::string> TakeTrace();

  TestMachine machine;
  SetupRun run{machine.Machine()};
};

bool HostPathExists(const std::string& hostPath);                   // also a dangling symbolic link
std::vector<std::string> ListHostTree(const std::string& hostDir);  // relative names, sorted
std::string TestDataDir();                       // tests/archive/data of the source tree
int RunHostCommand(const std::string& command);  // through the shell; the exit status

}  // namespace tarvium::test
