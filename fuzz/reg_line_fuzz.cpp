// libFuzzer target for registry lines. Parsing any text must not crash, and what parses must
// hold together: the data within its limit, numbers of their width, string lists ending in NUL,
// and a line that parses parses again to the same result.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "sysconfig/reg_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const tarvium::SubstituteVariables keep = [](std::string&) {};
  tarvium::RegLine reg;
  if (!tarvium::ParseRegLine(text, keep, reg)) return 0;
  if (reg.data.size() > tarvium::kRegLineDataMax) abort();
  if (reg.dwType == platform::REG_DWORD && reg.data.size() != 4) abort();
  if (reg.dwType == platform::REG_QWORD && reg.data.size() != 8) abort();
  if (reg.dwType == platform::REG_MULTI_SZ && reg.data.size() < tarvium::kRegLineDataMax &&
      (reg.data.empty() || reg.data.back() != 0))
    abort();
  tarvium::RegLine again;
  if (!tarvium::ParseRegLine(text, keep, again) || again.data != reg.data ||
      again.keyPath != reg.keyPath || again.valueName != reg.valueName)
    abort();
  return 0;
}
