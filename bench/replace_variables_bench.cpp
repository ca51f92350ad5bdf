// Throughput of ReplaceVariables over a 64 KB line with 2,000 references on a real emulated
// machine: predefined names, environment variables, unknown names and plain text between them,
// the mix a long registry or script line of a setup brings.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "engine/init_variables.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "engine/variable_sections.h"
#include "platform/emulated/emulated_machine.h"

namespace {

// A fresh machine in a temporary directory, removed with it.
class BenchMachine {
 public:
  BenchMachine() {
    std::string pattern = (std::filesystem::temp_directory_path() / "var-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
    std::string error;
    if (!platform::emulated::EmulatedMachine::Create(dir_ + "/m", {}, error))
      throw std::runtime_error(error);
    machine_ = platform::emulated::EmulatedMachine::Open(dir_ + "/m", {}, error);
    if (!machine_) throw std::runtime_error(error);
  }
  ~BenchMachine() { std::filesystem::remove_all(dir_); }
  platform::Machine& Machine() { return *machine_; }

 private:
  std::string dir_;
  std::unique_ptr<platform::emulated::EmulatedMachine> machine_;
};

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
