// Conditions over arbitrary text on one emulated machine: the parser must end and hold its depth
// limit, and evaluating the tree (variables, function calls, comparisons) must not crash. The
// same input is also tried as an IF line, whose chosen command goes nowhere.
#include <cstdint>
#include <string>

#include "engine/init_variables.h"
#include "engine/setup_run.h"
#include "fuzz_machine.h"
#include "script/condition_tree.h"
#include "script/evaluate_condition.h"
#include "script/if_line.h"
#include "script/script_engine.h"

namespace {

size_t Depth(const tarvium::ConditionChain& chain) {
  size_t nDepth = 0;
  for (const tarvium::ConditionNode& node : chain)
    if (node.bGroup) nDepth = std::max(nDepth, 1 + Depth(node.group));
  return nDepth;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static tarvium::SetupRun run(FuzzMachine("tarvium-condition-fuzz"));
  static const bool bReady = [] {
    tarvium::InitVariables(run);
    tarvium::AttachScriptEngine(run);
    return true;
  }();
  (void)bReady;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const tarvium::ParsedCondition parsed = tarvium::ParseCondition(text);
  if (Depth(parsed.chain) > tarvium::kMaxConditionDepth) abort();
  tarvium::EvaluateConditionChain(run, parsed.chain);
  tarvium::ExecuteIf(run, "IF " + text, false);
  run.shownMessages.clear();
  return 0;
}
