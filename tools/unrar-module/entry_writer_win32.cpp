// Safe extraction of one entry on Windows. Every folder below the destination is created or opened
// as itself (never through a junction or link, which an earlier entry or someone else placed) and
// held open without delete sharing until the entry is written, so that nobody can swap it for a
// junction in between: no write leads outside the destination. Paths go to the wide functions in
// their "\\?\" form, so that a stored name such as "aux.txt" or "name." is a plain file of the
// destination and no device. A file is written under a temporary name and put in place, replacing
// an older file but never a folder.
#include <windows.h>

#include <memory>

#include "archive/unrar_api.h"
#include "entry_writer.h"

#include <archive_entry.h>

namespace unrar_module {
namespace {

std::wstring WideOf(const std::string& text, UINT nCodePage) {
  if (text.empty()) return {};
  const int nLength =
      ::MultiByteToWideChar(nCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(nLength), L'\0');
  ::MultiByteToWideChar(nCodePage, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        nLength);
  return wide;
}

// The full path of the caller's destination (its code page) in "\\?\" form, without a trailing
// separator.
std::wstring LongPathOf(const std::string& destDir) {
  const std::wstring given = WideOf(destDir.empty() ? "." : destDir, CP_ACP);
  const DWORD nLength = ::GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
  std::wstring full(nLength, L'\0');
  full.resize(::GetFullPathNameW(given.c_str(), nLength, full.data(), nullptr));
  while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
  if (full.rfind(L"\\\\?\\", 0) == 0) return full;
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

struct HandleCloser {
  void operator()(HANDLE h) const { ::CloseHandle(h); }
};
using HeldHandle = std::unique_ptr<void, HandleCloser>;

// The destination with every folder above it that is missing; it may itself be a junction the
// caller chose.
bool MakeDestination(const std::wstring& dest) {
  for (size_t i = dest.find(L'\\', 4); i != std::wstring::npos; i = dest.find(L'\\', i + 1))
    ::CreateDirectoryW(dest.substr(0, i).c_str(), nullptr);
  ::CreateDirectoryW(dest.c_str(), nullptr);
  const DWORD dwAttributes = ::GetFileAttributesW(dest.c_str());
  return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Creates the folder when it is missing and opens it as itself, without delete sharing; null
// when it is no plain folder (a file, a junction, a link).
HeldHandle OpenPlainFolder(const std::wstring& path) {
  ::CreateDirectoryW(path.c_str(), nullptr);
  HeldHandle folder(::CreateFileW(
      path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (folder.get() == INVALID_HANDLE_VALUE) return HeldHandle(nullptr);
  FILE_ATTRIBUTE_TAG_INFO tag = {};
  if (!::GetFileInformationByHandleEx(folder.get(), FileAttributeTagInfo, &tag, sizeof tag) ||
      !(tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
      (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return HeldHandle(nullptr);
  return folder;
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

int WriteFileIn(const std::wstring& folder, const std::wstring& name, struct archive* pArchive,
                struct archive_entry* pEntry, std::optional<uint32_t> nDataCrc) {
  const std::wstring target = folder + L"\\" + name;
  const std::wstring temp = folder + L"\\." + name + L".tarvium-part";
  ::DeleteFileW(temp.c_str());
  const HANDLE hFile = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) return ERAR_ECREATE;
  int result = CopyEntryData(pArchive, WriterTo(hFile), nDataCrc);
  if (result == ERAR_SUCCESS && archive_entry_mtime_is_set(pEntry)) {
    const FILETIME written = FileTimeOf(pEntry);
    ::SetFileTime(hFile, nullptr, nullptr, &written);
  }
  if (!::CloseHandle(hFile) && result == ERAR_SUCCESS) result = ERAR_ECLOSE;
  if (result == ERAR_SUCCESS &&
      !::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
    result = ERAR_ECREATE;
  if (result != ERAR_SUCCESS) ::DeleteFileW(temp.c_str());
  return result;
}

// The folder the walk is in, by its "\\?\" path, with every folder passed held open.
class Win32Destination final : public EntryDestination {
 public:
  explicit Win32Destination(std::wstring folder) : folder_(std::move(folder)) {}
  bool EnterFolder(const std::string& name) override {
    folder_ += L"\\" + WideOf(name, CP_UTF8);
    held_.push_back(OpenPlainFolder(folder_));
    return held_.back() != nullptr;
  }
  int WriteFile(const std::string& name, struct archive* pArchive, struct archive_entry* pEntry,
                std::optional<uint32_t> nDataCrc) override {
    return WriteFileIn(folder_, WideOf(name, CP_UTF8), pArchive, pEntry, nDataCrc);
  }

 private:
  std::wstring folder_;
  std::vector<HeldHandle> held_;  // pinned until the entry is written
};

}  // namespace

std::unique_ptr<EntryDestination> OpenEntryDestination(const std::string& destDir) {
  std::wstring folder = LongPathOf(destDir);
  if (!MakeDestination(folder)) return nullptr;
  return std::make_unique<Win32Destination>(std::move(folder));
}

}  // namespace unrar_module
