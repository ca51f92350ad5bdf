// A batch text is split into lines with their own line ends, so that lines the edit does not
// touch keep their bytes. A new line is compared with each existing line by kind: SET lines by
// variable, PATH lines (plain or as SET PATH=) by being PATH lines at all, commands word by word.
#include "sysconfig/batch_text.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "engine/ansi_text.h"
#include "platform/ansi_case.h"

namespace tarvium {
namespace {

using platform::AnsiEqualNoCase;

constexpr size_t kWordsCompared = 100;
constexpr std::string_view kCrLf = "\r\n";

struct TextLine {
  std::string_view body;  // without the line end
  std::string_view end;   // CR LF, LF, CR or nothing
};

std::vector<TextLine> SplitLines(std::string_view text) {
  std::vector<TextLine> lines;
  size_t nPos = 0;
  while (nPos < text.size()) {
    const size_t nBreak = text.find_first_of(kCrLf, nPos);
    if (nBreak == std::string_view::npos) {
      lines.push_back({text.substr(nPos), {}});
      break;
    }
    const size_t nEndLength = text.compare(nBreak, 2, kCrLf) == 0 ? 2 : 1;
    lines.push_back({text.substr(nPos, nBreak - nPos), text.substr(nBreak, nEndLength)});
    nPos = nBreak + nEndLength;
  }
  return lines;
}

std::vector<std::string_view> Words(std::string_view text, size_t nMax) {
  std::vector<std::string_view> words;
  size_t nPos = 0;
  while (words.size() < nMax) {
    const size_t nStart = text.find_first_not_of(" \t", nPos);
    if (nStart == std::string_view::npos) break;
    size_t nEnd = text.find_first_of(" \t", nStart);
    if (nEnd == std::string_view::npos) nEnd = text.size();
    words.push_back(text.substr(nStart, nEnd - nStart));
    nPos = nEnd;
  }
  return words;
}

bool SameWords(std::string_view a, std::string_view b) {
  const std::vector<std::string_view> wordsA = Words(a, kWordsCompared);
  const std::vector<std::string_view> wordsB = Words(b, kWordsCompared);
  if (wordsA.size() != wordsB.size()) return false;
  for (size_t i = 0; i < wordsA.size(); ++i)
    if (!AnsiEqualNoCase(wordsA[i], wordsB[i])) return false;
  return true;
}

bool IsPathLine(const BatLine& line) {
  return line.kind == BatLineKind::Path || line.bSetsPath;
}

// Where the path list of a PATH line starts: after "PATH" and one '=' or the blanks, or after
// the '=' of "SET PATH=".
size_t PathListOffset(std::string_view body, const BatLine& line) {
  if (line.kind == BatLineKind::Set) {
    const size_t nEquals = body.find('=');
    return nEquals == std::string_view::npos ? body.size() : nEquals + 1;
  }
  size_t nPos = body.find_first_not_of(" \t");
  nPos += 4;  // "PATH"
  if (nPos < body.size() && body[nPos] == '=') return nPos + 1;
  const size_t nList = body.find_first_not_of(" \t", nPos);
  return nList == std::string_view::npos ? body.size() : nList;
}

// The path value of a new line with its '<' or '>' marker taken off.
std::string_view PathValue(std::string_view value, bool& bAtEnd) {
  value = TrimAnsi(value);
  bAtEnd = !value.empty() && value[0] == '>';
  if (!value.empty() && (value[0] == '<' || value[0] == '>')) value = TrimAnsi(value.substr(1));
  return value;
}

bool ContainsNoCase(std::string_view text, std::string_view part) {
  return platform::AnsiUpper(text).find(platform::AnsiUpper(part)) != std::string::npos;
}

// The existing PATH line merged with the new directory: none when the line goes.
std::optional<std::string> MergePathLine(std::string_view body, const BatLine& existing,
                                         std::string_view dir, bool bAtEnd, bool bDelete) {
  const size_t nList = PathListOffset(body, existing);
  std::string head(body.substr(0, nList));
  const std::string_view list = body.substr(nList);
  if (existing.kind == BatLineKind::Set && head.find('=') == std::string::npos)
    head += '=';  // "SET PATH" alone
  else if (head.back() != '=' && head.back() != ' ' && head.back() != '\t')
    head += ' ';  // "PATH" alone
  if (!bDelete) {
    if (ContainsNoCase(list, dir)) return std::string(body);
    if (TrimAnsi(list).empty()) return head + std::string(dir);
    return head + (bAtEnd ? std::string(list) + ";" + std::string(dir)
                          : std::string(dir) + ";" + std::string(list));
  }
  std::string kept;
  size_t nPos = 0;
  while (nPos <= list.size()) {
    size_t nEnd = list.find(';', nPos);
    if (nEnd == std::string_view::npos) nEnd = list.size();
    const std::string_view item = list.substr(nPos, nEnd - nPos);
    if (!TrimAnsi(item).empty() && !AnsiEqualNoCase(TrimAnsi(item), dir))
      kept += (kept.empty() ? "" : ";") + std::string(item);
    nPos = nEnd + 1;
  }
  if (kept.empty()) return std::nullopt;
  return head + kept;
}

bool Matches(const BatLine& newLine, std::string_view newText, const BatLine& old,
             std::string_view oldText) {
  if (IsPathLine(newLine)) return IsPathLine(old);
  if (newLine.kind == BatLineKind::Set)
    return old.kind == BatLineKind::Set && AnsiEqualNoCase(old.name, newLine.name);
  return SameWords(newText, oldText);
}

void AppendLine(std::string& text, std::string_view line) {
  if (!text.empty() && text.back() != '\n' && text.back() != '\r') text += kCrLf;
  text.append(line);
  text += kCrLf;
}

}  // namespace

BatLine ClassifyBatLine(std::string_view line) {
  BatLine result;
  const std::vector<std::string_view> words = Words(line, 1);
  if (words.empty()) return result;
  const std::string_view first = words[0];
  const size_t nFirst = line.find(first);
  if (AnsiEqualNoCase(first, "SET")) {
    // "SET NAME" without '=' names its variable with an empty value; a SET without a name
    // names no variable and stays a command.
    std::string_view rest = TrimAnsiLeft(line.substr(nFirst + 3));
    const size_t nEquals = rest.find('=');
    const std::string_view name = TrimAnsi(rest.substr(0, nEquals));
    if (name.empty()) return result;
    result.kind = BatLineKind::Set;
    result.name = std::string(name);
    if (nEquals != std::string_view::npos) result.value = std::string(rest.substr(nEquals + 1));
    result.bSetsPath = AnsiEqualNoCase(result.name, "PATH");
    return result;
  }
  if (platform::AnsiStartsWithNoCase(first, "PATH") && (first.size() == 4 || first[4] == '=')) {
    result.kind = BatLineKind::Path;
    result.name = "PATH";
    std::string_view rest = line.substr(nFirst + 4);
    if (!rest.empty() && rest[0] == '=') rest.remove_prefix(1);
    result.value = std::string(TrimAnsi(rest));
  }
  return result;
}

std::string EditBatText(std::string_view text, std::string_view line, bool bUninstall) {
  line = TrimAnsi(line.substr(0, std::min(line.find_first_of(kCrLf), kBatLineMax)));
  bool bDelete = !line.empty() && line[0] == '-';
  if (bDelete) line = TrimAnsiLeft(line.substr(1));
  if (bDelete && bUninstall) return std::string(text);
  bDelete = bDelete || bUninstall;
  if (line.empty()) return std::string(text);
  const BatLine newLine = ClassifyBatLine(line);
  bool bAtEnd = false;
  const std::string_view dir = PathValue(newLine.value, bAtEnd);
  std::string out;
  bool bMatched = false;
  for (const TextLine& existing : SplitLines(text)) {
    const std::string_view body = existing.body.substr(0, kBatLineMax);
    const BatLine old = ClassifyBatLine(body);
    if (!Matches(newLine, line, old, body)) {
      out.append(existing.body).append(existing.end);
      continue;
    }
    bMatched = true;
    std::optional<std::string> kept;
    if (IsPathLine(newLine))
      kept = MergePathLine(body, old, dir, bAtEnd, bDelete);
    else if (!bDelete)
      kept = std::string(line);
    if (kept) out.append(*kept).append(existing.end);
  }
  if (!bMatched && !bDelete) {
    if (newLine.kind == BatLineKind::Path)
      AppendLine(out, "PATH " + std::string(dir));
    else if (newLine.bSetsPath && line.find('=') != std::string_view::npos)
      AppendLine(out, std::string(line.substr(0, line.find('=') + 1)) + std::string(dir));
    else
      AppendLine(out, line);
  }
  return out;
}

}  // namespace tarvium
