// Fuzzes Unzip over hostile archives on an emulated machine: minizip's header and central
// directory reading behind the file-system I/O, the name rules, decryption with a fixed password
// and inflate with its size, CRC and budget checks. Whatever the archive, nothing may be written
// outside C:\out, which the target checks after each input.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "archive/unpack_zip.h"
#include "engine/setup_run.h"
#include "platform/emulated/machine/emulated_machine.h"

namespace {

namespace fs = std::filesystem;

struct FuzzMachine {
  FuzzMachine() {
    char szDir[] = "/tmp/tarvium-zip-fuzz-XXXXXX";
    dir = ::mkdtemp(szDir);
    std::string error;
    machine = platform::emulated::EmulatedMachine::Open(dir, {}, error);
    if (!machine) std::abort();
    for (const auto& entry : fs::directory_iterator(dir + "/drive_c")) fs::remove_all(entry.path());
  }
  std::string dir;
  std::unique_ptr<platform::emulated::EmulatedMachine> machine;
};

// Every entry of drive_c other than the archive lies in out/.
void CheckNothingOutside(const std::string& driveC) {
  for (const auto& entry : fs::directory_iterator(driveC)) {
    const std::string name = entry.path().filename().string();
    if (name != "out" && name != "fuzz.zip") std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  static FuzzMachine machine;
  const std::string driveC = machine.dir + "/drive_c";
  {
    std::ofstream out(driveC + "/fuzz.zip", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(pData), static_cast<std::streamsize>(nSize));
  }
  tarvium::SetupRun run(*machine.machine);
  tarvium::UnpackZip(run, "C:\\fuzz.zip", "C:\\out", "", "fuzz");
  CheckNothingOutside(driveC);
  std::error_code ec;
  fs::remove_all(driveC + "/out", ec);
  return 0;
}
