// Safe extraction of one entry on Windows: every directory on the way is created or entered by
// its full path and must be a plain directory, not a junction or a link (which an earlier entry or
// someone else placed), so that no write leads outside the destination; a file is written under a
// temporary name and put in place, replacing an older file but never a directory or a link's
// target.
#include <windows.h>

#include "archive/unrar_api.h"
#include "entry_writer.h"

#include <archive_entry.h>

namespace unrar_module {
namespace {

// Whether the path names a plain directory (no reparse point: junction, symbolic link).
bool IsPlainDirectory(const std::string& path) {
  const DWORD dwAttributes = ::GetFileAttributesA(path.c_str());
  return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Creates the directory when it is missing; true when it then is a plain directory.
bool EnterDirectory(const std::string& path) {
  ::CreateDirectoryA(path.c_str(), nullptr);
  return IsPlainDirectory(path);
}

// The destination itself, with every folder above it that is missing.
bool MakeDestination(const std::string& destDir) {
  if (destDir.empty()) return true;
  for (size_t i = 0; i < destDir.size(); ++i)
    if ((destDir[i] == '\\' || destDir[i] == '/') && i > 0 && destDir[i - 1] != ':')
      ::CreateDirectoryA(destDir.substr(0, i).c_str(), nullptr);
  return EnterDirectory(destDir);
}

// Writes the blocks of the entry's data at their offsets of the open file.
BlockWriter WriterTo(HANDLE hFile) {
  return [hFile](int64_t nOffset, const char* p, size_t nBlock) {
    LARGE_INTEGER position;
    position.QuadPart = nOffset;
    if (!::SetFilePointerEx(hFile, position, nullptr, FILE_BEGIN)) return false;
    while (nBlock > 0) {
      DWORD nWritten = 0;
      const DWORD nToWrite = nBlock > 0x40000000 ? 0x40000000 : static_cast<DWORD>(nBlock);
      if (!::WriteFile(hFile, p, nToWrite, &nWritten, nullptr) || nWritten == 0) return false;
      p += nWritten;
      nBlock -= nWritten;
    }
    return true;
  };
}

// The entry's modification time as a FILETIME (100 ns since 1601).
FILETIME FileTimeOf(struct archive_entry* pEntry) {
  constexpr int64_t kUnixEpoch = 116444736000000000;  // 1970-01-01 in FILETIME units
  const int64_t nTime =
      archive_entry_mtime(pEntry) * 10000000 + kUnixEpoch + archive_entry_mtime_nsec(pEntry) / 100;
  return {static_cast<DWORD>(nTime), static_cast<DWORD>(static_cast<uint64_t>(nTime) >> 32)};
}

int WriteFileIn(const std::string& dir, const std::string& name, struct archive* pArchive,
                struct archive_entry* pEntry, std::optional<uint32_t> nDataCrc) {
  const std::string target = dir + "\\" + name;
  const std::string temp = dir + "\\." + name + ".tarvium-part";
  ::DeleteFileA(temp.c_str());
  const HANDLE hFile = ::CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) return ERAR_ECREATE;
  int result = CopyEntryData(pArchive, WriterTo(hFile), nDataCrc);
  if (result == ERAR_SUCCESS && archive_entry_mtime_is_set(pEntry)) {
    const FILETIME written = FileTimeOf(pEntry);
    ::SetFileTime(hFile, nullptr, nullptr, &written);
  }
  if (!::CloseHandle(hFile) && result == ERAR_SUCCESS) result = ERAR_ECLOSE;
  if (result == ERAR_SUCCESS &&
      !::MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
    result = ERAR_ECREATE;
  if (result != ERAR_SUCCESS) ::DeleteFileA(temp.c_str());
  return result;
}

}  // namespace

int WriteEntryBelow(const std::string& destDir, const std::string& relName,
                    struct archive* pArchive, struct archive_entry* pEntry,
                    std::optional<uint32_t> nDataCrc) {
  const std::vector<std::string> parts = StoredNameComponents(relName);
  if (parts.empty() || !MakeDestination(destDir)) return ERAR_ECREATE;
  const bool bDirectory = archive_entry_filetype(pEntry) == AE_IFDIR;
  const size_t nDirs = bDirectory ? parts.size() : parts.size() - 1;
  std::string dir = destDir.empty() ? "." : destDir;
  while (!dir.empty() && (dir.back() == '\\' || dir.back() == '/')) dir.pop_back();
  for (size_t i = 0; i < nDirs; ++i) {
    dir += "\\" + parts[i];
    if (!EnterDirectory(dir)) return ERAR_ECREATE;
  }
  if (bDirectory) return ERAR_SUCCESS;
  if (archive_entry_filetype(pEntry) != AE_IFREG) return TestEntryData(pArchive, {});  // no links
  return WriteFileIn(dir, parts.back(), pArchive, pEntry, nDataCrc);
}

}  // namespace unrar_module
