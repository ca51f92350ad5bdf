// IniProfile: the Windows profile functions over ini_text and a FileSystem. Reads ignore files
// that cannot be read (the default is the answer, as on Windows); writes report the file
// system's error. A null section or key asks for a list; an empty one is an ordinary name ("[]"
// and "=value" lines), as on Windows. Files are read and written in their own encoding.
#include "platform/ini_profile.h"

#include <cstdlib>

#include "platform/ini_encoding.h"
#include "platform/ini_text.h"
#include "platform/win_error.h"

namespace platform {
namespace {

std::string TrimTrailingBlanks(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return std::string(text);
}

void AppendListItem(std::string& list, std::string_view item) {
  list.append(item);
  list += '\0';
}

// An empty name would end the list early, as a double zero does: it is left out.
std::string SectionNames(const std::vector<IniLine>& lines) {
  std::string list;
  for (const IniLine& line : lines)
    if (line.kind == IniLine::Kind::Section && !line.name.empty()) AppendListItem(list, line.name);
  return list;
}

// The keys of a section's entries.
std::string SectionKeys(const std::vector<IniLine>& lines, const char* section) {
  std::string list;
  IniSection found;
  if (!FindIniSection(lines, section, found)) return list;
  for (size_t i = found.iHeader + 1; i < found.iEnd; ++i)
    if (lines[i].kind == IniLine::Kind::Entry && !lines[i].name.empty())
      AppendListItem(list, lines[i].name);
  return list;
}

// Every non-blank line of a section: entries as "key=value", other lines as they stand, so that
// a section read and written back loses nothing but blanks around the parts.
std::string SectionLines(std::string_view text, const std::vector<IniLine>& lines,
                         const char* section) {
  std::string list;
  IniSection found;
  if (!FindIniSection(lines, section, found)) return list;
  for (size_t i = found.iHeader + 1; i < found.iEnd; ++i) {
    const IniLine& line = lines[i];
    if (line.kind == IniLine::Kind::Entry)
      AppendListItem(list, std::string(line.name) + "=" + std::string(line.value));
    else if (std::string_view body = IniLineText(text, line); !body.empty())
      AppendListItem(list, body);
  }
  return list;
}

// The leading decimal number, wrapped to 32 bits as Windows reads it ("4294967297" is 1).
int32_t LeadingNumber(const std::string& text) {
  return static_cast<int32_t>(static_cast<uint32_t>(std::strtoll(text.c_str(), nullptr, 10)));
}

}  // namespace

std::vector<std::string> SplitProfileList(std::string_view list) {
  std::vector<std::string> names;
  size_t nPos = 0;
  while (nPos < list.size()) {
    size_t nEnd = list.find('\0', nPos);
    if (nEnd == std::string_view::npos) nEnd = list.size();
    if (nEnd == nPos) break;  // an empty name ends the list, as a double zero does
    names.emplace_back(list.substr(nPos, nEnd - nPos));
    nPos = nEnd + 1;
  }
  return names;
}

IniProfile::IniProfile(FileSystem& files, std::string windowsDir)
    : m_files(files), m_windowsDir(std::move(windowsDir)), m_winIni(m_windowsDir + "\\win.ini") {}

std::string IniProfile::PathOf(const std::string& fileName) const {
  if (fileName.find_first_of("\\/:") != std::string::npos) return fileName;
  return m_windowsDir + "\\" + fileName;
}

std::string IniProfile::ReadText(const std::string& fileName) {
  std::string bytes;
  if (fileName.empty() || m_files.ReadWholeFile(PathOf(fileName), bytes) != ERROR_SUCCESS)
    return {};
  IniEncoding encoding = IniEncoding::Ansi;
  return DecodeIniBytes(bytes, encoding);
}

uint32_t IniProfile::ChangeFile(const std::string& fileName, bool bCreate, const Edit& edit) {
  if (fileName.empty()) return ERROR_ACCESS_DENIED;
  const std::string path = PathOf(fileName);
  std::string bytes;
  if (uint32_t err = m_files.ReadWholeFile(path, bytes)) {
    if (err != ERROR_FILE_NOT_FOUND) return err;
    if (!bCreate) return ERROR_SUCCESS;
    return m_files.WriteWholeFile(path, edit({}));
  }
  IniEncoding encoding = IniEncoding::Ansi;
  const std::string text = DecodeIniBytes(bytes, encoding);
  const std::string changed = edit(text);
  return changed == text ? ERROR_SUCCESS
                         : m_files.WriteWholeFile(path, EncodeIniText(changed, encoding));
}

std::string IniProfile::GetPrivateProfileString(const char* section, const char* key,
                                                const char* defaultValue,
                                                const std::string& fileName) {
  const std::string text = ReadText(fileName);
  const std::vector<IniLine> lines = ScanIniText(text);
  if (section == nullptr) return SectionNames(lines);
  if (key == nullptr) return SectionKeys(lines, section);
  IniSection found;
  if (FindIniSection(lines, section, found)) {
    if (size_t i = FindIniKey(lines, found, key); i != std::string::npos)
      return std::string(UnquoteIniValue(lines[i].value));
  }
  return TrimTrailingBlanks(defaultValue ? defaultValue : "");
}

int32_t IniProfile::GetPrivateProfileInt(const char* section, const char* key, int32_t nDefault,
                                         const std::string& fileName) {
  const std::string value = GetPrivateProfileString(section, key, "", fileName);
  return value.empty() ? nDefault : LeadingNumber(value);
}

uint32_t IniProfile::WritePrivateProfileString(const char* section, const char* key,
                                               const char* value, const std::string& fileName) {
  if (section == nullptr)
    return (key == nullptr && value == nullptr) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
  if (key == nullptr)
    return ChangeFile(fileName, false,
                      [&](std::string_view text) { return DeleteIniSection(text, section); });
  if (value == nullptr)
    return ChangeFile(fileName, false,
                      [&](std::string_view text) { return DeleteIniKey(text, section, key); });
  return ChangeFile(fileName, true,
                    [&](std::string_view text) { return SetIniValue(text, section, key, value); });
}

std::string IniProfile::GetPrivateProfileSection(const char* section, const std::string& fileName) {
  if (section == nullptr) return {};
  const std::string text = ReadText(fileName);
  return SectionLines(text, ScanIniText(text), section);
}

uint32_t IniProfile::WritePrivateProfileSection(const char* section, std::string_view entries,
                                                const std::string& fileName) {
  if (section == nullptr) return ERROR_INVALID_PARAMETER;
  const std::vector<std::string> lines = SplitProfileList(entries);
  return ChangeFile(fileName, true,
                    [&](std::string_view text) { return ReplaceIniSection(text, section, lines); });
}

std::string IniProfile::GetProfileString(const char* section, const char* key,
                                         const char* defaultValue) {
  return GetPrivateProfileString(section, key, defaultValue, m_winIni);
}

int32_t IniProfile::GetProfileInt(const char* section, const char* key, int32_t nDefault) {
  return GetPrivateProfileInt(section, key, nDefault, m_winIni);
}

uint32_t IniProfile::WriteProfileString(const char* section, const char* key, const char* value) {
  return WritePrivateProfileString(section, key, value, m_winIni);
}

}  // namespace platform
