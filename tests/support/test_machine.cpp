#include "support/test_machine.h"

#include "platform/emulated/machine/machine_config.h"

#include <sys/stat.h>

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

std::unique_ptr<platform::emulated::EmulatedMachine> TestMachine::OpenReconfigured(
    const std::function<void(platform::emulated::MachineConfig&)>& change,
    const std::vector<std::string>& hostVariables) const {
  const std::string ini = machineDir_ + "/" + platform::emulated::kMachineConfigName;
  platform::emulated::MachineConfig config;
  std::string error;
  if (!platform::emulated::LoadMachineConfig(ini, config, error))
    throw std::runtime_error("cannot read the machine's settings: " + error);
  change(config);
  if (!platform::emulated::SaveMachineConfig(ini, config, error))
    throw std::runtime_error("cannot write the machine's settings: " + error);
  return OpenAgain(hostVariables);
}

std::string TestMachine::RegString(platform::RegRoot root, const std::string& key,
                                   const std::string& name) {
  platform::RegValue value;
  if (machine_->Reg().QueryValue(root, key, name, value) != 0) return "";
  std::string text(value.data.begin(), value.data.end());
  return text.substr(0, text.find('\0'));
}

void TestMachine::SetRegString(platform::RegRoot root, const std::string& key,
                               const std::string& name, const std::string& text, uint32_t dwType) {
  platform::RegValue value{dwType, {text.begin(), text.end()}};
  value.data.push_back(0);
  if (machine_->Reg().CreateKey(root, key) != 0 || machine_->Reg().SetValue(root, key, name, value))
    throw std::runtime_error("cannot write the registry value " + key + "\\" + name);
}

bool TestMachine::HasRegKey(platform::RegRoot root, const std::string& key) {
  return machine_->Reg().OpenKey(root, key) == 0;
}

bool TestMachine::HasRegValue(platform::RegRoot root, const std::string& key,
                              const std::string& name) {
  platform::RegValue value;
  return machine_->Reg().QueryValue(root, key, name, value) == 0;
}

std::string TestMachine::HostPath(const std::string& windowsPath) {
  std::string hostPath;
  if (machine_->EmulatedFiles().GetHostPath(windowsPath, hostPath) != 0)
    throw std::runtime_error("no host path for " + windowsPath);
  return hostPath;
}

void TestMachine::WriteFile(const std::string& windowsPath, const std::string& bytes) {
  machine_->Files().CreateDirectoryTree(windowsPath.substr(0, windowsPath.rfind('\\')));
  if (machine_->Files().WriteWholeFile(windowsPath, bytes) != 0)
    throw std::runtime_error("cannot write " + windowsPath);
}

void TestMachine::WriteScript(const std::string& windowsPath, const std::string& body) {
  WriteFile(windowsPath, "#!/bin/sh\n" + body + "\n");
  if (::chmod(HostPath(windowsPath).c_str(), 0755) != 0)
    throw std::runtime_error("cannot make " + windowsPath + " executable");
}

std::string TestMachine::ReadFile(const std::string& windowsPath) {
  std::string bytes;
  machine_->Files().ReadWholeFile(windowsPath, bytes);
  return bytes;
}

}  // namespace tarvium::test
