// libFuzzer target for the type library reader: the bytes are read as a .tlb or as a PE file with
// a TYPELIB resource. It may not crash or read outside its input; a library it reads has GUIDs in
// registry form, and a library it refuses leaves nothing behind.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/emulated/com/type_library.h"

namespace {

void Require(bool bHolds) {
  if (!bHolds) __builtin_trap();
}

bool IsRegistryGuid(const std::string& guid) {
  return guid.empty() || (guid.size() == 38 && guid.front() == '{' && guid.back() == '}');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  platform::emulated::TypeLibrary library;
  const int32_t hr = platform::emulated::ReadTypeLibrary(std::span(pData, nSize), library);
  if (hr != 0) {
    Require(hr < 0 && library.libid.empty() && library.typeInfos.empty());
    return 0;
  }
  Require(IsRegistryGuid(library.libid));
  Require(library.syskind <= 0x0F);
  for (const auto& type : library.typeInfos) {
    Require(IsRegistryGuid(type.guid));
    Require(type.name.size() <= 0xFF);
  }
  return 0;
}
