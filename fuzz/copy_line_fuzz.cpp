// libFuzzer target for the copy-line reader: splitting any bytes into the fields of a copy line
// and reading its flag field must not crash; the medium number is never 0, the source never
// starts with the medium's ':' separator it was cut at, the size read alone is the size read
// with the other fields, and the flags that were read contain nothing beyond the two tables' words.
#include <cstddef>
#include <cstdint>
#include <string>

#include "install/copy_flags.h"
#include "install/copy_line_fields.h"

namespace {

void Require(bool bHolds) {
  if (!bHolds) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  const std::string text(reinterpret_cast<const char*>(pData), nSize);
  const tarvium::CopyLineFields fields = tarvium::ParseCopyLine(text);
  Require(fields.nMedium >= 1);
  Require(fields.nSize >= 0);
  Require(tarvium::CopyLineSizeField(text) == fields.nSize);
  uint32_t dwFlags = 0, dwAttributes = 0;
  if (tarvium::ParseCopyLineFlags(fields.flags, dwFlags, dwAttributes)) Require(dwAttributes < 32);
  return 0;
}
