// Win32FileSystem's own work against the system it runs on, in a fresh temporary folder: its
// handle table and sharing, attributes and times given as the interface says, directory trees,
// enumeration in the interface's order, paths read through growing buffers, and why a file has no
// version resource (asked of copies of this program that the system's resource editor changes).
#include "platform/win32/win32_file_system.h"

#include <gtest/gtest.h>

#include <string_view>
#include <tuple>
#include <vector>

#include "platform/ansi_case.h"
#include "platform/program_path.h"
#include "platform/win32/win32_modules.h"
#include "support/file_system_queries.h"
#include "win32/scratch_places.h"
#include "win32/wine_check.h"

namespace platform::win32 {
namespace {

using tarvium::test::RunsUnderWine;
using tarvium::test::ScratchFolder;

using tarvium::test::AttributesOf;
using tarvium::test::Names;

// Restores the process's current directory at the end of a test that changes it.
class CurrentDirectoryKept {
 public:
  explicit CurrentDirectoryKept(FileSystem& files) : files_(files) {
    EXPECT_EQ(files_.GetCurrentDirectory(previous_), ERROR_SUCCESS);
  }
  ~CurrentDirectoryKept() { files_.SetCurrentDirectory(previous_); }
  CurrentDirectoryKept(const CurrentDirectoryKept&) = delete;
  CurrentDirectoryKept& operator=(const CurrentDirectoryKept&) = delete;

 private:
  FileSystem& files_;
  std::string previous_;
};

TEST(Win32FileSystem, HandlesShareAsTheyShouldAndLeaveUnsetTimesAlone) {
  ScratchFolder folder;
  Win32FileSystem files;
  const std::string path = folder / "data.bin";
  FileHandle hFile = FileHandle::Invalid;
  ASSERT_EQ(files.CreateFile(path, GENERIC_READ | GENERIC_WRITE, CREATE_NEW, 0, hFile),
            ERROR_SUCCESS);
  uint32_t n = 0;
  ASSERT_EQ(files.WriteFile(hFile, "0123456789", 10, n), ERROR_SUCCESS);
  uint64_t nPosition = 0;
  ASSERT_EQ(files.SetFilePointerEx(hFile, -4, FILE_END, &nPosition), ERROR_SUCCESS);
  EXPECT_EQ(nPosition, 6u);
  char buffer[16] = {};
  ASSERT_EQ(files.ReadFile(hFile, buffer, sizeof buffer, n), ERROR_SUCCESS);
  EXPECT_EQ(std::string(buffer, n), "6789");
  // Times set on the handle; 0 leaves a time as it was.
  FileTimes before;
  ASSERT_EQ(files.GetFileTime(hFile, before), ERROR_SUCCESS);
  const uint64_t ft1980 = 0x01A8E79FE1D58000ULL;
  ASSERT_EQ(files.SetFileTime(hFile, {0, 0, ft1980}), ERROR_SUCCESS);
  FileInfo info;
  ASSERT_EQ(files.GetFileInformationByHandle(hFile, info), ERROR_SUCCESS);
  EXPECT_EQ(info.times.ftLastWriteTime, ft1980);
  EXPECT_EQ(info.times.ftLastAccessTime, before.ftLastAccessTime);
  EXPECT_EQ(info.nFileSize, 10u);
  EXPECT_EQ(info.dwFileAttributes, FILE_ATTRIBUTE_ARCHIVE);

  // A writer lets others read but not write; readers let a writer in.
  FileHandle hReader = FileHandle::Invalid;
  FileHandle hOther = FileHandle::Invalid;
  ASSERT_EQ(files.CreateFile(path, GENERIC_READ, OPEN_EXISTING, 0, hReader), ERROR_SUCCESS);
  EXPECT_NE(hReader, hFile);
  EXPECT_EQ(files.CreateFile(path, GENERIC_WRITE, OPEN_EXISTING, 0, hOther),
            ERROR_SHARING_VIOLATION);
  EXPECT_EQ(hOther, FileHandle::Invalid);
  ASSERT_EQ(files.CloseHandle(hFile), ERROR_SUCCESS);
  ASSERT_EQ(files.CreateFile(path, GENERIC_WRITE, OPEN_EXISTING, 0, hOther), ERROR_SUCCESS);
  EXPECT_EQ(files.CloseHandle(hOther), ERROR_SUCCESS);
  EXPECT_EQ(files.CloseHandle(hReader), ERROR_SUCCESS);
  // Closed handles are no handles.
  EXPECT_EQ(files.CloseHandle(hFile), ERROR_INVALID_HANDLE);
  EXPECT_EQ(files.ReadFile(hFile, buffer, 1, n), ERROR_INVALID_HANDLE);
  EXPECT_EQ(files.SetFileTime(FileHandle::Invalid, before), ERROR_INVALID_HANDLE);
}

TEST(Win32FileSystem, NewFilesGetTheirAttributesAndWholeFilesTheirErrors) {
  ScratchFolder folder;
  Win32FileSystem files;
  ASSERT_EQ(files.WriteWholeFile(folder / "file.txt", "text"), ERROR_SUCCESS);
  const std::tuple<const char*, uint32_t, uint32_t, uint32_t> opens[] = {
      {"file.txt", CREATE_NEW, 0, ERROR_FILE_EXISTS},
      {"hidden.txt", CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN, ERROR_SUCCESS},
      {"system.txt", CREATE_NEW, FILE_ATTRIBUTE_SYSTEM, ERROR_SUCCESS},
  };
  for (const auto& [pszName, dwDisposition, dwAttributes, dwExpected] : opens) {
    FileHandle hFile = FileHandle::Invalid;
    EXPECT_EQ(files.CreateFile(folder / pszName, GENERIC_WRITE, dwDisposition, dwAttributes, hFile),
              dwExpected)
        << pszName;
    EXPECT_EQ(hFile == FileHandle::Invalid, dwExpected != ERROR_SUCCESS) << pszName;
    files.CloseHandle(hFile);  // should one have opened
  }
  // New files get the archive attribute besides their own.
  EXPECT_EQ(AttributesOf(files, folder / "hidden.txt"),
            FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(AttributesOf(files, folder / "system.txt"),
            FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
  for (const auto& [path, dwExpected] : {std::pair{folder / "none.txt", ERROR_FILE_NOT_FOUND},
                                         {folder / "none\\file.txt", ERROR_PATH_NOT_FOUND},
                                         {folder.Path(), ERROR_ACCESS_DENIED}}) {
    std::string bytes = "stale";
    EXPECT_EQ(files.ReadWholeFile(path, bytes), dwExpected) << path;
    EXPECT_EQ(bytes, "") << path;
  }
}

TEST(Win32FileSystem, SetsAttributesAndTimesByPathEvenOfReadOnlyFilesAndDirectories) {
  ScratchFolder folder;
  Win32FileSystem files;
  const std::string file = folder / "file.dat";
  const std::string dir = folder / "Dir";
  ASSERT_EQ(files.WriteWholeFile(file, "12345"), ERROR_SUCCESS);
  ASSERT_EQ(files.CreateDirectory(dir), ERROR_SUCCESS);
  // Attributes as a listing gives them: the directory bit is no change to make. Wine shows every
  // file as an archive, whatever was set: the comparisons leave that bit out.
  const uint32_t dwSet = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
  ASSERT_EQ(files.SetFileAttributes(file, dwSet | FILE_ATTRIBUTE_DIRECTORY), ERROR_SUCCESS);
  const FileTimes times{0, 0x01D1000000000002ULL, 0x01D2000000000003ULL};
  for (const std::string& path : {file, dir}) {
    ASSERT_EQ(files.SetFileTimes(path, times), ERROR_SUCCESS) << path;
    FileInfo info;
    ASSERT_EQ(files.GetFileAttributesEx(path, info), ERROR_SUCCESS);
    EXPECT_EQ(info.times.ftLastAccessTime, times.ftLastAccessTime) << path;
    EXPECT_EQ(info.times.ftLastWriteTime, times.ftLastWriteTime) << path;
    EXPECT_EQ(info.nFileSize, path == file ? 5u : 0u) << path;
    EXPECT_EQ(info.dwFileAttributes & ~FILE_ATTRIBUTE_ARCHIVE,
              path == file ? dwSet : FILE_ATTRIBUTE_DIRECTORY)
        << path;
  }
  ASSERT_EQ(files.SetFileAttributes(file, FILE_ATTRIBUTE_NORMAL), ERROR_SUCCESS);
  EXPECT_EQ(AttributesOf(files, file) & dwSet, 0u);
  uint32_t dwAttributes = 0;
  EXPECT_EQ(files.GetFileAttributes(folder / "none", dwAttributes), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(dwAttributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(files.SetFileTimes(folder / "none\\file.dat", times), ERROR_PATH_NOT_FOUND);
}

TEST(Win32FileSystem, CreationTimesAreSetByPathToo) {
  if (RunsUnderWine())
    GTEST_SKIP() << "Wine keeps no creation time (it shows the Unix change time)";
  ScratchFolder folder;
  Win32FileSystem files;
  const uint64_t ft1980 = 0x01A8E79FE1D58000ULL;
  ASSERT_EQ(files.CreateDirectory(folder / "Dir"), ERROR_SUCCESS);
  ASSERT_EQ(files.SetFileTimes(folder / "Dir", {ft1980, 0, 0}), ERROR_SUCCESS);
  FileInfo info;
  ASSERT_EQ(files.GetFileAttributesEx(folder / "Dir", info), ERROR_SUCCESS);
  EXPECT_EQ(info.times.ftCreationTime, ft1980);
  EXPECT_NE(info.times.ftLastWriteTime, ft1980);
}

TEST(Win32FileSystem, MakesDirectoryTreesAndTellsWhetherOneIsEmpty) {
  ScratchFolder folder;
  Win32FileSystem files;
  ASSERT_EQ(files.WriteWholeFile(folder / "b.txt", "B"), ERROR_SUCCESS);
  EXPECT_EQ(files.CreateDirectory(folder / "x\\y"), ERROR_PATH_NOT_FOUND);
  ASSERT_EQ(files.CreateDirectoryTree(folder / "x\\y\\z"), ERROR_SUCCESS);
  EXPECT_EQ(files.CreateDirectoryTree(folder / "X\\Y\\Z\\"), ERROR_ALREADY_EXISTS);
  ASSERT_EQ(files.CreateDirectoryTree(folder / "p/q/"), ERROR_SUCCESS);  // either slash
  EXPECT_TRUE(files.DirectoryExists(folder / "p\\q"));
  const std::tuple<const char*, uint32_t, bool> emptyCases[] = {
      {"x", ERROR_SUCCESS, false},           {"x\\y\\z", ERROR_SUCCESS, true},
      {"x\\y\\z\\", ERROR_SUCCESS, true},    {"b.txt", ERROR_DIRECTORY, false},
      {"none", ERROR_FILE_NOT_FOUND, false}, {"none\\x", ERROR_PATH_NOT_FOUND, false},
  };
  for (const auto& [pszName, dwExpected, bExpectedEmpty] : emptyCases) {
    bool bEmpty = !bExpectedEmpty;
    EXPECT_EQ(files.IsDirectoryEmpty(folder / pszName, bEmpty), dwExpected) << pszName;
    EXPECT_EQ(bEmpty, bExpectedEmpty) << pszName;
  }
  // An empty target is a delete at the next restart, only recorded (administrators may, others
  // are refused).
  const uint32_t errLater = files.MoveFileEx(folder / "b.txt", "", MOVEFILE_DELAY_UNTIL_REBOOT);
  EXPECT_TRUE(errLater == ERROR_SUCCESS || errLater == ERROR_ACCESS_DENIED) << errLater;
  EXPECT_TRUE(files.FileExists(folder / "b.txt"));
}

TEST(Win32FileSystem, EnumeratesASnapshotInTheOrderOfUpperCaseNames) {
  ScratchFolder folder;
  Win32FileSystem files;
  // Made out of order: the volume's own order must not show. "_" sorts after the letters by the
  // upper-case names, before the lower-case ones.
  for (const char* name : {"zeta.TXT", "abc", "_under", "ABD.txt", "aXc.doc", "a.b.c", "noext"})
    ASSERT_EQ(files.WriteWholeFile(folder / name, "12345"), ERROR_SUCCESS) << name;
  ASSERT_EQ(files.CreateDirectory(folder / "sub"), ERROR_SUCCESS);
  using NameList = std::vector<std::string>;
  const std::pair<const char*, NameList> listings[] = {
      {"*",
       {".", "..", "a.b.c", "abc", "ABD.txt", "aXc.doc", "noext", "sub", "zeta.TXT", "_under"}},
      {"A?C*", {"abc", "aXc.doc"}},
      {"sub\\*", {".", ".."}},
  };
  for (const auto& [pszPattern, expected] : listings) {
    uint32_t err = 0;
    EXPECT_EQ(Names(files, folder / pszPattern, err), expected) << pszPattern;
    EXPECT_EQ(err, ERROR_SUCCESS) << pszPattern;
  }
  const std::pair<const char*, uint32_t> failures[] = {
      {"*.none", ERROR_FILE_NOT_FOUND},
      {"none\\*", ERROR_PATH_NOT_FOUND},
  };
  for (const auto& [pszPattern, dwExpected] : failures) {
    uint32_t err = 0;
    EXPECT_TRUE(Names(files, folder / pszPattern, err).empty()) << pszPattern;
    EXPECT_EQ(err, dwExpected) << pszPattern;
  }
  // An entry tells its size and attributes; the listing stays as it was when it began.
  FindHandle hFind = FindHandle::Invalid;
  FindData data;
  ASSERT_EQ(files.FindFirstFile(folder / "a*", hFind, data), ERROR_SUCCESS);
  EXPECT_EQ(data.cFileName, "a.b.c");
  EXPECT_EQ(data.nFileSize, 5u);
  EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_NE(data.times.ftLastWriteTime, 0u);
  ASSERT_EQ(files.WriteWholeFile(folder / "ab", ""), ERROR_SUCCESS);
  NameList rest;
  while (files.FindNextFile(hFind, data) == ERROR_SUCCESS) rest.push_back(data.cFileName);
  EXPECT_EQ(rest, (NameList{"abc", "ABD.txt", "aXc.doc"}));
  EXPECT_EQ(files.FindClose(hFind), ERROR_SUCCESS);
  EXPECT_EQ(files.FindClose(hFind), ERROR_INVALID_HANDLE);
  EXPECT_EQ(files.FindNextFile(hFind, data), ERROR_INVALID_HANDLE);
}

TEST(Win32FileSystem, PathsComeWholeAndTemporaryNamesFromTheirNumber) {
  ScratchFolder folder;
  Win32FileSystem files;
  {
    CurrentDirectoryKept kept(files);
    ASSERT_EQ(files.SetCurrentDirectory(folder.Path()), ERROR_SUCCESS);
    std::string current;
    ASSERT_EQ(files.GetCurrentDirectory(current), ERROR_SUCCESS);
    EXPECT_TRUE(AnsiEqualNoCase(current, folder.Path())) << current;
    std::string full;
    ASSERT_EQ(files.GetFullPathName("sub\\..\\new.txt", full), ERROR_SUCCESS);
    EXPECT_TRUE(AnsiEqualNoCase(full, folder / "new.txt")) << full;
  }
  std::string named;
  ASSERT_EQ(files.GetTempFileName(folder.Path(), "~x", 0x12A2B, named), ERROR_SUCCESS);
  EXPECT_TRUE(AnsiEqualNoCase(named, folder / "~x2A2B.tmp")) << named;
  EXPECT_EQ(files.GetTempFileName(folder / "none", "x", 0, named), ERROR_DIRECTORY);
  EXPECT_EQ(named, "");

  // Short and long forms lead back to the same entry.
  const std::string longPath = folder / "A Folder With A Long Name";
  ASSERT_EQ(files.CreateDirectory(longPath), ERROR_SUCCESS);
  std::string shortPath;
  std::string backPath;
  ASSERT_EQ(files.GetShortPathName(longPath, shortPath), ERROR_SUCCESS);
  ASSERT_EQ(files.GetLongPathName(shortPath, backPath), ERROR_SUCCESS);
  EXPECT_TRUE(AnsiEqualNoCase(backPath, longPath)) << shortPath << " " << backPath;
  EXPECT_EQ(files.GetLongPathName(folder / "none", backPath), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(backPath, "");

  DiskSpace space;
  ASSERT_EQ(files.GetDiskFreeSpaceEx(folder.Path(), space), ERROR_SUCCESS);
  EXPECT_GT(space.nTotalFreeBytes, 0u);
  EXPECT_LE(space.nFreeBytesAvailable, space.nTotalFreeBytes);
  EXPECT_LE(space.nTotalFreeBytes, space.nTotalBytes);
}

// Gives an executable file one resource (name 1, US English) with the system's resource editor,
// reached through the modules service: this file includes no Windows header, whose macros would
// replace the interface's constants.
bool AddResource(const std::string& path, uint16_t nType, const std::vector<uint8_t>& data) {
  using BeginUpdate = void*(__stdcall*)(const char*, int);
  using Update = int(__stdcall*)(void*, const char*, const char*, uint16_t, void*, uint32_t);
  using EndUpdate = int(__stdcall*)(void*, int);
  Win32Modules modules;
  ModuleHandle hKernel = ModuleHandle::Invalid;
  if (modules.LoadLibrary("kernel32.dll", hKernel) != ERROR_SUCCESS) return false;
  const auto begin =
      reinterpret_cast<BeginUpdate>(modules.GetProcAddress(hKernel, "BeginUpdateResourceA"));
  const auto update = reinterpret_cast<Update>(modules.GetProcAddress(hKernel, "UpdateResourceA"));
  const auto end =
      reinterpret_cast<EndUpdate>(modules.GetProcAddress(hKernel, "EndUpdateResourceA"));
  const auto numbered = [](uintptr_t n) { return reinterpret_cast<const char*>(n); };
  void* hUpdate = begin && update && end ? begin(path.c_str(), 0) : nullptr;
  bool bDone = hUpdate != nullptr;
  if (bDone) {
    std::vector<uint8_t> bytes = data;
    const bool bAdded = update(hUpdate, numbered(nType), numbered(1), 0x0409, bytes.data(),
                               static_cast<uint32_t>(bytes.size()));
    bDone = end(hUpdate, !bAdded) && bAdded;
  }
  modules.FreeLibrary(hKernel);
  return bDone;
}

TEST(Win32FileSystem, GivesTheVersionResourceOrSaysWhyThereIsNone) {
  ScratchFolder folder;
  Win32FileSystem files;
  const std::string system32 = tarvium::test::EnvironmentText("SystemRoot") + "\\system32\\";
  std::vector<uint8_t> block;
  ASSERT_EQ(files.GetFileVersionInfo(system32 + "kernel32.dll", block), ERROR_SUCCESS);
  ASSERT_GE(block.size(), 40u);
  EXPECT_EQ(static_cast<size_t>(block[0] | block[1] << 8), block.size());  // the resource alone
  const std::string_view kKey("V\0S\0_\0V\0E\0R\0S\0I\0O\0N\0_\0I\0N\0F\0O\0", 30);
  EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(block.data()) + 6, kKey.size()), kKey);
  // Setup.exe's own: the fixed part after the key, its signature and the project's version.
  ASSERT_EQ(files.GetFileVersionInfo(TARVIUM_SETUP_EXE, block), ERROR_SUCCESS);
  ASSERT_GE(block.size(), 56u);
  const auto dword = [&block](size_t nAt) {
    return static_cast<uint32_t>(block[nAt] | block[nAt + 1] << 8 | block[nAt + 2] << 16 |
                                 block[nAt + 3] << 24);
  };
  EXPECT_EQ(dword(40), 0xFEEF04BDu);
  EXPECT_EQ(dword(48), static_cast<uint32_t>(TARVIUM_VERSION_MAJOR << 16 | TARVIUM_VERSION_MINOR));

  // Copies of this program (built without resources), one given data of another type.
  for (const char* name : {"bare.exe", "data.exe"})
    ASSERT_EQ(files.CopyFile(RunningProgramHostPath(), folder / name, false), ERROR_SUCCESS);
  constexpr uint16_t kRcData = 10;
  ASSERT_TRUE(AddResource(folder / "data.exe", kRcData, {1, 2, 3, 4}));
  ASSERT_EQ(files.WriteWholeFile(folder / "text.dll", "MZ and nothing more"), ERROR_SUCCESS);
  const std::pair<const char*, uint32_t> failures[] = {
      {"bare.exe", ERROR_RESOURCE_DATA_NOT_FOUND}, {"data.exe", ERROR_RESOURCE_TYPE_NOT_FOUND},
      {"text.dll", ERROR_BAD_EXE_FORMAT},          {"none.dll", ERROR_FILE_NOT_FOUND},
      {"none\\x.dll", ERROR_PATH_NOT_FOUND},
  };
  for (const auto& [pszName, dwExpected] : failures) {
    block.assign(3, 0);
    EXPECT_EQ(files.GetFileVersionInfo(folder / pszName, block), dwExpected) << pszName;
    EXPECT_TRUE(block.empty()) << pszName;
  }
  // A bare name is a file of the current directory, never a library of the search path.
  CurrentDirectoryKept kept(files);
  ASSERT_EQ(files.SetCurrentDirectory(folder.Path()), ERROR_SUCCESS);
  EXPECT_EQ(files.GetFileVersionInfo("kernel32.dll", block), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(files.GetFileVersionInfo("data.exe", block), ERROR_RESOURCE_TYPE_NOT_FOUND);
}

}  // namespace
}  // namespace platform::win32
