// Zip and Unzip of a tree of 10,000 small files on an emulated machine, beside Info-ZIP's zip -6
// and unzip on the same files (run through the shell, their time measured the same way), and
// Unzip of 20,000 small files in one folder, where a lookup that grows with the folder would show.
// The ratios ours / theirs are the numbers to watch; nothing is asserted.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "archive/pack_zip.h"
#include "archive/unpack_zip.h"
#include "engine/setup_run.h"
#include "platform/emulated/machine/emulated_machine.h"

namespace {

namespace fs = std::filesystem;
using platform::emulated::EmulatedMachine;

constexpr int kFiles = 10000;
constexpr int kFlatFiles = 20000;

// A machine with C:\tree (10,000 files of 100 to 4,000 bytes in 100 folders) and C:\tree.zip made
// by Info-ZIP.
struct BenchMachine {
  BenchMachine() {
    char szDir[] = "/tmp/tarvium-zip-bench-XXXXXX";
    dir = ::mkdtemp(szDir);
    std::string error;
    if (!EmulatedMachine::Create(dir, {}, error)) std::abort();
    machine = EmulatedMachine::Open(dir, {}, error);
    if (!machine) std::abort();
    fs::create_directories(dir + "/drive_c/tree");
    for (int i = 0; i < kFiles; ++i) {
      const std::string folder = dir + "/drive_c/tree/d" + std::to_string(i % 100);
      fs::create_directories(folder);
      std::ofstream out(folder + "/file" + std::to_string(i) + ".txt", std::ios::binary);
      const std::string line = "line of file " + std::to_string(i) + " with some text\n";
      for (int n = 0; n < 2 + i % 80; ++n) out << line;
    }
    Shell("cd " + Host("tree") + " && zip -q -r -6 ../tree.zip .");
    fs::create_directories(dir + "/drive_c/flat");
    for (int i = 0; i < kFlatFiles; ++i)
      std::ofstream(Host("flat/Font" + std::to_string(i) + ".ttf"), std::ios::binary)
          << "glyphs of font " << i << "\n";
    Shell("cd " + Host("flat") + " && zip -q -r -6 ../flat.zip . && rm -rf ../flat");
  }
  ~BenchMachine() { fs::remove_all(dir); }
  std::string Host(const std::string& rel) const { return dir + "/drive_c/" + rel; }
  static void Shell(const std::string& command) {
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) std::abort();
  }

  std::string dir;
  std::unique_ptr<EmulatedMachine> machine;
};

BenchMachine& Machine() {
  static BenchMachine machine;
  return machine;
}

// Unpacks C:\<archive> into a fresh C:\out with UnpackZip.
void UnpackOurs(benchmark::State& state, const std::string& archive) {
  BenchMachine& m = Machine();
  tarvium::SetupRun run(*m.machine);
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(m.Host("out"));
    state.ResumeTiming();
    if (!tarvium::UnpackZip(run, "C:\\" + archive, "C:\\out", "", ""))
      state.SkipWithError("failed");
  }
}

// The same with Info-ZIP's unzip.
void UnpackInfoZip(benchmark::State& state, const std::string& archive) {
  BenchMachine& m = Machine();
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(m.Host("out"));
    state.ResumeTiming();
    BenchMachine::Shell("unzip -q -o " + m.Host(archive) + " -d " + m.Host("out"));
  }
}

void BM_UnpackZipOurs(benchmark::State& state) {
  UnpackOurs(state, "tree.zip");
}
void BM_UnpackZipInfoZip(benchmark::State& state) {
  UnpackInfoZip(state, "tree.zip");
}
void BM_UnpackFlatOurs(benchmark::State& state) {
  UnpackOurs(state, "flat.zip");
}
void BM_UnpackFlatInfoZip(benchmark::State& state) {
  UnpackInfoZip(state, "flat.zip");
}

void BM_PackZipOurs(benchmark::State& state) {
  BenchMachine& m = Machine();
  tarvium::SetupRun run(*m.machine);
  for (auto _ : state) {
    if (!tarvium::PackZip(run, "C:\\ours.zip", "C:\\tree", "", "")) state.SkipWithError("failed");
  }
}

void BM_PackZipInfoZip6(benchmark::State& state) {
  BenchMachine& m = Machine();
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove(m.Host("theirs.zip"));
    state.ResumeTiming();
    BenchMachine::Shell("cd " + m.Host("tree") + " && zip -q -r -6 ../theirs.zip .");
  }
}

// The machine is shared with other work: medians of five runs of at least a second each.
#define ZIP_BENCHMARK(name) \
  BENCHMARK(name)->Unit(benchmark::kMillisecond)->MinTime(1)->Repetitions(5)->ReportAggregatesOnly()
ZIP_BENCHMARK(BM_UnpackZipOurs);
ZIP_BENCHMARK(BM_UnpackZipInfoZip);
ZIP_BENCHMARK(BM_UnpackFlatOurs);
ZIP_BENCHMARK(BM_UnpackFlatInfoZip);
ZIP_BENCHMARK(BM_PackZipOurs);
ZIP_BENCHMARK(BM_PackZipInfoZip6);

}  // namespace
