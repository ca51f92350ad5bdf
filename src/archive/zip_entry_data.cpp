// Raw entry data through zlib and ZipCrypto. Buffers are fixed 64 KiB blocks; nothing holds a
// whole entry in memory.
#include "archive/zip_entry_data.h"

#include <memory>
#include <vector>

#include "archive/zip_crypto.h"

namespace tarvium {
namespace {

constexpr size_t kBlock = 64 * 1024;
constexpr int kStored = 0;
constexpr int kDeflated = Z_DEFLATED;

// Checks and counts the plain bytes of one entry before they go to the sink.
class PlainOutput {
 public:
  PlainOutput(const unz_file_info64& info, const EntrySink& sink, uint64_t& nBudget)
      : info_(info), sink_(sink), nBudget_(nBudget) {}

  EntryDataResult Put(const uint8_t* pBytes, size_t nBytes) {
    if (nBytes > info_.uncompressed_size - nDone_) return EntryDataResult::TooLarge;
    if (nBytes > nBudget_) return EntryDataResult::OverBudget;
    nDone_ += nBytes;
    nBudget_ -= nBytes;
    nCrc_ = crc32(nCrc_, pBytes, static_cast<uInt>(nBytes));
    return sink_(pBytes, nBytes) ? EntryDataResult::Ok : EntryDataResult::WriteFailed;
  }
  bool IsComplete() const { return nDone_ == info_.uncompressed_size && nCrc_ == info_.crc; }

 private:
  const unz_file_info64& info_;
  const EntrySink& sink_;
  uint64_t& nBudget_;
  uint64_t nDone_ = 0;
  uLong nCrc_ = crc32(0, nullptr, 0);
};

// Inflates raw deflate data block by block; one stream serves every entry of an operation.
class Inflater {
 public:
  ~Inflater() {
    if (bReady_) inflateEnd(&stream_);
  }

  void Start() {
    bReady_ = bReady_ ? inflateReset(&stream_) == Z_OK : inflateInit2(&stream_, -MAX_WBITS) == Z_OK;
    bEnded_ = false;
  }
  EntryDataResult Feed(uint8_t* pBytes, size_t nBytes, PlainOutput& out) {
    if (!bReady_) return EntryDataResult::InternalError;
    stream_.next_in = pBytes;
    stream_.avail_in = static_cast<uInt>(nBytes);
    while (stream_.avail_in > 0 && !bEnded_) {
      stream_.next_out = buffer_;
      stream_.avail_out = sizeof buffer_;
      const int r = inflate(&stream_, Z_NO_FLUSH);
      if (r != Z_OK && r != Z_STREAM_END) return EntryDataResult::Damaged;
      bEnded_ = r == Z_STREAM_END;
      if (auto put = out.Put(buffer_, sizeof buffer_ - stream_.avail_out);
          put != EntryDataResult::Ok)
        return put;
    }
    return EntryDataResult::Ok;
  }
  bool HasEnded() const { return bEnded_; }

 private:
  z_stream stream_{};
  bool bReady_ = false;
  bool bEnded_ = false;
  uint8_t buffer_[kBlock];
};

EntryDataResult StartDecryption(unzFile archive, const unz_file_info64& info,
                                const std::string& password, std::unique_ptr<ZipCrypto>& crypto) {
  if (!(info.flag & 1)) return EntryDataResult::Ok;
  if (password.empty()) return EntryDataResult::BadPassword;
  uint8_t header[kZipCryptHeaderSize];
  if (unzReadCurrentFile(archive, header, sizeof header) != int(sizeof header))
    return EntryDataResult::Damaged;
  crypto = std::make_unique<ZipCrypto>(password);
  const uint8_t check =
      ZipCheckByteOf(static_cast<uint16_t>(info.flag), static_cast<uint32_t>(info.crc),
                     static_cast<uint32_t>(info.dosDate));
  return crypto->CheckHeader(header, check) ? EntryDataResult::Ok : EntryDataResult::BadPassword;
}

EntryDataResult CopyEntryData(unzFile archive, Inflater* inflater, ZipCrypto* pCrypto,
                              std::vector<uint8_t>& block, PlainOutput& out) {
  if (inflater) inflater->Start();
  for (;;) {
    const int n = unzReadCurrentFile(archive, block.data(), static_cast<unsigned>(block.size()));
    if (n < 0) return EntryDataResult::ReadFailed;
    if (n == 0) break;
    if (pCrypto) pCrypto->Decrypt(block.data(), static_cast<size_t>(n));
    const auto put = inflater ? inflater->Feed(block.data(), static_cast<size_t>(n), out)
                              : out.Put(block.data(), static_cast<size_t>(n));
    if (put != EntryDataResult::Ok) return put;
  }
  if (inflater && !inflater->HasEnded()) return EntryDataResult::Damaged;
  return out.IsComplete() ? EntryDataResult::Ok : EntryDataResult::Damaged;
}

// Deflates (or stores), encrypts and hands the data of one file to minizip; one deflate stream
// serves every file of an operation.
class EntryEncoder {
 public:
  ~EntryEncoder() {
    if (bReady_) deflateEnd(&stream_);
  }

  void Start(zipFile archive, bool bDeflate, ZipCrypto* pCrypto) {
    archive_ = archive;
    bDeflate_ = bDeflate;
    pCrypto_ = pCrypto;
    if (!bDeflate_) return;
    bReady_ =
        bReady_ ? deflateReset(&stream_) == Z_OK
                : deflateInit2(&stream_, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
  }

  int Put(uint8_t* pBytes, size_t nBytes, bool bLast) {
    if (!bDeflate_) return Emit(pBytes, nBytes);
    if (!bReady_) return ZIP_INTERNALERROR;
    stream_.next_in = pBytes;
    stream_.avail_in = static_cast<uInt>(nBytes);
    int r = Z_OK;
    do {
      stream_.next_out = out_;
      stream_.avail_out = sizeof out_;
      r = deflate(&stream_, bLast ? Z_FINISH : Z_NO_FLUSH);
      if (r == Z_STREAM_ERROR) return ZIP_INTERNALERROR;
      if (int e = Emit(out_, sizeof out_ - stream_.avail_out); e != ZIP_OK) return e;
    } while (stream_.avail_out == 0 || (bLast && r != Z_STREAM_END));
    return ZIP_OK;
  }

  int Emit(uint8_t* pBytes, size_t nBytes) {
    if (nBytes == 0) return ZIP_OK;
    if (pCrypto_) pCrypto_->Encrypt(pBytes, nBytes);
    return zipWriteInFileInZip(archive_, pBytes, static_cast<unsigned>(nBytes));
  }

 private:
  zipFile archive_ = nullptr;
  bool bDeflate_ = false;
  ZipCrypto* pCrypto_ = nullptr;
  z_stream stream_{};
  bool bReady_ = false;
  uint8_t out_[kBlock];
};

int CopyFileData(EntryEncoder& encoder, const EntrySource& source, std::vector<uint8_t>& block,
                 uint32_t& nCrc, uint64_t& nSize) {
  uLong nRunning = crc32(0, nullptr, 0);
  nSize = 0;
  for (;;) {
    const int64_t n = source(block.data(), block.size());
    if (n < 0) return ZIP_ERRNO;
    nRunning = crc32(nRunning, block.data(), static_cast<uInt>(n));
    nSize += static_cast<uint64_t>(n);
    if (int e = encoder.Put(block.data(), static_cast<size_t>(n), n == 0); e != ZIP_OK || n == 0) {
      nCrc = static_cast<uint32_t>(nRunning);
      return e;
    }
  }
}

}  // namespace

struct ZipEntryCodec::Streams {
  std::vector<uint8_t> block = std::vector<uint8_t>(kBlock);
  Inflater inflater;
  EntryEncoder encoder;
};

ZipEntryCodec::ZipEntryCodec() : streams_(std::make_unique<Streams>()) {}
ZipEntryCodec::~ZipEntryCodec() = default;

EntryDataResult ZipEntryCodec::Read(unzFile archive, const unz_file_info64& info,
                                    const std::string& password, const EntrySink& sink,
                                    uint64_t& nBudget) {
  if (info.compression_method != kStored && info.compression_method != kDeflated)
    return EntryDataResult::Unsupported;
  int method = 0, level = 0;
  if (unzOpenCurrentFile2(archive, &method, &level, 1) != UNZ_OK)
    return EntryDataResult::ReadFailed;
  std::unique_ptr<ZipCrypto> crypto;
  PlainOutput out(info, sink, nBudget);
  EntryDataResult result = StartDecryption(archive, info, password, crypto);
  if (result == EntryDataResult::Ok)
    result = CopyEntryData(archive, method == kDeflated ? &streams_->inflater : nullptr,
                           crypto.get(), streams_->block, out);
  unzCloseCurrentFile(archive);
  return result;
}

int ZipEntryCodec::Write(zipFile archive, const std::string& storedName, const zip_fileinfo& info,
                         uint64_t nSize, uint32_t nCrc, const std::string& password,
                         const EntrySource& source) {
  const bool bDeflate = nSize > 0;
  const bool bEncrypt = !password.empty();
  const int method = bDeflate ? kDeflated : kStored;
  const int r =
      zipOpenNewFileInZip4_64(archive, storedName.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                              method, Z_DEFAULT_COMPRESSION, 1, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY,
                              nullptr, 0, 20, bEncrypt ? 1 : 0, nSize >= 0xFFFFFFFFu);
  if (r != ZIP_OK) return r;
  std::unique_ptr<ZipCrypto> crypto;
  int result = ZIP_OK;
  if (bEncrypt) {
    crypto = std::make_unique<ZipCrypto>(password);
    uint8_t header[kZipCryptHeaderSize];
    crypto->MakeHeader(header, ZipCheckByteOf(0, nCrc, 0));
    result = zipWriteInFileInZip(archive, header, sizeof header);
  }
  streams_->encoder.Start(archive, bDeflate, crypto.get());
  uint32_t nActualCrc = 0;
  uint64_t nActualSize = 0;
  if (result == ZIP_OK)
    result = CopyFileData(streams_->encoder, source, streams_->block, nActualCrc, nActualSize);
  const int closed = zipCloseFileInZipRaw64(archive, nActualSize, nActualCrc);
  if (result == ZIP_OK && bEncrypt && nActualCrc != nCrc) result = ZIP_ERRNO;  // file changed
  return result != ZIP_OK ? result : closed;
}

}  // namespace tarvium
