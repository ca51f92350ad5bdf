// One emulated machine per fuzz process, in a fresh directory under the host's temporary folder:
// fuzz targets that need the whole machine share it between inputs.
#pragma once
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/emulated/machine/emulated_machine.h"

inline platform::emulated::EmulatedMachine& FuzzMachine(const char* name) {
  static std::unique_ptr<platform::emulated::EmulatedMachine> machine = [name] {
    std::string dir = (std::filesystem::temp_directory_path() / name).string() + "-XXXXXX";
    if (!::mkdtemp(dir.data())) std::abort();
    std::string error;
    auto opened = platform::emulated::EmulatedMachine::Open(dir + "/machine", {}, error);
    if (!opened) std::abort();
    return opened;
  }();
  return *machine;
}
