// Scanning and splicing of INI text. Lines end in CR LF, LF or a bare CR. A header is "[name]"
// after optional blanks ("[]" is the section with the empty name); an entry is a line with '='
// that does not start with ';' (a comment), its key may be empty ("=value"). Everything else is
// kept, and returned by whole-section reads, but never read as a key.
#include "platform/ini_text.h"

#include "platform/ansi_case.h"

namespace platform {
namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kLineEnd = "\r\n";

std::string_view TrimBlanks(std::string_view text) {
  const size_t nFirst = text.find_first_not_of(kBlanks);
  if (nFirst == std::string_view::npos) return {};
  const size_t nLast = text.find_last_not_of(kBlanks);
  return text.substr(nFirst, nLast - nFirst + 1);
}

void ClassifyLine(std::string_view text, IniLine& line) {
  const std::string_view body = TrimBlanks(text);
  if (body.empty() || body[0] == ';') return;
  if (body[0] == '[') {
    const size_t nClose = body.find(']');
    if (nClose == std::string_view::npos) return;
    line.kind = IniLine::Kind::Section;
    line.name = TrimBlanks(body.substr(1, nClose - 1));
    return;
  }
  const size_t nEquals = body.find('=');
  if (nEquals == std::string_view::npos) return;
  line.name = TrimBlanks(body.substr(0, nEquals));
  line.kind = IniLine::Kind::Entry;
  line.value = TrimBlanks(body.substr(nEquals + 1));
}

size_t SectionEndOffset(std::string_view text, const std::vector<IniLine>& lines,
                        const IniSection& section) {
  return section.iEnd < lines.size() ? lines[section.iEnd].nBegin : text.size();
}

// Text to append a new section with its lines: starts on a line of its own.
std::string NewSectionText(std::string_view text, std::string_view section,
                           const std::vector<std::string>& lines) {
  std::string out;
  if (!text.empty() && text.back() != '\n') out += kLineEnd;
  out += '[';
  out += section;
  out += ']';
  out += kLineEnd;
  for (const std::string& entry : lines) out += entry + std::string(kLineEnd);
  return out;
}

std::string Splice(std::string_view text, size_t nFrom, size_t nTo, std::string_view insert) {
  std::string out;
  out.reserve(text.size() + insert.size());
  out.append(text.substr(0, nFrom));
  out.append(insert);
  out.append(text.substr(nTo));
  return out;
}

// Where a new entry of the section goes: after its last non-blank line.
size_t InsertOffset(const std::vector<IniLine>& lines, const IniSection& section,
                    bool& bNeedsLineEnd) {
  size_t iLast = section.iHeader;
  for (size_t i = section.iHeader + 1; i < section.iEnd; ++i)
    if (lines[i].nEnd > lines[i].nBegin) iLast = i;
  bNeedsLineEnd = lines[iLast].nNext == lines[iLast].nEnd;  // the text ends without a line end
  return lines[iLast].nNext;
}

}  // namespace

std::vector<IniLine> ScanIniText(std::string_view text) {
  std::vector<IniLine> lines;
  size_t nPos = 0;
  while (nPos < text.size()) {
    IniLine line;
    line.nBegin = nPos;
    const size_t nBreak = text.find_first_of(kLineEnd, nPos);
    line.nEnd = nBreak == std::string_view::npos ? text.size() : nBreak;
    line.nNext = nBreak == std::string_view::npos ? text.size() : nBreak + 1;
    if (nBreak != std::string_view::npos && text[nBreak] == '\r' && line.nNext < text.size() &&
        text[line.nNext] == '\n')
      ++line.nNext;
    ClassifyLine(text.substr(line.nBegin, line.nEnd - line.nBegin), line);
    lines.push_back(line);
    nPos = line.nNext;
  }
  return lines;
}

bool FindIniSection(const std::vector<IniLine>& lines, std::string_view section,
                    IniSection& found) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind != IniLine::Kind::Section || !AnsiEqualNoCase(lines[i].name, section))
      continue;
    found.iHeader = i;
    found.iEnd = i + 1;
    while (found.iEnd < lines.size() && lines[found.iEnd].kind != IniLine::Kind::Section)
      ++found.iEnd;
    return true;
  }
  return false;
}

size_t FindIniKey(const std::vector<IniLine>& lines, const IniSection& section,
                  std::string_view key) {
  for (size_t i = section.iHeader + 1; i < section.iEnd; ++i)
    if (lines[i].kind == IniLine::Kind::Entry && AnsiEqualNoCase(lines[i].name, key)) return i;
  return std::string_view::npos;
}

std::string_view IniLineText(std::string_view text, const IniLine& line) {
  return TrimBlanks(text.substr(line.nBegin, line.nEnd - line.nBegin));
}

std::string_view UnquoteIniValue(std::string_view value) {
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
    return value.substr(1, value.size() - 2);
  return value;
}

std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value) {
  const std::vector<IniLine> lines = ScanIniText(text);
  const std::string entry = std::string(key) + "=" + std::string(value);
  IniSection found;
  if (!FindIniSection(lines, section, found))
    return std::string(text) + NewSectionText(text, section, {entry});
  if (size_t i = FindIniKey(lines, found, key); i != std::string_view::npos) {
    const std::string kept = std::string(lines[i].name) + "=" + std::string(value);
    return Splice(text, lines[i].nBegin, lines[i].nEnd, kept);
  }
  bool bNeedsLineEnd = false;
  const size_t nAt = InsertOffset(lines, found, bNeedsLineEnd);
  const std::string insert =
      (bNeedsLineEnd ? std::string(kLineEnd) : "") + entry + std::string(kLineEnd);
  return Splice(text, nAt, nAt, insert);
}

std::string DeleteIniKey(std::string_view text, std::string_view section, std::string_view key) {
  const std::vector<IniLine> lines = ScanIniText(text);
  IniSection found;
  if (!FindIniSection(lines, section, found)) return std::string(text);
  const size_t i = FindIniKey(lines, found, key);
  if (i == std::string_view::npos) return std::string(text);
  return Splice(text, lines[i].nBegin, lines[i].nNext, {});
}

std::string DeleteIniSection(std::string_view text, std::string_view section) {
  const std::vector<IniLine> lines = ScanIniText(text);
  IniSection found;
  if (!FindIniSection(lines, section, found)) return std::string(text);
  return Splice(text, lines[found.iHeader].nBegin, SectionEndOffset(text, lines, found), {});
}

std::string ReplaceIniSection(std::string_view text, std::string_view section,
                              const std::vector<std::string>& entries) {
  const std::vector<IniLine> lines = ScanIniText(text);
  IniSection found;
  if (!FindIniSection(lines, section, found))
    return std::string(text) + NewSectionText(text, section, entries);
  const IniLine& header = lines[found.iHeader];
  std::string body = header.nNext == header.nEnd ? std::string(kLineEnd) : "";
  for (const std::string& entry : entries) body += entry + std::string(kLineEnd);
  return Splice(text, header.nNext, SectionEndOffset(text, lines, found), body);
}

}  // namespace platform
