// What the module reads from a RAR archive's headers by itself, beside libarchive: the main
// header's flags (libarchive does not expose them) and which file entries are encrypted
// (libarchive 3.6 does not mark encrypted RAR 5 entries, and hands out encrypted stored data as
// if it were plain), and the CRC32 of each entry's data (libarchive 3.6 does not check it for
// stored entries). Both RAR 4 and RAR 5 headers are walked; data areas are skipped by seeking.
#pragma once
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

namespace unrar_module {

struct RarEntryInfo {
  bool bEncrypted = false;
  std::optional<uint32_t> nDataCrc;  // when the header holds one
};

struct RarHeaderSummary {
  unsigned int nArchiveFlags = 0;     // ROADF_ flags of the main header
  std::vector<RarEntryInfo> entries;  // one per file header, in archive order
};

// Walks the headers of the archive open in `file`. False when the file does not start with a
// RAR signature; a damaged header ends the walk with what was read up to it.
bool ReadRarHeaderSummary(std::FILE* file, RarHeaderSummary& summary);

}  // namespace unrar_module
