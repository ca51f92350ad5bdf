// Setup.exe on Windows: the setup engine as a program of the real system. The machine is the one
// it runs on, the program's own path is the engine's, the arguments come in the process's code
// page, and the run's 32-bit exit code is the process's, as a parent setup or a shell reads it.
// Usage: Setup.exe [switches] [path of the setup information file]
#include <string>
#include <vector>

#include "platform/program_path.h"
#include "platform/win32/win32_machine.h"
#include "run_setup.h"

int main(int argc, char** argv) {
  platform::win32::Win32Machine machine;
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const int32_t nExitCode = tarvium::setup::RunSetup(machine, platform::RunningProgramHostPath(),
                                                     tarvium::setup::CommandText(arguments));
  machine.Programs().ExitProcess(static_cast<uint32_t>(nExitCode));
}
