// The editor walks the file once per section line and splits each file line into views of the
// text in a fixed array: no line or field is copied before it is written, so a hosts file of
// thousands of lines costs one pass and one output string per entry.
#include "sysconfig/ip_entries.h"

#include <algorithm>
#include <array>

#include "platform/ansi_case.h"

namespace tarvium {
namespace {

struct EntryFields {
  std::array<std::string_view, kIpEntryMaxFields> field;
  size_t nCount = 0;
};

bool IsFieldBlank(char c) {
  return c == ' ' || c == '\t';
}

// Splits at blanks and tabs. With 2 key fields the second field is taken from after its first
// '/': a services entry "http 80/tcp" is known by its name and protocol, not by its port.
void SplitFields(std::string_view line, size_t nKeyFields, EntryFields& out) {
  out.nCount = 0;
  size_t nPos = 0;
  while (out.nCount < kIpEntryMaxFields) {
    while (nPos < line.size() && IsFieldBlank(line[nPos])) ++nPos;
    if (nPos == line.size()) break;
    const size_t nStart = nPos;
    while (nPos < line.size() && !IsFieldBlank(line[nPos])) ++nPos;
    out.field[out.nCount++] = line.substr(nStart, nPos - nStart);
  }
  if (nKeyFields == 2 && out.nCount >= 2) {
    std::string_view& second = out.field[1];
    if (const size_t nSlash = second.find('/'); nSlash != std::string_view::npos)
      second.remove_prefix(nSlash + 1);
  }
}

// The first nFields fields alike; a field that one line lacks equals only a field the other
// lacks too.
bool LeadingFieldsEqual(const EntryFields& a, const EntryFields& b, size_t nFields) {
  for (size_t i = 0; i < nFields; ++i) {
    const bool bInA = i < a.nCount;
    const bool bInB = i < b.nCount;
    if (bInA != bInB) return false;
    if (bInA && !platform::AnsiEqualNoCase(a.field[i], b.field[i])) return false;
  }
  return true;
}

// A commented-out entry is left alone unless the section line is that very comment.
bool Matches(const EntryFields& fileLine, const EntryFields& entry, size_t nKeyFields) {
  if (fileLine.nCount > 0 && fileLine.field[0].front() == '#')
    return LeadingFieldsEqual(fileLine, entry, kIpEntryMaxFields);
  return LeadingFieldsEqual(fileLine, entry, nKeyFields);
}

void AppendLine(std::string& out, std::string_view line) {
  out.append(line);
  out.append("\r\n");
}

}  // namespace

std::string EditIpEntries(std::string_view text, std::string_view line, size_t nKeyFields,
                          bool bRemovalPass) {
  bool bRemoval = !line.empty() && line.front() == '-';
  if (bRemoval) line.remove_prefix(1);
  if (bRemovalPass) {
    if (bRemoval) return std::string(text);
    bRemoval = true;
  }
  EntryFields entry;
  SplitFields(line, nKeyFields, entry);
  EntryFields fileFields;
  std::string out;
  out.reserve(text.size() + line.size() + 2);
  bool bMatched = false;
  size_t nPos = 0;
  while (nPos < text.size()) {
    size_t nEnd = text.find_first_of("\r\n", nPos);
    if (nEnd == std::string_view::npos) nEnd = text.size();
    const std::string_view fileLine = text.substr(nPos, std::min(nEnd - nPos, kIpFileLineMax));
    nPos = nEnd + (text.compare(nEnd, 2, "\r\n") == 0 ? 2 : 1);
    SplitFields(fileLine, nKeyFields, fileFields);
    if (!Matches(fileFields, entry, nKeyFields)) {
      AppendLine(out, fileLine);
      continue;
    }
    bMatched = true;
    if (!bRemoval) AppendLine(out, line);
  }
  if (!bMatched && !bRemoval) AppendLine(out, line);
  return out;
}

}  // namespace tarvium
