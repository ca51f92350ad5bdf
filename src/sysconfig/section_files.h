// The steps that the sections editing INI, batch and config files share: finding the section,
// reading its `Path` key, walking its lines (last to first in an uninstall pass), creating a
// missing file with its directories, reading a file as ANSI text and writing it anew in its own
// encoding with the catalog's messages.
#pragma once
#include <functional>
#include <initializer_list>
#include <string>

#include "platform/ini_encoding.h"

namespace tarvium {

struct SetupRun;

// Whether the section exists in the setup information file.
bool SectionExists(SetupRun& run, const std::string& section);

// The section's key as text (cut to nSize - 1 characters), variables substituted; empty when
// absent.
std::string ReadSectionKey(SetupRun& run, const std::string& section, const char* key,
                           size_t nSize);

// The section's `Path` key with variables substituted and a trailing '\', or empty.
std::string ReadSectionPath(SetupRun& run, const std::string& section);

// Hands each non-empty line of the section to `apply` (last to first in an uninstall pass), with
// the run's position set to it, except the lines of the section's own keys (`Caption`, `Path`);
// stops at the first false, which it returns. A line is read up to nLineSize characters.
inline constexpr size_t kSectionLineSize = 64768;
bool ForEachSectionLine(SetupRun& run, const std::string& section,
                        std::initializer_list<const char*> ownKeys,
                        const std::function<bool(const std::string& line)>& apply,
                        size_t nLineSize = kSectionLineSize);

// Creates the file empty when it does not exist, with the directories above it; 5504 with the
// path and false when it cannot be created.
bool CreateFileIfMissing(SetupRun& run, const std::string& path);

// The file's text in ANSI (UTF-16LE and UTF-8 files with their byte-order mark converted) and
// the encoding to write it back in; false when the file cannot be read.
bool ReadFileText(SetupRun& run, const std::string& path, std::string& text,
                  platform::IniEncoding& encoding);

// Writes the ANSI text anew in the file's encoding; 5503 when the disk takes less than the text,
// 5504 when the file cannot be opened for writing.
bool WriteFileAnew(SetupRun& run, const std::string& path, const std::string& text,
                   platform::IniEncoding encoding = platform::IniEncoding::Ansi);

}  // namespace tarvium
