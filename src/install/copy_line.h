// The processor of copy lines: reads the line, adds the flags the engine derives, decides whether
// the line applies to the run, resolves its paths, finds its source on the media, carries out the
// lines that create or delete, and hands every other line to the copy procedure (twice for the
// administrator setup's second copy of a system file).
#pragma once
#include <cstdint>
#include <string>

#include "install/copy_line_fields.h"
#include "install/copy_line_paths.h"

namespace tarvium {

struct SetupRun;
struct SectionCall;

// The most destinations of CHECKRTVERSION lines one run collects.
inline constexpr size_t kMaxRuntimeChecks = 4096;

// What a copy line is read and resolved into. The engine keeps one from line to line, so that
// its strings keep their room: every line of a section builds the same few strings.
struct CopyLineRoom {
  CopyLineFields fields;
  CopyLinePaths paths;
  bool bInUse = false;  // a line being processed has it
};

// One copy line of a section; false fails the section.
bool ProcessCopyLine(SetupRun& run, const std::string& line, const SectionCall& call);

// The flags the engine adds to (and removes from) a line's flags for its destination, which has
// its variables replaced.
uint32_t AddEngineFlags(SetupRun& run, uint32_t dwCopyFlags, const std::string& destination,
                        const std::string& source);

}  // namespace tarvium
