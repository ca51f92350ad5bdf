// .reg text, the registry editor's exchange format, for the emulated machine: reading it into a
// list of operations (pure: no registry needed), applying those to a Registry, and writing a key
// tree out. Reading takes "Windows Registry Editor Version 5.00" and "REGEDIT4" files in UTF-8
// (with or without BOM), UTF-16LE with BOM, or Windows-1252; writing produces version 5 text in
// UTF-8 without BOM, with CRLF line ends and hex data wrapped at 80 columns as the editor writes.
// Names and strings come out as the engine's Windows-1252 text.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace platform::emulated {

struct RegTextOp {
  enum class Kind { CreateKey, DeleteTree, SetValue, DeleteValue };
  Kind kind = Kind::CreateKey;
  RegRoot root = RegRoot::LocalMachine;
  std::string keyPath;    // below the root, without leading or trailing backslash
  std::string valueName;  // SetValue and DeleteValue; empty for the default value
  RegValue value;         // SetValue
  uint32_t nLine = 0;     // line of the text the operation comes from (1-based)
};

struct RegTextError {
  uint32_t nLine = 0;   // 0 when the error is not about one line
  std::string message;  // what was wrong, in English
};

// Reads .reg text. A malformed line stops the reading: the result is ERROR_INVALID_DATA with the
// line and the reason in error, and ops holds nothing of that line.
uint32_t ParseRegText(std::string_view bytes, std::vector<RegTextOp>& ops, RegTextError& error);

// Applies operations in order. Deleting a key or value that is not there is not an error (as the
// registry editor has it); any other failure stops with the registry's error code and the line.
uint32_t ApplyRegTextOps(Registry& registry, const std::vector<RegTextOp>& ops, RegTextError& error,
                         RegView view = RegView::Default);

// ParseRegText and then ApplyRegTextOps: a malformed file changes nothing.
uint32_t ImportRegText(Registry& registry, std::string_view bytes, RegTextError& error,
                       RegView view = RegView::Default);

// Writes keyPath below root with all its subkeys as version 5 text (the whole root when keyPath
// is empty). ERROR_FILE_NOT_FOUND when the key is not there.
uint32_t ExportRegText(Registry& registry, RegRoot root, const std::string& keyPath,
                       std::string& text, RegView view = RegView::Default);

// Both hives, HKEY_LOCAL_MACHINE and HKEY_USERS (which hold every other root), as one text.
uint32_t ExportWholeRegistry(Registry& registry, std::string& text);

// The name the files give a root ("HKEY_LOCAL_MACHINE", ...).
std::string_view RegRootName(RegRoot root);

}  // namespace platform::emulated
