// The unpack loop over minizip (headers and central directory, I/O through the FileSystem) with
// the entry data read by ZipEntryCodec. Before anything is written the sizes the entries declare
// are held against what the archive can hold; each file is then checked for size and CRC32 as
// it is written to a temporary file, which becomes the entry's file only when they hold.
#include "archive/unpack_zip.h"

#include <algorithm>
#include <cstring>

#include "archive/archive_trace.h"
#include "archive/destination_tree.h"
#include "archive/entry_pump.h"
#include "archive/path_buffer.h"
#include "archive/zip_entry_data.h"
#include "archive/zip_file_io.h"
#include "archive/zip_names.h"
#include "archive/zip_password.h"
#include "archive/zip_times.h"
#include "engine/setup_run.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

// No deflate stream expands more than 1032 to 1; an archive whose entries together claim more
// than this many times its own size (plus room for small archives) is a zip bomb.
constexpr uint64_t kMaxExpansion = 1100;
constexpr uint64_t kBudgetFloor = 64ull * 1024 * 1024;
constexpr uint16_t kFlagUtf8Name = 0x800;

struct ZipUnpack {
  SetupRun& run;
  unzFile archive;
  const std::string& archivePath;
  DestinationTree destination;
  const std::string& filter;
  std::string password;
  uint64_t nBudget = 0;
  uint32_t nTempNumber = 0;  // the last number a temporary name was formed from
  ZipEntryCodec codec;
};

void TraceEntryFailure(ZipUnpack& u, const std::string& name, const char* pszWhy) {
  TraceArchive(u.run, "Zip entry '%s' of '%s' not written: %s", name.c_str(), u.archivePath.c_str(),
               pszWhy);
}

const char* DescribeResult(EntryDataResult result) {
  switch (result) {
    case EntryDataResult::BadPassword:
      return "password missing or wrong";
    case EntryDataResult::Damaged:
      return "data damaged or password wrong";
    case EntryDataResult::TooLarge:
      return "more data than its header declares";
    case EntryDataResult::OverBudget:
      return "archive unpacks to more than it can hold";
    case EntryDataResult::Unsupported:
      return "compression method not supported";
    case EntryDataResult::ReadFailed:
      return "archive cannot be read";
    case EntryDataResult::WriteFailed:
      return "file cannot be written";
    case EntryDataResult::Refused:
      return "a symbolic link is in its place";
    default:
      return "zip layer failure";
  }
}

void TraceArchiveDamage(ZipUnpack& u, const char* pszWhy) {
  TraceArchive(u.run, "Zip archive '%s' cannot be read: %s", u.archivePath.c_str(), pszWhy);
}

// Why the stored name cannot be unpacked, or null when `name` is its name on the disk side. The
// buffer holds the name cut to its size; a NUL inside the name would cut it silently.
const char* RefusedNameReason(const char (&szStored)[kArchivePathBuffer],
                              const unz_file_info64& info, std::string& name) {
  if (info.size_filename >= kArchivePathBuffer) return "name longer than 1024 characters";
  if (std::strlen(szStored) != info.size_filename) return "name holds a NUL character";
  if (!DestinationNameOf(szStored, info.flag & kFlagUtf8Name, name))
    return "name leaves the destination or names no file";
  return nullptr;
}

// The sum of the sizes the entries declare, against the archive's budget.
bool FitsBudget(ZipUnpack& u, uint64_t nEntries) {
  uint64_t nDeclared = 0;
  for (uint64_t i = 0; i < nEntries; ++i) {
    unz_file_info64 info{};
    if ((i > 0 && unzGoToNextFile(u.archive) != UNZ_OK) ||
        unzGetCurrentFileInfo64(u.archive, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
      break;  // the unpack loop meets the same damage and reports it
    if (info.uncompressed_size > u.nBudget - nDeclared) {
      TraceArchive(u.run, "Zip archive '%s' unpacks to more than %llu bytes; refused",
                   u.archivePath.c_str(), static_cast<unsigned long long>(u.nBudget));
      return false;
    }
    nDeclared += info.uncompressed_size;
  }
  if (nEntries == 0 || unzGoToFirstFile(u.archive) == UNZ_OK) return true;
  TraceArchiveDamage(u, "its first entry cannot be found");
  return false;
}

// Creates a new temporary file in dir: GetTempFileName only forms the name from a number, and
// CREATE_NEW takes it only when it is free (a new file needs no in-use check, which an existing
// one would cost).
uint32_t CreateTempFile(ZipUnpack& u, const std::string& dir, std::string& temp,
                        platform::FileHandle& hFile) {
  platform::FileSystem& files = u.run.machine.Files();
  uint32_t dwError = platform::ERROR_FILE_EXISTS;
  for (int nTry = 0; nTry < 16 && dwError == platform::ERROR_FILE_EXISTS; ++nTry) {
    dwError = files.GetTempFileName(dir, "tvz", (++u.nTempNumber & 0xFFFF) | 1, temp);
    if (dwError == platform::ERROR_SUCCESS)
      dwError = files.CreateFile(temp, platform::GENERIC_WRITE, platform::CREATE_NEW,
                                 platform::FILE_ATTRIBUTE_NORMAL, hFile);
  }
  return dwError;
}

EntryDataResult WriteDataTo(ZipUnpack& u, const unz_file_info64& info, platform::FileHandle hFile) {
  platform::FileSystem& files = u.run.machine.Files();
  const EntrySink sink = [&](const uint8_t* pBytes, size_t nBytes) {
    while (nBytes > 0) {
      uint32_t nWritten = 0;
      const auto nAsk = static_cast<uint32_t>(std::min<size_t>(nBytes, 1u << 30));
      if (files.WriteFile(hFile, pBytes, nAsk, nWritten) != platform::ERROR_SUCCESS || !nWritten)
        return false;
      pBytes += nWritten;
      nBytes -= nWritten;
    }
    return true;
  };
  EntryDataResult result = u.codec.Read(u.archive, info, u.password, sink, u.nBudget);
  platform::FileTimes times;
  times.ftLastWriteTime = FileTimeOfDosDateTime(u.run, static_cast<uint32_t>(info.dosDate));
  if (result == EntryDataResult::Ok && times.ftLastWriteTime) files.SetFileTime(hFile, times);
  if (files.CloseHandle(hFile) != platform::ERROR_SUCCESS && result == EntryDataResult::Ok)
    result = EntryDataResult::WriteFailed;
  return result;
}

// Writes the current entry to destination + name through a temporary file beside it, renamed to
// the name only when the data checked out: a file under the entry's name is always whole (also
// when the process is killed half-way), and a damaged entry or a wrong password never costs an
// existing file. An existing file's attributes are cleared just before it is replaced, so that a
// read-only file can be.
EntryDataResult WriteEntryFile(ZipUnpack& u, const unz_file_info64& info, const std::string& name) {
  platform::FileSystem& files = u.run.machine.Files();
  const std::string path = u.destination.Root() + name;
  const uint32_t dwExisting = u.destination.AttributesOf(name);
  const bool bExists = dwExisting != platform::INVALID_FILE_ATTRIBUTES;
  if (bExists && (dwExisting & platform::FILE_ATTRIBUTE_REPARSE_POINT))
    return EntryDataResult::Refused;
  std::string temp;
  platform::FileHandle hFile = platform::FileHandle::Invalid;
  if (CreateTempFile(u, path.substr(0, path.rfind('\\')), temp, hFile) != platform::ERROR_SUCCESS)
    return EntryDataResult::WriteFailed;
  EntryDataResult result = WriteDataTo(u, info, hFile);
  if (result == EntryDataResult::Ok && bExists && dwExisting != platform::FILE_ATTRIBUTE_NORMAL)
    files.SetFileAttributes(path, platform::FILE_ATTRIBUTE_NORMAL);
  if (result == EntryDataResult::Ok &&
      files.MoveFileEx(temp, path, platform::MOVEFILE_REPLACE_EXISTING) != platform::ERROR_SUCCESS)
    result = EntryDataResult::WriteFailed;
  if (result != EntryDataResult::Ok) files.DeleteFile(temp);
  return result;
}

// One entry: false when it was selected and could not be written.
bool UnpackCurrentEntry(ZipUnpack& u) {
  unz_file_info64 info{};
  // minizip leaves a name that fills its buffer unterminated: keep the last byte for the zero.
  char szStored[kArchivePathBuffer] = {};
  if (unzGetCurrentFileInfo64(u.archive, &info, szStored, sizeof szStored - 1, nullptr, 0, nullptr,
                              0) != UNZ_OK) {
    TraceArchiveDamage(u, "an entry's header cannot be read");
    return false;
  }
  std::string name;
  if (const char* pszWhy = RefusedNameReason(szStored, info, name)) {
    TraceEntryFailure(u, szStored, pszWhy);
    return false;
  }
  if (!MatchesFilter(name, u.filter)) return true;
  const bool bDirectory = name.back() == '\\';
  const size_t nDirEnd = bDirectory ? name.size() - 1 : name.rfind('\\');
  if ((u.destination.Root() + name).size() >= kArchivePathBuffer ||
      !u.destination.MakeDirectory(nDirEnd == std::string::npos ? "" : name.substr(0, nDirEnd))) {
    TraceEntryFailure(u, name, "path too long, or a directory not creatable or a symbolic link");
    return false;
  }
  if (bDirectory) return true;
  const EntryDataResult result = WriteEntryFile(u, info, name);
  if (result == EntryDataResult::Ok || result == EntryDataResult::InternalError) return true;
  TraceEntryFailure(u, name, DescribeResult(result));
  return false;
}

bool UnpackEntries(ZipUnpack& u) {
  unz_global_info64 global{};
  if (unzGetGlobalInfo64(u.archive, &global) != UNZ_OK) {
    TraceArchiveDamage(u, "its directory cannot be read");
    return false;
  }
  if (!FitsBudget(u, global.number_entry)) return false;
  bool bResult = true;
  for (uint64_t i = 0; i < global.number_entry && !u.run.ctx.bAborted; ++i) {
    if (i > 0 && unzGoToNextFile(u.archive) != UNZ_OK) {
      TraceArchiveDamage(u, "its directory ends before its last entry");
      return false;
    }
    bResult = UnpackCurrentEntry(u) && bResult;
    PumpBetweenEntries(u.run);
  }
  return bResult;
}

}  // namespace

bool UnpackZip(SetupRun& run, const std::string& archive, const std::string& destination,
               const std::string& filter, const std::string& password) {
  zlib_filefunc64_def io{};
  FillZipFileFunctions(run.machine.Files(), io);
  uint64_t nArchiveSize = 0;
  if (const uint32_t dwError = run.machine.Files().GetFileSize(archive, nArchiveSize)) {
    TraceArchive(run, "Zip archive '%s' cannot be opened: error %u", archive.c_str(), dwError);
    return false;
  }
  unzFile zip = unzOpen2_64(archive.c_str(), &io);
  if (!zip) {
    TraceArchive(run,
                 "Zip archive '%s' cannot be opened: not a zip archive, cut short or unreadable",
                 archive.c_str());
    return false;
  }
  ZipUnpack u{run,     zip,
              archive, DestinationTree(run.machine.Files(), destination),
              filter,  ZipPasswordOf(run, password)};
  u.nBudget = std::max(kBudgetFloor, nArchiveSize * kMaxExpansion);
  const bool bResult = UnpackEntries(u);
  unzClose(zip);
  return bResult;
}

}  // namespace tarvium
