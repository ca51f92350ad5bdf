// The system's COM library as the registration of COM servers needs it: loading it, its file
// version (old versions cannot register servers safely), COM initialisation for the calling thread,
// and the registration of type libraries (LoadTypeLibEx with REGKIND_REGISTER; LoadTypeLibEx
// without registration, ITypeLib::GetLibAttr and UnRegisterTypeLib). In-process servers are loaded
// through Modules and their DllRegisterServer entry called by the caller; local servers are
// programs. Results are Windows error codes for the library and HRESULTs for COM calls.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

inline constexpr int32_t S_OK = 0;
inline constexpr int32_t TYPE_E_CANTLOADLIBRARY = static_cast<int32_t>(0x80029C4A);
inline constexpr int32_t TYPE_E_REGISTRYACCESS = static_cast<int32_t>(0x8002801C);
inline constexpr int32_t TYPE_E_LIBNOTREGISTERED = static_cast<int32_t>(0x8002801D);

class ComLibrary {
 public:
  virtual ~ComLibrary() = default;

  // Loads the COM library ("OLE32.DLL"): ERROR_SUCCESS, or the loader's error.
  virtual uint32_t Load() = 0;
  // The file version of the loaded COM library as its four parts, most significant first
  // (major << 48 | minor << 32 | build << 16 | revision): ERROR_SUCCESS or the error.
  virtual uint32_t GetVersion(uint64_t& qwVersion) = 0;

  // CoInitialize and CoUninitialize for the calling thread.
  virtual int32_t Initialize() = 0;
  virtual void Uninitialize() = 0;

  // Loads the type library at a Windows path and registers it as Windows does: the library under
  // HKCR\TypeLib\{libid}\major.minor with its locale's win32/win64 path, FLAGS and HELPDIR, and its
  // automation interfaces under HKCR\Interface\{iid}.
  virtual int32_t RegisterTypeLib(const std::string& path) = 0;
  // Loads the type library without registering it, reads its identity (library identifier,
  // version, locale, system kind) and removes that registration.
  virtual int32_t UnregisterTypeLib(const std::string& path) = 0;
};

}  // namespace platform
