// Each minizip stream is a FileSystem handle with a small buffer: minizip reads and writes
// headers a field at a time, and a call into the file system for each field would cost more
// than the data itself. The stream keeps its own position; the handle's file pointer is moved
// only when the buffer is filled or written out.
#include "archive/zip_file_io.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace tarvium {
namespace {

// Small enough that jumping between the central directory and a local header costs little, large
// enough for a hundred central directory records; data moves in larger blocks past it.
constexpr size_t kBufferSize = 8 * 1024;
constexpr size_t kMinReadAhead = 256;

class ZipStream {
 public:
  ZipStream(platform::FileSystem& files, platform::FileHandle hFile) : files_(files), h_(hFile) {}

  uLong Read(void* pOut, uLong nSize);
  uLong Write(const void* pIn, uLong nSize);
  bool Seek(int64_t nOffset, int origin);
  uint64_t Tell() const { return nPos_; }
  bool Close();
  bool HasFailed() const { return dwError_ != platform::ERROR_SUCCESS; }

 private:
  bool Flush();
  void Refill(size_t nWanted);
  uLong WriteAt(uint64_t nAt, const uint8_t* pIn, uLong nSize);
  bool MoveFilePointer(uint64_t nTo);
  uint32_t ReadAt(uint64_t nAt, void* pOut, size_t nSize);

  platform::FileSystem& files_;
  platform::FileHandle h_;
  uint32_t dwError_ = platform::ERROR_SUCCESS;
  uint64_t nPos_ = 0;       // the stream's position
  uint64_t nFilePos_ = 0;   // the handle's file pointer
  uint64_t nBufferAt_ = 0;  // file offset of buffer_[0]
  std::unique_ptr<uint8_t[]> buffer_ = std::make_unique_for_overwrite<uint8_t[]>(kBufferSize);
  size_t nBuffered_ = 0;  // bytes in buffer_
  size_t nReadAhead_ = kMinReadAhead;
  bool bDirty_ = false;  // buffer_ holds written bytes not yet in the file
};

bool ZipStream::MoveFilePointer(uint64_t nTo) {
  if (nTo == nFilePos_) return true;
  dwError_ = files_.SetFilePointerEx(h_, static_cast<int64_t>(nTo), platform::FILE_BEGIN, nullptr);
  nFilePos_ = nTo;
  return dwError_ == platform::ERROR_SUCCESS;
}

// Reads up to nSize bytes at nAt; the count read.
uint32_t ZipStream::ReadAt(uint64_t nAt, void* pOut, size_t nSize) {
  if (!MoveFilePointer(nAt)) return 0;
  size_t nDone = 0;
  while (nDone < nSize) {
    uint32_t nRead = 0;
    const auto nAsk = static_cast<uint32_t>(std::min<size_t>(nSize - nDone, 1u << 30));
    dwError_ = files_.ReadFile(h_, static_cast<uint8_t*>(pOut) + nDone, nAsk, nRead);
    if (dwError_ != platform::ERROR_SUCCESS || nRead == 0) break;
    nDone += nRead;
  }
  nFilePos_ += nDone;
  return static_cast<uint32_t>(nDone);
}

bool ZipStream::Flush() {
  if (!bDirty_) return true;
  bDirty_ = false;
  if (!MoveFilePointer(nBufferAt_)) return false;
  uint32_t nWritten = 0;
  dwError_ = files_.WriteFile(h_, buffer_.get(), static_cast<uint32_t>(nBuffered_), nWritten);
  nFilePos_ += nWritten;
  const bool bOk = dwError_ == platform::ERROR_SUCCESS && nWritten == nBuffered_;
  nBuffered_ = 0;
  return bOk;
}

// Fills the buffer for a read of nWanted bytes at nPos_. Reading backwards (minizip looks for the
// central directory from the end, a kilobyte at a time) fills the buffer up to the read's end, so
// that the next step back is in the buffer too.
// Reading on from the end of the buffer doubles the read-ahead up to the buffer's size; a jump
// elsewhere (minizip skipping over extra fields) starts again from a small one, so hostile
// archives cannot make every small read cost a full buffer.
void ZipStream::Refill(size_t nWanted) {
  const bool bSequential = nPos_ == nBufferAt_ + nBuffered_;
  const bool bBackwards = nBuffered_ > 0 && nPos_ < nBufferAt_;
  nReadAhead_ = bSequential || bBackwards ? std::min(kBufferSize, nReadAhead_ * 2) : kMinReadAhead;
  const size_t nSize = std::max(nReadAhead_, nWanted);
  const uint64_t nEnd = nPos_ + nWanted;
  nBufferAt_ = !bBackwards ? nPos_ : nEnd > nSize ? nEnd - nSize : 0;
  nBuffered_ = ReadAt(nBufferAt_, buffer_.get(), nSize);
}

uLong ZipStream::Read(void* pOut, uLong nSize) {
  if (!Flush()) return 0;
  auto* p = static_cast<uint8_t*>(pOut);
  uLong nDone = 0;
  while (nDone < nSize) {
    if (nPos_ >= nBufferAt_ && nPos_ < nBufferAt_ + nBuffered_) {
      const size_t nFrom = static_cast<size_t>(nPos_ - nBufferAt_);
      const size_t nTake = std::min<size_t>(nBuffered_ - nFrom, nSize - nDone);
      std::memcpy(p + nDone, buffer_.get() + nFrom, nTake);
      nDone += nTake;
      nPos_ += nTake;
    } else if (nSize - nDone >= kBufferSize) {  // large reads bypass the buffer
      const uint32_t nRead = ReadAt(nPos_, p + nDone, nSize - nDone);
      nDone += nRead;
      nPos_ += nRead;
      break;
    } else {
      Refill(nSize - nDone);
      if (nPos_ >= nBufferAt_ + nBuffered_) break;  // at the end of the file
    }
  }
  return nDone;
}

// Writes nSize bytes at nAt past the buffer; the count written.
uLong ZipStream::WriteAt(uint64_t nAt, const uint8_t* pIn, uLong nSize) {
  if (!MoveFilePointer(nAt)) return 0;
  uLong nDone = 0;
  while (nDone < nSize) {
    uint32_t nWritten = 0;
    const auto nAsk = static_cast<uint32_t>(std::min<uLong>(nSize - nDone, 1u << 30));
    dwError_ = files_.WriteFile(h_, pIn + nDone, nAsk, nWritten);
    if (dwError_ != platform::ERROR_SUCCESS || nWritten == 0) break;
    nDone += nWritten;
  }
  nFilePos_ += nDone;
  return nDone;
}

uLong ZipStream::Write(const void* pIn, uLong nSize) {
  const auto* p = static_cast<const uint8_t*>(pIn);
  const bool bAppending = bDirty_ && nPos_ == nBufferAt_ + nBuffered_;
  if (!bAppending || nBuffered_ + nSize > kBufferSize) {
    if (!Flush()) return 0;
    nBuffered_ = 0;
    nBufferAt_ = nPos_;
  }
  if (nSize >= kBufferSize) {  // large writes bypass the buffer
    const uLong nWritten = WriteAt(nPos_, p, nSize);
    nPos_ += nWritten;
    return nWritten;
  }
  std::memcpy(buffer_.get() + nBuffered_, p, nSize);
  nBuffered_ += nSize;
  nPos_ += nSize;
  bDirty_ = true;
  return nSize;
}

bool ZipStream::Seek(int64_t nOffset, int origin) {
  int64_t nBase = 0;
  if (origin == ZLIB_FILEFUNC_SEEK_CUR) nBase = static_cast<int64_t>(nPos_);
  if (origin == ZLIB_FILEFUNC_SEEK_END) {
    uint64_t nSize = 0;
    if (!Flush() || (dwError_ = files_.GetFileSizeEx(h_, nSize)) != platform::ERROR_SUCCESS)
      return false;
    nBase = static_cast<int64_t>(nSize);
  }
  if (nBase + nOffset < 0) return false;
  nPos_ = static_cast<uint64_t>(nBase + nOffset);
  return true;
}

bool ZipStream::Close() {
  const bool bFlushed = Flush();
  return files_.CloseHandle(h_) == platform::ERROR_SUCCESS && bFlushed;
}

platform::FileSystem& FilesOf(voidpf opaque) {
  return *static_cast<platform::FileSystem*>(opaque);
}
ZipStream& StreamOf(voidpf stream) {
  return *static_cast<ZipStream*>(stream);
}

voidpf ZCALLBACK OpenStream(voidpf opaque, const void* pFileName, int mode) {
  if (!pFileName) return nullptr;
  // Unpacking asks for an existing file to read: it gets read access only, so that an archive on
  // read-only media or with the read-only attribute opens.
  uint32_t dwAccess = platform::GENERIC_READ, dwDisposition = platform::OPEN_EXISTING;
  if (mode & ZLIB_FILEFUNC_MODE_WRITE) dwAccess |= platform::GENERIC_WRITE;
  if (mode & ZLIB_FILEFUNC_MODE_CREATE) dwDisposition = platform::CREATE_ALWAYS;
  platform::FileHandle hFile = platform::FileHandle::Invalid;
  if (FilesOf(opaque).CreateFile(static_cast<const char*>(pFileName), dwAccess, dwDisposition,
                                 platform::FILE_ATTRIBUTE_NORMAL, hFile) != platform::ERROR_SUCCESS)
    return nullptr;
  auto* pStream = new (std::nothrow) ZipStream(FilesOf(opaque), hFile);
  if (!pStream) FilesOf(opaque).CloseHandle(hFile);
  return pStream;
}

uLong ZCALLBACK ReadStream(voidpf, voidpf stream, void* pBuffer, uLong nSize) {
  return StreamOf(stream).Read(pBuffer, nSize);
}

uLong ZCALLBACK WriteStream(voidpf, voidpf stream, const void* pBuffer, uLong nSize) {
  return StreamOf(stream).Write(pBuffer, nSize);
}

ZPOS64_T ZCALLBACK TellStream(voidpf, voidpf stream) {
  return StreamOf(stream).Tell();
}

long ZCALLBACK SeekStream(voidpf, voidpf stream, ZPOS64_T nOffset, int origin) {
  return StreamOf(stream).Seek(static_cast<int64_t>(nOffset), origin) ? 0 : -1;
}

int ZCALLBACK CloseStream(voidpf, voidpf stream) {
  const bool bClosed = StreamOf(stream).Close();
  delete static_cast<ZipStream*>(stream);
  return bClosed ? 0 : -1;
}

int ZCALLBACK StreamError(voidpf, voidpf stream) {
  return StreamOf(stream).HasFailed();
}

}  // namespace

void FillZipFileFunctions(platform::FileSystem& fileSystem, zlib_filefunc64_def& functions) {
  functions.zopen64_file = OpenStream;
  functions.zread_file = ReadStream;
  functions.zwrite_file = WriteStream;
  functions.ztell64_file = TellStream;
  functions.zseek64_file = SeekStream;
  functions.zclose_file = CloseStream;
  functions.zerror_file = StreamError;
  functions.opaque = &fileSystem;
}

}  // namespace tarvium
