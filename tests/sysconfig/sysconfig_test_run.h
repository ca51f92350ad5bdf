// A run on a fresh temporary machine with a setup information file given as text and the script
// engine attached, for running the system-configuration handlers' sections directly, in the
// install pass and in the uninstall pass.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "engine/setup_run.h"
#include "install/install_engine.h"
#include "script/script_engine.h"
#include "support/shown_messages.h"
#include "support/test_machine.h"

namespace tarvium::test {

class SysconfigTestRun {
 public:
  explicit SysconfigTestRun(std::string_view infText) {
    run.inf.emplace(std::vector<char>(infText.begin(), infText.end()));
    run.inf->BuildSectionIndex();
    AttachScriptEngine(run);
    AttachInstallEngine(run);
  }

  std::string Read(const std::string& path) { return machine.ReadFile(path); }
  void Write(const std::string& path, const std::string& bytes) { machine.WriteFile(path, bytes); }
  bool Exists(const std::string& path) { return run.machine.Files().FileExists(path); }
  std::vector<int> Messages() const { return ShownMessageNumbers(run); }

  TestMachine machine;
  SetupRun run{machine.Machine()};
};

}  // namespace tarvium::test
