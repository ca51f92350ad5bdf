// The fields are passed over with the engine's own field reader, so a quoted source holding a
// comma is one field here as it is at run time. A line's blank after its commas (", ") is the
// style the added fields follow.
#include "fill_sizes.h"

#include <map>
#include <string_view>
#include <vector>

#include "engine/ansi_text.h"
#include "engine/inf_fields.h"
#include "platform/ansi_case.h"

namespace tarvium::lint {
namespace {

constexpr int kFieldsBeforeSize = 3;  // source, destination, flags

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsAnsiSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsAnsiSpace(text.back())) text.remove_suffix(1);
  return text;
}

// The blank written after an added comma: the one the line has after its first comma.
std::string_view Separator(const std::string& line) {
  const size_t nComma = line.find(',');
  return nComma == std::string::npos || line[nComma + 1] == ' ' ? " " : "";
}

// Where the size field lies, [begin, end) in line; false when the line ends before its comma.
bool FindSizeField(const std::string& line, size_t& nBegin, size_t& nEnd, int& nCommas) {
  const char* text = line.c_str();
  const char* rest = text;
  for (nCommas = 0; nCommas < kFieldsBeforeSize; ++nCommas) {
    const char* next = SkipField(rest);
    if (!next || next[-1] != ',') return false;
    rest = next;
  }
  const char* next = SkipField(rest);
  const char* end = !next ? rest : (next[-1] == ',' ? next - 1 : next);
  nBegin = static_cast<size_t>(rest - text);
  nEnd = static_cast<size_t>(end - text);
  return true;
}

// The bytes of each line, found once: line n (from 1) runs from starts[n - 1] up to its '\n'.
std::vector<size_t> LineStarts(const std::string& bytes) {
  std::vector<size_t> starts{0};
  for (size_t i = bytes.find('\n'); i != std::string::npos; i = bytes.find('\n', i + 1))
    starts.push_back(i + 1);
  return starts;
}

// The line (without its line end, ANSI or UTF-8: the fields are found by their ASCII commas and
// quotes) with its size field set to nSize.
std::string WithSizeField(const std::string& line, uint64_t nSize) {
  const std::string size = std::to_string(nSize);
  size_t nBegin = 0, nEnd = 0;
  int nCommas = 0;
  if (!FindSizeField(line, nBegin, nEnd, nCommas)) {
    const size_t nContentEnd =
        TrimBlanks(line).empty() ? line.size() : line.find_last_not_of(" \t") + 1;
    std::string added;
    for (int i = nCommas; i < kFieldsBeforeSize; ++i) added += "," + std::string(Separator(line));
    return line.substr(0, nContentEnd) + added + size + line.substr(nContentEnd);
  }
  const std::string_view field(line.data() + nBegin, nEnd - nBegin);
  const std::string_view digits = TrimBlanks(field);
  if (digits.empty())
    return line.substr(0, nBegin) + std::string(field.empty() ? Separator(line) : field) + size +
           line.substr(nEnd);
  const size_t nDigits = static_cast<size_t>(digits.data() - line.data());
  return line.substr(0, nDigits) + size + line.substr(nDigits + digits.size());
}

// Writes the sizes into the lines; the number of lines that changed.
int RewriteLines(const std::string& bytes, const std::map<int, uint64_t>& sizes, std::string& out) {
  const std::vector<size_t> starts = LineStarts(bytes);
  out.clear();
  out.reserve(bytes.size() + sizes.size() * 8);
  size_t nCopied = 0;
  int nChanged = 0;
  for (const auto& [nLine, nSize] : sizes) {
    if (static_cast<size_t>(nLine) > starts.size()) break;
    const size_t nStart = starts[static_cast<size_t>(nLine) - 1];
    size_t nEnd = bytes.find('\n', nStart);
    if (nEnd == std::string::npos) nEnd = bytes.size();
    if (nEnd > nStart && bytes[nEnd - 1] == '\r') --nEnd;
    const std::string line = bytes.substr(nStart, nEnd - nStart);
    const std::string changed = WithSizeField(line, nSize);
    if (changed == line) continue;
    out.append(bytes, nCopied, nStart - nCopied);
    out += changed;
    nCopied = nEnd;
    ++nChanged;
  }
  out.append(bytes, nCopied, std::string::npos);
  return nChanged;
}

}  // namespace

int FillSizes(Media& media, const InfFile& inf, const std::string& self, std::string& bytes) {
  LintReport unused;  // the walk's findings are reported by the lint that follows
  const WalkResult walk = WalkOptionSections(inf, LineNumbers(inf), unused);
  std::map<int, uint64_t> sizes;  // by line, in file order
  std::vector<int> selfLines;
  for (const MetCopyLine& met : walk.copyLines) {
    const SourceOnMedia found = media.Find(met.line, true);
    if (found.state != SourceState::Found) continue;
    sizes.emplace(met.nLine, found.nSize);
    if (platform::AnsiEqualNoCase(found.where, self)) selfLines.push_back(met.nLine);
  }
  // The file's own size moves with the digits written into it: a few rounds settle it.
  std::string out;
  int nChanged = RewriteLines(bytes, sizes, out);
  for (int nRound = 0; nRound < 4 && !selfLines.empty() && out.size() != sizes[selfLines[0]];
       ++nRound) {
    for (const int nLine : selfLines) sizes[nLine] = out.size();
    nChanged = RewriteLines(bytes, sizes, out);
  }
  bytes = std::move(out);
  return nChanged;
}

}  // namespace tarvium::lint
