// ReplaceVariables over arbitrary text on one emulated machine: references of every shape,
// unmatched marks, registry and INI names, embedded zero bytes. The result must stay within the
// line size and the walk must end.
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/init_variables.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "platform/emulated/emulated_machine.h"

namespace {

platform::Machine& FuzzMachine() {
  static std::unique_ptr<platform::emulated::EmulatedMachine> machine = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "var-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) abort();
    std::string error;
    if (!platform::emulated::EmulatedMachine::Create(pattern + "/m", {}, error)) abort();
    return platform::emulated::EmulatedMachine::Open(pattern + "/m", {}, error);
  }();
  return *machine;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static tarvium::SetupRun run(FuzzMachine());
  static const bool bReady = tarvium::InitVariables(run);
  (void)bReady;
  std::string text(reinterpret_cast<const char*>(data), size);
  tarvium::ReplaceVariables(run, text);
  if (text.size() >= tarvium::kVariableLineSize) abort();
  return 0;
}
