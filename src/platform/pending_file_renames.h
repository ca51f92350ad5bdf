// The renames and deletes a machine carries out at its next restart, kept where Windows keeps
// them: the REG_MULTI_SZ value PendingFileRenameOperations of
// HKLM\SYSTEM\CurrentControlSet\Control\Session Manager, a list of pairs in the order they run.
// Each pair is the source as a kernel path ("\??\C:\dir\file") and the target: the same form, with
// a leading '!' when it may replace an existing file, or an empty string for a delete.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/registry.h"

namespace platform {

inline constexpr const char* kSessionManagerKey =
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
inline constexpr const char* kPendingFileRenamesValue = "PendingFileRenameOperations";

struct PendingFileRename {
  std::string ntSource;           // "\??\C:\dir\file"
  std::string ntTarget;           // without the '!'; empty for a delete
  bool bReplaceExisting = false;  // the target was written with a leading '!'
};

// What became of one operation when the list was carried out.
struct PendingRenameOutcome {
  PendingFileRename rename;
  uint32_t dwError = 0;  // ERROR_SUCCESS or why the file system refused it
};

// The value's bytes for a list of operations, and the list of a value's bytes (a list cut short
// keeps its complete pairs).
std::vector<uint8_t> EncodePendingFileRenames(const std::vector<PendingFileRename>& renames);
std::vector<PendingFileRename> DecodePendingFileRenames(const std::vector<uint8_t>& data);

// The Windows path of a kernel path: "\??\C:\x" is "C:\x", "\??\UNC\srv\share" is "\\srv\share".
std::string Win32PathOfNtPath(std::string_view ntPath);

// The list as the registry holds it (empty when the value is missing).
uint32_t ReadPendingFileRenames(Registry& registry, std::vector<PendingFileRename>& renames);
// Appends one operation to the end of the list.
uint32_t AppendPendingFileRename(Registry& registry, const PendingFileRename& rename);
// What a restart does: carries out the list in order through `files` (a failing operation is
// skipped, as Windows skips it) and removes the value. Each outcome is reported in pOutcomes.
uint32_t RunPendingFileRenames(Registry& registry, FileSystem& files,
                               std::vector<PendingRenameOutcome>* pOutcomes = nullptr);

}  // namespace platform
