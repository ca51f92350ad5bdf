// One object's explicit access list as the emulated machine keeps it: entries as lines of text,
// and the merge SetEntriesInAcl does of one new entry into a list. Pure functions over the list,
// tested without a machine. An entry reads
//
//   Allow 0x001F01FF OI|CI S-1-5-21-...-1002 alice
//
// (allow or deny, the access mask, the inheritance flags or "-", the trustee's SID and the name it
// was given by), so that `winmachine diff` shows what changed in words.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform::emulated {

struct StoredAccessEntry {
  bool bDeny = false;
  uint32_t dwRights = 0;
  uint32_t dwInheritance = 0;
  std::string sid;
  std::string trustee;
};

std::string FormatAccessEntry(const StoredAccessEntry& entry);
// Nothing for a line that is no entry.
std::optional<StoredAccessEntry> ParseAccessEntry(const std::string& line);

// SetEntriesInAcl with one entry of the mode (GRANT_ACCESS ... REVOKE_ACCESS): GRANT adds the
// rights to the trustee's allowing entry of the same inheritance, SET replaces the trustee's
// allowing entries, DENY adds the rights to its denying entry, REVOKE removes all its entries.
// Denying entries stay before allowing ones, the order Windows keeps. False for an unknown mode.
bool MergeAccessEntry(std::vector<StoredAccessEntry>& entries, uint32_t dwMode,
                      const StoredAccessEntry& change);

}  // namespace platform::emulated
