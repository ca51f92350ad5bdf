// A snapshot of what a setup can change on a machine, emulated or Windows itself: every file and
// folder below the given roots with size, attributes and last write time, and the registry (both
// hives) as .reg text. A snapshot is kept as a directory of two text files (files.tsv,
// registry.reg) so that a person can read it; winmachine compares two of them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/registry.h"

namespace platform {

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

// What a snapshot takes: the folders listed with all below them ("C:", "D:\Data"), and the
// registry keys left out with their subkeys (patterns of full names, as ExportWholeRegistry
// takes them).
struct SnapshotScope {
  std::vector<std::string> roots;
  std::vector<std::string> skippedKeys;
};

bool TakeSnapshot(FileSystem& files, Registry& registry, const SnapshotScope& scope,
                  MachineSnapshot& snapshot, std::string& error);
bool SaveSnapshot(const MachineSnapshot& snapshot, const std::string& hostDir, std::string& error);
bool LoadSnapshot(const std::string& hostDir, MachineSnapshot& snapshot, std::string& error);

}  // namespace platform
