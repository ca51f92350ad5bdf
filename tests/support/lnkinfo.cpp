// lnkinfo writes its fields as a TAB-indented key, blanks and TABs, ": " and the value; only the
// first occurrence of a key counts (the link information comes before the item list).
#include "support/lnkinfo.h"

#include "support/run_tool.h"

namespace tarvium::test {
namespace {

std::string Trimmed(const std::string& text) {
  const size_t nStart = text.find_first_not_of(" \t");
  if (nStart == std::string::npos) return {};
  return text.substr(nStart, text.find_last_not_of(" \t\r") - nStart + 1);
}

}  // namespace

std::string LnkInfo::operator[](const std::string& key) const {
  const auto found = fields.find(key);
  return found == fields.end() ? "<none>" : found->second;
}

LnkInfo ReadLnkInfo(const std::string& hostPath) {
  const ToolResult result = RunHostCommand("lnkinfo " + ShellQuote(hostPath));
  LnkInfo info{result.nExit, result.out, {}};
  size_t nPos = 0;
  while (nPos < result.out.size()) {
    const size_t nEnd = std::min(result.out.find('\n', nPos), result.out.size());
    const std::string line = result.out.substr(nPos, nEnd - nPos);
    nPos = nEnd + 1;
    const size_t nColon = line.find(": ");
    if (nColon == std::string::npos) continue;
    info.fields.emplace(Trimmed(line.substr(0, nColon)), Trimmed(line.substr(nColon + 2)));
  }
  return info;
}

}  // namespace tarvium::test
