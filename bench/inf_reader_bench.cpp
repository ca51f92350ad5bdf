// Loading and indexing a large setup information file (5 MB, 20,000 sections), then finding
// every section and looking up every key of a 5,000-line section.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/inf_file.h"
#include "engine/inf_reader.h"

namespace {

constexpr int kSections = 20000;
constexpr int kBigSectionKeys = 5000;

std::string SectionName(int i) {
  return "Section" + std::to_string(i);
}
std::string KeyName(int i) {
  return "Key" + std::to_string(i);
}

// About 5 MB: 20,000 sections of 4 lines each, and one section of 5,000 keys in the middle.
const std::string& LargeText() {
  static const std::string text = [] {
    std::string t;
    for (int i = 0; i < kSections; ++i) {
      t += "[" + SectionName(i) + "]\r\n";
      if (i == kSections / 2) {
        for (int k = 0; k < kBigSectionKeys; ++k)
          t += KeyName(k) + " = C:\\Program Files\\Vendor\\Product\\file" + std::to_string(k) +
               ".dll\r\n";
        continue;
      }
      for (int k = 0; k < 4; ++k)
        t += "1:Bin\\Module" + std::to_string(k) +
             ".dll, %App%\\Bin, SHAREDDLL+REGISTER, 204800\r\n";
    }
    return t;
  }();
  return text;
}

tarvium::InfFile LoadAndIndex() {
  tarvium::TextEncoding encoding;
  tarvium::InfFile inf(tarvium::DecodeText(LargeText(), encoding));
  inf.BuildSectionIndex();
  return inf;
}

void BM_LoadAndIndex(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(LoadAndIndex());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * LargeText().size()));
}
BENCHMARK(BM_LoadAndIndex)->Unit(benchmark::kMillisecond);

void BM_FindEverySection(benchmark::State& state) {
  const tarvium::InfFile inf = LoadAndIndex();
  for (auto _ : state)
    for (int i = 0; i < kSections; ++i)
      benchmark::DoNotOptimize(tarvium::FindSection(inf, SectionName(i)));
  state.SetItemsProcessed(state.iterations() * kSections);
}
BENCHMARK(BM_FindEverySection)->Unit(benchmark::kMillisecond);

// First lookup of every key in a freshly loaded file: the key index is built on the way.
void BM_LookUpEveryKeyOfBigSection(benchmark::State& state) {
  const std::string section = SectionName(kSections / 2);
  std::string value;
  for (auto _ : state) {
    state.PauseTiming();
    tarvium::InfFile inf = LoadAndIndex();
    state.ResumeTiming();
    for (int k = 0; k < kBigSectionKeys; ++k)
      benchmark::DoNotOptimize(tarvium::GetValue(inf, section, KeyName(k), value, 1025));
  }
  state.SetItemsProcessed(state.iterations() * kBigSectionKeys);
}
BENCHMARK(BM_LookUpEveryKeyOfBigSection)->Unit(benchmark::kMillisecond);

}  // namespace
