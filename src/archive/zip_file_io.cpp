// Each minizip stream is a FileSystem handle with the last error it met; minizip only asks
// whether there was one.
#include "archive/zip_file_io.h"

#include <algorithm>
#include <new>

namespace tarvium {
namespace {

struct ZipStream {
  platform::FileHandle hFile = platform::FileHandle::Invalid;
  uint32_t dwError = platform::ERROR_SUCCESS;
};

platform::FileSystem& FilesOf(voidpf opaque) {
  return *static_cast<platform::FileSystem*>(opaque);
}

voidpf ZCALLBACK OpenStream(voidpf opaque, const void* pFileName, int mode) {
  if (!pFileName) return nullptr;
  uint32_t dwAccess = platform::GENERIC_READ, dwDisposition = platform::OPEN_EXISTING;
  if (mode & ZLIB_FILEFUNC_MODE_CREATE) {
    dwAccess |= platform::GENERIC_WRITE;
    dwDisposition = platform::CREATE_ALWAYS;
  } else if (mode & ZLIB_FILEFUNC_MODE_EXISTING) {
    dwAccess |= platform::GENERIC_WRITE;
  }
  auto* pStream = new (std::nothrow) ZipStream;
  if (!pStream) return nullptr;
  if (FilesOf(opaque).CreateFile(static_cast<const char*>(pFileName), dwAccess, dwDisposition,
                                 platform::FILE_ATTRIBUTE_NORMAL,
                                 pStream->hFile) != platform::ERROR_SUCCESS) {
    delete pStream;
    return nullptr;
  }
  return pStream;
}

uLong ZCALLBACK ReadStream(voidpf opaque, voidpf stream, void* pBuffer, uLong nSize) {
  auto* pStream = static_cast<ZipStream*>(stream);
  uLong nDone = 0;
  while (nDone < nSize) {
    uint32_t nRead = 0;
    const auto nAsk = static_cast<uint32_t>(std::min<uLong>(nSize - nDone, 1u << 30));
    pStream->dwError =
        FilesOf(opaque).ReadFile(pStream->hFile, static_cast<char*>(pBuffer) + nDone, nAsk, nRead);
    if (pStream->dwError != platform::ERROR_SUCCESS || nRead == 0) break;
    nDone += nRead;
  }
  return nDone;
}

uLong ZCALLBACK WriteStream(voidpf opaque, voidpf stream, const void* pBuffer, uLong nSize) {
  auto* pStream = static_cast<ZipStream*>(stream);
  uLong nDone = 0;
  while (nDone < nSize) {
    uint32_t nWritten = 0;
    const auto nAsk = static_cast<uint32_t>(std::min<uLong>(nSize - nDone, 1u << 30));
    pStream->dwError = FilesOf(opaque).WriteFile(
        pStream->hFile, static_cast<const char*>(pBuffer) + nDone, nAsk, nWritten);
    if (pStream->dwError != platform::ERROR_SUCCESS || nWritten == 0) break;
    nDone += nWritten;
  }
  return nDone;
}

ZPOS64_T ZCALLBACK TellStream(voidpf opaque, voidpf stream) {
  auto* pStream = static_cast<ZipStream*>(stream);
  uint64_t nPosition = 0;
  pStream->dwError =
      FilesOf(opaque).SetFilePointerEx(pStream->hFile, 0, platform::FILE_CURRENT, &nPosition);
  return pStream->dwError == platform::ERROR_SUCCESS ? nPosition : ZPOS64_T(-1);
}

long ZCALLBACK SeekStream(voidpf opaque, voidpf stream, ZPOS64_T nOffset, int origin) {
  auto* pStream = static_cast<ZipStream*>(stream);
  uint32_t dwMethod = platform::FILE_BEGIN;
  if (origin == ZLIB_FILEFUNC_SEEK_CUR) dwMethod = platform::FILE_CURRENT;
  if (origin == ZLIB_FILEFUNC_SEEK_END) dwMethod = platform::FILE_END;
  pStream->dwError = FilesOf(opaque).SetFilePointerEx(pStream->hFile, static_cast<int64_t>(nOffset),
                                                      dwMethod, nullptr);
  return pStream->dwError == platform::ERROR_SUCCESS ? 0 : -1;
}

int ZCALLBACK CloseStream(voidpf opaque, voidpf stream) {
  auto* pStream = static_cast<ZipStream*>(stream);
  const uint32_t dwError = FilesOf(opaque).CloseHandle(pStream->hFile);
  delete pStream;
  return dwError == platform::ERROR_SUCCESS ? 0 : -1;
}

int ZCALLBACK StreamError(voidpf /*opaque*/, voidpf stream) {
  return static_cast<ZipStream*>(stream)->dwError != platform::ERROR_SUCCESS;
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
