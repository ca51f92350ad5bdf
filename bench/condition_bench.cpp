// Conditions and Tokenize on a real emulated machine: an IF condition of 50 comparisons that is
// evaluated to its end (integers, versions, text, variable references and a function call), one
// of 50 text orderings through the collation, and Tokenize over a 64 KB variable value that sets
// one variable per piece.
#include <benchmark/benchmark.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "bench_machine.h"
#include "engine/init_variables.h"
#include "engine/setup_run.h"
#include "engine/variable_sections.h"
#include "script/call_function.h"
#include "script/evaluate_condition.h"
#include "script/script_engine.h"

namespace {

// 50 true comparisons joined by "&", so that every one is evaluated: the given ones in turn.
std::string FiftyOf(std::initializer_list<const char*> comparisons) {
  std::string text;
  for (int i = 0; i < 50; ++i)
    text += std::string(i ? " & " : "") + comparisons.begin()[i % comparisons.size()];
  return text;
}

// Evaluates the condition on a fresh machine with the given variables set.
void EvaluateFifty(benchmark::State& state, const std::string& text,
                   std::initializer_list<std::pair<const char*, const char*>> variables) {
  BenchMachine machine;
  tarvium::SetupRun run(machine.Machine());
  tarvium::InitVariables(run);
  tarvium::AttachScriptEngine(run);
  run.ctx.nFormatVersion = 0x1410;
  for (const auto& [name, value] : variables) tarvium::SetVariable(run, name, value);
  for (auto _ : state) {
    if (!tarvium::EvaluateCondition(run, text)) state.SkipWithError("condition was false");
  }
  state.SetItemsProcessed(state.iterations() * 50);
}

void BM_Condition50Comparisons(benchmark::State& state) {
  EvaluateFifty(
      state, FiftyOf({"%N% > 9", "1.10.2 >= 1.9", "%LANG% = de", "abc <> abd", "Len(%LANG%) = 2"}),
      {{"N", "10"}, {"LANG", "DE"}});
}
BENCHMARK(BM_Condition50Comparisons);

// Text orderings through the collation of the platform layer: accented, punctuated and
// hyphenated words and a ligature.
void BM_Condition50TextOrderings(benchmark::State& state) {
  EvaluateFifty(
      state,
      FiftyOf({"\"\xC4pfel\" < Birne", "\"_a\" < ab", "co-op > cook", "%WORD% >= \xE4RGER",
               "\"Stra\xDF"
               "e\" <= STRASSE"}),
      {{"WORD", "\xC4rger"}});
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
