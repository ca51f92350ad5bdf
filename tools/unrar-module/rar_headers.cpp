// Header walker for RAR 4 (blocks of CRC16, type, flags, size) and RAR 5 (CRC32 and variable-
// length integers) archives. It reads each header into a bounded buffer and parses only the
// fields the summary needs; every read is checked against the header's own size.
#include "rar_headers.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "archive/unrar_api.h"

namespace unrar_module {
namespace {

constexpr unsigned char kRar4Mark[7] = {'R', 'a', 'r', '!', 0x1A, 0x07, 0x00};
constexpr unsigned char kRar5Mark[8] = {'R', 'a', 'r', '!', 0x1A, 0x07, 0x01, 0x00};
constexpr size_t kMaxRar5Header = 2 * 1024 * 1024;

// A cursor over one header's bytes; a read past the end sets bFailed and yields zero.
struct ByteCursor {
  const unsigned char* p;
  size_t nSize;
  size_t nPos = 0;
  bool bFailed = false;

  uint64_t ReadLittle(size_t nBytes) {
    if (nBytes > nSize - nPos) return Fail();
    uint64_t value = 0;
    for (size_t i = 0; i < nBytes; ++i) value |= uint64_t(p[nPos + i]) << (8 * i);
    nPos += nBytes;
    return value;
  }
  uint64_t ReadVint() {
    uint64_t value = 0;
    for (int shift = 0; shift < 70 && nPos < nSize; shift += 7) {
      const unsigned char byte = p[nPos++];
      value |= uint64_t(byte & 0x7F) << shift;
      if (!(byte & 0x80)) return value;
    }
    return Fail();
  }
  bool Skip(uint64_t nBytes) {
    if (nBytes > nSize - nPos) return Fail(), false;
    nPos += nBytes;
    return true;
  }
  uint64_t Fail() {
    bFailed = true;
    nPos = nSize;
    return 0;
  }
};

bool ReadExactly(std::FILE* file, void* buffer, size_t nBytes) {
  return std::fread(buffer, 1, nBytes, file) == nBytes;
}

bool SkipForward(std::FILE* file, uint64_t nBytes) {
  return nBytes <= INT64_MAX && fseeko(file, static_cast<off_t>(nBytes), SEEK_CUR) == 0;
}

// RAR 4: marker, then blocks until the end block or the end of the file.
void WalkRar4(std::FILE* file, RarHeaderSummary& summary) {
  constexpr unsigned kLongBlock = 0x8000, kFileEncrypted = 0x04, kFileLargeSizes = 0x100;
  for (;;) {
    unsigned char base[7];
    if (!ReadExactly(file, base, sizeof base)) return;
    const unsigned type = base[2];
    const unsigned flags = base[3] | base[4] << 8;
    const unsigned nHeadSize = base[5] | base[6] << 8;
    if (nHeadSize < sizeof base) return;
    std::string body(nHeadSize - sizeof base, '\0');
    if (!ReadExactly(file, body.data(), body.size())) return;
    ByteCursor cursor{reinterpret_cast<const unsigned char*>(body.data()), body.size()};
    uint64_t nAddSize = (flags & kLongBlock) ? cursor.ReadLittle(4) : 0;
    if (type == 0x73) summary.nArchiveFlags = flags & 0x1FF;  // MHD_ flags equal ROADF_ flags
    if (type == 0x74) {  // after PACK_SIZE: UNP_SIZE, HOST_OS, FILE_CRC, ..., HIGH_PACK_SIZE
      RarEntryInfo& entry = summary.entries.emplace_back();
      entry.bEncrypted = flags & kFileEncrypted;
      if (cursor.Skip(5)) entry.nDataCrc = static_cast<uint32_t>(cursor.ReadLittle(4));
      if ((flags & kFileLargeSizes) && cursor.Skip(12)) nAddSize |= cursor.ReadLittle(4) << 32;
    }
    if (type == 0x7B || cursor.bFailed || !SkipForward(file, nAddSize)) return;
  }
}

// RAR 5: the extra area of a file header holds an encryption record (type 1) for encrypted data.
bool HasEncryptionRecord(ByteCursor extra) {
  while (extra.nPos < extra.nSize && !extra.bFailed) {
    const uint64_t nRecord = extra.ReadVint();
    const size_t nStart = extra.nPos;
    if (extra.ReadVint() == 1 && !extra.bFailed) return true;
    extra.nPos = nStart;
    extra.Skip(nRecord);
  }
  return false;
}

// File flags, unpacked size, attributes, [time], [data CRC32], ...
void NoteRar5File(ByteCursor& cursor, ByteCursor extra, RarHeaderSummary& summary) {
  constexpr unsigned kTime = 0x02, kCrc = 0x04;
  RarEntryInfo& entry = summary.entries.emplace_back();
  entry.bEncrypted = HasEncryptionRecord(extra);
  const uint64_t flags = cursor.ReadVint();
  cursor.ReadVint();
  cursor.ReadVint();
  if (flags & kTime) cursor.Skip(4);
  const uint32_t nCrc = static_cast<uint32_t>(cursor.ReadLittle(4));
  if ((flags & kCrc) && !cursor.bFailed) entry.nDataCrc = nCrc;
}

void NoteRar5Header(ByteCursor& cursor, uint64_t type, uint64_t nExtra, RarHeaderSummary& summary) {
  constexpr unsigned kVolume = 0x01, kVolumeNumber = 0x02, kSolid = 0x04, kRecovery = 0x08,
                     kLocked = 0x10;
  if (type == 1) {
    const uint64_t flags = cursor.ReadVint();
    const uint64_t nVolume = (flags & kVolumeNumber) ? cursor.ReadVint() : 0;
    unsigned& out = summary.nArchiveFlags;
    out |= ROADF_NEWNUMBERING;
    if (flags & kVolume) out |= ROADF_VOLUME | (nVolume == 0 ? ROADF_FIRSTVOLUME : 0);
    if (flags & kSolid) out |= ROADF_SOLID;
    if (flags & kRecovery) out |= ROADF_RECOVERY;
    if (flags & kLocked) out |= ROADF_LOCK;
  } else if (type == 2 || type == 3) {
    const size_t nExtraStart = cursor.nSize - nExtra;
    ByteCursor extra{cursor.p + nExtraStart, nExtra};
    if (type == 2) NoteRar5File(cursor, extra, summary);
    // A service header named CMT holds the archive comment; its name ends the fixed fields.
    if (type == 3 && nExtraStart >= 3 && std::memcmp(cursor.p + nExtraStart - 3, "CMT", 3) == 0)
      summary.nArchiveFlags |= ROADF_COMMENT;
  }
}

void WalkRar5(std::FILE* file, RarHeaderSummary& summary) {
  for (;;) {
    unsigned char head[4 + 3];
    if (!ReadExactly(file, head, sizeof head)) return;
    ByteCursor sizeCursor{head + 4, 3};
    const uint64_t nSize = sizeCursor.ReadVint();
    if (sizeCursor.bFailed || nSize == 0 || nSize > kMaxRar5Header) return;
    std::string header(nSize, '\0');
    const size_t nHave = 3 - sizeCursor.nPos;  // header bytes already read with the size
    std::memcpy(header.data(), head + 4 + sizeCursor.nPos, std::min<size_t>(nHave, nSize));
    if (nSize < nHave) {
      if (fseeko(file, -static_cast<off_t>(nHave - nSize), SEEK_CUR) != 0) return;
    } else if (!ReadExactly(file, header.data() + nHave, nSize - nHave)) {
      return;
    }
    ByteCursor cursor{reinterpret_cast<const unsigned char*>(header.data()), header.size()};
    const uint64_t type = cursor.ReadVint();
    const uint64_t flags = cursor.ReadVint();
    const uint64_t nExtra = (flags & 0x01) ? cursor.ReadVint() : 0;
    const uint64_t nData = (flags & 0x02) ? cursor.ReadVint() : 0;
    if (cursor.bFailed || nExtra > cursor.nSize - cursor.nPos) return;
    if (type == 4) {  // archive encryption header: every later header is encrypted
      summary.nArchiveFlags |= ROADF_ENCHEADERS;
      return;
    }
    NoteRar5Header(cursor, type, nExtra, summary);
    if (type == 5 || !SkipForward(file, nData)) return;
  }
}

}  // namespace

bool ReadRarHeaderSummary(std::FILE* file, RarHeaderSummary& summary) {
  summary = {};
  unsigned char mark[8];
  if (!ReadExactly(file, mark, 7)) return false;
  if (std::memcmp(mark, kRar4Mark, 7) == 0) {
    WalkRar4(file, summary);
    return true;
  }
  if (!ReadExactly(file, mark + 7, 1) || std::memcmp(mark, kRar5Mark, 8) != 0) return false;
  WalkRar5(file, summary);
  return true;
}

}  // namespace unrar_module
