#include "platform/local_services.h"

#include "platform/code_page.h"
#include "platform/emulated/machine/emulated_machine.h"
#include "platform/emulated/machine/host_clock.h"
#include "platform/emulated/machine/host_console.h"
#include "platform/emulated/pipes/socket_pipes.h"

namespace platform {

std::unique_ptr<Clock> OpenLocalClock() {
  return std::make_unique<HostClock>();
}

std::unique_ptr<Console> OpenLocalConsole() {
  return std::make_unique<emulated::HostConsole>();
}

std::string ArgumentAsAnsi(const char* argument) {
  return Utf8ToAnsi(argument);
}

std::unique_ptr<NamedPipes> OpenLocalPipes(std::string& where) {
  const std::string machineDir = emulated::EmulatedMachine::DefaultDirectory();
  where = "the emulated machine in " + machineDir;
  return std::make_unique<emulated::SocketPipes>(machineDir + "/pipe");
}

}  // namespace platform
