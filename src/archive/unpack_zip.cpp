// The unpack loop over minizip (headers and central directory, I/O through the FileSystem) with
// the entry data read by ReadEntryData. Each entry is written under a temporary name in its
// directory and renamed over the destination file only when its size and CRC32 checked out.
#include "archive/unpack_zip.h"

#include <algorithm>

#include "archive/archive_trace.h"
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
  std::string destination;  // with a trailing '\'
  const std::string& filter;
  std::string password;
  uint64_t nBudget = 0;
};

bool Succeeded(uint32_t dwError) {
  return dwError == platform::ERROR_SUCCESS || dwError == platform::ERROR_ALREADY_EXISTS;
}

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
    default:
      return "zip layer failure";
  }
}

// True when a directory between the destination and the entry's file, or the file itself, is a
// symbolic link (a reparse point): writing there could land outside the destination.
bool LeadsThroughLink(ZipUnpack& u, const std::string& name) {
  for (size_t nEnd = name.find('\\');; nEnd = name.find('\\', nEnd + 1)) {
    uint32_t dwAttributes = 0;
    const std::string path = u.destination + name.substr(0, nEnd);
    if (u.run.fileSystem.GetFileAttributes(path, dwAttributes) == platform::ERROR_SUCCESS &&
        (dwAttributes & platform::FILE_ATTRIBUTE_REPARSE_POINT))
      return true;
    if (nEnd == std::string::npos) return false;
  }
}

// The sum of the sizes the entries declare, against the archive's budget.
bool FitsBudget(ZipUnpack& u, uint64_t nEntries) {
  uint64_t nDeclared = 0;
  for (uint64_t i = 0; i < nEntries; ++i) {
    unz_file_info64 info{};
    if ((i > 0 && unzGoToNextFile(u.archive) != UNZ_OK) ||
        unzGetCurrentFileInfo64(u.archive, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
      break;  // the unpack loop meets the same damage and reports it
    nDeclared += info.uncompressed_size;
    if (nDeclared > u.nBudget) {
      TraceArchive(u.run, "Zip archive '%s' unpacks to more than %llu bytes; refused",
                   u.archivePath.c_str(), static_cast<unsigned long long>(u.nBudget));
      return false;
    }
  }
  return unzGoToFirstFile(u.archive) == UNZ_OK || nEntries == 0;
}

EntryDataResult WriteDataTo(ZipUnpack& u, const unz_file_info64& info, const std::string& temp) {
  platform::FileSystem& files = u.run.fileSystem;
  platform::FileHandle hFile = platform::FileHandle::Invalid;
  if (files.CreateFile(temp, platform::GENERIC_WRITE, platform::CREATE_ALWAYS,
                       platform::FILE_ATTRIBUTE_NORMAL, hFile) != platform::ERROR_SUCCESS)
    return EntryDataResult::WriteFailed;
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
  EntryDataResult result = ReadEntryData(u.archive, info, u.password, sink, u.nBudget);
  platform::FileTimes times;
  times.ftLastWriteTime = FileTimeOfDosDateTime(u.run, static_cast<uint32_t>(info.dosDate));
  if (result == EntryDataResult::Ok && times.ftLastWriteTime) files.SetFileTime(hFile, times);
  if (files.CloseHandle(hFile) != platform::ERROR_SUCCESS && result == EntryDataResult::Ok)
    result = EntryDataResult::WriteFailed;
  return result;
}

// Writes the current entry to destination + name through a temporary file beside it.
EntryDataResult WriteEntryFile(ZipUnpack& u, const unz_file_info64& info, const std::string& name) {
  platform::FileSystem& files = u.run.fileSystem;
  const std::string path = u.destination + name;
  const std::string dir = path.substr(0, path.rfind('\\'));
  std::string temp;
  if (!Succeeded(files.CreateDirectoryTree(dir)) ||
      files.GetTempFileName(dir, "tvz", 0, temp) != platform::ERROR_SUCCESS)
    return EntryDataResult::WriteFailed;
  EntryDataResult result = WriteDataTo(u, info, temp);
  if (result == EntryDataResult::Ok &&
      files.MoveFileEx(temp, path, platform::MOVEFILE_REPLACE_EXISTING) != platform::ERROR_SUCCESS)
    result = EntryDataResult::WriteFailed;
  if (result != EntryDataResult::Ok) files.DeleteFile(temp);
  return result;
}

// One entry: false when it was selected and could not be written.
bool UnpackCurrentEntry(ZipUnpack& u) {
  unz_file_info64 info{};
  char szStored[kArchivePathBuffer] = {};
  if (unzGetCurrentFileInfo64(u.archive, &info, szStored, sizeof szStored, nullptr, 0, nullptr,
                              0) != UNZ_OK)
    return false;
  std::string name;
  if (info.size_filename >= sizeof szStored ||
      !DestinationNameOf(szStored, info.flag & kFlagUtf8Name, name)) {
    TraceEntryFailure(u, szStored, "name leaves the destination");
    return false;
  }
  if (!MatchesFilter(name, u.filter)) return true;
  if ((u.destination + name).size() >= kArchivePathBuffer || LeadsThroughLink(u, name)) {
    TraceEntryFailure(u, name, "path too long or through a symbolic link");
    return false;
  }
  if (name.back() == '\\')
    return Succeeded(
        u.run.fileSystem.CreateDirectoryTree(u.destination + name.substr(0, name.size() - 1)));
  u.run.fileSystem.SetFileAttributes(u.destination + name, platform::FILE_ATTRIBUTE_NORMAL);
  const EntryDataResult result = WriteEntryFile(u, info, name);
  if (result == EntryDataResult::Ok || result == EntryDataResult::InternalError) return true;
  TraceEntryFailure(u, name, DescribeResult(result));
  return false;
}

bool UnpackEntries(ZipUnpack& u) {
  unz_global_info64 global{};
  if (unzGetGlobalInfo64(u.archive, &global) != UNZ_OK) return false;
  if (!FitsBudget(u, global.number_entry)) return false;
  bool bResult = true;
  for (uint64_t i = 0; i < global.number_entry && !u.run.ctx.bAborted; ++i) {
    if (i > 0 && unzGoToNextFile(u.archive) != UNZ_OK) return false;
    bResult = UnpackCurrentEntry(u) && bResult;
    PumpBetweenEntries(u.run);
  }
  return bResult;
}

}  // namespace

bool UnpackZip(SetupRun& run, const std::string& archive, const std::string& destination,
               const std::string& filter, const std::string& password) {
  zlib_filefunc64_def io{};
  FillZipFileFunctions(run.fileSystem, io);
  uint64_t nArchiveSize = 0;
  unzFile zip = unzOpen2_64(archive.c_str(), &io);
  if (!zip || run.fileSystem.GetFileSize(archive, nArchiveSize) != platform::ERROR_SUCCESS) {
    if (zip) unzClose(zip);
    return false;
  }
  ZipUnpack u{run, zip, archive, destination, filter, ZipPasswordOf(run, password)};
  if (u.destination.empty() || u.destination.back() != '\\') u.destination += '\\';
  u.nBudget = std::max(kBudgetFloor, nArchiveSize * kMaxExpansion);
  const bool bResult = UnpackEntries(u);
  unzClose(zip);
  return bResult;
}

}  // namespace tarvium
