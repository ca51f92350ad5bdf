// ExecuteCmd: the execution of one script line of a section, which returns 1 to go on and 0 when
// the line failed or the run must stop. The section processing hands it every line that is no
// section reference and no copy line. Until the command set is built, IF lines are run (their
// chosen command comes back to the section processing) and every other line is traced and
// passed over.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvium {

struct SetupRun;

// What the section processing passes with a line.
struct CommandPass {
  uint32_t dwOptionFlags = 0;   // flags of the option being processed
  uint32_t dwSectionFlags = 0;  // copy flags of the reference that led to the section
  bool bNotCarriedOut = false;  // a command this run does not carry out (admin or user setup)
};

// The end of a line's command name: its first token, up to a blank or '(' outside double quotes.
size_t CommandNameEnd(std::string_view text);

// bSizing measures the line instead of running it, adding its bytes to *pnBytes; without bMedia
// sound and picture lines are passed over.
int ExecuteCmd(SetupRun& run, const std::string& line, const CommandPass& pass, bool bSizing,
               bool bMedia, int64_t* pnBytes);

}  // namespace tarvium
