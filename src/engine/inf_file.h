// InfFile: a setup information file (or any INI-like text) loaded whole into memory as 8-bit
// ANSI text followed by two zero bytes. Every question about the file is answered by scanning
// this text through positions (pointers into it); nothing is parsed into a tree. The main file
// gets a section index so that finding a section does not depend on the size of the file; the
// key lookups of a section are indexed on first use, keeping "the first line wins".
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarvium {

struct SetupRun;

enum class TextEncoding : int { Ansi = 0, Utf8 = 1, Utf16Le = 2 };

// One key line of a section, as the key lookups find it.
struct InfKeyLine {
  const char* pLine;   // where the line starts (a position ReadLine reads it from)
  const char* pValue;  // right after the line's first '='
  const char* pCut;    // where a 256-byte line buffer cut the line (or the line end)
};

class InfFile {
 public:
  InfFile();
  // Takes the text as it will be read (already converted to ANSI).
  explicit InfFile(std::vector<char> text);
  InfFile(InfFile&&) = default;
  InfFile& operator=(InfFile&&) = default;
  InfFile(const InfFile&) = delete;
  InfFile& operator=(const InfFile&) = delete;

  const char* Text() const { return text_.data(); }
  // The text up to its end: the first zero byte.
  std::string_view View() const { return {text_.data(), nLength_}; }

  // Indexes every '[' at the start of the text or after a line feed. Only the main setup
  // information file is indexed; other texts are searched.
  void BuildSectionIndex();
  bool HasSectionIndex() const { return bIndexed_; }
  const std::vector<const char*>& SectionIndex() const { return sectionIndex_; }

  // The first section whose header starts with "[" + name + "]", from the index.
  const char* FindIndexedSection(std::string_view name) const;
  // The key lines of the section starting at sectionStart, grouped by folded key, in file order.
  const std::vector<InfKeyLine>* FindKeyLines(const char* sectionStart, std::string_view key) const;
  // Room for where the lines of the section starting at sectionStart begin, as OpenSection finds
  // them with or without continued lines; empty until it was filled.
  std::vector<const char*>& LineStartsRoom(const char* sectionStart, bool bContinuation) const {
    return lineStartsBySection_[bContinuation ? 1 : 0][sectionStart];
  }

 private:
  using KeyLines = std::unordered_map<std::string, std::vector<InfKeyLine>>;
  static KeyLines IndexKeys(const char* sectionStart);

  std::vector<char> text_;  // the text, then two zero bytes
  size_t nLength_ = 0;
  bool bIndexed_ = false;
  std::vector<const char*> sectionIndex_;
  std::unordered_map<std::string, const char*> firstSectionByName_;
  mutable std::unordered_map<const char*, KeyLines> keyLinesBySection_;
  // Without and with continued lines: a section is walked by the size computation and again by
  // the installation, which then need not find its lines again.
  mutable std::array<std::unordered_map<const char*, std::vector<const char*>>, 2>
      lineStartsBySection_;
};

// Loads a file as the engine reads every text: a UTF-8 or UTF-16LE byte-order mark selects a
// conversion to ANSI, anything else is taken byte for byte. Failures show 5500 (memory), 5501
// (open) or 5502 (read) and give no text.
std::optional<InfFile> LoadTextFile(SetupRun& run, const std::string& path, TextEncoding& encoding);
// The same conversion over bytes already read.
std::vector<char> DecodeText(std::string_view bytes, TextEncoding& encoding);
// The reverse: ANSI text as the bytes of a file in `encoding`, with its byte-order mark, so that a
// text read with LoadTextFile is written back as it was stored.
std::string EncodeText(std::string_view text, TextEncoding encoding);

// Builds the index of the main file; 5500 and false when memory runs out.
bool BuildSectionIndex(SetupRun& run, InfFile& inf);

// The start of the first line after the header of section `name`, or null. The main file
// (indexed) finds headers at line starts only; other texts take the first "[name]" anywhere.
const char* FindSection(const InfFile& inf, std::string_view name);

}  // namespace tarvium
