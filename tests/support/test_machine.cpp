#include "support/test_machine.h"

#include <stdexcept>

namespace tarvium::test {

TestMachine::TestMachine(const platform::emulated::MachineIdentity& identity,
                         const std::vector<std::string>& hostVariables) {
  std::string error;
  if (!platform::emulated::EmulatedMachine::Create(machineDir_, identity, error))
    throw std::runtime_error("cannot create a test machine: " + error);
  machine_ = OpenAgain(hostVariables);
}

std::unique_ptr<platform::emulated::EmulatedMachine> TestMachine::OpenAgain(
    const std::vector<std::string>& hostVariables) const {
  std::string error;
  auto machine = platform::emulated::EmulatedMachine::Open(machineDir_, hostVariables, error);
  if (!machine) throw std::runtime_error("cannot open the test machine: " + error);
  return machine;
}

std::string TestMachine::RegString(platform::RegRoot root, const std::string& key,
                                   const std::string& name) {
  platform::RegValue value;
  if (machine_->Reg().QueryValue(root, key, name, value) != 0) return "";
  std::string text(value.data.begin(), value.data.end());
  return text.substr(0, text.find('\0'));
}

}  // namespace tarvium::test
