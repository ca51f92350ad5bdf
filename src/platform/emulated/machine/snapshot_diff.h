// Two snapshots (platform/machine_snapshot.h) compared into the lines of a diff, and the snapshot
// of an emulated machine.
#pragma once
#include <string>
#include <vector>

#include "platform/emulated/machine/emulated_machine.h"
#include "platform/machine_snapshot.h"

namespace platform::emulated {

using platform::MachineSnapshot;
using platform::SnapshotFile;

// A snapshot of the emulated machine: its writable drives and its whole registry.
bool TakeSnapshot(EmulatedMachine& machine, MachineSnapshot& snapshot, std::string& error);

// What a diff leaves out: with bRemoval, what the removal of a product leaves on purpose
// (removal_leftovers.h); and every line that one of the patterns matches as a whole ('*' any run
// of characters, '?' any one, without regard to case).
struct DiffFilter {
  bool bRemoval = false;
  std::vector<std::string> ignorePatterns;
};

// What changed from `before` to `after`, one line per file, folder, key or value, in path order:
// "+ file ...", "- key ...", "~ value ...". Folder times are not compared: a folder's time
// changes whenever anything in it does. Empty when nothing changed (or all of it is left out).
std::vector<std::string> DiffSnapshots(const MachineSnapshot& before, const MachineSnapshot& after,
                                       const DiffFilter& filter = {});

}  // namespace platform::emulated
