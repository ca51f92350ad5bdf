// Placeholder until the cabinet and SZDD readers land: no cabinet can be read, and files are read
// as they are.
#include "install/cabinet_files.h"

#include "engine/setup_run.h"
#include "platform/win_error.h"

namespace tarvium {

uint32_t FindCabinetFile(SetupRun&, const std::string&, const std::string&, CabinetFileInfo&) {
  return platform::ERROR_NOT_SUPPORTED;
}
uint32_t ExtractCabinetFile(SetupRun&, const std::string&, const std::string&, const ByteSink&,
                            CabinetFileInfo&) {
  return platform::ERROR_NOT_SUPPORTED;
}
void CloseCabinets(SetupRun&) {}
uint32_t ExpandFile(SetupRun& run, const std::string& path, const ByteSink& sink,
                    bool& bCompressed) {
  bCompressed = false;
  std::string bytes;
  if (const uint32_t err = run.machine.Files().ReadWholeFile(path, bytes)) return err;
  return sink(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())
             ? platform::ERROR_SUCCESS
             : platform::ERROR_CANCELLED;
}

}  // namespace tarvium
