// .reg text, the registry editor's exchange format, for the emulated machine: reading it into a
// list of operations (pure: no registry needed) and applying those to a Registry (writing it out
// is reg_export.h). Reading follows Windows' reg import: the first line must be "Windows
// Registry Editor Version 5.00" or "REGEDIT4" (blanks before it allowed), the text may be UTF-8
// (with or without BOM), UTF-16LE with BOM, or Windows-1252, and a line that cannot be read is
// skipped, with the reason, while the rest of the file is read. Names and strings come out as the engine's
// Windows-1252 text.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/reg_export.h"
#include "platform/reg_root_names.h"
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

enum class RegTextReading {
  AsRegExe,  // string data given as hex gets its terminating zero when it lacks one, as reg does
  Exact,     // hex data stays byte for byte (snapshots, which keep unterminated strings)
};

// Reads .reg text. Only a text whose first line is no registry header is refused
// (ERROR_INVALID_DATA, with the reason in error); a "REGEDIT..." header of another version (the
// Windows 3.1 format) reads as nothing. Lines that cannot be read are left out of ops and listed
// in skipped when it is given.
uint32_t ParseRegText(std::string_view bytes, std::vector<RegTextOp>& ops, RegTextError& error,
                      std::vector<RegTextError>* skipped = nullptr,
                      RegTextReading reading = RegTextReading::AsRegExe);

// Applies operations in order, on the SQLite registry as one transaction: when the registry
// refuses one, none of them stays. Deleting a key or value that is not there is not an error (as
// the registry editor has it); any other failure stops with the registry's error code and the
// operation's line.
uint32_t ApplyRegTextOps(Registry& registry, const std::vector<RegTextOp>& ops, RegTextError& error,
                         RegView view = RegView::Default);

// ParseRegText and then ApplyRegTextOps.
uint32_t ImportRegText(Registry& registry, std::string_view bytes, RegTextError& error,
                       RegView view = RegView::Default,
                       std::vector<RegTextError>* skipped = nullptr);

}  // namespace platform::emulated
