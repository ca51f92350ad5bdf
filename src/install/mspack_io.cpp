#include "install/mspack_io.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <new>

namespace tarvium {
namespace {

struct IoFile {
  mspack_file base;  // first, so the library's pointer is this object's
  MspackIo* pIo = nullptr;
  platform::FileHandle hFile = platform::FileHandle::Invalid;
  bool bSink = false;
};

MspackIo& IoOf(mspack_system* self) {
  return *reinterpret_cast<MspackIo*>(self);
}

IoFile& FileOf(mspack_file* file) {
  return *reinterpret_cast<IoFile*>(file);
}

mspack_file* Open(mspack_system* self, const char* filename, int mode) {
  MspackIo& io = IoOf(self);
  auto* file = new (std::nothrow) IoFile;
  if (!file) return nullptr;
  file->pIo = &io;
  if (std::strcmp(filename, kSinkFileName) == 0) {
    if (mode != MSPACK_SYS_OPEN_WRITE || !io.pSink) {
      delete file;
      return nullptr;
    }
    file->bSink = true;
    return &file->base;
  }
  if (mode != MSPACK_SYS_OPEN_READ) {  // the media are only read
    delete file;
    return nullptr;
  }
  io.dwLastOpenError = io.pFiles->CreateFile(filename, platform::GENERIC_READ,
                                             platform::OPEN_EXISTING, 0, file->hFile);
  if (io.dwLastOpenError != platform::ERROR_SUCCESS) {
    delete file;
    return nullptr;
  }
  return &file->base;
}

void Close(mspack_file* base) {
  if (!base) return;
  IoFile& file = FileOf(base);
  if (!file.bSink) file.pIo->pFiles->CloseHandle(file.hFile);
  delete &file;
}

int Read(mspack_file* base, void* buffer, int bytes) {
  IoFile& file = FileOf(base);
  if (file.bSink || bytes < 0) return -1;
  uint32_t nRead = 0;
  if (file.pIo->pFiles->ReadFile(file.hFile, buffer, static_cast<uint32_t>(bytes), nRead) != 0)
    return -1;
  return static_cast<int>(nRead);
}

int Write(mspack_file* base, void* buffer, int bytes) {
  IoFile& file = FileOf(base);
  MspackIo& io = *file.pIo;
  if (!file.bSink || bytes < 0 || !io.pSink) return -1;
  if (bytes == 0) return 0;
  if (!(*io.pSink)(static_cast<const uint8_t*>(buffer), static_cast<size_t>(bytes))) {
    io.bSinkStopped = true;
    return -1;
  }
  return bytes;
}

int Seek(mspack_file* base, off_t offset, int mode) {
  IoFile& file = FileOf(base);
  if (file.bSink) return -1;
  const uint32_t dwMethod = mode == MSPACK_SYS_SEEK_START ? platform::FILE_BEGIN
                            : mode == MSPACK_SYS_SEEK_CUR ? platform::FILE_CURRENT
                                                          : platform::FILE_END;
  return file.pIo->pFiles->SetFilePointerEx(file.hFile, offset, dwMethod, nullptr) == 0 ? 0 : -1;
}

off_t Tell(mspack_file* base) {
  IoFile& file = FileOf(base);
  uint64_t nPosition = 0;
  if (file.bSink ||
      file.pIo->pFiles->SetFilePointerEx(file.hFile, 0, platform::FILE_CURRENT, &nPosition) != 0)
    return -1;
  return static_cast<off_t>(nPosition);
}

// The library's diagnostics about damaged input; the caller reports the error code instead.
void Message(mspack_file*, const char*, ...) {}

void* Alloc(mspack_system*, size_t bytes) {
  return std::malloc(bytes);
}

void Free(void* ptr) {
  std::free(ptr);
}

void Copy(void* src, void* dest, size_t bytes) {
  std::memmove(dest, src, bytes);
}

}  // namespace

MspackIo::MspackIo(platform::FileSystem& files) : pFiles(&files) {
  sys.open = Open;
  sys.close = Close;
  sys.read = Read;
  sys.write = Write;
  sys.seek = Seek;
  sys.tell = Tell;
  sys.message = Message;
  sys.alloc = Alloc;
  sys.free = Free;
  sys.copy = Copy;
  sys.null_ptr = nullptr;
}

uint32_t WindowsErrorOfMspack(const MspackIo& io, int nError) {
  switch (nError) {
    case MSPACK_ERR_OK:
      return platform::ERROR_SUCCESS;
    case MSPACK_ERR_OPEN:
      return io.dwLastOpenError ? io.dwLastOpenError : platform::ERROR_FILE_NOT_FOUND;
    case MSPACK_ERR_WRITE:
      return io.bSinkStopped ? platform::ERROR_CANCELLED : platform::ERROR_WRITE_FAULT;
    case MSPACK_ERR_NOMEMORY:
      return platform::ERROR_NOT_ENOUGH_MEMORY;
    default:  // read past the end, bad signature, format, checksum or compressed data
      return platform::ERROR_BAD_FORMAT;
  }
}

}  // namespace tarvium
