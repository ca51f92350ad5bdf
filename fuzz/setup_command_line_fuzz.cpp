// ParseCommandLine over arbitrary command texts on one emulated machine: quotes, switch letters
// with and without values, cut fields. Every text field must stay within its size.
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/command_line.h"
#include "engine/setup_run.h"
#include "platform/emulated/emulated_machine.h"

namespace {

platform::Machine& FuzzMachine() {
  static std::unique_ptr<platform::emulated::EmulatedMachine> machine = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "cmd-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) abort();
    std::string error;
    if (!platform::emulated::EmulatedMachine::Create(pattern + "/m", {}, error)) abort();
    return platform::emulated::EmulatedMachine::Open(pattern + "/m", {}, error);
  }();
  return *machine;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarvium::SetupRun run(FuzzMachine());
  run.ctx.szExeDir = "C:\\Media";
  tarvium::ParseCommandLine(run, std::string(reinterpret_cast<const char*>(data), size));
  const tarvium::SetupContext& ctx = run.ctx;
  if (ctx.szOptions.size() >= tarvium::kShortTextSize ||
      ctx.szSrcDir.size() >= tarvium::kPathSize || ctx.szInfFile.size() >= tarvium::kPathSize ||
      ctx.szForceOnceDate.size() >= tarvium::kShortTextSize)
    abort();
  return 0;
}
