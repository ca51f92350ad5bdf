// Win32Modules: the system's loader behind the Modules interface, and WinVerifyTrust's generic
// Authenticode check of a file, without user interface and without asking whether a certificate
// was revoked. A module understands Windows paths itself, so its "foreign" path is the path the
// engine gives; only a path meant for writing is checked, for a volume that refuses writing.
#include "platform/win32/win32_modules.h"

#include "platform/win32/windows_api.h"
// After <windows.h>, which they need.
#include <softpub.h>
#include <wintrust.h>

#undef LoadLibrary

namespace platform::win32 {
namespace {

// The error of a failed call; a failure the system left without an error is still one.
uint32_t LastError() {
  const DWORD err = ::GetLastError();
  return err != ERROR_SUCCESS ? err : ERROR_GEN_FAILURE;
}

// An HRESULT carrying a Win32 error, as WinVerifyTrust reports a file it cannot read.
uint32_t HresultFromWin32(uint32_t err) {
  return static_cast<uint32_t>(HRESULT_FROM_WIN32(err));
}

// The UTF-16 form of ANSI text, which WinVerifyTrust takes its path in.
uint32_t Widen(const std::string& text, std::wstring& wide) {
  const int nChars = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (nChars <= 0) return LastError();
  wide.assign(static_cast<size_t>(nChars), L'\0');
  if (::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), nChars) != nChars)
    return LastError();
  wide.pop_back();  // the terminating zero
  return ERROR_SUCCESS;
}

// ERROR_ACCESS_DENIED when the volume that holds the path refuses writing (a CD, a
// write-protected medium), or the error of finding that volume.
uint32_t CheckWritableVolume(const std::string& path) {
  char volume[MAX_PATH + 1] = {};
  if (!::GetVolumePathNameA(path.c_str(), volume, sizeof volume)) return LastError();
  DWORD dwFlags = 0;
  if (!::GetVolumeInformationA(volume, nullptr, 0, nullptr, nullptr, &dwFlags, nullptr, 0))
    return LastError();
  return (dwFlags & FILE_READ_ONLY_VOLUME) ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
}

// The modules a loaded module needs are looked for beside it and in the system's folders, never in
// the current directory or along PATH, where a setup started from a download folder could find a
// planted one.
DWORD SafeSearchFlags(const std::string& path) {
  const bool bFullPath =
      (path.size() > 2 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) ||
      path.rfind("\\\\", 0) == 0;
  return LOAD_LIBRARY_SEARCH_DEFAULT_DIRS | (bFullPath ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR : 0);
}

}  // namespace

uint32_t Win32Modules::LoadLibrary(const std::string& path, ModuleHandle& hModule) {
  hModule = ModuleHandle::Invalid;
  // No message box about a missing disk or a damaged module: the engine reports the failure.
  DWORD dwOldMode = 0;
  const bool bQuiet =
      ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &dwOldMode);
  const HMODULE hSystem = ::LoadLibraryExA(path.c_str(), nullptr, SafeSearchFlags(path));
  const uint32_t err = hSystem ? ERROR_SUCCESS : LastError();
  if (bQuiet) ::SetThreadErrorMode(dwOldMode, nullptr);
  hModule = static_cast<ModuleHandle>(reinterpret_cast<uintptr_t>(hSystem));
  return err;
}

ProcAddress Win32Modules::GetProcAddress(ModuleHandle hModule, const std::string& name) {
  if (hModule == ModuleHandle::Invalid) return nullptr;
  const auto hSystem = reinterpret_cast<HMODULE>(static_cast<uintptr_t>(hModule));
  return reinterpret_cast<ProcAddress>(::GetProcAddress(hSystem, name.c_str()));
}

uint32_t Win32Modules::FreeLibrary(ModuleHandle hModule) {
  if (hModule == ModuleHandle::Invalid) return ERROR_INVALID_HANDLE;
  const auto hSystem = reinterpret_cast<HMODULE>(static_cast<uintptr_t>(hModule));
  return ::FreeLibrary(hSystem) ? ERROR_SUCCESS : LastError();
}

uint32_t Win32Modules::VerifyTrust(const std::string& path) {
  std::wstring widePath;
  if (uint32_t err = Widen(path, widePath)) return HresultFromWin32(err);
  WINTRUST_FILE_INFO file = {};
  file.cbStruct = sizeof file;
  file.pcwszFilePath = widePath.c_str();
  WINTRUST_DATA trust = {};
  trust.cbStruct = sizeof trust;
  trust.dwUIChoice = WTD_UI_NONE;
  trust.fdwRevocationChecks = WTD_REVOKE_NONE;
  trust.dwProvFlags = WTD_REVOCATION_CHECK_NONE;
  trust.dwUnionChoice = WTD_CHOICE_FILE;
  trust.pFile = &file;
  trust.dwStateAction = WTD_STATEACTION_VERIFY;
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  const HWND hNoUser = static_cast<HWND>(INVALID_HANDLE_VALUE);
  const LONG nResult = ::WinVerifyTrust(hNoUser, &action, &trust);
  trust.dwStateAction = WTD_STATEACTION_CLOSE;  // frees what the check kept
  ::WinVerifyTrust(hNoUser, &action, &trust);
  return static_cast<uint32_t>(nResult);
}

uint32_t Win32Modules::GetForeignPath(const std::string& path, bool bForWriting,
                                      std::string& foreignPath) {
  foreignPath.clear();
  if (bForWriting) {
    if (uint32_t err = CheckWritableVolume(path)) return err;
  }
  foreignPath = path;
  return ERROR_SUCCESS;
}

}  // namespace platform::win32
