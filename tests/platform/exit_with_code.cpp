// A child program for the process tests: ends through the platform's ExitProcess with the code
// given as its first argument (decimal, may be negative), as a setup engine's main does, so the
// tests can check that codes wider than a POSIX exit status reach the parent whole.
#include <cstdint>
#include <cstdlib>

#include "platform/emulated/processes/host_processes.h"

int main(int argc, char** argv) {
  const long long nCode = argc > 1 ? std::strtoll(argv[1], nullptr, 10) : 0;
  platform::HostProcesses processes({});
  processes.ExitProcess(static_cast<uint32_t>(nCode));
}
