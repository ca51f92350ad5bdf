// Parsing of trusted-modules.txt and the verdict for one module; a pure function of the text so
// that the rules are tested without files.
#include "platform/emulated/processes/module_trust_list.h"

#include "platform/modules.h"

namespace platform {
namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

struct TrustLine {
  bool bDeny = false;
  std::string_view digest;
  std::string_view name;  // sha256sum's '*' of binary mode is dropped
};

bool ParseTrustLine(std::string_view line, TrustLine& out) {
  line = Trim(line);
  if (line.empty() || line.front() == '#') return false;
  out.bDeny = line.front() == '!';
  if (out.bDeny) line.remove_prefix(1);
  const size_t nEnd = line.find_first_of(" \t");
  out.digest = line.substr(0, nEnd);
  out.name = nEnd == std::string_view::npos ? std::string_view() : Trim(line.substr(nEnd));
  if (!out.name.empty() && out.name.front() == '*') out.name.remove_prefix(1);
  return out.digest.size() == 64;
}

}  // namespace

uint32_t JudgeModuleByTrustList(std::string_view listText, std::string_view sha256Hex,
                                std::string_view fileName) {
  bool bAllowed = false, bNameListed = false;
  while (!listText.empty()) {
    const size_t nEnd = listText.find('\n');
    const std::string_view line = listText.substr(0, nEnd);
    listText.remove_prefix(nEnd == std::string_view::npos ? listText.size() : nEnd + 1);
    TrustLine entry;
    if (!ParseTrustLine(line, entry)) continue;
    const bool bDigest = EqualNoCase(entry.digest, sha256Hex);
    if (entry.bDeny && bDigest) return TRUST_E_EXPLICIT_DISTRUST;
    if (!entry.bDeny) {
      bAllowed = bAllowed || bDigest;
      bNameListed = bNameListed || EqualNoCase(entry.name, fileName);
    }
  }
  if (bAllowed) return TRUST_SUCCESS;
  return bNameListed ? TRUST_E_BAD_DIGEST : TRUST_E_NOSIGNATURE;
}

}  // namespace platform
