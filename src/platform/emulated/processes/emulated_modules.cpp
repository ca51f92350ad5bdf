// dlopen/dlsym/dlclose behind the Modules interface, and the allow-list check before a module is
// trusted. Windows paths are mapped to host paths by the machine's file system. A module that asks
// for the machine (MachineAttach) gets it before the caller can reach any other entry point.
#include "platform/emulated/processes/emulated_modules.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <utility>

#include "platform/emulated/files/file_digest.h"
#include "platform/emulated/processes/module_trust_list.h"
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

uint32_t ReadHostText(const std::string& hostPath, std::string& text) {
  std::ifstream in(hostPath, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  text = bytes.str();
  return in.bad() || !in.is_open() ? ERROR_READ_FAULT : ERROR_SUCCESS;
}

}  // namespace

EmulatedModules::EmulatedModules(std::string machineDir, emulated::EmulatedFileSystem& files,
                                 Registry& registry)
    : machineDir_(std::move(machineDir)), files_(files), binding_(registry) {}

uint32_t EmulatedModules::LoadLibrary(const std::string& path, ModuleHandle& hModule) {
  hModule = ModuleHandle::Invalid;
  std::string hostPath;
  struct stat st {};
  if (files_.GetHostPath(path, hostPath) != ERROR_SUCCESS || ::stat(hostPath.c_str(), &st) != 0 ||
      !S_ISREG(st.st_mode))
    return ERROR_MOD_NOT_FOUND;
  // A module runs as host code inside the engine, outside everything the machine emulates; only
  // the administrator's allow-list lets one in, whoever asks for it.
  if (VerifyTrust(path) != TRUST_SUCCESS) return ERROR_INVALID_IMAGE_HASH;
  void* pModule = ::dlopen(hostPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!pModule) return ERROR_BAD_FORMAT;
  hModule = static_cast<ModuleHandle>(reinterpret_cast<uintptr_t>(pModule));
  if (ProcAddress attach = GetProcAddress(hModule, MACHINE_ATTACH_ENTRY)) {
    std::string fullPath;
    if (files_.GetFullPathName(path, fullPath) != ERROR_SUCCESS) fullPath = path;
    reinterpret_cast<MachineAttachProc>(attach)(&binding_.Api(), fullPath.c_str());
  }
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
  std::string hostPath, digest;
  if (uint32_t err = files_.GetHostPath(path, hostPath); err != ERROR_SUCCESS)
    return HresultFromWin32(err);
  if (uint32_t err = Sha256OfHostFile(hostPath, digest); err != ERROR_SUCCESS)
    return HresultFromWin32(err);
  const std::string listPath = machineDir_ + "/" + kTrustedModulesFile;
  struct stat st {};
  if (::stat(listPath.c_str(), &st) != 0) return TRUST_E_NOSIGNATURE;  // no list: nothing trusted
  if (!IsAdministratorsList(st)) return TRUST_E_SUBJECT_NOT_TRUSTED;
  std::string listText;
  if (ReadHostText(listPath, listText) != ERROR_SUCCESS) return TRUST_E_SUBJECT_NOT_TRUSTED;
  return JudgeModuleByTrustList(listText, digest, FileNameOf(path));
}

uint32_t EmulatedModules::GetForeignPath(const std::string& path, bool bForWriting,
                                         std::string& foreignPath) {
  foreignPath.clear();
  return bForWriting ? files_.GetWritableHostPath(path, foreignPath)
                     : files_.GetHostPath(path, foreignPath);
}

}  // namespace platform
