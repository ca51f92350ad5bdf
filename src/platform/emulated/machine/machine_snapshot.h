// A snapshot of what a setup can change on the emulated machine: every file and folder of its
// writable drives with size, attributes and last write time, and the registry (both hives) as
// .reg text. A snapshot is kept as a directory of two text files (files.tsv, registry.reg) so
// that a person can read it; two snapshots compare into the lines of a diff.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/emulated/machine/emulated_machine.h"

namespace platform::emulated {

struct SnapshotFile {
  std::string path;  // Windows path, ANSI
  bool bDirectory = false;
  uint64_t nSize = 0;
  uint32_t dwAttributes = 0;
  uint64_t ftLastWriteTime = 0;
};

struct MachineSnapshot {
  std::vector<SnapshotFile> files;  // in enumeration order
  std::string registryText;         // .reg text of HKEY_LOCAL_MACHINE and HKEY_USERS
};

bool TakeSnapshot(EmulatedMachine& machine, MachineSnapshot& snapshot, std::string& error);
bool SaveSnapshot(const MachineSnapshot& snapshot, const std::string& hostDir, std::string& error);
bool LoadSnapshot(const std::string& hostDir, MachineSnapshot& snapshot, std::string& error);

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
