// The text side of INI sections: reading one line of an INI section of the setup information
// file (the quoted form that names its file and the short form), the merge of program lists
// (the `load` and `run` entries of Win.ini, `drivers` of System.ini) and the two whole-text
// operations behind IniAddLine and IniRemoveLine. All are pure functions over text, so they are
// tested and fuzzed without a machine.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace tarvium {

// One INI line as written, before variables are substituted.
struct IniLineEdit {
  bool bQuoted = false;  // the quoted form: the line names its file
  std::string file;      // quoted form only
  std::string section;
  std::string key;
  std::string value;
  bool bHasKey = false;  // false: the line names only a section, which it deletes
  bool bDelete = false;
};

// Reads a line of an INI section; none for a line that holds nothing to do (empty).
// Quoted form: "file", section, old entry, new entry; a non-empty old entry makes the line delete
// that entry's key. Short form: [-]section, key, value (the rest of the line, commas included).
std::optional<IniLineEdit> ParseIniLine(std::string_view line);

// Cuts trailing blanks from the key and leading blanks from the value (after substitution).
void TrimIniLineParts(IniLineEdit& edit);

// The file name of a quoted-form line as the engine writes it: "Win.ini" and "System.ini", alone
// or as the last path element, in that spelling.
std::string NormalizeIniFileName(const std::string& file);
// The last path element of a file name.
std::string_view IniFileBaseName(std::string_view path);

// Merges one program into a list of programs separated by blanks or commas: the item whose base
// name (no directory, no extension) equals the program's is replaced (bAdd) or dropped; a
// program that matched nothing is appended when adding. Items are joined by blanks.
std::string MergeProgramList(std::string_view list, std::string_view program, bool bAdd);

// The text with "key=value" added to the section unless the same line (without regard to case)
// is there; none when it is. A missing section is appended first.
std::optional<std::string> AddIniLineText(std::string_view text, std::string_view section,
                                          std::string_view key, std::string_view value);
// The text without the first line of the section whose key and value equal the given ones
// (blanks around '=' cut, without regard to case); an empty value matches the first line with
// the key. None when no line matched.
std::optional<std::string> RemoveIniLineText(std::string_view text, std::string_view section,
                                             std::string_view key, std::string_view value);

}  // namespace tarvium
