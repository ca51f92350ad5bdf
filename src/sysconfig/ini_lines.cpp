// The line forms follow the comma-field reader of the setup information file (quotes, doubled
// quotes), except that the short form's value is the raw rest of the line, so that values with
// commas ("a.exe,b.exe") need no quoting. The whole-text operations scan the INI text with the
// profile service's own scanner, so that they agree with it on what a section and a key are.
#include "sysconfig/ini_lines.h"

#include <vector>

#include "engine/ansi_text.h"
#include "engine/inf_fields.h"
#include "platform/ansi_case.h"
#include "platform/ini_text.h"

namespace tarvium {
namespace {

using platform::AnsiEqualNoCase;
using platform::IniLine;
using platform::IniSection;

constexpr std::string_view kCrLf = "\r\n";

void SplitEntry(const std::string& entry, std::string& key, std::string& value) {
  const size_t nEquals = entry.find('=');
  key = entry.substr(0, nEquals);
  value = nEquals == std::string::npos ? "" : entry.substr(nEquals + 1);
}

std::optional<IniLineEdit> ParseQuotedForm(const std::string& line) {
  std::string fields[4];
  const char* rest = line.c_str();
  for (std::string& field : fields) rest = NextField(rest, field);
  const bool bNewHasEquals = fields[3].find('=') != std::string::npos;
  if (!bNewHasEquals && fields[2].find('=') == std::string::npos) return std::nullopt;
  IniLineEdit edit;
  edit.bQuoted = true;
  edit.file = fields[0];
  edit.section = fields[1];
  edit.bHasKey = true;
  edit.bDelete = !fields[2].empty();
  SplitEntry(edit.bDelete ? fields[2] : fields[3], edit.key, edit.value);
  return edit;
}

IniLineEdit ParseShortForm(std::string_view line) {
  IniLineEdit edit;
  if (!line.empty() && line[0] == '-') {
    edit.bDelete = true;
    line = TrimAnsiLeft(line.substr(1));
  }
  const std::string text(line);
  const char* rest = NextField(text.c_str(), edit.section);
  if (rest && *rest && !IsLineEnd(*rest)) {
    rest = NextField(rest, edit.key);
    edit.bHasKey = true;
    if (rest) {
      std::string_view value(rest);
      const size_t nEnd = value.find_first_of("\r\n");
      edit.value = std::string(TrimAnsiLeft(value.substr(0, nEnd)));
    }
  }
  return edit;
}

std::string_view BaseNameWithoutExtension(std::string_view item) {
  item = IniFileBaseName(item);
  const size_t nDot = item.rfind('.');
  return nDot == std::string_view::npos ? item : item.substr(0, nDot);
}

}  // namespace

std::optional<IniLineEdit> ParseIniLine(std::string_view line) {
  line = TrimAnsi(line);
  if (line.empty()) return std::nullopt;
  if (line[0] == '"') {
    if (std::optional<IniLineEdit> quoted = ParseQuotedForm(std::string(line))) return quoted;
  }
  return ParseShortForm(line);
}

void TrimIniLineParts(IniLineEdit& edit) {
  edit.key = std::string(TrimAnsiRight(edit.key));
  edit.value = std::string(TrimAnsiLeft(edit.value));
}

std::string_view IniFileBaseName(std::string_view path) {
  const size_t nSlash = path.find_last_of("\\/:");
  return nSlash == std::string_view::npos ? path : path.substr(nSlash + 1);
}

std::string NormalizeIniFileName(const std::string& file) {
  const std::string_view base = IniFileBaseName(file);
  const std::string dir = file.substr(0, file.size() - base.size());
  for (std::string_view known : {"Win.ini", "System.ini"})
    if (AnsiEqualNoCase(base, known)) return dir + std::string(known);
  return file;
}

std::string MergeProgramList(std::string_view list, std::string_view program, bool bAdd) {
  const std::string_view wanted = BaseNameWithoutExtension(program);
  std::string merged;
  bool bMatched = false;
  size_t nPos = 0;
  while (nPos < list.size()) {
    const size_t nStart = list.find_first_not_of(" \t,", nPos);
    if (nStart == std::string_view::npos) break;
    size_t nEnd = list.find_first_of(" \t,", nStart);
    if (nEnd == std::string_view::npos) nEnd = list.size();
    const std::string_view item = list.substr(nStart, nEnd - nStart);
    nPos = nEnd;
    const bool bMatch = AnsiEqualNoCase(BaseNameWithoutExtension(item), wanted);
    bMatched = bMatched || bMatch;
    const std::string_view piece = !bMatch ? item : bAdd ? program : std::string_view();
    if (!piece.empty()) merged.append(piece).append(1, ' ');
  }
  if (!bMatched && bAdd) merged.append(program);
  return std::string(TrimAnsiRight(merged));
}

std::optional<std::string> AddIniLineText(std::string_view text, std::string_view section,
                                          std::string_view key, std::string_view value) {
  std::string work(text);
  std::vector<IniLine> lines = platform::ScanIniText(work);
  IniSection found;
  if (!platform::FindIniSection(lines, section, found)) {
    work += (work.empty() ? "[" : "\r\n[") + std::string(section) + "]" + std::string(kCrLf);
    lines = platform::ScanIniText(work);
    platform::FindIniSection(lines, section, found);
  }
  size_t iLast = found.iHeader;
  for (size_t i = found.iHeader + 1; i < found.iEnd; ++i) {
    const IniLine& line = lines[i];
    if (line.kind == IniLine::Kind::Entry && AnsiEqualNoCase(line.name, TrimAnsi(key)) &&
        AnsiEqualNoCase(line.value, TrimAnsi(value)))
      return std::nullopt;
    if (!TrimAnsi(std::string_view(work).substr(line.nBegin, line.nEnd - line.nBegin)).empty())
      iLast = i;
  }
  const IniLine& last = lines[iLast];
  std::string insert = last.nNext == last.nEnd ? std::string(kCrLf) : "";
  insert += std::string(key) + "=" + std::string(value) + std::string(kCrLf);
  work.insert(last.nNext, insert);
  return work;
}

std::optional<std::string> RemoveIniLineText(std::string_view text, std::string_view section,
                                             std::string_view key, std::string_view value) {
  const std::vector<IniLine> lines = platform::ScanIniText(text);
  IniSection found;
  if (!platform::FindIniSection(lines, section, found)) return std::nullopt;
  for (size_t i = found.iHeader + 1; i < found.iEnd; ++i) {
    const IniLine& line = lines[i];
    if (line.kind != IniLine::Kind::Entry || !AnsiEqualNoCase(line.name, TrimAnsi(key))) continue;
    if (!TrimAnsi(value).empty() && !AnsiEqualNoCase(line.value, TrimAnsi(value))) continue;
    std::string out(text.substr(0, line.nBegin));
    out.append(text.substr(line.nNext));
    return out;
  }
  return std::nullopt;
}

}  // namespace tarvium
