// Writing one archive entry below a destination directory. The stored name is reduced to plain
// components first (no drive, no root, no "." or ".."), and every directory on the way is opened
// without following symbolic links, so that nothing an archive or an earlier file placed can lead
// a write outside the destination. A file is written under a temporary name and renamed when its
// data checked out, so a damaged entry never leaves a half-written file.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct archive;
struct archive_entry;

namespace unrar_module {

// The plain components of a stored name, with both '\' and '/' as separators: no drive, no root,
// no "." or "..", and ':' as '_' (no stream names).
std::vector<std::string> StoredNameComponents(const std::string& storedName);

// StoredNameComponents joined with '/'; empty when nothing remains.
std::string SanitiseStoredName(const std::string& storedName);

// Writes one block of an entry's data at its offset of the file; false when it could not.
using BlockWriter = std::function<bool(int64_t nOffset, const char* pBlock, size_t nBlock)>;

// Reads the entry's data, hands each block to `write` (when given) and checks the data against the
// CRC32 its header holds: ERAR_BAD_DATA when it differs or cannot be read, ERAR_EWRITE when a block
// could not be written.
int CopyEntryData(struct archive* pArchive, const BlockWriter& write,
                  std::optional<uint32_t> nDataCrc);

// Writes the entry's data (or creates the directory) at destDir/relName (destDir as the caller
// gives it, in its code page on Windows; relName UTF-8, as the archive stores it); data whose CRC32
// differs from the one the header holds is ERAR_BAD_DATA. Returns an ERAR_ code.
int WriteEntryBelow(const std::string& destDir, const std::string& relName,
                    struct archive* pArchive, struct archive_entry* pEntry,
                    std::optional<uint32_t> nDataCrc);

// Where an entry goes, by the system's own means (entry_writer_posix.cpp, entry_writer_win32.cpp):
// opened at the destination, it enters one folder at a time, creating it when missing and refusing
// what is no plain folder, and writes a file in the folder it is in, under a temporary name first.
class EntryDestination {
 public:
  virtual ~EntryDestination() = default;
  virtual bool EnterFolder(const std::string& name) = 0;
  // ERAR_ code.
  virtual int WriteFile(const std::string& name, struct archive* pArchive,
                        struct archive_entry* pEntry, std::optional<uint32_t> nDataCrc) = 0;
};

// The caller's destination folder, created with the folders above it when missing; null when it
// cannot be.
std::unique_ptr<EntryDestination> OpenEntryDestination(const std::string& destDir);

// Reads and drops the entry's data, reporting damaged data as the writer would. ERAR_ code.
int TestEntryData(struct archive* pArchive, std::optional<uint32_t> nDataCrc);

}  // namespace unrar_module
