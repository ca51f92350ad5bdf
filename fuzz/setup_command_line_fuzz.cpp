// ParseCommandLine over arbitrary command texts on one emulated machine: quotes, switch letters
// with and without values, cut fields. Every text field must stay within its size.
#include <cstdint>
#include <string>

#include "engine/command_line.h"
#include "engine/setup_run.h"
#include "fuzz_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarvium::SetupRun run(FuzzMachine("tarvium-command-line-fuzz"));
  run.ctx.szExeDir = "C:\\Media";
  tarvium::ParseCommandLine(run, std::string(reinterpret_cast<const char*>(data), size));
  const tarvium::SetupContext& ctx = run.ctx;
  if (ctx.szOptions.size() >= tarvium::kShortTextSize ||
      ctx.szSrcDir.size() >= tarvium::kPathSize || ctx.szInfFile.size() >= tarvium::kPathSize ||
      ctx.szForceOnceDate.size() >= tarvium::kShortTextSize)
    abort();
  return 0;
}
