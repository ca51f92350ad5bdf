// libFuzzer target for the version-resource readers: the bytes are taken as a PE file, whose
// version resource (when one is found) must lie inside them and is then parsed, and they are
// also parsed directly as a version block. Neither may crash or read outside its input; a
// parsed version's text must agree with its binary parts.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/pe_resources.h"
#include "platform/win_error.h"
#include "script/file_version_info.h"

namespace {

void Require(bool bHolds) {
  if (!bHolds) __builtin_trap();
}

void ParseAndCheck(std::span<const uint8_t> block) {
  tarvium::FileVersionInfo info;
  if (!tarvium::ParseVersionInfo(block, info)) {
    Require(info.szVersion.empty());
    return;
  }
  const auto& part = info.wVersionParts;
  Require(info.szVersion == std::to_string(part[0]) + "." + std::to_string(part[1]) + "." +
                                std::to_string(part[2]) + "." + std::to_string(part[3]));
  Require(info.nCharSetText >= 5014 && info.nCharSetText <= 5029);
  Require(!info.szLanguageName.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  const std::span<const uint8_t> input(pData, nSize);
  std::span<const uint8_t> block;
  if (platform::FindPeResource(input, platform::RT_VERSION, block) == platform::ERROR_SUCCESS) {
    Require(block.empty() ||
            (block.data() >= pData && block.data() + block.size() <= pData + nSize));
    ParseAndCheck(block);
  }
  ParseAndCheck(input);
  return 0;
}
