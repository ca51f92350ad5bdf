// Setup.exe on the emulated machine: the setup engine as a program. It opens the emulated machine
// (TARVIUM_MACHINE), attaches the script engine, the installation engine (options, requirements,
// the install pass and the read of the installed product), the setup service pipe and the user
// interface to a run, runs it and ends with the run's 32-bit exit code, which a parent setup reads
// back whole through the machine; a shell sees its low byte. Usage: Setup.exe [switches] [Windows
// path of the setup information file] | --version
#include <cstdio>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/emulated/machine/emulated_machine.h"
#include "platform/emulated/processes/engine_image.h"
#include "platform/emulated/processes/exit_code_file.h"
#include "platform/host/host_file_system.h"
#include "platform/local_services.h"
#include "platform/program_path.h"
#include "run_setup.h"
#include "version_text.h"

namespace {

// Ends a run that could not start: -1, whole for a parent that reads the code, 255 for a shell.
int NotStarted() {
  platform::WriteOwnExitCode(static_cast<uint32_t>(-1));
  return 255;
}

// "/srv/media/Setup.inf" would read as the switch /S: an argument that starts with '/' and holds
// another '/' before any ':' or '\' is a host path given by mistake. A switch value that is a
// Windows path may use '/' after its drive ("/BC:/trace.txt"); /Y's free text is left alone.
bool IsMistakenHostPath(const std::string& argument) {
  if (argument.size() < 3 || argument[0] != '/' || argument[1] == 'Y' || argument[1] == 'y')
    return false;
  const size_t nSecond = argument.find('/', 1);
  return nSecond != std::string::npos && argument.find_first_of(":\\", 1) > nSecond;
}

std::string WindowsFormOfHostPath(const std::string& hostPath) {
  std::string path = "Z:" + hostPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// Started through an engine image of the machine (Setup.exe or _UnInst.exe placed there), the
// engine is that image: its Windows path is the program's path.
std::string EngineImagePath() {
  const std::string prefix = std::string(platform::kEngineImageVariable) + "=";
  for (const std::string& entry : platform::emulated::EmulatedMachine::HostVariables())
    if (entry.rfind(prefix, 0) == 0) return platform::Utf8ToAnsi(entry.substr(prefix.size()));
  return "";
}

}  // namespace

int main(int argc, char** argv) {
  using platform::emulated::EmulatedMachine;
  // Answered before the machine is opened: asking for the version or the usage opens none.
  if (tarvium::AnyArgumentAsksForVersion(argc, argv)) return tarvium::PrintVersion("Setup.exe");
  if (tarvium::setup::AsksForUsageText(std::vector<std::string>(argv + 1, argv + argc))) {
    tarvium::WriteLines(*platform::OpenLocalConsole(), tarvium::setup::UsageText());
    return 0;
  }
  for (int i = 1; i < argc; ++i) {
    if (!IsMistakenHostPath(argv[i])) continue;
    std::fprintf(stderr,
                 "Setup.exe: '%s' is read as a switch, because arguments that start with '/' are "
                 "switches.\nName the setup information file by its Windows path (%s) or relative "
                 "to the current directory.\n",
                 argv[i], WindowsFormOfHostPath(argv[i]).c_str());
    return NotStarted();
  }
  std::string error;
  bool bCreated = false;
  const std::string machineDir = EmulatedMachine::DefaultDirectory();
  platform::emulated::MachineIdentity identityIfNew;
  identityIfNew.engine = platform::RunningProgramHostPath();  // a new machine runs this engine
  auto machine = EmulatedMachine::Open(machineDir, EmulatedMachine::HostVariables(), error,
                                       identityIfNew, &bCreated);
  if (!machine) {
    std::fprintf(stderr, "Setup.exe: %s\n", error.c_str());
    return NotStarted();
  }
  if (bCreated && EmulatedMachine::IsDefaultUnnamed())
    std::fprintf(stderr, "Setup.exe: created a new machine in %s (TARVIUM_MACHINE names another)\n",
                 machineDir.c_str());
  std::string exePath = EngineImagePath();
  if (exePath.empty())
    machine->EmulatedFiles().GetWindowsPath(platform::RunningProgramHostPath(), exePath);
  machine->TakeHostCurrentDirectory();
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(platform::Utf8ToAnsi(argv[i]));
  const int32_t nExitCode =
      tarvium::setup::RunSetup(*machine, exePath, tarvium::setup::CommandText(arguments),
                               platform::WriteHostFile);
  // ExitProcess ends the process without destructors: the attributes and creation times still
  // kept in memory are written first, or the files copied last would lose them. The registry's
  // log is emptied when it has grown long, or every later start would read it through.
  machine->EmulatedFiles().FlushMetadata();
  machine->SqlRegistry().EmptyLongLog();
  machine->Programs().ExitProcess(static_cast<uint32_t>(nExitCode));
}
