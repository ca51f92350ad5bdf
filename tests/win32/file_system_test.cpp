// Win32FileSystem against the system it runs on, in a fresh temporary folder: handles, opening
// and sharing, attributes and times by path, copies, moves and directories, enumeration in the
// interface's order, paths and temporary names, and version resources (of a system library and
// of copies of this program that the system's resource editor gives resources).
#include "platform/win32/win32_file_system.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string_view>
#include <tuple>
#include <vector>

#include "platform/ansi_case.h"
#include "platform/program_path.h"
#include "platform/win32/win32_modules.h"
#include "win32/scratch_places.h"
#include "win32/wine_check.h"

namespace platform::win32 {
namespace {

using tarvium::test::RunsUnderWine;
using tarvium::test::ScratchFolder;

uint32_t AttributesOf(FileSystem& files, const std::string& path) {
  uint32_t dwAttributes = 0;
  files.GetFileAttributes(path, dwAttributes);
  return dwAttributes;
}

std::string Contents(FileSystem& files, const std::string& path) {
  std::string bytes;
  EXPECT_EQ(files.ReadWholeFile(path, bytes), ERROR_SUCCESS) << path;
  return bytes;
}

std::vector<std::string> Names(FileSystem& files, const std::string& pattern, uint32_t& err) {
  std::vector<std::string> names;
  FindHandle hFind = FindHandle::Invalid;
  FindData data;
  err = files.FindFirstFile(pattern, hFind, data);
  if (err) return names;
  do names.push_back(data.cFileName);
  while (files.FindNextFile(hFind, data) == ERROR_SUCCESS);
  EXPECT_EQ(files.FindNextFile(hFind, data), ERROR_NO_MORE_FILES);
  EXPECT_EQ(files.FindClose(hFind), ERROR_SUCCESS);
  return names;
}

uint32_t MakeFileWithAttributes(FileSystem& files, const std::string& path, uint32_t dwAttributes) {
  if (uint32_t err = files.WriteWholeFile(path, "x")) return err;
  return files.SetFileAttributes(path, dwAttributes);
}

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

TEST(Win32FileSystem, HandlesReadWriteMoveCutCopyAndKeepTheirTimes) {
  ScratchFolder folder;
  Win32FileSystem files;
  const std::string path = folder / "data.bin";
  FileHandle hFile = FileHandle::Invalid;
  ASSERT_EQ(files.CreateFile(path, GENERIC_READ | GENERIC_WRITE, CREATE_NEW, 0, hFile),
            ERROR_SUCCESS);
  EXPECT_NE(hFile, FileHandle::Invalid);
  uint32_t n = 0;
  ASSERT_EQ(files.WriteFile(hFile, "0123456789", 10, n), ERROR_SUCCESS);
  EXPECT_EQ(n, 10u);
  uint64_t nPosition = 0;
  ASSERT_EQ(files.SetFilePointerEx(hFile, -4, FILE_END, &nPosition), ERROR_SUCCESS);
  EXPECT_EQ(nPosition, 6u);
  char buffer[16] = {};
  ASSERT_EQ(files.ReadFile(hFile, buffer, sizeof buffer, n), ERROR_SUCCESS);
  EXPECT_EQ(std::string(buffer, n), "6789");
  ASSERT_EQ(files.ReadFile(hFile, buffer, sizeof buffer, n), ERROR_SUCCESS);
  EXPECT_EQ(n, 0u);  // the end of the file
  ASSERT_EQ(files.ReadFileAt(hFile, 2, buffer, 4, n), ERROR_SUCCESS);
  EXPECT_EQ(std::string(buffer, n), "2345");
  ASSERT_EQ(files.SetFilePointerEx(hFile, 0, FILE_CURRENT, &nPosition), ERROR_SUCCESS);
  EXPECT_EQ(nPosition, 10u);  // where the read at an offset found it
  EXPECT_EQ(files.SetFilePointerEx(hFile, -1, FILE_BEGIN, nullptr), ERROR_NEGATIVE_SEEK);
  EXPECT_EQ(files.SetFilePointerEx(hFile, -20, FILE_CURRENT, nullptr), ERROR_NEGATIVE_SEEK);
  ASSERT_EQ(files.SetFilePointerEx(hFile, 3, FILE_BEGIN, nullptr), ERROR_SUCCESS);
  ASSERT_EQ(files.SetEndOfFile(hFile), ERROR_SUCCESS);
  uint64_t nSize = 0;
  ASSERT_EQ(files.GetFileSizeEx(hFile, nSize), ERROR_SUCCESS);
  EXPECT_EQ(nSize, 3u);

  // Times set on the handle; 0 leaves the last-access time as it was.
  FileTimes before;
  ASSERT_EQ(files.GetFileTime(hFile, before), ERROR_SUCCESS);
  const uint64_t ft1980 = 0x01A8E79FE1D58000ULL;
  ASSERT_EQ(files.SetFileTime(hFile, {0, 0, ft1980}), ERROR_SUCCESS);
  FileInfo info;
  ASSERT_EQ(files.GetFileInformationByHandle(hFile, info), ERROR_SUCCESS);
  EXPECT_EQ(info.times.ftLastWriteTime, ft1980);
  EXPECT_EQ(info.times.ftLastAccessTime, before.ftLastAccessTime);
  EXPECT_EQ(info.nFileSize, 3u);
  EXPECT_EQ(info.dwFileAttributes, FILE_ATTRIBUTE_ARCHIVE);
  ASSERT_EQ(files.WriteFile(hFile, "abc", 3, n), ERROR_SUCCESS);
  ASSERT_EQ(files.CloseHandle(hFile), ERROR_SUCCESS);
  EXPECT_EQ(files.CloseHandle(hFile), ERROR_INVALID_HANDLE);
  EXPECT_EQ(files.ReadFile(hFile, buffer, 1, n), ERROR_INVALID_HANDLE);
  EXPECT_EQ(files.SetFileTime(FileHandle::Invalid, before), ERROR_INVALID_HANDLE);

  // A handle for reading refuses writing; CopyFileRange moves the bytes of one handle to another.
  FileHandle hFrom = FileHandle::Invalid;
  FileHandle hTo = FileHandle::Invalid;
  ASSERT_EQ(files.OpenForReading(path, hFrom, info), ERROR_SUCCESS);
  EXPECT_EQ(info.nFileSize, 6u);
  EXPECT_EQ(files.WriteFile(hFrom, "x", 1, n), ERROR_ACCESS_DENIED);
  ASSERT_EQ(files.CreateFile(folder / "copy.bin", GENERIC_WRITE, CREATE_ALWAYS, 0, hTo),
            ERROR_SUCCESS);
  EXPECT_NE(hTo, hFrom);
  for (const auto& [nToCopy, nExpected] : {std::pair{4u, 4u}, {100u, 2u}, {100u, 0u}}) {
    uint32_t nCopied = 99;
    ASSERT_EQ(files.CopyFileRange(hFrom, hTo, nToCopy, nCopied), ERROR_SUCCESS);
    EXPECT_EQ(nCopied, nExpected);
  }
  EXPECT_EQ(files.CloseHandle(hFrom), ERROR_SUCCESS);
  EXPECT_EQ(files.CloseHandle(hTo), ERROR_SUCCESS);
  EXPECT_EQ(Contents(files, folder / "copy.bin"), "012abc");
}

TEST(Win32FileSystem, OpensAsTheDispositionSaysAndRefusesAsWindowsDoes) {
  ScratchFolder folder;
  Win32FileSystem files;
  const std::string file = folder / "file.txt";
  ASSERT_EQ(files.WriteWholeFile(file, "text"), ERROR_SUCCESS);
  ASSERT_EQ(MakeFileWithAttributes(files, folder / "readonly.txt", FILE_ATTRIBUTE_READONLY),
            ERROR_SUCCESS);
  ASSERT_EQ(MakeFileWithAttributes(files, folder / "hidden.txt", FILE_ATTRIBUTE_HIDDEN),
            ERROR_SUCCESS);
  struct OpenCase {
    const char* pszName;
    uint32_t dwAccess;
    uint32_t dwDisposition;
    uint32_t dwAttributes;
    uint32_t dwExpected;
  };
  const OpenCase cases[] = {
      {"file.txt", GENERIC_WRITE, CREATE_NEW, 0, ERROR_FILE_EXISTS},
      {"none.txt", GENERIC_READ, OPEN_EXISTING, 0, ERROR_FILE_NOT_FOUND},
      {"none.txt", GENERIC_WRITE, TRUNCATE_EXISTING, 0, ERROR_FILE_NOT_FOUND},
      {"none\\new.txt", GENERIC_WRITE, CREATE_ALWAYS, 0, ERROR_PATH_NOT_FOUND},
      {".", GENERIC_READ, OPEN_EXISTING, 0, ERROR_ACCESS_DENIED},  // a directory
      {"readonly.txt", GENERIC_READ, OPEN_EXISTING, 0, ERROR_SUCCESS},
      {"hidden.txt", GENERIC_WRITE, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN, ERROR_SUCCESS},
      {"system.txt", GENERIC_WRITE, CREATE_NEW, FILE_ATTRIBUTE_SYSTEM, ERROR_SUCCESS},
      {"always.txt", GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS, 0, ERROR_SUCCESS},
  };
  for (const auto& [pszName, dwAccess, dwDisposition, dwAttributes, dwExpected] : cases) {
    FileHandle hFile = FileHandle::Invalid;
    EXPECT_EQ(files.CreateFile(folder / pszName, dwAccess, dwDisposition, dwAttributes, hFile),
              dwExpected)
        << pszName << " " << dwDisposition;
    EXPECT_EQ(hFile == FileHandle::Invalid, dwExpected != ERROR_SUCCESS) << pszName;
    if (hFile != FileHandle::Invalid) {
      EXPECT_EQ(files.CloseHandle(hFile), ERROR_SUCCESS);
    }
  }
  // New and rewritten files get the archive attribute besides their own.
  EXPECT_EQ(AttributesOf(files, folder / "hidden.txt"),
            FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(AttributesOf(files, folder / "system.txt"),
            FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(AttributesOf(files, folder / "always.txt"), FILE_ATTRIBUTE_ARCHIVE);

  // A writer lets others read but not write, delete or rename; readers let a writer in.
  FileHandle hWriter = FileHandle::Invalid;
  FileHandle hReader = FileHandle::Invalid;
  FileHandle hOther = FileHandle::Invalid;
  ASSERT_EQ(files.CreateFile(file, GENERIC_WRITE, OPEN_EXISTING, 0, hWriter), ERROR_SUCCESS);
  ASSERT_EQ(files.CreateFile(file, GENERIC_READ, OPEN_EXISTING, 0, hReader), ERROR_SUCCESS);
  EXPECT_EQ(files.CreateFile(file, GENERIC_WRITE, OPEN_EXISTING, 0, hOther),
            ERROR_SHARING_VIOLATION);
  EXPECT_EQ(files.DeleteFile(file), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(files.MoveFileEx(file, folder / "moved.txt", 0), ERROR_SHARING_VIOLATION);
  ASSERT_EQ(files.CloseHandle(hWriter), ERROR_SUCCESS);
  ASSERT_EQ(files.CreateFile(file, GENERIC_WRITE, OPEN_EXISTING, 0, hOther), ERROR_SUCCESS);
  EXPECT_EQ(files.CloseHandle(hOther), ERROR_SUCCESS);
  EXPECT_EQ(files.CloseHandle(hReader), ERROR_SUCCESS);
  // The program that runs is in use.
  const std::string program = RunningProgramHostPath();
  ASSERT_TRUE(AnsiEndsWithNoCase(program, ".exe")) << program;
  ASSERT_TRUE(files.FileExists(program)) << program;
  EXPECT_EQ(files.CreateFile(program, GENERIC_WRITE, OPEN_EXISTING, 0, hOther),
            ERROR_SHARING_VIOLATION);

  // Whole files: the errors of opening them, and a shorter text cuts a rewritten file.
  std::string bytes;
  EXPECT_EQ(files.ReadWholeFile(folder / "none.txt", bytes), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(files.ReadWholeFile(folder / "none\\file.txt", bytes), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(files.ReadWholeFile(folder.Path(), bytes), ERROR_ACCESS_DENIED);
  ASSERT_EQ(files.WriteWholeFile(file, "new"), ERROR_SUCCESS);
  EXPECT_EQ(Contents(files, file), "new");
}

TEST(Win32FileSystem, SetsAndTellsAttributesAndTimesByPath) {
  ScratchFolder folder;
  Win32FileSystem files;
  const std::string file = folder / "file.dat";
  const std::string dir = folder / "Dir";
  ASSERT_EQ(files.WriteWholeFile(file, "12345"), ERROR_SUCCESS);
  ASSERT_EQ(files.CreateDirectory(dir), ERROR_SUCCESS);
  EXPECT_EQ(AttributesOf(files, file), FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(AttributesOf(files, dir), FILE_ATTRIBUTE_DIRECTORY);

  // A read-only file still takes new times.
  // Wine shows every file as an archive, whatever was set: the comparisons leave that bit out.
  const uint32_t dwSet = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  ASSERT_EQ(files.SetFileAttributes(file, dwSet), ERROR_SUCCESS);
  const FileTimes times{0, 0x01D1000000000002ULL, 0x01D2000000000003ULL};
  ASSERT_EQ(files.SetFileTimes(file, times), ERROR_SUCCESS);
  FileInfo info;
  ASSERT_EQ(files.GetFileAttributesEx(file, info), ERROR_SUCCESS);
  EXPECT_EQ(info.dwFileAttributes & ~FILE_ATTRIBUTE_ARCHIVE, dwSet);
  EXPECT_EQ(info.nFileSize, 5u);
  EXPECT_EQ(info.times.ftLastAccessTime, times.ftLastAccessTime);
  EXPECT_EQ(info.times.ftLastWriteTime, times.ftLastWriteTime);
  ASSERT_EQ(files.SetFileTimes(dir, times), ERROR_SUCCESS);
  ASSERT_EQ(files.GetFileAttributesEx(dir, info), ERROR_SUCCESS);
  EXPECT_EQ(info.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(info.times.ftLastWriteTime, times.ftLastWriteTime);
  EXPECT_EQ(info.nFileSize, 0u);

  for (const auto& [pszName, dwExpected] :
       {std::pair{"none.dat", ERROR_FILE_NOT_FOUND}, {"none\\file.dat", ERROR_PATH_NOT_FOUND}}) {
    const std::string path = folder / pszName;
    uint32_t dwAttributes = 0;
    EXPECT_EQ(files.GetFileAttributes(path, dwAttributes), dwExpected) << pszName;
    EXPECT_EQ(dwAttributes, INVALID_FILE_ATTRIBUTES) << pszName;
    EXPECT_EQ(files.GetFileAttributesEx(path, info), dwExpected) << pszName;
    EXPECT_EQ(files.SetFileAttributes(path, FILE_ATTRIBUTE_HIDDEN), dwExpected) << pszName;
    EXPECT_EQ(files.SetFileTimes(path, times), dwExpected) << pszName;
    EXPECT_EQ(files.DeleteFile(path), dwExpected) << pszName;
  }

  // Read-only refuses deletion until FILE_ATTRIBUTE_NORMAL clears it; a directory is no file.
  EXPECT_EQ(files.DeleteFile(file), ERROR_ACCESS_DENIED);
  EXPECT_EQ(files.DeleteFile(dir), ERROR_ACCESS_DENIED);
  ASSERT_EQ(files.SetFileAttributes(file, FILE_ATTRIBUTE_NORMAL), ERROR_SUCCESS);
  EXPECT_EQ(AttributesOf(files, file) & dwSet, 0u);
  // Attributes as a listing gives them: the directory bit is no change to make.
  ASSERT_EQ(files.SetFileAttributes(file, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN),
            ERROR_SUCCESS);
  EXPECT_EQ(AttributesOf(files, file) & ~FILE_ATTRIBUTE_ARCHIVE, FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(files.DeleteFile(file), ERROR_SUCCESS);
  EXPECT_FALSE(files.FileExists(file));
}

TEST(Win32FileSystem, CopiesMovesAndMakesAndRemovesDirectories) {
  ScratchFolder folder;
  Win32FileSystem files;
  const std::string a = folder / "a.txt";
  const std::string b = folder / "b.txt";
  ASSERT_EQ(files.WriteWholeFile(a, "AAA"), ERROR_SUCCESS);
  ASSERT_EQ(files.WriteWholeFile(b, "B"), ERROR_SUCCESS);
  ASSERT_EQ(files.SetFileTimes(a, {0, 0, 0x01D5000000000000ULL}), ERROR_SUCCESS);
  ASSERT_EQ(files.SetFileAttributes(a, FILE_ATTRIBUTE_SYSTEM), ERROR_SUCCESS);

  EXPECT_EQ(files.CopyFile(a, b, true), ERROR_FILE_EXISTS);
  EXPECT_EQ(files.CopyFile(folder / "none.txt", folder / "c.txt", false), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(files.CopyFile(a, folder / "copy.txt", false), ERROR_SUCCESS);
  FileInfo source;
  FileInfo copy;
  ASSERT_EQ(files.GetFileAttributesEx(a, source), ERROR_SUCCESS);
  ASSERT_EQ(files.GetFileAttributesEx(folder / "copy.txt", copy), ERROR_SUCCESS);
  EXPECT_EQ(copy.dwFileAttributes, FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(copy.times.ftLastWriteTime, source.times.ftLastWriteTime);
  EXPECT_EQ(Contents(files, folder / "copy.txt"), "AAA");

  EXPECT_EQ(files.MoveFileEx(a, b, 0), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(files.MoveFileEx(a, folder / "none\\a.txt", 0), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(files.MoveFileEx(folder / "none.txt", folder / "c.txt", 0), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(files.MoveFileEx(a, folder / "B.txt", MOVEFILE_REPLACE_EXISTING), ERROR_SUCCESS);
  EXPECT_EQ(Contents(files, b), "AAA");
  EXPECT_EQ(AttributesOf(files, b) & ~FILE_ATTRIBUTE_ARCHIVE, FILE_ATTRIBUTE_SYSTEM);  // moved
  EXPECT_FALSE(files.FileExists(a));

  // Directory trees, with either slash and a trailing one.
  EXPECT_EQ(files.CreateDirectory(folder / "x\\y"), ERROR_PATH_NOT_FOUND);
  ASSERT_EQ(files.CreateDirectoryTree(folder / "x\\y\\z"), ERROR_SUCCESS);
  EXPECT_EQ(files.CreateDirectoryTree(folder / "X\\Y\\Z\\"), ERROR_ALREADY_EXISTS);
  ASSERT_EQ(files.CreateDirectoryTree(folder / "p/q/"), ERROR_SUCCESS);
  EXPECT_TRUE(files.DirectoryExists(folder / "p\\q"));
  EXPECT_EQ(files.CreateDirectory(folder / "x"), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(files.CreateDirectory(b), ERROR_ALREADY_EXISTS);
  ASSERT_EQ(files.MoveFileEx(folder / "x", folder / "w", 0), ERROR_SUCCESS);  // with its content
  EXPECT_TRUE(files.DirectoryExists(folder / "w\\y\\z"));
  EXPECT_EQ(files.RemoveDirectory(folder / "w"), ERROR_DIR_NOT_EMPTY);
  EXPECT_EQ(files.RemoveDirectory(b), ERROR_DIRECTORY);
  EXPECT_EQ(files.RemoveDirectory(folder / "none"), ERROR_FILE_NOT_FOUND);

  struct EmptyCase {
    const char* pszName;
    uint32_t dwExpected;
    bool bEmpty;
  };
  const EmptyCase emptyCases[] = {
      {"w", ERROR_SUCCESS, false},           {"w\\y\\z", ERROR_SUCCESS, true},
      {"w\\y\\z\\", ERROR_SUCCESS, true},    {"b.txt", ERROR_DIRECTORY, false},
      {"none", ERROR_FILE_NOT_FOUND, false}, {"none\\x", ERROR_PATH_NOT_FOUND, false},
  };
  for (const auto& [pszName, dwExpected, bExpectedEmpty] : emptyCases) {
    bool bEmpty = !bExpectedEmpty;
    EXPECT_EQ(files.IsDirectoryEmpty(folder / pszName, bEmpty), dwExpected) << pszName;
    EXPECT_EQ(bEmpty, bExpectedEmpty) << pszName;
  }

  {
    CurrentDirectoryKept kept(files);
    ASSERT_EQ(files.SetCurrentDirectory(folder / "w\\y"), ERROR_SUCCESS);
    EXPECT_EQ(files.RemoveDirectory("z"), ERROR_SUCCESS);  // relative to the current directory
    EXPECT_EQ(files.RemoveDirectory(folder / "w\\y"), ERROR_SHARING_VIOLATION);
  }
  EXPECT_EQ(files.RemoveDirectory(folder / "w\\y"), ERROR_SUCCESS);

  // A delete at the next restart is only recorded (administrators may, others are refused).
  const uint32_t errLater = files.MoveFileEx(b, "", MOVEFILE_DELAY_UNTIL_REBOOT);
  EXPECT_TRUE(errLater == ERROR_SUCCESS || errLater == ERROR_ACCESS_DENIED) << errLater;
  EXPECT_TRUE(files.FileExists(b));
}

TEST(Win32FileSystem, TimesAndAttributesStayExactlyAsSet) {
  if (RunsUnderWine())
    GTEST_SKIP() << "Wine keeps no creation time (it shows the Unix change time), moves the write "
                    "time with every write whatever was set, and shows every file as an archive";
  ScratchFolder folder;
  Win32FileSystem files;
  const std::string file = folder / "file.dat";
  const uint64_t ft1980 = 0x01A8E79FE1D58000ULL;
  FileHandle hFile = FileHandle::Invalid;
  ASSERT_EQ(files.CreateFile(file, GENERIC_WRITE, CREATE_NEW, 0, hFile), ERROR_SUCCESS);
  ASSERT_EQ(files.SetFileTime(hFile, {ft1980, ft1980, ft1980}), ERROR_SUCCESS);
  uint32_t n = 0;
  ASSERT_EQ(files.WriteFile(hFile, "block", 5, n), ERROR_SUCCESS);
  FileTimes times;
  ASSERT_EQ(files.GetFileTime(hFile, times), ERROR_SUCCESS);
  EXPECT_EQ(times.ftCreationTime, ft1980);
  EXPECT_EQ(times.ftLastWriteTime, ft1980);  // kept while the handle writes
  ASSERT_EQ(files.CloseHandle(hFile), ERROR_SUCCESS);
  FileInfo info;
  ASSERT_EQ(files.GetFileAttributesEx(file, info), ERROR_SUCCESS);
  EXPECT_EQ(info.times.ftCreationTime, ft1980);
  EXPECT_EQ(info.times.ftLastWriteTime, ft1980);

  const uint32_t dwSet = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  ASSERT_EQ(files.SetFileAttributes(file, dwSet), ERROR_SUCCESS);
  EXPECT_EQ(AttributesOf(files, file), dwSet);
  ASSERT_EQ(files.SetFileAttributes(file, FILE_ATTRIBUTE_NORMAL), ERROR_SUCCESS);
  EXPECT_EQ(AttributesOf(files, file), FILE_ATTRIBUTE_NORMAL);

  const std::string dir = folder / "Dir";
  ASSERT_EQ(files.CreateDirectory(dir), ERROR_SUCCESS);
  ASSERT_EQ(files.SetFileTimes(dir, {ft1980, 0, 0}), ERROR_SUCCESS);
  ASSERT_EQ(files.GetFileAttributesEx(dir, info), ERROR_SUCCESS);
  EXPECT_EQ(info.times.ftCreationTime, ft1980);

  // A copy is made now, with the source's write time.
  ASSERT_EQ(files.CopyFile(file, folder / "copy.dat", false), ERROR_SUCCESS);
  ASSERT_EQ(files.GetFileAttributesEx(folder / "copy.dat", info), ERROR_SUCCESS);
  EXPECT_GT(info.times.ftCreationTime, ft1980);
  EXPECT_EQ(info.times.ftLastWriteTime, ft1980);
}

TEST(Win32FileSystem, RefusesWhatWineLetsThrough) {
  if (RunsUnderWine())
    GTEST_SKIP() << "Wine rewrites a hidden file without the attribute, writes a read-only file "
                    "when the superuser runs it (it keeps the attribute as a Unix permission), "
                    "renames a folder that holds the current directory, records a deferred move "
                    "that may copy, and calls a missing folder's trailing backslash no file";
  ScratchFolder folder;
  Win32FileSystem files;
  ASSERT_EQ(MakeFileWithAttributes(files, folder / "readonly.txt", FILE_ATTRIBUTE_READONLY),
            ERROR_SUCCESS);
  ASSERT_EQ(MakeFileWithAttributes(files, folder / "hidden.txt", FILE_ATTRIBUTE_HIDDEN),
            ERROR_SUCCESS);
  const std::tuple<const char*, uint32_t, uint32_t> opens[] = {
      {"readonly.txt", OPEN_EXISTING, ERROR_ACCESS_DENIED},
      {"readonly.txt", CREATE_ALWAYS, ERROR_ACCESS_DENIED},
      {"hidden.txt", CREATE_ALWAYS, ERROR_ACCESS_DENIED},  // without the hidden attribute again
  };
  for (const auto& [pszName, dwDisposition, dwExpected] : opens) {
    FileHandle hFile = FileHandle::Invalid;
    EXPECT_EQ(files.CreateFile(folder / pszName, GENERIC_WRITE, dwDisposition, 0, hFile),
              dwExpected)
        << pszName << " " << dwDisposition;
    files.CloseHandle(hFile);  // should one have opened
  }
  ASSERT_EQ(files.CreateDirectoryTree(folder / "outer\\inner"), ERROR_SUCCESS);
  {
    CurrentDirectoryKept kept(files);
    ASSERT_EQ(files.SetCurrentDirectory(folder / "outer\\inner"), ERROR_SUCCESS);
    EXPECT_EQ(files.MoveFileEx(folder / "outer", folder / "moved", 0), ERROR_SHARING_VIOLATION);
  }
  EXPECT_EQ(files.MoveFileEx(folder / "hidden.txt", folder / "later.txt",
                             MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_COPY_ALLOWED),
            ERROR_INVALID_PARAMETER);
  FindHandle hFind = FindHandle::Invalid;
  FindData data;
  EXPECT_EQ(files.FindFirstFile(folder / "none\\", hFind, data), ERROR_PATH_NOT_FOUND);
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
      {"*.txt", {"ABD.txt", "zeta.TXT"}},
      {"A?C*", {"abc", "aXc.doc"}},
      {"NOEXT", {"noext"}},
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
      {"sub\\", ERROR_FILE_NOT_FOUND},
  };
  for (const auto& [pszPattern, dwExpected] : failures) {
    uint32_t err = 0;
    EXPECT_TRUE(Names(files, folder / pszPattern, err).empty()) << pszPattern;
    EXPECT_EQ(err, dwExpected) << pszPattern;
  }
  // A drive's root lists no "." and "..".
  uint32_t err = 0;
  for (const std::string& name : Names(files, folder.Path().substr(0, 3) + "*", err)) {
    EXPECT_NE(name, ".");
    EXPECT_NE(name, "..");
  }
  EXPECT_EQ(err, ERROR_SUCCESS);

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
  ASSERT_EQ(files.FindFirstFile(folder / "s*", hFind, data), ERROR_SUCCESS);
  EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(data.nFileSize, 0u);
  EXPECT_EQ(files.FindClose(hFind), ERROR_SUCCESS);
}

TEST(Win32FileSystem, CurrentDirectoryFullPathsTemporaryNamesAndFreeSpace) {
  ScratchFolder folder;
  Win32FileSystem files;
  ASSERT_EQ(files.WriteWholeFile(folder / "file.txt", ""), ERROR_SUCCESS);
  {
    CurrentDirectoryKept kept(files);
    ASSERT_EQ(files.SetCurrentDirectory(folder.Path()), ERROR_SUCCESS);
    std::string current;
    ASSERT_EQ(files.GetCurrentDirectory(current), ERROR_SUCCESS);
    EXPECT_TRUE(AnsiEqualNoCase(current, folder.Path())) << current;
    EXPECT_EQ(HostCurrentDirectory(), current);
    std::string full;
    ASSERT_EQ(files.GetFullPathName("sub\\..\\new.txt", full), ERROR_SUCCESS);
    EXPECT_TRUE(AnsiEqualNoCase(full, folder / "new.txt")) << full;
    EXPECT_EQ(files.SetCurrentDirectory(folder / "none"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(files.SetCurrentDirectory(folder / "file.txt"), ERROR_DIRECTORY);
  }

  std::string temp;
  ASSERT_EQ(files.GetTempPath(temp), ERROR_SUCCESS);
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_TRUE(files.DirectoryExists(temp));
  std::string first;
  std::string second;
  ASSERT_EQ(files.GetTempFileName(folder.Path(), "setup", 0, first), ERROR_SUCCESS);
  ASSERT_EQ(files.GetTempFileName(folder.Path(), "setup", 0, second), ERROR_SUCCESS);
  EXPECT_NE(first, second);
  for (const std::string& name : {first, second}) {
    EXPECT_TRUE(AnsiStartsWithNoCase(name, folder / "set")) << name;
    EXPECT_TRUE(AnsiEndsWithNoCase(name, ".tmp")) << name;
    EXPECT_TRUE(files.FileExists(name)) << name;  // made, empty
  }
  std::string named;
  ASSERT_EQ(files.GetTempFileName(folder.Path(), "~x", 0x12A2B, named), ERROR_SUCCESS);
  EXPECT_TRUE(AnsiEqualNoCase(named, folder / "~x2A2B.tmp")) << named;
  EXPECT_FALSE(files.FileExists(named));  // a given number only forms the name
  EXPECT_EQ(files.GetTempFileName(folder / "none", "x", 0, named), ERROR_DIRECTORY);

  // Short and long forms lead back to the same entry.
  const std::string longPath = folder / "A Folder With A Long Name";
  ASSERT_EQ(files.CreateDirectory(longPath), ERROR_SUCCESS);
  std::string shortPath;
  std::string backPath;
  ASSERT_EQ(files.GetShortPathName(longPath, shortPath), ERROR_SUCCESS);
  ASSERT_EQ(files.GetLongPathName(shortPath, backPath), ERROR_SUCCESS);
  EXPECT_TRUE(AnsiEqualNoCase(backPath, longPath)) << shortPath << " " << backPath;
  EXPECT_TRUE(files.DirectoryExists(shortPath)) << shortPath;
  EXPECT_EQ(files.GetShortPathName(folder / "none", shortPath), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(files.GetLongPathName(folder / "none", backPath), ERROR_FILE_NOT_FOUND);

  DiskSpace space;
  ASSERT_EQ(files.GetDiskFreeSpaceEx(folder.Path(), space), ERROR_SUCCESS);
  EXPECT_GT(space.nTotalBytes, 0u);
  EXPECT_GT(space.nTotalFreeBytes, 0u);
  EXPECT_LE(space.nFreeBytesAvailable, space.nTotalFreeBytes);
  EXPECT_LE(space.nTotalFreeBytes, space.nTotalBytes);
}

// A VS_VERSIONINFO of file version 1.2.3.4 with only its fixed part.
std::vector<uint8_t> SmallVersionResource() {
  std::vector<uint8_t> block;
  const auto addU16 = [&](uint16_t w) {
    block.push_back(static_cast<uint8_t>(w));
    block.push_back(static_cast<uint8_t>(w >> 8));
  };
  addU16(0);   // its length, set below
  addU16(52);  // the fixed part's length
  addU16(0);   // binary
  for (char c : std::string_view("VS_VERSION_INFO")) addU16(static_cast<uint16_t>(c));
  addU16(0);
  while (block.size() % 4) block.push_back(0);
  for (uint32_t dw : {0xFEEF04BDu, 0x10000u, 0x10002u, 0x30004u, 0x10002u, 0x30004u, 0x3Fu, 0u,
                      0x40004u, 1u, 0u, 0u, 0u}) {
    addU16(static_cast<uint16_t>(dw));
    addU16(static_cast<uint16_t>(dw >> 16));
  }
  block[0] = static_cast<uint8_t>(block.size());
  return block;
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
  const char* pszSystemRoot = std::getenv("SystemRoot");
  ASSERT_NE(pszSystemRoot, nullptr);
  std::vector<uint8_t> block;
  ASSERT_EQ(
      files.GetFileVersionInfo(std::string(pszSystemRoot) + "\\system32\\kernel32.dll", block),
      ERROR_SUCCESS);
  ASSERT_GE(block.size(), 40u);
  EXPECT_EQ(static_cast<size_t>(block[0] | block[1] << 8), block.size());  // the resource alone
  const std::string_view kKey("V\0S\0_\0V\0E\0R\0S\0I\0O\0N\0_\0I\0N\0F\0O\0", 30);
  EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(block.data()) + 6, kKey.size()), kKey);

  // Copies of this program (built without resources), one given data, one given a version.
  const std::string program = RunningProgramHostPath();
  for (const char* name : {"bare.exe", "data.exe", "versioned.exe"})
    ASSERT_EQ(files.CopyFile(program, folder / name, false), ERROR_SUCCESS) << name;
  constexpr uint16_t kRcData = 10;
  constexpr uint16_t kVersion = 16;
  ASSERT_TRUE(AddResource(folder / "data.exe", kRcData, {1, 2, 3, 4}));
  ASSERT_TRUE(AddResource(folder / "versioned.exe", kVersion, SmallVersionResource()));
  ASSERT_EQ(files.GetFileVersionInfo(folder / "versioned.exe", block), ERROR_SUCCESS);
  EXPECT_EQ(block, SmallVersionResource());

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
  EXPECT_EQ(files.GetFileVersionInfo("versioned.exe", block), ERROR_SUCCESS);
}

}  // namespace
}  // namespace platform::win32
