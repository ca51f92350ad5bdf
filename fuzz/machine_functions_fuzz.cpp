// The machine functions over arbitrary argument texts on one emulated machine: registry
// references of every shape, wildcard patterns, quoted and unterminated arguments, XPath texts.
// The first byte chooses the function; every call must end with a result within the line size.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "fuzz_machine.h"
#include "script/expression_functions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static tarvium::SetupRun run(FuzzMachine("tarvium-machine-functions-fuzz"));
  const std::span<const tarvium::ExpressionFunction> functions = tarvium::MachineFunctions();
  if (size == 0 || functions.empty()) return 0;
  const tarvium::ExpressionFunction& function = functions[data[0] % functions.size()];
  const std::string_view args(reinterpret_cast<const char*>(data + 1), size - 1);
  run.ctx.bAborted = false;
  run.shownMessages.clear();
  std::string result;
  function.call(run, args, result);
  if (result.size() >= tarvium::kVariableLineSize) abort();
  return 0;
}
