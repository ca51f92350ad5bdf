// Building the option table from the option sections: icons, the always-installed "Copy" options
// and the selectable "Options", their installed and selected states, the tree, the dependencies,
// the exclusive groups and the sizes.
#pragma once

namespace tarvium {

struct SetupRun;

// Releases a previous table first. False when a flag word was wrong (5530) or a parent missing
// (5533): the run is then marked aborted.
bool BuildOptions(SetupRun& run);

}  // namespace tarvium
