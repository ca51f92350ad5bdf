// The IP entry editor over arbitrary input, split at its first zero byte into a file text and a
// section line; the first byte of the line's part chooses the key field count (1 or 2). Each
// edit must end, and what the section handler relies on must hold: every line of a result ends
// with CR LF, an entry applied twice changes nothing the second time, and an entry removed once
// is removed for good.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sysconfig/ip_entries.h"

namespace {

void Check(bool bHolds) {
  if (!bHolds) abort();
}

bool EndsEveryLineWithCrLf(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) return false;
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
  }
  return text.empty() || text.ends_with("\r\n");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t nZero = input.find('\0');
  const std::string_view text = input.substr(0, nZero);
  std::string_view line =
      nZero == std::string_view::npos ? std::string_view() : input.substr(nZero + 1);
  size_t nKeyFields = 1;
  if (!line.empty()) {
    nKeyFields = 1 + (static_cast<unsigned char>(line.front()) & 1);
    line.remove_prefix(1);
  }
  // A section line is one line of the section, never longer than the editor reads.
  if (line.find_first_of("\r\n") != std::string_view::npos || line.size() > tarvium::kIpFileLineMax)
    return 0;

  const std::string once = tarvium::EditIpEntries(text, line, nKeyFields, false);
  Check(EndsEveryLineWithCrLf(once));
  Check(tarvium::EditIpEntries(once, line, nKeyFields, false) == once);

  const std::string removed = tarvium::EditIpEntries(once, line, nKeyFields, true);
  Check(EndsEveryLineWithCrLf(removed));
  Check(tarvium::EditIpEntries(removed, line, nKeyFields, true) == removed);
  return 0;
}
