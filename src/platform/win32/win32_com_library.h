// The COM library of the real Windows: ole32 loaded by name (its file version read from the file
// the loader chose), COM initialised on the calling thread, and type libraries registered and
// unregistered by oleaut32 itself.
#pragma once
#include "platform/com_library.h"

namespace platform::win32 {

class Win32ComLibrary final : public ComLibrary {
 public:
  Win32ComLibrary() = default;
  Win32ComLibrary(const Win32ComLibrary&) = delete;
  Win32ComLibrary& operator=(const Win32ComLibrary&) = delete;
  ~Win32ComLibrary() override;

  uint32_t Load() override;
  uint32_t GetVersion(uint64_t& qwVersion) override;
  int32_t Initialize() override;
  void Uninitialize() override;
  int32_t RegisterTypeLib(const std::string& path) override;
  int32_t UnregisterTypeLib(const std::string& path) override;

 private:
  void* hOle32_ = nullptr;  // HMODULE of OLE32.DLL once loaded
};

}  // namespace platform::win32
