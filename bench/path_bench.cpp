// Windows path resolution on a real machine directory: 1,000 existing files nine names deep,
// looked up in another case than on disk (as setup scripts write them). Measured: the parser
// alone; resolution through the cache (the common case: a setup touches the same directories
// again and again), as GetHostPath does it (no system call) and as the file operations do it
// (checked with one stat); resolution without a cache in the exact and in another case (each
// name a stat, or a directory scan); and GetFileAttributes end to end (resolution, stat and the
// metadata row).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ansi_case.h"
#include "platform/emulated/files/emulated_file_system.h"
#include "platform/emulated/files/path_resolver.h"
#include "platform/emulated/files/win_path.h"
#include "platform/win_error.h"

namespace {

using namespace platform::emulated;

constexpr int kFiles = 1000;
const char* const kDir = R"(C:\Program Files\Vendor\Product\Component\Sub1\Sub2\Sub3)";

// A machine directory with the deep tree, removed at exit.
class BenchMachine {
 public:
  BenchMachine() {
    std::string pattern = (std::filesystem::temp_directory_path() / "path-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_dir = pattern;
    const std::string hostDir =
        m_dir + "/drive_c/Program Files/Vendor/Product/Component/Sub1/Sub2/Sub3";
    std::filesystem::create_directories(hostDir);
    for (int i = 0; i < kFiles; ++i) {
      const std::string name = "File" + std::to_string(i) + ".dll";
      std::ofstream(hostDir + "/" + name) << "x";
      m_exactPaths.push_back(std::string(kDir) + "\\" + name);
      m_otherCasePaths.push_back(platform::AnsiUpper(m_exactPaths.back()));
    }
    m_files = std::make_unique<EmulatedFileSystem>(m_dir, m_config);
  }
  ~BenchMachine() {
    m_files.reset();
    std::filesystem::remove_all(m_dir);
  }

  const std::string& Dir() const { return m_dir; }
  const MachineConfig& Config() const { return m_config; }
  EmulatedFileSystem& Files() { return *m_files; }
  const std::string& Path(size_t i, bool bExactCase) const {
    return bExactCase ? m_exactPaths[i % kFiles] : m_otherCasePaths[i % kFiles];
  }

 private:
  std::string m_dir;
  MachineConfig m_config;
  std::unique_ptr<EmulatedFileSystem> m_files;
  std::vector<std::string> m_exactPaths;
  std::vector<std::string> m_otherCasePaths;
};

BenchMachine& Machine() {
  static BenchMachine machine;
  return machine;
}

void Check(uint32_t dwError) {
  if (dwError != platform::ERROR_SUCCESS)
    throw std::runtime_error("error " + std::to_string(dwError));
}

void BM_ParseWindowsPath(benchmark::State& state) {
  CurrentDirectories dirs;
  dirs.current.cDrive = 'C';
  size_t i = 0;
  for (auto _ : state) {
    WinPath path;
    Check(ParseWindowsPath(Machine().Path(i++, false), dirs, path));
    benchmark::DoNotOptimize(path);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_ParseWindowsPath);

void BM_ResolveCached(benchmark::State& state) {
  std::string host;
  size_t i = 0;
  for (auto _ : state) {
    Check(Machine().Files().GetHostPath(Machine().Path(i++, false), host));
    benchmark::DoNotOptimize(host);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_ResolveCached);

// What the file operations do: the cached answer checked with the one stat they need anyway.
void BM_ResolveCachedChecked(benchmark::State& state) {
  PathResolver resolver(Machine().Dir(), Machine().Config());
  CurrentDirectories dirs;
  dirs.current.cDrive = 'C';
  size_t i = 0;
  for (auto _ : state) {
    WinPath path;
    ResolvedPath resolved;
    Check(ParseWindowsPath(Machine().Path(i++, false), dirs, path));
    Check(resolver.Resolve(path, resolved));
    if (!resolved.Exists()) throw std::runtime_error("not found: " + resolved.hostPath);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_ResolveCachedChecked);

// A resolver of its own per lookup, so that every name is looked up on the host.
void BM_ResolveUncached(benchmark::State& state) {
  const bool bExactCase = state.range(0) != 0;
  CurrentDirectories dirs;
  dirs.current.cDrive = 'C';
  size_t i = 0;
  for (auto _ : state) {
    PathResolver resolver(Machine().Dir(), Machine().Config());
    WinPath path;
    ResolvedPath resolved;
    Check(ParseWindowsPath(Machine().Path(i++, bExactCase), dirs, path));
    Check(resolver.Resolve(path, resolved));
    if (!resolved.Exists()) throw std::runtime_error("not found: " + resolved.hostPath);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
  state.SetLabel(bExactCase ? "exact case" : "other case");
}
BENCHMARK(BM_ResolveUncached)->Arg(1)->Arg(0);

void BM_GetFileAttributes(benchmark::State& state) {
  uint32_t dwAttributes = 0;
  size_t i = 0;
  for (auto _ : state)
    Check(Machine().Files().GetFileAttributes(Machine().Path(i++, false), dwAttributes));
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_GetFileAttributes);

}  // namespace
