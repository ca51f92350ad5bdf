// ReplaceVariables over arbitrary text on one emulated machine: references of every shape,
// unmatched marks, registry and INI names, embedded zero bytes. The result must stay within the
// line size and the walk must end.
#include <cstdint>
#include <string>

#include "engine/init_variables.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "fuzz_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static tarvium::SetupRun run(FuzzMachine("tarvium-variables-fuzz"));
  static const bool bReady = tarvium::InitVariables(run);
  (void)bReady;
  std::string text(reinterpret_cast<const char*>(data), size);
  tarvium::ReplaceVariables(run, text);
  if (text.size() >= tarvium::kVariableLineSize) abort();
  return 0;
}
