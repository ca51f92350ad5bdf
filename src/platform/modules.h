// Run-time loaded modules as the engine sees them: LoadLibrary, GetProcAddress and FreeLibrary by
// Windows path, the trust check (WinVerifyTrust) a foreign module must pass before it is loaded,
// and the path a foreign module understands for a Windows path. A loaded module does its own file
// work, outside the engine's FileSystem, so the engine hands it paths in the module's own terms.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

// Results of VerifyTrust: the values WinVerifyTrust returns, as their unsigned bit patterns.
inline constexpr uint32_t TRUST_SUCCESS = 0;
inline constexpr uint32_t TRUST_E_NOSIGNATURE = 0x800B0100;          // not signed
inline constexpr uint32_t TRUST_E_SUBJECT_NOT_TRUSTED = 0x800B0004;  // signed, not trusted
inline constexpr uint32_t TRUST_E_EXPLICIT_DISTRUST = 0x800B0111;    // signed, disallowed
inline constexpr uint32_t TRUST_E_BAD_DIGEST = 0x80096010;           // does not match its signature

// A handle of a loaded module; Invalid is never handed out.
enum class ModuleHandle : uintptr_t { Invalid = 0 };
// An entry point as GetProcAddress gives it; the caller casts it to the entry point's type.
using ProcAddress = void (*)();

class Modules {
 public:
  virtual ~Modules() = default;

  // Loads the module at a Windows path: ERROR_MOD_NOT_FOUND when there is none, ERROR_BAD_FORMAT
  // when it cannot be loaded, ERROR_INVALID_IMAGE_HASH when the machine's code-integrity rule
  // refuses it (the emulated machine loads only modules that VerifyTrust accepts).
  virtual uint32_t LoadLibrary(const std::string& path, ModuleHandle& hModule) = 0;
  // The entry point of that name, or null.
  virtual ProcAddress GetProcAddress(ModuleHandle hModule, const std::string& name) = 0;
  virtual uint32_t FreeLibrary(ModuleHandle hModule) = 0;

  // Checks the signature of the file at a Windows path, without user interface or revocation
  // check: TRUST_SUCCESS or one of the TRUST_E_ values (another code for other failures).
  virtual uint32_t VerifyTrust(const std::string& path) = 0;

  // The path a loaded module must be given for a Windows path. With bForWriting the module will
  // create files there: a path on a read-only drive is then ERROR_ACCESS_DENIED.
  virtual uint32_t GetForeignPath(const std::string& path, bool bForWriting,
                                  std::string& foreignPath) = 0;
};

}  // namespace platform
