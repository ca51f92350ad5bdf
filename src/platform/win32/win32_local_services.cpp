#include "platform/local_services.h"

#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_console.h"
#include "platform/win32/win32_named_pipes.h"

namespace platform {

std::unique_ptr<Clock> OpenLocalClock() {
  return std::make_unique<win32::Win32Clock>();
}

std::unique_ptr<Console> OpenLocalConsole() {
  return std::make_unique<win32::Win32Console>();
}

std::string ArgumentAsAnsi(const char* argument) {
  return argument;
}

std::unique_ptr<NamedPipes> OpenLocalPipes(std::string& where) {
  where = "this computer";
  return std::make_unique<win32::Win32NamedPipes>();
}

}  // namespace platform
