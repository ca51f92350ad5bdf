// Names and paths of the emulated registry: how key and value names compare, how a root-relative
// key path splits into names, and where the five roots and the 32-bit view lead in the two stored
// hives. Kept apart from the store so that these rules are pure functions, tested without SQLite.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace platform::emulated {

inline constexpr size_t kMaxKeyNameLen = 255;      // one key name, as Windows limits it
inline constexpr size_t kMaxValueNameLen = 16383;  // one value name
inline constexpr size_t kMaxKeyDepth = 512;        // keys from the hive down, as Windows limits it

// The two hives that are stored; every root is a key somewhere below one of them.
inline constexpr std::string_view kMachineHive = "HKEY_LOCAL_MACHINE";
inline constexpr std::string_view kUsersHive = "HKEY_USERS";
inline constexpr std::string_view kRedirectedKey = "WOW6432Node";

// The name as the registry compares it: ASCII and Windows-1252 letters upper-cased.
std::string FoldRegName(std::string_view name);

// Text of a Windows "A" call ends at its first zero byte.
std::string_view CutAtNul(std::string_view text);

// A key path resolved to the names of its keys from the hive down ("HKEY_LOCAL_MACHINE",
// "SOFTWARE", ...), after the root and the view have been applied.
struct KeyPath {
  std::vector<std::string> names;
  size_t nRootNames = 0;  // how many leading names stand for the root itself
};

// Splits keyPath below root and applies the view. Trailing backslashes are ignored; a leading one
// is ERROR_BAD_PATHNAME except below HKEY_CLASSES_ROOT, which Windows tolerates; an empty name
// between two backslashes is ERROR_INVALID_PARAMETER. A name longer than kMaxKeyNameLen is
// ERROR_INVALID_PARAMETER when bCreating, else ERROR_FILE_NOT_FOUND (such a key cannot exist);
// so is a path deeper than kMaxKeyDepth.
uint32_t ResolveKeyPath(RegRoot root, std::string_view keyPath, RegView view,
                        const std::string& userSid, bool bCreating, KeyPath& path);

// The keys every machine has because a root or the 32-bit view stands on them.
std::vector<std::vector<std::string>> StructuralKeys(const std::string& userSid);

}  // namespace platform::emulated
