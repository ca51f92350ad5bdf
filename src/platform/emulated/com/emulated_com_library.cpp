// The emulated COM library. Loading a type library reads its file through the machine's file
// system (so a library on any drive or share of the machine can be registered) and parses it with
// the pure reader; registration then writes through the machine's registry. S_FALSE for a second
// CoInitialize is what Windows answers on a thread that is already initialised.
#include "platform/emulated/com/emulated_com_library.h"

#include <span>

#include "platform/emulated/com/type_library.h"
#include "platform/emulated/com/type_library_registration.h"
#include "platform/emulated/machine/machine_config.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

constexpr int32_t S_FALSE = 1;

}  // namespace

bool ParseFileVersion(const std::string& text, uint64_t& qwVersion) {
  uint64_t qwParts = 0;
  size_t nPos = 0;
  for (int i = 0; i < 4; ++i) {
    const size_t nEnd = i < 3 ? text.find('.', nPos) : text.size();
    if (nEnd == std::string::npos || nEnd == nPos || nEnd - nPos > 5 ||
        text.find_first_not_of("0123456789", nPos) < nEnd)
      return false;
    const unsigned long nPart = std::stoul(text.substr(nPos, nEnd - nPos));
    if (nPart > 0xFFFF) return false;
    qwParts = qwParts << 16 | nPart;
    nPos = nEnd + 1;
  }
  qwVersion = qwParts;
  return true;
}

EmulatedComLibrary::EmulatedComLibrary(const MachineConfig& config, FileSystem& files,
                                       Registry& registry)
    : config_(config), files_(files), registry_(registry) {}

uint32_t EmulatedComLibrary::Load() {
  return ERROR_SUCCESS;
}

uint32_t EmulatedComLibrary::GetVersion(uint64_t& qwVersion) {
  qwVersion = 0;
  return ParseFileVersion(config_.szComLibraryVersion, qwVersion) ? ERROR_SUCCESS
                                                                  : ERROR_RESOURCE_TYPE_NOT_FOUND;
}

int32_t EmulatedComLibrary::Initialize() {
  return nInitialized_++ == 0 ? S_OK : S_FALSE;
}

void EmulatedComLibrary::Uninitialize() {
  if (nInitialized_ > 0) --nInitialized_;
}

int32_t EmulatedComLibrary::LoadTypeLibrary(const std::string& path, TypeLibrary& library,
                                            std::string& fullPath) {
  std::string bytes;
  if (files_.GetFullPathName(path, fullPath) != ERROR_SUCCESS ||
      files_.ReadWholeFile(fullPath, bytes) != ERROR_SUCCESS)
    return TYPE_E_CANTLOADLIBRARY;
  return ReadTypeLibrary(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()),
                         library);
}

int32_t EmulatedComLibrary::RegisterTypeLib(const std::string& path) {
  TypeLibrary library;
  std::string fullPath;
  if (int32_t hr = LoadTypeLibrary(path, library, fullPath); hr != S_OK) return hr;
  return WriteTypeLibRegistration(registry_, config_.b64Bit, library, fullPath);
}

int32_t EmulatedComLibrary::UnregisterTypeLib(const std::string& path) {
  TypeLibrary identity;
  std::string fullPath;
  if (int32_t hr = LoadTypeLibrary(path, identity, fullPath); hr != S_OK) return hr;
  return RemoveTypeLibRegistration(
      registry_, config_.b64Bit, identity,
      [this](const std::string& registeredPath, TypeLibrary& registered) {
        std::string unused;
        return LoadTypeLibrary(registeredPath, registered, unused);
      });
}

}  // namespace platform::emulated
