// Building the option table from the option sections: icons, the always-installed "Copy" options
// and the selectable "Options", their installed and selected states, the tree, the dependencies,
// the exclusive groups and the sizes.
#pragma once
#include <cstddef>

namespace tarvium {

struct SetupRun;

// The most characters an option's name, description or help keeps; the rest is cut off.
inline constexpr size_t kOptionTextMax = 255;

// Releases a previous table first. False when a flag word was wrong (5530) or a parent missing
// (5533): the run is then marked aborted.
bool BuildOptions(SetupRun& run);

}  // namespace tarvium
