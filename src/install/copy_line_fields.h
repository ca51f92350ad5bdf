// The fields of a copy line as written: "N:Source, Destination, Flags, Size, Name". Splitting them
// is a pure function over the text so that it can be tested and fuzzed without a machine; the
// variables in the source, destination and flags are replaced by the caller afterwards, and the
// flag words are read then (ParseCopyLineFlags), because a variable may hold flag words.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvium {

struct CopyLineFields {
  uint32_t nMedium = 1;     // 0 and an empty number mean 1
  std::string source;       // the source path as written, without the medium number
  std::string destination;  // trimmed
  std::string flags;        // trimmed
  int64_t nSize = 0;        // the expected size in bytes
  bool bHasSize = false;    // whether the line gives a size field at all (an absent one counts 0)
  std::string name;         // the display name of shared files and fonts
};

// Splits a copy line. The source field is cut at its first ':' into the medium number and the
// path (a drive colon after it stays in the path: "1:C:\x.dll"); without a ':' the field's
// leading digits are the medium number and the path starts at its second character. The line is
// read in place (every copy line of a run is split, so it is not copied first).
CopyLineFields ParseCopyLine(const std::string& line);
// The same into fields that keep their room (every field is overwritten).
void ParseCopyLine(const std::string& line, CopyLineFields& fields);

// The size field of a copy line (ParseCopyLine's nSize), read without splitting the other fields:
// the size computation asks it of every copy line before anything else.
int64_t CopyLineSizeField(const std::string& line);

}  // namespace tarvium
