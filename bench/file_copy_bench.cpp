// The copy procedure over a plain source tree of 10,000 files of 4 to 64 KiB in 100 folders on an
// emulated machine, beside `cp -r` of the same tree into the same machine (run through the shell,
// timed the same way): the first installation into an empty application directory, and the same
// copies again when every file is already there and equal, which must be far cheaper. The counters
// give the peak memory growth of the first installation and the lines kept on the run, which must
// not grow with the number of files. The ratios are the numbers to watch; nothing is asserted.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/setup_run.h"
#include "install/copy_file.h"
#include "install/install_engine.h"
#include "platform/emulated/machine/emulated_machine.h"

namespace {

namespace fs = std::filesystem;
using platform::emulated::EmulatedMachine;

constexpr int kFiles = 10000;

struct SourceFile {
  std::string relative;  // "d7\\file7.dat"
  int64_t nSize = 0;
};

// A machine with C:\Media holding the tree; C:\App is where the copies go.
struct CopyBenchMachine {
  CopyBenchMachine() {
    char szDir[] = "/tmp/tarvium-copy-bench-XXXXXX";
    dir = ::mkdtemp(szDir);
    std::string error;
    if (!EmulatedMachine::Create(dir, {}, error)) std::abort();
    machine = EmulatedMachine::Open(dir, {}, error);
    if (!machine) std::abort();
    std::mt19937 random(1);
    std::uniform_int_distribution<int> size(4096, 65536);
    std::vector<char> bytes(65536);
    for (char& c : bytes) c = static_cast<char>(random());
    for (int i = 0; i < kFiles; ++i) {
      const std::string folder = "d" + std::to_string(i % 100);
      const std::string name = "file" + std::to_string(i) + ".dat";
      fs::create_directories(Host("Media/" + folder));
      const int nSize = size(random);
      bytes[static_cast<size_t>(i % 4096)] ^= 1;  // no two files alike
      std::ofstream(Host("Media/" + folder + "/" + name), std::ios::binary)
          .write(bytes.data(), nSize);
      files.push_back({folder + "\\" + name, nSize});
    }
  }
  ~CopyBenchMachine() { fs::remove_all(dir); }
  std::string Host(const std::string& rel) const { return dir + "/drive_c/" + rel; }

  std::string dir;
  std::unique_ptr<EmulatedMachine> machine;
  std::vector<SourceFile> files;
};

CopyBenchMachine& Machine() {
  static CopyBenchMachine machine;
  return machine;
}

long PeakRssKb() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// User and system time of this process (RUSAGE_SELF) or its finished children, in milliseconds.
double CpuMs(int who) {
  rusage usage{};
  ::getrusage(who, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// Every file of the tree through CopyTheFile, as a copy line of each would call it.
bool CopyTree(tarvium::SetupRun& run, const CopyBenchMachine& m) {
  tarvium::CopyFileRequest request;
  for (const SourceFile& file : m.files) {
    request.source = "C:\\Media\\" + file.relative;
    request.destination = "C:\\App\\" + file.relative;
    request.nExpectedSize = file.nSize;
    if (!tarvium::CopyTheFile(run, request)) return false;
  }
  return true;
}

void BM_CopyTreeFirst(benchmark::State& state) {
  CopyBenchMachine& m = Machine();
  tarvium::SetupRun run(*m.machine);
  tarvium::AttachInstallEngine(run);
  const long nRssBefore = PeakRssKb();
  double msCopying = 0;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(m.Host("App"));
    state.ResumeTiming();
    const double msBefore = CpuMs(RUSAGE_SELF);
    if (!CopyTree(run, m)) state.SkipWithError("copy failed");
    msCopying += CpuMs(RUSAGE_SELF) - msBefore;
  }
  state.counters["cpu_ms"] = msCopying;
  state.counters["rss_growth_kb"] = static_cast<double>(PeakRssKb() - nRssBefore);
  state.counters["kept_lines"] = static_cast<double>(run.debugLines.size());
}

void BM_CopyTreeAgainEqual(benchmark::State& state) {
  CopyBenchMachine& m = Machine();
  tarvium::SetupRun run(*m.machine);
  tarvium::AttachInstallEngine(run);
  static bool bInstalled = false;  // once for all repetitions
  if (!bInstalled) {
    fs::remove_all(m.Host("App"));
    bInstalled = CopyTree(run, m);
  }
  if (!bInstalled) state.SkipWithError("first copy failed");
  for (auto _ : state) {
    if (!CopyTree(run, m)) state.SkipWithError("copy failed");
  }
}

void BM_CpRecursive(benchmark::State& state) {
  CopyBenchMachine& m = Machine();
  const double msBefore = CpuMs(RUSAGE_CHILDREN);
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(m.Host("App"));
    state.ResumeTiming();
    if (std::system(("cp -r " + m.Host("Media") + " " + m.Host("App")).c_str()) != 0)
      state.SkipWithError("cp failed");
  }
  state.counters["cpu_ms"] = CpuMs(RUSAGE_CHILDREN) - msBefore;
}

// The machine is shared with other work: one pass each, repeated, medians reported.
#define COPY_BENCHMARK(name)          \
  BENCHMARK(name)                     \
      ->Unit(benchmark::kMillisecond) \
      ->Iterations(1)                 \
      ->Repetitions(3)                \
      ->UseRealTime()                 \
      ->ReportAggregatesOnly()
COPY_BENCHMARK(BM_CpRecursive);
COPY_BENCHMARK(BM_CopyTreeFirst);
COPY_BENCHMARK(BM_CopyTreeAgainEqual);

}  // namespace
