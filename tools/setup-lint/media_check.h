// The setup's media as the engine finds a copy line's source on them at run time: MEDIA_DIR is
// the source directory (%Src%) of a run on an emulated machine, reached through its Windows
// path, and the engine's own lookup (plain file, the medium's cabinet, the compressed "_" name)
// and cabinet reader answer. Each media folder is listed once, so that a file of thousands of
// copy lines costs a few directory listings rather than a query per line.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "engine/inf_file.h"
#include "install/copy_line_fields.h"
#include "lint_report.h"
#include "option_walk.h"

namespace tarvium::lint {

enum class SourceState { Unknown, Found, Missing, NotInCabinet };

struct SourceOnMedia {
  SourceState state = SourceState::Unknown;  // Unknown: a directory, delete or run-time source
  std::string where;                         // the file or cabinet looked at (Windows path)
  uint64_t nSize = 0;                        // the size the installed file has, when found
  uint32_t dwError = 0;                      // NotInCabinet: why the cabinet did not give it
  bool bOptional = false;                    // OPTIONAL: a missing source is skipped silently
  bool bSizeAsked = false;  // a size other than the line's asks 5517 in an interactive run
};

class Media {
 public:
  Media();
  ~Media();
  // Opens the machine in machineDir (a fresh temporary one when empty) with mediaDir (a host
  // path) as its source directory; false with a one-line reason.
  bool Open(const std::string& machineDir, const std::string& mediaDir, const InfFile& inf,
            std::string& error);
  // Where the copy line's source is; bNeedSize expands a compressed "_" file to learn the size
  // it is installed with.
  SourceOnMedia Find(const std::string& copyLine, bool bNeedSize);
  // The same for a line already split (ParseCopyLine).
  SourceOnMedia Find(CopyLineFields fields, bool bNeedSize);
  // Lists the media folders anew when next asked: after a file on them was written.
  void ForgetListings();
  // The machine's path of a host file ("Z:\\..."); empty when the machine has none.
  std::string WindowsPathOf(const std::string& hostPath) const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Whether dir holds an emulated machine.
bool IsMachineDirectory(const std::string& dir);

// Reports every copy line met whose source is not on the media [missing-source], and every one
// whose size field differs from the size its source is installed with [wrong-size].
void CheckMissingSources(Media& media, const WalkResult& walk, LintReport& report);

}  // namespace tarvium::lint
