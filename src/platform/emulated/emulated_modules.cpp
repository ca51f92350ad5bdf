// dlopen/dlsym/dlclose behind the Modules interface, and the allow-list check before a module is
// trusted. Until the emulated file system maps drives, Windows paths are mapped as HostPathOf
// maps them (Z: is the host's root).
#include "platform/emulated/emulated_modules.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstring>
#include <utility>

#include "platform/emulated/file_digest.h"
#include "platform/emulated/module_trust_list.h"
#include "platform/host/host_file_system.h"
#include "platform/win_error.h"

namespace platform {
namespace {

// An HRESULT carrying a Win32 error, as WinVerifyTrust reports a file it cannot read.
uint32_t HresultFromWin32(uint32_t err) {
  return 0x80070000u | (err & 0xFFFF);
}

std::string FileNameOf(const std::string& path) {
  const size_t nSlash = path.find_last_of("\\/");
  return nSlash == std::string::npos ? path : path.substr(nSlash + 1);
}

// The list counts only while no one but its owner can change it.
bool IsAdministratorsList(const struct stat& st) {
  return S_ISREG(st.st_mode) && !(st.st_mode & (S_IWGRP | S_IWOTH));
}

}  // namespace

EmulatedModules::EmulatedModules(std::string machineDir) : machineDir_(std::move(machineDir)) {}

uint32_t EmulatedModules::LoadLibrary(const std::string& path, ModuleHandle& hModule) {
  hModule = ModuleHandle::Invalid;
  const std::string hostPath = HostPathOf(path);
  struct stat st {};
  if (::stat(hostPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return ERROR_MOD_NOT_FOUND;
  void* pModule = ::dlopen(hostPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!pModule) return ERROR_BAD_FORMAT;
  hModule = static_cast<ModuleHandle>(reinterpret_cast<uintptr_t>(pModule));
  return ERROR_SUCCESS;
}

ProcAddress EmulatedModules::GetProcAddress(ModuleHandle hModule, const std::string& name) {
  if (hModule == ModuleHandle::Invalid) return nullptr;
  void* pSymbol = ::dlsym(reinterpret_cast<void*>(static_cast<uintptr_t>(hModule)), name.c_str());
  ProcAddress proc = nullptr;
  static_assert(sizeof proc == sizeof pSymbol);
  std::memcpy(&proc, &pSymbol, sizeof proc);  // POSIX guarantees the conversion
  return proc;
}

uint32_t EmulatedModules::FreeLibrary(ModuleHandle hModule) {
  if (hModule == ModuleHandle::Invalid) return ERROR_INVALID_HANDLE;
  return ::dlclose(reinterpret_cast<void*>(static_cast<uintptr_t>(hModule))) == 0
             ? ERROR_SUCCESS
             : ERROR_INVALID_HANDLE;
}

uint32_t EmulatedModules::VerifyTrust(const std::string& path) {
  std::string digest;
  if (uint32_t err = Sha256OfHostFile(HostPathOf(path), digest); err != ERROR_SUCCESS)
    return HresultFromWin32(err);
  const std::string listPath = machineDir_ + "/" + kTrustedModulesFile;
  struct stat st {};
  if (::stat(listPath.c_str(), &st) != 0) return TRUST_E_NOSIGNATURE;  // no list: nothing trusted
  if (!IsAdministratorsList(st)) return TRUST_E_SUBJECT_NOT_TRUSTED;
  HostFileSystem host;
  std::string listText;
  if (host.ReadWholeFile(listPath, listText) != ERROR_SUCCESS) return TRUST_E_SUBJECT_NOT_TRUSTED;
  return JudgeModuleByTrustList(listText, digest, FileNameOf(path));
}

uint32_t EmulatedModules::GetForeignPath(const std::string& path, bool /*bForWriting*/,
                                         std::string& foreignPath) {
  foreignPath = HostPathOf(path);
  return ERROR_SUCCESS;
}

}  // namespace platform
