// A complete temporary emulated machine, created as `winmachine create` creates one, for tests
// that need every service: files, registry, environment, processes. Removed when the test ends.
// The short ways to put a file or a registry text on it and to read them back are the set-up and
// the checks that most tests share.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/emulated/machine/emulated_machine.h"
#include "support/temp_dir.h"

namespace tarvium::test {

class TestMachine {
 public:
  explicit TestMachine(const platform::emulated::MachineIdentity& identity = {},
                       const std::vector<std::string>& hostVariables = {});

  platform::emulated::EmulatedMachine& Machine() { return *machine_; }
  const std::string& Path() const { return machineDir_; }
  // Opens the machine again, as a second engine process on the same machine would.
  std::unique_ptr<platform::emulated::EmulatedMachine> OpenAgain(
      const std::vector<std::string>& hostVariables = {}) const;
  // Changes machine.ini as an administrator edits it, then opens the machine again with it.
  std::unique_ptr<platform::emulated::EmulatedMachine> OpenReconfigured(
      const std::function<void(platform::emulated::MachineConfig&)>& change,
      const std::vector<std::string>& hostVariables = {}) const;
  // The text of a REG_SZ value ("" when missing).
  std::string RegString(platform::RegRoot root, const std::string& key, const std::string& name);
  // Writes a REG_SZ value (or another string type), creating its key.
  void SetRegString(platform::RegRoot root, const std::string& key, const std::string& name,
                    const std::string& text, uint32_t dwType = platform::REG_SZ);
  bool HasRegKey(platform::RegRoot root, const std::string& key);
  bool HasRegValue(platform::RegRoot root, const std::string& key, const std::string& name);

  // The host path of a file of the machine, by its Windows path.
  std::string HostPath(const std::string& windowsPath);
  // Writes a file of the machine, making its folders.
  void WriteFile(const std::string& windowsPath, const std::string& bytes);
  // Writes an executable "#!/bin/sh" script with the body, which the machine can start.
  void WriteScript(const std::string& windowsPath, const std::string& body);
  // The bytes of a file of the machine ("" when missing).
  std::string ReadFile(const std::string& windowsPath);

 private:
  TempDir dir_;
  std::string machineDir_ = dir_.Path() + "/machine";
  std::unique_ptr<platform::emulated::EmulatedMachine> machine_;
};

}  // namespace tarvium::test
