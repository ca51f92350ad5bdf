// Line, key and cursor reading over InfFile text. The text rules (line ends, leading blanks,
// headers, comments, continuation, cutting) live in ReadLine alone; everything else reads
// through it so that the rules hold everywhere.
#include "engine/inf_reader.h"

#include <algorithm>
#include <cstring>

#include "engine/ansi_text.h"
#include "platform/ansi_case.h"

namespace tarvium {
namespace {

const char* SkipLeadingBlanks(const char* pos) {
  while (*pos && IsAnsiSpace(*pos) && *pos != '\r') ++pos;
  return pos;
}

const char* FirstKeyLine(const InfFile& inf, std::string_view section, std::string_view key,
                         const InfKeyLine** pFound) {
  const char* start = FindSection(inf, section);
  const auto* lines = start ? inf.FindKeyLines(start, key) : nullptr;
  *pFound = lines ? &lines->front() : nullptr;
  return *pFound ? (*pFound)->pLine : nullptr;
}

// Comments count as lines whether they are kept or not: only the text read is cleared.
void FindLineStarts(const char* sectionStart, bool bContinuation,
                    std::vector<const char*>& starts) {
  for (const char* pos = sectionStart; pos;) {
    const char* next = ReadLine(pos, nullptr, 0, false, bContinuation);
    if (next) starts.push_back(pos);
    pos = next;
  }
}

void StartCursor(InfSection& cursor, bool bKeepComments, bool bContinuation, bool bUninstall) {
  cursor.bKeepComments = bKeepComments;
  cursor.bContinuation = bContinuation;
  cursor.bBackwards = bUninstall;
  cursor.nCurrent = bUninstall ? cursor.LineCount() - 1 : 0;
}

}  // namespace

const char* ReadLine(const char* pos, std::string* pBuffer, size_t nSize, bool bKeepComments,
                     bool bContinuation) {
  if (pBuffer) pBuffer->clear();
  if (!pos || !*pos) return nullptr;
  pos = SkipLeadingBlanks(pos);
  if (*pos == '[') return nullptr;
  const size_t nKeep = nSize > 0 ? nSize - 1 : 0;
  while (*pos && !IsLineEnd(*pos)) {
    if (bContinuation && *pos == '\\' && IsLineEnd(pos[1])) {
      ++pos;
      while (*pos && IsAnsiSpace(*pos)) ++pos;
      continue;
    }
    // The text up to the line end (or the next backslash that may continue it) is kept whole.
    const char* stretch = pos++;
    pos += std::strcspn(pos, bContinuation ? "\r\n\\" : "\r\n");
    if (pBuffer && pBuffer->size() < nKeep)
      pBuffer->append(stretch,
                      std::min(static_cast<size_t>(pos - stretch), nKeep - pBuffer->size()));
  }
  while (*pos && *pos != '\n') ++pos;
  if (*pos == '\n') ++pos;
  if (pBuffer && !bKeepComments && !pBuffer->empty() && pBuffer->front() == ';') pBuffer->clear();
  return pos;
}

const char* FindKey(const InfFile& inf, std::string_view section, std::string_view key) {
  const InfKeyLine* found = nullptr;
  FirstKeyLine(inf, section, key, &found);
  return found ? found->pValue : nullptr;
}

const char* FindKeyLine(const InfFile& inf, std::string_view section, std::string_view key) {
  const InfKeyLine* found = nullptr;
  return FirstKeyLine(inf, section, key, &found);
}

const char* FindKeyValue(const InfFile& inf, std::string_view section, std::string_view key,
                         std::string_view value) {
  const char* start = FindSection(inf, section);
  const auto* lines = start ? inf.FindKeyLines(start, key) : nullptr;
  if (!lines) return nullptr;
  for (const InfKeyLine& line : *lines) {
    const std::string_view lineValue(line.pValue, static_cast<size_t>(line.pCut - line.pValue));
    if (platform::AnsiEqualNoCase(TrimAnsiLeft(lineValue), value)) return line.pLine;
  }
  return nullptr;
}

bool GetValue(const InfFile& inf, std::string_view section, std::string_view key,
              std::string& value, size_t nSize) {
  value.clear();
  const char* p = FindKey(inf, section, key);
  if (!p) return false;
  const char* end = p;
  while (*end && !IsLineEnd(*end)) ++end;
  const size_t nKeep = nSize > 0 ? nSize - 1 : 0;
  const std::string_view raw(p, std::min(static_cast<size_t>(end - p), nKeep));
  value = TrimAnsi(raw);
  return true;
}

void OpenSection(InfSection& cursor, const char* sectionStart, bool bKeepComments,
                 bool bContinuation, bool bUninstall) {
  cursor.lineStarts.clear();
  FindLineStarts(sectionStart, bContinuation, cursor.lineStarts);
  StartCursor(cursor, bKeepComments, bContinuation, bUninstall);
}

void OpenSection(InfSection& cursor, const InfFile& inf, const char* sectionStart,
                 bool bKeepComments, bool bContinuation, bool bUninstall) {
  std::vector<const char*>& starts = inf.LineStartsRoom(sectionStart, bContinuation);
  if (starts.empty()) FindLineStarts(sectionStart, bContinuation, starts);
  cursor.lineStarts = starts;
  StartCursor(cursor, bKeepComments, bContinuation, bUninstall);
}

bool NextLine(InfSection& cursor, std::string& buffer, size_t nSize) {
  buffer.clear();
  if (cursor.nCurrent < 0 || cursor.nCurrent >= cursor.LineCount()) return false;
  ReadLine(cursor.lineStarts[static_cast<size_t>(cursor.nCurrent)], &buffer, nSize,
           cursor.bKeepComments, cursor.bContinuation);
  cursor.nCurrent += cursor.bBackwards ? -1 : 1;
  return true;
}

}  // namespace tarvium
