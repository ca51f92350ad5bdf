// INI text as the profile functions read and change it: lines of "[section]" headers and
// "key=value" entries, names compared without regard to case, blanks around keys and values cut.
// Reading scans the text into line spans; each change splices the text, so that every byte it
// does not change (comments, blank lines, line ends, other sections) stays as it was.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct IniLine {
  enum class Kind { Other, Section, Entry };  // Other: blank, comment or text without '='
  Kind kind = Kind::Other;
  size_t nBegin = 0;       // offset of the line's first byte
  size_t nEnd = 0;         // end of its text, before CR LF, LF or CR
  size_t nNext = 0;        // offset of the next line
  std::string_view name;   // section name or key, blanks cut
  std::string_view value;  // value of an entry, blanks cut
};

// The lines of an INI text; the views point into `text`.
std::vector<IniLine> ScanIniText(std::string_view text);

// Lines [iHeader, iEnd) of a section: its header and the lines up to the next header.
struct IniSection {
  size_t iHeader = 0;
  size_t iEnd = 0;
};

// The first section of that name.
bool FindIniSection(const std::vector<IniLine>& lines, std::string_view section, IniSection& found);
// The index of the first entry named `key` in the section, or npos.
size_t FindIniKey(const std::vector<IniLine>& lines, const IniSection& section,
                  std::string_view key);

// The line's text with the blanks around it cut (for Other lines: the comment or bare text).
std::string_view IniLineText(std::string_view text, const IniLine& line);

// A value enclosed in a pair of the same quotes (' or ") loses them, as the profile functions
// read it.
std::string_view UnquoteIniValue(std::string_view value);

// Changes: each returns the whole new text. New lines end in CR LF.
// Sets key=value: an existing entry keeps its key's spelling, a new one follows the last
// non-blank line of its section, a new section is appended to the end of the text.
std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value);
std::string DeleteIniKey(std::string_view text, std::string_view section, std::string_view key);
// Removes the header and every line up to the next header.
std::string DeleteIniSection(std::string_view text, std::string_view section);
// Replaces the lines of a section (creating it when missing) by `lines`.
std::string ReplaceIniSection(std::string_view text, std::string_view section,
                              const std::vector<std::string>& lines);

}  // namespace platform
