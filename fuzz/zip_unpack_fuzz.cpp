// Fuzzes Unzip over hostile archives on an emulated machine: minizip's header and central
// directory reading behind the file-system I/O, the name rules, decryption with a fixed password
// and inflate with its size, CRC and budget checks. Whatever the archive, nothing may be written
// outside C:\out, which the target checks after each input.
//
// One machine and one run serve every input; the machine lies in the temporary folder (TMPDIR,
// best on a memory file system), and only what an input wrote is removed after it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "archive/unpack_zip.h"
#include "engine/setup_run.h"
#include "fuzz_machine.h"

namespace {

namespace fs = std::filesystem;

// Every entry of drive_c other than the archive lies in out/.
void CheckNothingOutside(const std::string& driveC) {
  for (const auto& entry : fs::directory_iterator(driveC)) {
    const std::string name = entry.path().filename().string();
    if (name != "out" && name != "fuzz.zip") std::abort();
  }
}

// drive_c emptied of what the machine laid out, so that anything written outside out/ shows.
std::string EmptyDriveC(const std::string& machinePath) {
  const std::string driveC = machinePath + "/drive_c";
  for (const auto& entry : fs::directory_iterator(driveC)) fs::remove_all(entry.path());
  return driveC;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  static FuzzMachineDir& machine = FuzzMachineOf("tarvium-zip-unpack-fuzz");
  static const std::string driveC = EmptyDriveC(machine.MachinePath());
  static tarvium::SetupRun run(machine.Machine());
  {
    std::ofstream out(driveC + "/fuzz.zip", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(pData), static_cast<std::streamsize>(nSize));
  }
  run.ctx.bAborted = false;
  run.debugLines.clear();
  tarvium::UnpackZip(run, "C:\\fuzz.zip", "C:\\out", "", "fuzz");
  CheckNothingOutside(driveC);
  std::error_code ec;
  fs::remove_all(driveC + "/out", ec);
  return 0;
}
