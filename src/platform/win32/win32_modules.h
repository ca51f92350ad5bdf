// Modules on the real Windows: the system's loader and its trust check. A module loaded here does
// its file work through the same Windows, so it is handed the Windows path the engine uses.
#pragma once
#include "platform/modules.h"

namespace platform::win32 {

class Win32Modules final : public Modules {
 public:
  uint32_t LoadLibrary(const std::string& path, ModuleHandle& hModule) override;
  ProcAddress GetProcAddress(ModuleHandle hModule, const std::string& name) override;
  uint32_t FreeLibrary(ModuleHandle hModule) override;
  uint32_t VerifyTrust(const std::string& path) override;
  uint32_t GetForeignPath(const std::string& path, bool bForWriting,
                          std::string& foreignPath) override;
};

}  // namespace platform::win32
