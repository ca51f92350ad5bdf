// A stand-in for the programs a scenario has a setup start (an old version's uninstaller, the
// Windows Installer, a product's tool, a readme viewer, a worker the setup ends), built for both
// machines from this one source: scenarios copy it under the name the program needs. It prints
// "<name> ran with: <arguments>" and ends as the file <name>.ini beside it says, if there is one:
//   ExitCode=-6708   the code it ends with, whole as a Windows exit code (default 0)
//   Sleep=30         the seconds it runs first, its output closed so that it holds no pipe open
//   StopDelay=3      a stop request (SIGTERM, as the emulated machine stops a service) during the
//                    sleep ends it only this many seconds later (by default at once)
//   IgnoreStop=1     a stop request does not end it
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "platform/program_path.h"

#ifndef _WIN32
#include "platform/emulated/processes/exit_code_file.h"
#endif

namespace {

struct Behaviour {
  long long nExitCode = 0;
  int nSleepSeconds = 0;
  int nStopDelaySeconds = 0;
  bool bIgnoreStop = false;
};

Behaviour ReadBehaviour(const std::string& iniPath) {
  Behaviour behaviour;
  std::ifstream ini(iniPath);
  for (std::string line; std::getline(ini, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t nEquals = line.find('=');
    if (nEquals == std::string::npos) continue;
    const std::string key = line.substr(0, nEquals);
    const std::string value = line.substr(nEquals + 1);
    if (key == "ExitCode") behaviour.nExitCode = std::stoll(value);
    if (key == "Sleep") behaviour.nSleepSeconds = std::stoi(value);
    if (key == "StopDelay") behaviour.nStopDelaySeconds = std::stoi(value);
    if (key == "IgnoreStop") behaviour.bIgnoreStop = value == "1";
  }
  return behaviour;
}

// The program's path without its extension; its name is the last part of it.
std::string PathWithoutExtension(const std::string& path) {
  const size_t nName = path.find_last_of("/\\") + 1;
  const size_t nDot = path.find('.', nName);
  return nDot == std::string::npos ? path : path.substr(0, nDot);
}

volatile std::sig_atomic_t g_bStopRequested = 0;

extern "C" void NoteStopRequest(int /*nSignal*/) {
  g_bStopRequested = 1;
}

// The sleep, and how a stop request ends it: at once by the signal's default action, after the
// delay when there is one, never when the request is ignored.
void SleepAsTold(const Behaviour& behaviour) {
  if (behaviour.bIgnoreStop)
    std::signal(SIGTERM, SIG_IGN);
  else if (behaviour.nStopDelaySeconds > 0)
    std::signal(SIGTERM, NoteStopRequest);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(behaviour.nSleepSeconds);
  while (std::chrono::steady_clock::now() < end) {
    if (g_bStopRequested) {
      std::this_thread::sleep_for(std::chrono::seconds(behaviour.nStopDelaySeconds));
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

// A Windows program's exit code is its whole 32 bits; on Linux the low byte is the status, and
// the whole code goes to the file the emulated machine names.
int EndWith(uint32_t dwCode) {
#ifdef _WIN32
  return static_cast<int>(dwCode);
#else
  platform::WriteOwnExitCode(dwCode);
  return static_cast<int>(dwCode & 0xFF);
#endif
}

}  // namespace

int main(int argc, char** argv) {
  const std::string self = PathWithoutExtension(platform::RunningProgramHostPath());
  std::string said = self.substr(self.find_last_of("/\\") + 1) + " ran with:";
  for (int i = 1; i < argc; ++i) said += std::string(" ") + argv[i];
  std::printf("%s\n", said.c_str());
  const Behaviour behaviour = ReadBehaviour(self + ".ini");
  if (behaviour.nSleepSeconds > 0) {
    std::fclose(stdout);
    std::fclose(stderr);
    SleepAsTold(behaviour);
  }
  return EndWith(static_cast<uint32_t>(behaviour.nExitCode));
}
