// Fuzzes the Windows command-line splitter: any bytes split without fault into at least a program
// name, and the same bytes read as an argument list (NUL between arguments, since no argument can
// hold one) survive joining into a command line and splitting again unchanged.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/command_line_args.h"

namespace {

std::vector<std::string> ArgumentsOf(std::string_view bytes) {
  std::vector<std::string> argv;
  size_t nStart = 0;
  for (;;) {
    const size_t nEnd = bytes.find('\0', nStart);
    argv.emplace_back(bytes.substr(nStart, nEnd - nStart));
    if (nEnd == std::string_view::npos) break;
    nStart = nEnd + 1;
  }
  std::erase(argv[0], '"');  // a program name holds no quote
  return argv;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (platform::CommandLineToArgv(bytes).empty()) __builtin_trap();
  const std::vector<std::string> argv = ArgumentsOf(bytes);
  if (platform::CommandLineToArgv(platform::ArgvToCommandLine(argv)) != argv) __builtin_trap();
  return 0;
}
