// One emulated machine per fuzz process, in a fresh directory under the temporary folder (TMPDIR
// when it is set): fuzz targets that need the whole machine share it between inputs. The
// directory is removed when the process ends normally; after a crash it stays for a look.
#pragma once
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/emulated/machine/emulated_machine.h"

class FuzzMachineDir {
 public:
  explicit FuzzMachineDir(const char* name) {
    dir_ = (std::filesystem::temp_directory_path() / name).string() + "-XXXXXX";
    if (!::mkdtemp(dir_.data())) std::abort();
    std::string error;
    machine_ = platform::emulated::EmulatedMachine::Open(dir_ + "/machine", {}, error);
    if (!machine_) std::abort();
  }
  ~FuzzMachineDir() {
    machine_.reset();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  FuzzMachineDir(const FuzzMachineDir&) = delete;
  FuzzMachineDir& operator=(const FuzzMachineDir&) = delete;

  platform::emulated::EmulatedMachine& Machine() { return *machine_; }
  std::string MachinePath() const { return dir_ + "/machine"; }

 private:
  std::string dir_;
  std::unique_ptr<platform::emulated::EmulatedMachine> machine_;
};

inline FuzzMachineDir& FuzzMachineOf(const char* name) {
  static FuzzMachineDir machine(name);
  return machine;
}

inline platform::emulated::EmulatedMachine& FuzzMachine(const char* name) {
  return FuzzMachineOf(name).Machine();
}
