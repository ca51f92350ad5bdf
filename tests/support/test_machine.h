// A complete temporary emulated machine, created as `winmachine create` creates one, for tests
// that need every service: files, registry, environment, processes. Removed when the test ends.
#pragma once
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
  // The text of a REG_SZ value ("" when missing).
  std::string RegString(platform::RegRoot root, const std::string& key, const std::string& name);

 private:
  TempDir dir_;
  std::string machineDir_ = dir_.Path() + "/machine";
  std::unique_ptr<platform::emulated::EmulatedMachine> machine_;
};

}  // namespace tarvium::test
