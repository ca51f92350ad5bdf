// A registry section of 10,000 lines applied and removed through HandleRegSection on a real
// machine (one registry transaction per section), against the sqlite3 command-line tool inserting
// the same 10,000 rows in one transaction into a plain table, timed in the same run. The lines are
// spread over 100 keys and cover text, number, byte and string-list values in both line forms.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "bench_machine.h"
#include "engine/setup_run.h"
#include "install/install_engine.h"
#include "sysconfig/reg_lines.h"

namespace {

constexpr int kLines = 10000;
constexpr int kKeys = 100;

std::string LineOf(int i) {
  const std::string key = "Software\\Bench\\Key" + std::to_string(i % kKeys);
  const std::string name = "Value" + std::to_string(i);
  switch (i % 4) {
    case 0:
      return "HKLM\\" + key + ":" + name + "=text number " + std::to_string(i);
    case 1:
      return "HKLM\\" + key + ":" + name + "=dword:" + std::to_string(i);
    case 2:
      return "HKLM," + key + "," + name + ",0x00010000,first,second";
    default:
      return "HKLM," + key + "," + name + ",1,01,02,03,04";
  }
}

std::string SectionText() {
  std::string text = "[Keys.reg]\n";
  for (int i = 0; i < kLines; ++i) text += LineOf(i) + "\n";
  return text;
}

class SectionRun {
 public:
  SectionRun() {
    const std::string text = SectionText();
    run_.inf.emplace(std::vector<char>(text.begin(), text.end()));
    run_.inf->BuildSectionIndex();
    AttachInstallEngine(run_);
    run_.ctx.bSilent = true;
  }
  void Apply(bool bUninstall) {
    run_.ctx.bUninstall = bUninstall;
    if (!tarvium::HandleRegSection(run_, "Keys.reg", 0))
      throw std::runtime_error("the section failed");
  }

 private:
  BenchMachine machine_;
  tarvium::SetupRun run_{machine_.Machine()};
};

void BM_ApplyRegistrySection(benchmark::State& state) {
  SectionRun section;
  for (auto _ : state) {
    section.Apply(false);
    state.PauseTiming();
    section.Apply(true);
    state.ResumeTiming();
  }
  state.counters["lines/s"] =
      benchmark::Counter(kLines, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ApplyRegistrySection)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_RemoveRegistrySection(benchmark::State& state) {
  SectionRun section;
  for (auto _ : state) {
    state.PauseTiming();
    section.Apply(false);
    state.ResumeTiming();
    section.Apply(true);
  }
  state.counters["lines/s"] =
      benchmark::Counter(kLines, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_RemoveRegistrySection)->UseRealTime()->Unit(benchmark::kMillisecond);

// The peer: sqlite3 reading a script of 10,000 INSERTs in one transaction into a fresh file.
void BM_Sqlite3CliInsertSameRows(benchmark::State& state) {
  const std::string dir = std::filesystem::temp_directory_path() / "reg-section-bench-sql";
  std::filesystem::create_directories(dir);
  {
    std::ofstream script(dir + "/insert.sql");
    script << "PRAGMA journal_mode=WAL;\nCREATE TABLE v(k TEXT, n TEXT, t INTEGER, d BLOB);\n"
              "BEGIN;\n";
    for (int i = 0; i < kLines; ++i)
      script << "INSERT INTO v VALUES('Key" << i % kKeys << "','Value" << i << "',1,'"
             << "text number " << i << "');\n";
    script << "COMMIT;\n";
  }
  const std::string command =
      "rm -f " + dir + "/t.db* && sqlite3 " + dir + "/t.db < " + dir + "/insert.sql > /dev/null";
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) throw std::runtime_error("sqlite3 failed");
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::filesystem::remove_all(dir);
  state.counters["rows/s"] =
      benchmark::Counter(kLines, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Sqlite3CliInsertSameRows)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
