// Throughput of the emulated registry on a real registry.db: single-value writes, each its own
// operation and so its own transaction (the engine writes registry lines one by one), value reads
// through the kept statements and key ids, and .reg export and import of a 50,000-value tree.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/emulated/registry/reg_text.h"
#include "platform/emulated/registry/registry_sqlite.h"
#include "platform/win_error.h"

namespace {

using platform::RegRoot;
using platform::RegValue;
using platform::emulated::SqliteRegistry;

// A registry.db in a fresh temporary directory, removed with it.
class BenchRegistry {
 public:
  BenchRegistry() {
    std::string pattern = (std::filesystem::temp_directory_path() / "reg-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
    if (SqliteRegistry::Open({dir_ + "/registry.db", "S-1-5-21-1-2-3-1001"}, registry_))
      throw std::runtime_error("cannot open the registry");
  }
  ~BenchRegistry() {
    registry_.reset();
    std::filesystem::remove_all(dir_);
  }
  SqliteRegistry& operator*() { return *registry_; }
  SqliteRegistry* operator->() { return registry_.get(); }

 private:
  std::string dir_;
  std::unique_ptr<SqliteRegistry> registry_;
};

RegValue DwordValue(uint32_t dw) {
  return RegValue{platform::REG_DWORD,
                  {static_cast<uint8_t>(dw), static_cast<uint8_t>(dw >> 8),
                   static_cast<uint8_t>(dw >> 16), static_cast<uint8_t>(dw >> 24)}};
}

RegValue TextValue(const std::string& text) {
  RegValue value{platform::REG_SZ, std::vector<uint8_t>(text.begin(), text.end())};
  value.data.push_back(0);
  return value;
}

void Check(uint32_t dwError) {
  if (dwError != platform::ERROR_SUCCESS)
    throw std::runtime_error("registry error " + std::to_string(dwError));
}

void BM_SingleValueWrites20000(benchmark::State& state) {
  constexpr int kWrites = 20000;
  for (auto _ : state) {
    state.PauseTiming();
    auto registry = std::make_unique<BenchRegistry>();
    Check((*registry)->CreateKey(RegRoot::LocalMachine, "Software\\Bench"));
    state.ResumeTiming();
    for (int i = 0; i < kWrites; ++i)
      Check((*registry)->SetValue(RegRoot::LocalMachine, "Software\\Bench",
                                  "Value" + std::to_string(i), DwordValue(i)));
    state.PauseTiming();
    registry.reset();
    state.ResumeTiming();
  }
  state.counters["writes/s"] =
      benchmark::Counter(double(kWrites) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SingleValueWrites20000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ValueReads(benchmark::State& state) {
  constexpr int kKeys = 10;
  constexpr int kValuesPerKey = 100;
  BenchRegistry registry;
  for (int k = 0; k < kKeys; ++k) {
    const std::string key = "Software\\Vendor\\Product\\Key" + std::to_string(k);
    Check(registry->CreateKey(RegRoot::LocalMachine, key));
    for (int v = 0; v < kValuesPerKey; ++v)
      Check(registry->SetValue(RegRoot::LocalMachine, key, "Value" + std::to_string(v),
                               TextValue("some text " + std::to_string(v))));
  }
  RegValue value;
  int n = 0;
  for (auto _ : state) {
    const int k = n % kKeys;
    const int v = (n / kKeys) % kValuesPerKey;
    Check(registry->QueryValue(RegRoot::LocalMachine,
                               "Software\\Vendor\\Product\\Key" + std::to_string(k),
                               "Value" + std::to_string(v), value));
    benchmark::DoNotOptimize(value.data.data());
    ++n;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ValueReads);

// 50 keys of 1,000 values of mixed types below HKCU\Software\Big.
void FillBigTree(SqliteRegistry& registry) {
  for (int k = 0; k < 50; ++k) {
    const std::string key = "Software\\Big\\Key" + std::to_string(k);
    Check(registry.CreateKey(RegRoot::CurrentUser, key));
    for (int v = 0; v < 1000; ++v) {
      const std::string name = "Value" + std::to_string(v);
      const RegValue value =
          v % 3 == 0   ? DwordValue(v)
          : v % 3 == 1 ? TextValue("C:\\Program Files\\Vendor\\" + name)
                       : RegValue{platform::REG_BINARY, std::vector<uint8_t>(40, uint8_t(v))};
      Check(registry.SetValue(RegRoot::CurrentUser, key, name, value));
    }
  }
}

void BM_Export50000Values(benchmark::State& state) {
  BenchRegistry registry;
  FillBigTree(*registry);
  std::string text;
  for (auto _ : state)
    Check(
        platform::ExportRegText(*registry, RegRoot::CurrentUser, "Software\\Big", text));
  state.SetItemsProcessed(state.iterations() * 50000);
  state.counters["MB"] = double(text.size()) / 1e6;
}
BENCHMARK(BM_Export50000Values)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Import50000Values(benchmark::State& state) {
  std::string text;
  {
    BenchRegistry source;
    FillBigTree(*source);
    Check(platform::ExportRegText(*source, RegRoot::CurrentUser, "Software\\Big", text));
  }
  for (auto _ : state) {
    state.PauseTiming();
    auto registry = std::make_unique<BenchRegistry>();
    state.ResumeTiming();
    platform::emulated::RegTextError error;
    Check(platform::emulated::ImportRegText(**registry, text, error));
    state.PauseTiming();
    registry.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * 50000);
}
BENCHMARK(BM_Import50000Values)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
