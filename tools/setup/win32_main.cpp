// Setup.exe on Windows: the setup engine as a program of the real system. The machine is the one
// it runs on, the program's own path is the engine's, the arguments come in the process's code
// page, and the run's 32-bit exit code is the process's, as a parent setup or a shell reads it.
// Usage: Setup.exe [switches] [path of the setup information file] | --version
#include <string>
#include <vector>

#include "platform/program_path.h"
#include "platform/win32/win32_machine.h"
#include "run_setup.h"
#include "tarvium_version.h"
#include "ui/create_user_interface.h"
#include "version_text.h"

namespace {

constexpr const char* kProgramName = "Setup.exe";

// As /? shows its usage: a windows program started from the Explorer or a console has no standard
// output, and gets the version in a box; one whose output is redirected prints the lines there.
int ShowVersion(platform::Machine& machine) {
  if (machine.Output().HasStandardOutput()) {
    tarvium::WriteVersion(machine.Output(), kProgramName);
    return 0;
  }
  tarvium::ui::MessageBoxRequest box;
  box.caption = tarvium::kProductName;
  box.text = tarvium::VersionText(kProgramName);
  box.buttons = {{"&OK", 2}};  // the usage box's button: Enter and Escape close it
  tarvium::ui::CreateUserInterface(machine)->MessageBox(box);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  platform::win32::Win32Machine machine;
  if (tarvium::AnyArgumentAsksForVersion(argc, argv)) return ShowVersion(machine);
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  // Without a standard output, --help shows the usage box as /? does.
  if (tarvium::setup::AsksForUsageText(arguments) && machine.Output().HasStandardOutput()) {
    tarvium::WriteLines(machine.Output(), tarvium::setup::UsageText());
    return 0;
  }
  const auto writeOutput = [&machine](const std::string& path, const std::string& bytes) {
    return machine.Files().WriteWholeFile(path, bytes);
  };
  const int32_t nExitCode = tarvium::setup::RunSetup(machine, platform::RunningProgramHostPath(),
                                                     tarvium::setup::CommandText(arguments),
                                                     writeOutput);
  machine.Programs().ExitProcess(static_cast<uint32_t>(nExitCode));
}
