// The data of one zip entry, read and written raw through minizip (which only keeps the headers
// and the central directory): zlib inflates and deflates, ZipCrypto decrypts and encrypts, and
// the reader checks size and CRC32 itself. Doing the data here is what gives traditional
// encryption on top of Debian's minizip, and it puts the limits against zip bombs where the bytes
// are produced.
#pragma once
#include <unzip.h>
#include <zip.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tarvium {

enum class EntryDataResult {
  Ok,
  BadPassword,    // encrypted, and no password or one the check byte rejects
  Damaged,        // inflate failed, or size or CRC32 differ from the header (also a wrong password)
  TooLarge,       // more data than the header declares
  OverBudget,     // more data than the whole archive may unpack to (a zip bomb)
  InternalError,  // zlib could not start (the zip layer's internal-error code)
  Unsupported,    // a compression method other than stored and deflated
  ReadFailed,     // the archive could not be read
  WriteFailed,    // the sink refused the data
  Refused,        // the unpacker found a symbolic link where the file goes
};

// Receives the plain bytes of an entry in order; false stops reading with WriteFailed.
using EntrySink = std::function<bool(const uint8_t* pBytes, size_t nBytes)>;
// Gives the next bytes of a file to pack: the count, 0 at the end, -1 on a read error.
using EntrySource = std::function<int64_t(uint8_t* pBuffer, size_t nBuffer)>;

// Reads and writes entry data with buffers and zlib streams kept for a whole operation, so that
// an archive of many small files does not allocate them anew for each entry.
class ZipEntryCodec {
 public:
  ZipEntryCodec();
  ~ZipEntryCodec();
  ZipEntryCodec(const ZipEntryCodec&) = delete;
  ZipEntryCodec& operator=(const ZipEntryCodec&) = delete;

  // Reads the current entry of `archive` (info as unzGetCurrentFileInfo64 gave it) into sink.
  // nBudget is what the whole archive may still unpack to; the entry's bytes are taken from it.
  EntryDataResult Read(unzFile archive, const unz_file_info64& info, const std::string& password,
                       const EntrySink& sink, uint64_t& nBudget);

  // Adds one entry to `archive`: deflated (stored when empty), encrypted when password is not
  // empty, in which case nCrc must be the CRC32 of the data the source will give. Returns a ZIP_
  // code of minizip; a deflate failure is ZIP_INTERNALERROR.
  int Write(zipFile archive, const std::string& storedName, const zip_fileinfo& info,
            uint64_t nSize, uint32_t nCrc, const std::string& password, const EntrySource& source);

 private:
  struct Streams;
  std::unique_ptr<Streams> streams_;
};

}  // namespace tarvium
