// Editing batch files one line at a time (autoexec.bat and any other batch file): SET lines,
// PATH lines whose directory is merged into the path list (in front, or at the end with '>'),
// and command lines, each added, replaced or removed. Pure text, so it is tested and fuzzed
// without a machine; the caller decides whether the text comes from a file or is built from the
// environment in the registry.
#pragma once
#include <string>
#include <string_view>

namespace tarvium {

enum class BatLineKind { Command, Set, Path };

// One batch line as the editor reads it.
struct BatLine {
  BatLineKind kind = BatLineKind::Command;
  bool bSetsPath = false;  // a SET line whose variable is PATH (also kind Set)
  std::string name;        // the SET variable ("PATH" for PATH lines)
  std::string value;       // the SET value or the path list
};

BatLine ClassifyBatLine(std::string_view line);

// The longest line the editor handles; longer lines are cut.
inline constexpr size_t kBatLineMax = 64767;

// Applies one line of a batch section to the text: a leading '-' deletes; in an uninstall pass a
// delete line changes nothing and any other line deletes. Lines end in CR LF, LF or CR; lines
// the edit writes end in CR LF.
std::string EditBatText(std::string_view text, std::string_view line, bool bUninstall);

}  // namespace tarvium
