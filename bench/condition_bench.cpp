// Conditions and Tokenize on a real emulated machine: an IF condition of 50 comparisons that is
// evaluated to its end (integers, versions, text, variable references and a function call), one
// of 50 text orderings through the collation, and Tokenize over a 64 KB variable value that sets
// one variable per piece.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_machine.h"
#include "engine/init_variables.h"
#include "engine/setup_run.h"
#include "engine/variable_sections.h"
#include "script/call_function.h"
#include "script/evaluate_condition.h"
#include "script/script_engine.h"

namespace {

// 50 true comparisons joined by "&", so that every one is evaluated.
std::string FiftyComparisons() {
  const char* comparisons[] = {"%N% > 9", "1.10.2 >= 1.9", "%LANG% = de", "abc <> abd",
                               "Len(%LANG%) = 2"};
  std::string text;
  for (int i = 0; i < 50; ++i) text += std::string(i ? " & " : "") + comparisons[i % 5];
  return text;
}

void BM_Condition50Comparisons(benchmark::State& state) {
  BenchMachine machine;
  tarvium::SetupRun run(machine.Machine());
  tarvium::InitVariables(run);
  tarvium::AttachScriptEngine(run);
  run.ctx.nFormatVersion = 0x1410;
  tarvium::SetVariable(run, "N", "10");
  tarvium::SetVariable(run, "LANG", "DE");
  const std::string text = FiftyComparisons();
  for (auto _ : state) {
    if (!tarvium::EvaluateCondition(run, text)) state.SkipWithError("condition was false");
  }
  state.SetItemsProcessed(state.iterations() * 50);
}
BENCHMARK(BM_Condition50Comparisons);

// 50 true text orderings joined by "&": accented, punctuated and hyphenated words, each ordered
// by the collation of the platform layer.
std::string FiftyTextOrderings() {
  const char* comparisons[] = {"\"\xC4pfel\" < Birne", "\"_a\" < ab", "co-op > cook",
                               "%WORD% >= \xE4RGER",
                               "\"Stra\xDF"
                               "e\" <= STRASSE"};
  std::string text;
  for (int i = 0; i < 50; ++i) text += std::string(i ? " & " : "") + comparisons[i % 5];
  return text;
}

void BM_Condition50TextOrderings(benchmark::State& state) {
  BenchMachine machine;
  tarvium::SetupRun run(machine.Machine());
  tarvium::InitVariables(run);
  tarvium::AttachScriptEngine(run);
  tarvium::SetVariable(run, "WORD", "\xC4rger");
  const std::string text = FiftyTextOrderings();
  for (auto _ : state) {
    if (!tarvium::EvaluateCondition(run, text)) state.SkipWithError("condition was false");
  }
  state.SetItemsProcessed(state.iterations() * 50);
}
BENCHMARK(BM_Condition50TextOrderings);

void BM_Tokenize64KValue(benchmark::State& state) {
  BenchMachine machine;
  tarvium::SetupRun run(machine.Machine());
  std::string value;
  while (value.size() < 64 * 1024) value += "piece" + std::to_string(value.size() % 997) + ";";
  run.machine.Env().SetVariable("LIST", value);
  std::string result;
  for (auto _ : state) {
    tarvium::CallFunction(run, "Tokenize", "(LIST,;)", result);
    benchmark::DoNotOptimize(result.data());
  }
  state.counters["pieces"] = std::stod(result);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * value.size()));
}
BENCHMARK(BM_Tokenize64KValue);

}  // namespace
