// Throughput of ReplaceVariables over a 64 KB line with 2,000 references on a real emulated
// machine: predefined names, environment variables, unknown names and plain text between them,
// the mix a long registry or script line of a setup brings.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_machine.h"
#include "engine/init_variables.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "engine/variable_sections.h"

namespace {

std::string LongLine() {
  const char* references[] = {"%App%", "%windir%", "%SrcDir\\%", "%NoSuchName%", "%SysDate%"};
  std::string line;
  for (int i = 0; i < 2000; ++i) line += std::string(references[i % 5]) + " plain text ";
  while (line.size() < 64 * 1024) line += " plain text after the references ";
  return line;
}

void BM_ReplaceVariables64KLine(benchmark::State& state) {
  BenchMachine machine;
  tarvium::SetupRun run(machine.Machine());
  tarvium::InitVariables(run);
  tarvium::SetVariable(run, "App", "C:\\Program Files\\Product");
  tarvium::SetVariable(run, "SrcDir", "Z:\\srv\\media\\");
  const std::string line = LongLine();
  for (auto _ : state) {
    std::string text = line;
    tarvium::ReplaceVariables(run, text);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * line.size()));
}
BENCHMARK(BM_ReplaceVariables64KLine);

}  // namespace
