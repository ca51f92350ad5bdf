// NextArgument over arbitrary text: every call must move forward or report the end, and no
// argument may be longer than the text it came from.
#include <cstdint>
#include <string>
#include <string_view>

#include "script/next_argument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string arg;
  size_t nPos = 0;
  for (;;) {
    const size_t nNext = tarvium::NextArgument(text, nPos, arg);
    if (nNext == std::string_view::npos) break;
    if (nNext <= nPos || nNext > text.size() || arg.size() > text.size()) abort();
    nPos = nNext;
  }
  return 0;
}
