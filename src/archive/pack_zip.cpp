// The directory walk of packing, over FindFirstFile/FindNextFile, and the adding of one file
// through WriteEntryData. With a password each file is read twice: the encryption header holds
// the high byte of the data's CRC32, which must be known before the first byte is written.
// The archive is written under a temporary name beside it and renamed when it is complete, so
// that a full disk or a killed process never leaves a cut archive under the archive's name.
#include "archive/pack_zip.h"

#include <zlib.h>

#include <vector>

#include "archive/entry_pump.h"
#include "archive/zip_entry_data.h"
#include "archive/zip_file_io.h"
#include "archive/zip_names.h"
#include "archive/zip_password.h"
#include "archive/zip_times.h"
#include "engine/setup_run.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

constexpr uint32_t kKeptAttributes =
    platform::FILE_ATTRIBUTE_READONLY | platform::FILE_ATTRIBUTE_HIDDEN |
    platform::FILE_ATTRIBUTE_SYSTEM | platform::FILE_ATTRIBUTE_ARCHIVE;

struct ZipPack {
  SetupRun& run;
  zipFile archive;
  std::string archiveFullPath;  // never added to itself,
  std::string tempFullPath;     // nor is the archive being written
  const std::string& filter;
  std::string password;
  ZipEntryCodec codec;
};

int64_t ReadSome(platform::FileSystem& files, platform::FileHandle hFile, uint8_t* pBuffer,
                 size_t nBuffer) {
  uint32_t nRead = 0;
  if (files.ReadFile(hFile, pBuffer, static_cast<uint32_t>(nBuffer), nRead) !=
      platform::ERROR_SUCCESS)
    return -1;
  return nRead;
}

bool CrcOfFile(platform::FileSystem& files, platform::FileHandle hFile, uint32_t& nCrc) {
  std::vector<uint8_t> block(64 * 1024);
  uLong nRunning = crc32(0, nullptr, 0);
  int64_t n = 0;
  while ((n = ReadSome(files, hFile, block.data(), block.size())) > 0)
    nRunning = crc32(nRunning, block.data(), static_cast<uInt>(n));
  nCrc = static_cast<uint32_t>(nRunning);
  return n == 0 &&
         files.SetFilePointerEx(hFile, 0, platform::FILE_BEGIN, nullptr) == platform::ERROR_SUCCESS;
}

// Adds one file; a ZIP_ code.
int AddFile(ZipPack& p, const std::string& path, const std::string& storedName,
            const platform::FindData& data) {
  platform::FileSystem& files = p.run.machine.Files();
  platform::FileHandle hFile = platform::FileHandle::Invalid;
  if (files.CreateFile(path, platform::GENERIC_READ, platform::OPEN_EXISTING, 0, hFile) !=
      platform::ERROR_SUCCESS)
    return ZIP_ERRNO;
  zip_fileinfo info{};
  info.dosDate = DosDateTimeOfFileTime(p.run, data.times.ftLastWriteTime);
  info.external_fa = data.dwFileAttributes & kKeptAttributes;
  uint32_t nCrc = 0;
  int result = ZIP_ERRNO;
  if (p.password.empty() || CrcOfFile(files, hFile, nCrc)) {
    const EntrySource source = [&](uint8_t* pBuffer, size_t nBuffer) {
      return ReadSome(files, hFile, pBuffer, nBuffer);
    };
    result = p.codec.Write(p.archive, storedName, info, data.nFileSize, nCrc, p.password, source);
  }
  files.CloseHandle(hFile);
  return result;
}

// Windows paths hold no '*' or '?', so matching one full path as the filter of the other is
// comparing them without regard to case.
bool IsArchiveItself(ZipPack& p, const std::string& path) {
  std::string full;
  return p.run.machine.Files().GetFullPathName(path, full) == platform::ERROR_SUCCESS &&
         ((!p.archiveFullPath.empty() && MatchesFilter(full, p.archiveFullPath)) ||
          (!p.tempFullPath.empty() && MatchesFilter(full, p.tempFullPath)));
}

bool AddDirectory(ZipPack& p, const std::string& dir, const std::string& prefix);

// One entry of the enumeration: false stops the walk.
bool AddFound(ZipPack& p, const std::string& dir, const std::string& prefix,
              const platform::FindData& data) {
  const std::string& name = data.cFileName;
  if (data.dwFileAttributes & platform::FILE_ATTRIBUTE_DIRECTORY) {
    if (name == "." || name == "..") return true;
    return AddDirectory(p, dir + name + "\\", prefix + name + "\\");
  }
  if (!MatchesFilter(name, p.filter) || IsArchiveItself(p, dir + name)) return true;
  const int result = AddFile(p, dir + name, StoredNameOf(prefix + name), data);
  PumpBetweenEntries(p.run);
  return result == ZIP_OK || result == ZIP_INTERNALERROR;
}

bool AddDirectory(ZipPack& p, const std::string& dir, const std::string& prefix) {
  platform::FileSystem& files = p.run.machine.Files();
  platform::FindHandle hFind = platform::FindHandle::Invalid;
  platform::FindData data;
  const uint32_t dwFirst = files.FindFirstFile(dir + "*", hFind, data);
  if (dwFirst != platform::ERROR_SUCCESS) return dwFirst == platform::ERROR_FILE_NOT_FOUND;
  bool bOk = true;
  do {
    bOk = !p.run.ctx.bAborted && AddFound(p, dir, prefix, data);
  } while (bOk && files.FindNextFile(hFind, data) == platform::ERROR_SUCCESS);
  files.FindClose(hFind);
  return bOk || p.run.ctx.bAborted;
}

}  // namespace

bool PackZip(SetupRun& run, const std::string& archive, const std::string& sourceDir,
             const std::string& filter, const std::string& password) {
  platform::FileSystem& files = run.machine.Files();
  std::string archiveFullPath;
  std::string temp;
  if (files.GetFullPathName(archive, archiveFullPath) != platform::ERROR_SUCCESS ||
      files.GetTempFileName(archiveFullPath.substr(0, archiveFullPath.rfind('\\') + 1), "tvz", 0,
                            temp) != platform::ERROR_SUCCESS)
    return false;
  zlib_filefunc64_def io{};
  FillZipFileFunctions(files, io);
  zipFile zip = zipOpen2_64(temp.c_str(), APPEND_STATUS_CREATE, nullptr, &io);
  bool bAdded = false;
  bool bWritten = false;  // a whole archive, though a file may have been left out of it
  if (zip) {
    ZipPack p{run, zip, archiveFullPath, temp, filter, ZipPasswordOf(run, password)};
    std::string dir = sourceDir;
    if (dir.empty() || dir.back() != '\\') dir += '\\';
    bAdded = AddDirectory(p, dir, "");
    bWritten = zipClose(zip, nullptr) == ZIP_OK;
  }
  if (bWritten && files.MoveFileEx(temp, archive, platform::MOVEFILE_REPLACE_EXISTING) ==
                      platform::ERROR_SUCCESS)
    return bAdded;
  files.DeleteFile(temp);
  return false;
}

}  // namespace tarvium
