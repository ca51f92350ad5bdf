// A product of N options (default 2,000: 200 parents with 9 children each) with dependencies,
// groups and sections of copy lines that share referenced sections: building the table with
// every size, the size of a selection in each mode, and applying a selection. The range of N
// shows how the times grow with the product.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_machine.h"
#include "engine/inf_file.h"
#include "engine/setup_run.h"
#include "install/build_options.h"
#include "install/install_engine.h"
#include "install/install_pass.h"
#include "install/option_selection.h"
#include "install/option_sizes.h"
#include "script/script_engine.h"

namespace {

constexpr int kChildren = 9;

std::string ChildName(int p, int c) {
  return "Part" + std::to_string(p) + "\\Item" + std::to_string(c);
}

// nParents * (1 + kChildren) options.
std::string ProductText(int nParents) {
  std::string options = "[Options]\n", dependencies = "[OptionDependencies]\n";
  std::string groups = "[OptionGroups]\n", sections;
  for (int p = 0; p < nParents; ++p) {
    const std::string parent = "Part" + std::to_string(p);
    options += parent + "=Part " + std::to_string(p) + ",DEFAULT\n";
    if (p % 10 == 0) groups += "1=" + parent + "\\*\n";
    sections += "[" + parent + "]\n#Common\n1:" + parent + ".dll, %App%, SHAREDDLL, 4096\n";
    for (int c = 0; c < kChildren; ++c) {
      const std::string child = ChildName(p, c);
      options += child + "=Item,0\n";
      dependencies += child + "=" + ChildName((p + 1) % nParents, 0) + ", " +
                      ChildName(p, (c + 1) % kChildren) + "\n";
      sections += "[" + child + "]\n#Shared" + std::to_string(p % 50) + "\n";
      for (int f = 0; f < 5; ++f)
        sections += "1:Bin\\f" + std::to_string(f) + ".dll, %App%\\Bin, WINDOWS64, 1000\n";
      sections += "IF %Option%==x THEN '1:a,,,1'\n";
    }
  }
  for (int s = 0; s < 50; ++s) sections += "[Shared" + std::to_string(s) + "]\n1:s.dll,,,77\n";
  sections += "[Common]\n1:common.dll,,,100000\n";
  return options + dependencies + groups + sections;
}

struct Product {
  explicit Product(int nParents) : text(ProductText(nParents)) {
    run.inf.emplace(std::vector<char>(text.begin(), text.end()));
    run.inf->BuildSectionIndex();
    tarvium::AttachScriptEngine(run);
    tarvium::AttachInstallEngine(run);
  }
  BenchMachine machine;
  std::string text;
  tarvium::SetupRun run{machine.Machine()};
};

void BM_BuildOptionsWithSizes(benchmark::State& state) {
  Product product(static_cast<int>(state.range(0)) / (1 + kChildren));
  for (auto _ : state) benchmark::DoNotOptimize(tarvium::BuildOptions(product.run));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_BuildOptionsWithSizes)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// A modify run reads every option's installed state from the registry while building.
void BM_BuildOptionsOfModifyRun(benchmark::State& state) {
  Product product(static_cast<int>(state.range(0)) / (1 + kChildren));
  product.run.variables.Set("MachineKeyName", "Bench\\Product");
  tarvium::BuildOptions(product.run);
  tarvium::RunInstallationPasses(product.run);  // records the default options as installed
  product.run.ctx.bModify = true;
  for (auto _ : state) benchmark::DoNotOptimize(tarvium::BuildOptions(product.run));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_BuildOptionsOfModifyRun)
    ->Arg(500)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void BM_SizeOfSelectionAllModes(benchmark::State& state) {
  Product product(static_cast<int>(state.range(0)) / (1 + kChildren));
  tarvium::BuildOptions(product.run);
  for (auto _ : state)
    for (int nMode : {tarvium::kModeComplete, tarvium::kModeTypical, tarvium::kModeCustom})
      benchmark::DoNotOptimize(tarvium::SizeOfSelection(product.run, nMode, true));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SizeOfSelectionAllModes)
    ->Arg(500)
    ->Arg(2000)
    ->Arg(4000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity();

// Selects or deselects every option once through the selection rule (each selection follows the
// dependency chain, which links every part, so it reaches the whole table), then presets each mode.
void BM_ApplySelection(benchmark::State& state) {
  Product product(static_cast<int>(state.range(0)) / (1 + kChildren));
  tarvium::BuildOptions(product.run);
  tarvium::OptionTable& table = tarvium::EngineOf(product.run).options;
  for (auto _ : state) {
    for (int32_t i = 1; i < table.Count(); ++i) tarvium::SelectOption(table, i, i % 2 == 0);
    for (int nMode : {tarvium::kModeComplete, tarvium::kModeTypical, tarvium::kModeCustom})
      tarvium::PresetByMode(table, nMode);
  }
  state.SetItemsProcessed(state.iterations() * table.Count());
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ApplySelection)
    ->Arg(500)
    ->Arg(2000)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace
