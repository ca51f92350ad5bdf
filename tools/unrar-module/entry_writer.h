// Writing one archive entry below a destination directory. The stored name is reduced to plain
// components first (no drive, no root, no "." or ".."), and every directory on the way is opened
// without following symbolic links, so that nothing an archive or an earlier file placed can lead
// a write outside the destination. A file is written under a temporary name and renamed when its
// data checked out, so a damaged entry never leaves a half-written file.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

struct archive;
struct archive_entry;

namespace unrar_module {

// The components of a stored name with both '\' and '/' as separators, joined with '/'; empty when
// nothing remains.
std::string SanitiseStoredName(const std::string& storedName);

// Writes the entry's data (or creates the directory) at destDir/relName; data whose CRC32 differs
// from the one the header holds is ERAR_BAD_DATA. Returns an ERAR_ code.
int WriteEntryBelow(const std::string& destDir, const std::string& relName,
                    struct archive* pArchive, struct archive_entry* pEntry,
                    std::optional<uint32_t> nDataCrc);

// Reads and drops the entry's data, reporting damaged data as the writer would. ERAR_ code.
int TestEntryData(struct archive* pArchive, std::optional<uint32_t> nDataCrc);

}  // namespace unrar_module
