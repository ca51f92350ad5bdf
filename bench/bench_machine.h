// A fresh emulated machine in a temporary directory for the benchmarks that run engine code on a
// whole machine; the directory is removed with it.
#pragma once
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/emulated/machine/emulated_machine.h"

class BenchMachine {
 public:
  BenchMachine() {
    std::string pattern = (std::filesystem::temp_directory_path() / "bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
    std::string error;
    if (!platform::emulated::EmulatedMachine::Create(dir_ + "/m", {}, error))
      throw std::runtime_error(error);
    machine_ = platform::emulated::EmulatedMachine::Open(dir_ + "/m", {}, error);
    if (!machine_) throw std::runtime_error(error);
  }
  ~BenchMachine() { std::filesystem::remove_all(dir_); }
  BenchMachine(const BenchMachine&) = delete;
  BenchMachine& operator=(const BenchMachine&) = delete;

  platform::Machine& Machine() { return *machine_; }

 private:
  std::string dir_;
  std::unique_ptr<platform::emulated::EmulatedMachine> machine_;
};
