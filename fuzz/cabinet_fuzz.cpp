// Fuzzes the cabinet and SZDD readers over hostile bytes on an emulated machine: the input is
// written as a cabinet and as a compressed file, every member the cabinet lists is looked up and
// extracted (each extraction must deliver exactly the size it announced or fail with an error),
// and the compressed file is expanded. Nothing may crash, whatever the headers claim.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "engine/setup_run.h"
#include "fuzz_machine.h"
#include "install/cabinet_files.h"

namespace {

void Require(bool bHolds) {
  if (!bHolds) __builtin_trap();
}

void WriteInput(const std::string& path, const uint8_t* pData, size_t nSize) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(pData), static_cast<std::streamsize>(nSize));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  static FuzzMachineDir& machine = *new FuzzMachineDir("tarvium-cabinet-fuzz");
  const std::string driveC = machine.MachinePath() + "/drive_c";
  WriteInput(driveC + "/fuzz.cab", pData, nSize);
  WriteInput(driveC + "/fuzz.dl_", pData, nSize);
  tarvium::SetupRun run(machine.Machine());
  const tarvium::ByteSink count = [](const uint8_t*, size_t) { return true; };
  for (const char* member : {"a.txt", "dir\\b.bin", "missing"}) {
    tarvium::CabinetFileInfo info;
    if (tarvium::FindCabinetFile(run, "C:\\fuzz.cab", member, info) != 0) continue;
    uint64_t nBytes = 0;
    const tarvium::ByteSink counting = [&](const uint8_t*, size_t n) {
      nBytes += n;
      return true;
    };
    if (tarvium::ExtractCabinetFile(run, "C:\\fuzz.cab", member, counting, info) == 0)
      Require(nBytes == info.nSize);
  }
  bool bCompressed = false;
  tarvium::ExpandFile(run, "C:\\fuzz.dl_", count, bCompressed);
  tarvium::CloseCabinets(run);
  return 0;
}
