// Loading, decoding and section lookup of InfFile. The key index of a section is built by
// reading the section exactly as a key lookup would (256-byte lines, comments dropped, no
// continuation), so an indexed answer is always the answer a scan would give.
#include "engine/inf_file.h"

#include <new>

#include "engine/ansi_text.h"
#include "engine/inf_reader.h"
#include "engine/setup_run.h"
#include "platform/ansi_case.h"
#include "platform/code_page.h"
#include "platform/ini_encoding.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

constexpr size_t kKeyLineSize = 256;

const char* LineEnd(const char* p) {
  while (*p && !IsLineEnd(*p)) ++p;
  return p;
}

const char* NextLineStart(const char* p) {
  while (*p && *p != '\n') ++p;
  return *p ? p + 1 : p;
}

// The header name: the text between '[' and the first ']' of the line, or nothing.
std::optional<std::string_view> HeaderName(const char* header) {
  const char* end = LineEnd(header);
  std::string_view line(header + 1, static_cast<size_t>(end - header - 1));
  const size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return line.substr(0, close);
}

// The text a section header starts with: "[" + name + "]".
std::string HeaderPattern(std::string_view name) {
  std::string pattern;
  pattern.reserve(name.size() + 2);
  pattern.append(1, '[').append(name).append(1, ']');
  return pattern;
}

std::u16string Utf16FromBytes(std::string_view bytes) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  return units;
}

}  // namespace

InfFile::InfFile() : text_(2, '\0') {}

InfFile::InfFile(std::vector<char> text) : text_(std::move(text)) {
  text_.push_back('\0');
  text_.push_back('\0');
  nLength_ = std::string_view(text_.data()).size();
}

void InfFile::BuildSectionIndex() {
  sectionIndex_.clear();
  firstSectionByName_.clear();
  const std::string_view text = View();
  // Headers are rare among the lines: the search jumps from one '[' to the next.
  for (size_t i = text.find('['); i != std::string_view::npos; i = text.find('[', i + 1)) {
    if (i > 0 && text[i - 1] != '\n') continue;
    const char* header = text_.data() + i;
    sectionIndex_.push_back(header);
    if (auto name = HeaderName(header))
      firstSectionByName_.try_emplace(platform::AnsiUpper(*name), header);
  }
  sectionIndex_.push_back(nullptr);
  bIndexed_ = true;
}

const char* InfFile::FindIndexedSection(std::string_view name) const {
  if (name.find(']') == std::string_view::npos) {
    auto it = firstSectionByName_.find(platform::AnsiUpper(name));
    return it == firstSectionByName_.end() ? nullptr : NextLineStart(it->second);
  }
  // A name holding ']' cannot be a hashed header name; match it as the header's prefix.
  const std::string pattern = HeaderPattern(name);
  for (const char* header : sectionIndex_)
    if (header &&
        platform::AnsiStartsWithNoCase(std::string_view(header, LineEnd(header) - header), pattern))
      return NextLineStart(header);
  return nullptr;
}

InfFile::KeyLines InfFile::IndexKeys(const char* sectionStart) {
  KeyLines keys;
  std::string line;
  for (const char* pos = sectionStart; pos;) {
    const char* next = ReadLine(pos, &line, kKeyLineSize, false, false);
    if (!next) break;
    const size_t eq = line.find('=');
    if (eq != std::string::npos) {
      const char* content = pos;
      while (IsAnsiSpace(*content) && *content != '\r') ++content;
      const std::string key =
          platform::AnsiUpper(TrimAnsiRight(std::string_view(line).substr(0, eq)));
      keys[key].push_back({pos, content + eq + 1, content + line.size()});
    }
    pos = next;
  }
  return keys;
}

const std::vector<InfKeyLine>* InfFile::FindKeyLines(const char* sectionStart,
                                                     std::string_view key) const {
  auto section = keyLinesBySection_.find(sectionStart);
  if (section == keyLinesBySection_.end())
    section = keyLinesBySection_.emplace(sectionStart, IndexKeys(sectionStart)).first;
  auto it = section->second.find(platform::AnsiUpper(key));
  return it == section->second.end() ? nullptr : &it->second;
}

std::vector<char> DecodeText(std::string_view bytes, TextEncoding& encoding) {
  encoding = TextEncoding::Ansi;
  std::string converted;
  if (bytes.size() > 1 && bytes.starts_with("\xEF\xBB\xBF")) {
    encoding = TextEncoding::Utf8;
    converted = platform::Utf8ToAnsi(bytes.substr(3));
  } else if (bytes.size() > 1 && bytes.starts_with("\xFF\xFE")) {
    encoding = TextEncoding::Utf16Le;
    converted = platform::Utf16ToAnsi(Utf16FromBytes(bytes.substr(2)));
  } else {
    return std::vector<char>(bytes.begin(), bytes.end());
  }
  return std::vector<char>(converted.begin(), converted.end());
}

std::string EncodeText(std::string_view text, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8:
      return "\xEF\xBB\xBF" + platform::AnsiToUtf8(text);
    case TextEncoding::Utf16Le:
      return platform::EncodeIniText(text, platform::IniEncoding::Utf16Le);
    case TextEncoding::Ansi:
      break;
  }
  return std::string(text);
}

std::optional<InfFile> LoadTextFile(SetupRun& run, const std::string& path,
                                    TextEncoding& encoding) {
  encoding = TextEncoding::Ansi;
  try {
    std::string bytes;
    const uint32_t err = run.machine.Files().ReadWholeFile(path, bytes);
    if (err == platform::ERROR_NOT_ENOUGH_MEMORY) {
      ShowMessage(run, 5500);
      return std::nullopt;
    }
    if (err != platform::ERROR_SUCCESS) {
      ShowMessage(run, err == platform::ERROR_READ_FAULT ? 5502 : 5501, path);
      return std::nullopt;
    }
    return InfFile(DecodeText(bytes, encoding));
  } catch (const std::bad_alloc&) {
    ShowMessage(run, 5500);
    return std::nullopt;
  }
}

bool BuildSectionIndex(SetupRun& run, InfFile& inf) {
  try {
    inf.BuildSectionIndex();
    return true;
  } catch (const std::bad_alloc&) {
    ShowMessage(run, 5500);
    return false;
  }
}

const char* FindSection(const InfFile& inf, std::string_view name) {
  if (inf.HasSectionIndex()) return inf.FindIndexedSection(name);
  const std::string pattern = HeaderPattern(name);
  const std::string_view text = inf.View();
  for (size_t i = 0; i + pattern.size() <= text.size(); ++i)
    if (platform::AnsiStartsWithNoCase(text.substr(i), pattern))
      return NextLineStart(text.data() + i);
  return nullptr;
}

}  // namespace tarvium
