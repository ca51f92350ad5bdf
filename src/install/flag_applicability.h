// Whether the copy flags of a copy line or of a section reference let it apply to this run: the
// platform words, the administrator, client, workstation and user setups, and the uninstall
// words. Copy lines and references share the rules except the last ones, which differ by form.
#pragma once
#include <cstdint>

namespace tarvium {

struct SetupRun;

enum class FlagForm { CopyLine, Reference };

bool FlagsApplyToRun(SetupRun& run, uint32_t dwFlags, FlagForm form);

}  // namespace tarvium
