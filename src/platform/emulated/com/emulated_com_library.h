// The COM library of the emulated machine: always loadable, of the file version machine.ini gives
// (so that a test can make it too old to register servers), with a per-machine count of
// initialisations, and with type library registration read from the library files on the
// machine's drives and written into the machine's registry.
#pragma once
#include <string>

#include "platform/com_library.h"
#include "platform/file_system.h"
#include "platform/registry.h"

namespace platform::emulated {

struct MachineConfig;
struct TypeLibrary;

class EmulatedComLibrary final : public ComLibrary {
 public:
  EmulatedComLibrary(const MachineConfig& config, FileSystem& files, Registry& registry);

  uint32_t Load() override;
  uint32_t GetVersion(uint64_t& qwVersion) override;
  int32_t Initialize() override;
  void Uninitialize() override;
  int32_t RegisterTypeLib(const std::string& path) override;
  int32_t UnregisterTypeLib(const std::string& path) override;

  // How many CoInitialize calls are not yet matched by CoUninitialize.
  int InitializeCount() const { return nInitialized_; }

 private:
  // LoadTypeLibEx without registration: the library at a Windows path, and its full path.
  int32_t LoadTypeLibrary(const std::string& path, TypeLibrary& library, std::string& fullPath);

  const MachineConfig& config_;
  FileSystem& files_;
  Registry& registry_;
  int nInitialized_ = 0;
};

// "10.0.19041.3636" as four 16-bit parts, most significant first; false for other text.
bool ParseFileVersion(const std::string& text, uint64_t& qwVersion);

}  // namespace platform::emulated
