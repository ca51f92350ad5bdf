// What writing an entry takes on every system: the stored name reduced to plain components, the
// walk through its folders, and the entry's data read block by block against its CRC32.
#include "entry_writer.h"

#include <archive.h>
#include <archive_entry.h>
#include <zlib.h>

#include "archive/unrar_api.h"

namespace unrar_module {

std::vector<std::string> StoredNameComponents(const std::string& storedName) {
  std::vector<std::string> parts;
  std::string part;
  for (size_t i = 0; i <= storedName.size(); ++i) {
    if (i == storedName.size() || storedName[i] == '/' || storedName[i] == '\\') {
      const bool bDrive = parts.empty() && part.size() == 2 && part[1] == ':';
      if (!part.empty() && part != "." && part != ".." && !bDrive) {
        for (char& c : part)
          if (c == ':') c = '_';  // no stream names, no drive in the middle
        parts.push_back(part);
      }
      part.clear();
    } else {
      part += storedName[i];
    }
  }
  return parts;
}

std::string SanitiseStoredName(const std::string& storedName) {
  std::string joined;
  for (const std::string& part : StoredNameComponents(storedName))
    joined += (joined.empty() ? "" : "/") + part;
  return joined;
}

// Stored RAR data comes in order, so the CRC runs over the blocks as they come.
int CopyEntryData(struct archive* pArchive, const BlockWriter& write,
                  std::optional<uint32_t> nDataCrc) {
  const void* pBlock = nullptr;
  size_t nBlock = 0;
  la_int64_t nOffset = 0;
  uLong nCrc = crc32(0, nullptr, 0);
  for (;;) {
    const int r = archive_read_data_block(pArchive, &pBlock, &nBlock, &nOffset);
    if (r == ARCHIVE_EOF) return !nDataCrc || *nDataCrc == nCrc ? ERAR_SUCCESS : ERAR_BAD_DATA;
    if (r != ARCHIVE_OK) return ERAR_BAD_DATA;
    nCrc = crc32(nCrc, static_cast<const Bytef*>(pBlock), static_cast<uInt>(nBlock));
    if (write && !write(nOffset, static_cast<const char*>(pBlock), nBlock)) return ERAR_EWRITE;
  }
}

int WriteEntryBelow(const std::string& destDir, const std::string& relName,
                    struct archive* pArchive, struct archive_entry* pEntry,
                    std::optional<uint32_t> nDataCrc) {
  const std::vector<std::string> parts = StoredNameComponents(relName);
  if (parts.empty()) return ERAR_ECREATE;
  const std::unique_ptr<EntryDestination> destination = OpenEntryDestination(destDir);
  if (!destination) return ERAR_ECREATE;
  const bool bDirectory = archive_entry_filetype(pEntry) == AE_IFDIR;
  const size_t nFolders = bDirectory ? parts.size() : parts.size() - 1;
  for (size_t i = 0; i < nFolders; ++i)
    if (!destination->EnterFolder(parts[i])) return ERAR_ECREATE;
  if (bDirectory) return ERAR_SUCCESS;
  if (archive_entry_filetype(pEntry) != AE_IFREG) return TestEntryData(pArchive, {});  // no links
  return destination->WriteFile(parts.back(), pArchive, pEntry, nDataCrc);
}

int TestEntryData(struct archive* pArchive, std::optional<uint32_t> nDataCrc) {
  return CopyEntryData(pArchive, {}, nDataCrc);
}

}  // namespace unrar_module
