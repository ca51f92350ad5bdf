// IniProfile: the Windows profile functions over ini_text and a FileSystem. Reads ignore files
// that cannot be read (the default is the answer, as on Windows); writes report the file
// system's error.
#include "platform/ini_profile.h"

#include <cstdlib>

#include "platform/ini_text.h"
#include "platform/win_error.h"

namespace platform {
namespace {

bool IsEmpty(const char* text) {
  return text == nullptr || *text == '\0';
}

std::string TrimTrailingBlanks(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return std::string(text);
}

void AppendListItem(std::string& list, std::string_view item) {
  list.append(item);
  list += '\0';
}

std::string SectionNames(const std::vector<IniLine>& lines) {
  std::string list;
  for (const IniLine& line : lines)
    if (line.kind == IniLine::Kind::Section) AppendListItem(list, line.name);
  return list;
}

// The entries of a section: their keys, or whole "key=value" lines.
std::string SectionEntries(const std::vector<IniLine>& lines, const char* section,
                           bool bWithValues) {
  std::string list;
  IniSection found;
  if (!FindIniSection(lines, section, found)) return list;
  for (size_t i = found.iHeader + 1; i < found.iEnd; ++i) {
    if (lines[i].kind != IniLine::Kind::Entry) continue;
    AppendListItem(list, bWithValues
                             ? std::string(lines[i].name) + "=" + std::string(lines[i].value)
                             : std::string(lines[i].name));
  }
  return list;
}

int32_t LeadingNumber(const std::string& text) {
  return static_cast<int32_t>(std::strtol(text.c_str(), nullptr, 10));
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
  std::string text;
  if (m_files.ReadWholeFile(PathOf(fileName), text) != ERROR_SUCCESS) text.clear();
  return text;
}

uint32_t IniProfile::ChangeFile(const std::string& fileName, bool bCreate, const Edit& edit) {
  const std::string path = PathOf(fileName);
  std::string text;
  if (uint32_t err = m_files.ReadWholeFile(path, text)) {
    if (err != ERROR_FILE_NOT_FOUND) return err;
    if (!bCreate) return ERROR_SUCCESS;
    return m_files.WriteWholeFile(path, edit({}));
  }
  std::string changed = edit(text);
  return changed == text ? ERROR_SUCCESS : m_files.WriteWholeFile(path, changed);
}

std::string IniProfile::GetPrivateProfileString(const char* section, const char* key,
                                                const char* defaultValue,
                                                const std::string& fileName) {
  const std::string text = ReadText(fileName);
  const std::vector<IniLine> lines = ScanIniText(text);
  if (IsEmpty(section)) return SectionNames(lines);
  if (IsEmpty(key)) return SectionEntries(lines, section, false);
  IniSection found;
  if (FindIniSection(lines, section, found)) {
    if (size_t i = FindIniKey(lines, found, key); i != std::string::npos)
      return std::string(UnquoteIniValue(lines[i].value));
  }
  return TrimTrailingBlanks(defaultValue ? defaultValue : "");
}

int32_t IniProfile::GetPrivateProfileInt(const char* section, const char* key, int32_t nDefault,
                                         const std::string& fileName) {
  if (IsEmpty(section) || IsEmpty(key)) return nDefault;
  const std::string value = GetPrivateProfileString(section, key, "", fileName);
  return value.empty() ? nDefault : LeadingNumber(value);
}

uint32_t IniProfile::WritePrivateProfileString(const char* section, const char* key,
                                               const char* value, const std::string& fileName) {
  if (section == nullptr)
    return (key == nullptr && value == nullptr) ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
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
  if (IsEmpty(section)) return {};
  const std::string text = ReadText(fileName);
  return SectionEntries(ScanIniText(text), section, true);
}

uint32_t IniProfile::WritePrivateProfileSection(const char* section, std::string_view entries,
                                                const std::string& fileName) {
  if (IsEmpty(section)) return ERROR_INVALID_PARAMETER;
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
