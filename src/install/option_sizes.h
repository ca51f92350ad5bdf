// The sizes of options and of a selection, and the free space they are compared with. An option's
// own size is measured by walking its section through the same dispatch as the install pass in
// sizing mode, so every rule of the pass (references, IF lines, applicability) decides what
// counts.
#pragma once
#include <cstdint>
#include <string>

namespace tarvium {

struct SetupRun;

// Measures every option's own sections (one computation: a referenced section counts once unless
// its reference has '!') and fills the subtree sizes.
void ComputeOptionSizes(SetupRun& run);

// The bytes the pass will handle for a mode (6102, 6105, 6108). In a modify run an installed
// option that is deselected adds its size when bRemovalsAsWork, else subtracts it.
int64_t SizeOfSelection(SetupRun& run, int nMode, bool bRemovalsAsWork);

struct FreeSpace {
  uint32_t nBytes = 0;  // both capped at 2147483647
  uint32_t nKiB = 0;
};

// The free space of the drive ("X:\") or share ("\\server\share\") of a path; 0 when unknown.
FreeSpace FreeSpaceOf(SetupRun& run, const std::string& path);

// What the selection of the run's mode needs against the free space on the drive of the
// application directory (the target named in message 5566).
struct SelectionSpace {
  std::string target;
  int64_t nNeeded = 0;
  uint32_t nFreeBytes = 0;
  bool Fits() const { return static_cast<int64_t>(nFreeBytes) >= nNeeded; }
};
SelectionSpace SpaceForSelection(SetupRun& run);

// The root a path's free space is asked for.
std::string FreeSpaceRoot(const std::string& path);

}  // namespace tarvium
