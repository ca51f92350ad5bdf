// Reading lines, keys and section cursors out of a loaded InfFile. Positions are pointers into
// the file's text; a null position means "none". Lines are copied into a caller's buffer of a
// given size and cut without notice at size - 1 characters, as every caller expects.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/inf_file.h"

namespace tarvium {

// Reads one logical line at pos into *pBuffer (when given). Returns the start of the next line,
// or null at the end of the text or at a section header (which ends the section).
const char* ReadLine(const char* pos, std::string* pBuffer, size_t nSize, bool bKeepComments,
                     bool bContinuation);

// The value of the first line of the section whose key matches (right after its '='), or null.
const char* FindKey(const InfFile& inf, std::string_view section, std::string_view key);
// The same lookup, returning the start of that line.
const char* FindKeyLine(const InfFile& inf, std::string_view section, std::string_view key);
// The first line whose key and value both match, case-insensitively; the line's value is
// compared with its leading blanks removed and its trailing blanks kept.
const char* FindKeyValue(const InfFile& inf, std::string_view section, std::string_view key,
                         std::string_view value);
// Copies the trimmed value of the key (at most nSize - 1 characters of it); the buffer is empty
// and the result false when the key is absent.
bool GetValue(const InfFile& inf, std::string_view section, std::string_view key,
              std::string& value, size_t nSize);

// A cursor over the lines of one section: every line counts, empty and comment lines included,
// a continued line as one. An uninstall walks the lines last to first.
struct InfSection {
  std::vector<const char*> lineStarts;
  int32_t nCurrent = 0;
  bool bKeepComments = false;
  bool bContinuation = false;
  bool bBackwards = false;

  int32_t LineCount() const { return static_cast<int32_t>(lineStarts.size()); }
  // The 1-based number, counted from the top of the section, of the line NextLine just read.
  int32_t CurrentLineNumber() const { return bBackwards ? nCurrent + 2 : nCurrent; }
};

void OpenSection(InfSection& cursor, const char* sectionStart, bool bKeepComments,
                 bool bContinuation, bool bUninstall);
// The same for a section of inf, whose line starts are found once and kept in inf.
void OpenSection(InfSection& cursor, const InfFile& inf, const char* sectionStart,
                 bool bKeepComments, bool bContinuation, bool bUninstall);
bool NextLine(InfSection& cursor, std::string& buffer, size_t nSize);

}  // namespace tarvium
