// The emulated machine's FileSystem on real temporary machine directories: drives and case,
// attributes and times, enumeration, handles, copy and move errors, temporary names and the fault
// seam. Path and pattern rules are in win_path_test.cpp. Files in use: a file that a real host
// process runs, maps or locks cannot be deleted or rewritten (ERROR_SHARING_VIOLATION); one merely
// open elsewhere can. The quick routes of a long-lived file system (a folder's last miss answered
// by its index, a plain path opened where its cached folder says, remembered folders and keys) must
// answer as a file system that has seen nothing yet, whatever the host changed behind its back.
#include "platform/emulated/files/emulated_file_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/pending_file_renames.h"
#include "support/file_system_queries.h"
#include "support/machine_dir.h"

namespace platform::emulated {
namespace {

using tarvium::test::MachineDir;

bool HostExists(const std::string& path) {
  return std::filesystem::exists(path);
}

using tarvium::test::AttributesOf;
using tarvium::test::Names;

TEST(EmulatedFileSystem, MapsDrivesSharesRelativePathsAndTheReadOnlyHostRoot) {
  MachineDir machine;
  auto& files = machine.Files();
  machine.WriteHost("drive_c/Program Files/Vendor/App.exe", "x");
  const std::string app = machine.Host("drive_c/Program Files/Vendor/App.exe");
  std::string host;
  for (const char* path :
       {R"(c:\PROGRAM FILES\vendor\app.EXE)", "C:/Program Files/./Vendor/../Vendor//App.exe",
        R"(C:\..\..\Program Files\Vendor\App.exe)"}) {
    ASSERT_EQ(files.GetHostPath(path, host), ERROR_SUCCESS) << path;
    EXPECT_EQ(host, app) << path;
  }
  // A missing name keeps the case it was given, below the existing spelling.
  ASSERT_EQ(files.GetHostPath(R"(C:\program files\NewDir\File.TXT)", host), ERROR_SUCCESS);
  EXPECT_EQ(host, machine.Host("drive_c/Program Files/NewDir/File.TXT"));

  // Relative paths, and each drive remembers its own current directory.
  ASSERT_EQ(files.SetCurrentDirectory(R"(c:\program files)"), ERROR_SUCCESS);
  ASSERT_EQ(files.GetHostPath(R"(Vendor\App.exe)", host), ERROR_SUCCESS);
  EXPECT_EQ(host, app);
  ASSERT_EQ(files.SetCurrentDirectory(R"(D:\)"), ERROR_SUCCESS);
  ASSERT_EQ(files.SetCurrentDirectory("C:"), ERROR_SUCCESS);
  std::string current;
  files.GetCurrentDirectory(current);
  EXPECT_EQ(current, R"(C:\program files)");
  EXPECT_EQ(files.SetCurrentDirectory(R"(Vendor\App.exe)"), ERROR_DIRECTORY);
  EXPECT_EQ(files.SetCurrentDirectory(R"(C:\nowhere)"), ERROR_FILE_NOT_FOUND);

  // Shares and unknown roots.
  machine.WriteHost("share/Setup/Setup.inf", "[Setup]");
  ASSERT_EQ(files.GetHostPath(R"(\\SERVER\Share\setup\SETUP.INF)", host), ERROR_SUCCESS);
  EXPECT_EQ(host, machine.Host("share/Setup/Setup.inf"));
  EXPECT_EQ(AttributesOf(files, R"(\\other\share\x)"), INVALID_FILE_ATTRIBUTES);
  uint32_t dwAttributes = 0;
  EXPECT_EQ(files.GetFileAttributes(R"(\\other\share\x)", dwAttributes), ERROR_BAD_NETPATH);
  EXPECT_EQ(files.GetFileAttributes(R"(\\server\other\x)", dwAttributes), ERROR_BAD_NET_NAME);
  EXPECT_EQ(files.GetFileAttributes(R"(Q:\x)", dwAttributes), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(files.GetFileAttributes(R"(C:\missing\x)", dwAttributes), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(files.GetFileAttributes(R"(C:\Program Files\Vendor\App.exe\x)", dwAttributes),
            ERROR_PATH_NOT_FOUND);

  // And back from host paths.
  std::string windowsPath;
  ASSERT_TRUE(files.GetWindowsPath(machine.Host("drive_c/Program Files"), windowsPath));
  EXPECT_EQ(windowsPath, R"(C:\Program Files)");
  ASSERT_TRUE(files.GetWindowsPath("/srv/x", windowsPath));
  EXPECT_EQ(windowsPath, R"(Z:\srv\x)");
  ASSERT_TRUE(files.GetWindowsPath(machine.Host("share/Setup"), windowsPath));
  EXPECT_EQ(windowsPath, R"(\\server\share\Setup)");
  // The host's root is drive Z:, which can be read but not changed.
  const std::string hostFile = machine.WriteHost("media/Setup.inf", "[Setup]");
  std::string path;
  ASSERT_TRUE(files.GetWindowsPath(hostFile, path));
  ASSERT_EQ(path.substr(0, 3), "Z:\\");
  std::string bytes;
  ASSERT_EQ(files.ReadWholeFile(path, bytes), ERROR_SUCCESS);
  EXPECT_EQ(bytes, "[Setup]");
  EXPECT_EQ(files.CopyFile(path, R"(C:\Setup.inf)", true), ERROR_SUCCESS);
  FileHandle hFile = FileHandle::Invalid;
  EXPECT_EQ(files.CreateFile(path, GENERIC_WRITE, OPEN_EXISTING, 0, hFile), ERROR_ACCESS_DENIED);
  EXPECT_EQ(files.CreateFile(path + ".new", GENERIC_WRITE, CREATE_NEW, 0, hFile),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(files.DeleteFile(path), ERROR_ACCESS_DENIED);
  EXPECT_EQ(files.SetFileAttributes(path, FILE_ATTRIBUTE_HIDDEN), ERROR_ACCESS_DENIED);
  EXPECT_EQ(files.MoveFileEx(path, R"(C:\moved.inf)", MOVEFILE_COPY_ALLOWED), ERROR_ACCESS_DENIED);
  EXPECT_EQ(files.CreateDirectory(path + "dir"), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(HostExists(hostFile));
}

TEST(EmulatedFileSystem, CachedNamesFollowChangesOfOtherProcessesAndOfTheHost) {
  MachineDir machine;
  EmulatedFileSystem other(machine.Path(), machine.Config());  // a second engine process
  auto& files = machine.Files();
  ASSERT_EQ(files.CreateDirectoryTree(R"(C:\Dir\Sub)"), ERROR_SUCCESS);
  ASSERT_EQ(files.WriteWholeFile(R"(C:\Dir\Sub\File.txt)", "1"), ERROR_SUCCESS);
  std::string host;
  ASSERT_EQ(files.GetHostPath(R"(C:\dir\sub\file.txt)", host), ERROR_SUCCESS);  // now cached

  // The other process moves the directory away and makes the same names in another case.
  ASSERT_EQ(other.MoveFileEx(R"(C:\Dir)", R"(C:\Old)", 0), ERROR_SUCCESS);
  ASSERT_EQ(other.CreateDirectoryTree(R"(C:\DIR\SUB)"), ERROR_SUCCESS);
  ASSERT_EQ(other.WriteWholeFile(R"(C:\DIR\SUB\FILE.TXT)", "2"), ERROR_SUCCESS);
  ASSERT_EQ(files.GetHostPath(R"(C:\dir\sub\file.txt)", host), ERROR_SUCCESS);
  EXPECT_EQ(host, machine.Host("drive_c/DIR/SUB/FILE.TXT"));

  // A rename on the host, behind the machine's back, is found by the next operation.
  std::string bytes;
  ASSERT_EQ(files.ReadWholeFile(R"(C:\old\sub\file.txt)", bytes), ERROR_SUCCESS);
  std::filesystem::rename(machine.Host("drive_c/Old/Sub/File.txt"),
                          machine.Host("drive_c/Old/Sub/file.TXT"));
  ASSERT_EQ(files.ReadWholeFile(R"(C:\old\sub\file.txt)", bytes), ERROR_SUCCESS);
  EXPECT_EQ(bytes, "1");

  ASSERT_EQ(files.CreateDirectory(R"(C:\Flat)"), ERROR_SUCCESS);
  for (int i = 0; i < 50; ++i)
    ASSERT_EQ(files.WriteWholeFile(R"(C:\Flat\File)" + std::to_string(i) + ".txt", "x"),
              ERROR_SUCCESS);
  EXPECT_TRUE(files.FileExists(R"(C:\FLAT\file7.TXT)"));
  // Names made, renamed and removed on the host, behind the machine's back, and by another
  // process of the machine.
  const std::string flat = machine.Host("drive_c/Flat");
  std::ofstream(flat + "/Host.txt") << "h";
  EXPECT_TRUE(files.FileExists(R"(C:\flat\HOST.TXT)"));
  std::filesystem::rename(flat + "/File7.txt", flat + "/Seven.txt");
  EXPECT_FALSE(files.FileExists(R"(C:\flat\FILE7.TXT)"));
  EXPECT_TRUE(files.FileExists(R"(C:\flat\seven.TXT)"));
  std::filesystem::remove(flat + "/Host.txt");
  EXPECT_FALSE(files.FileExists(R"(C:\flat\host.txt)"));
  ASSERT_EQ(other.WriteWholeFile(R"(C:\Flat\Other.txt)", "o"), ERROR_SUCCESS);
  EXPECT_TRUE(files.FileExists(R"(C:\flat\OTHER.txt)"));
  // Writing under another case finds the existing file instead of making a second one.
  ASSERT_EQ(files.WriteWholeFile(R"(C:\flat\OTHER.TXT)", "new"), ERROR_SUCCESS);
  ASSERT_EQ(other.ReadWholeFile(R"(C:\Flat\Other.txt)", bytes), ERROR_SUCCESS);
  EXPECT_EQ(bytes, "new");
  // A name found missing and made on the host in another case before its creation, and the folder
  // replaced on the host: QuickRoutesAgree and CachedPathQueries below.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(flat),
                          std::filesystem::directory_iterator()),
            51);  // 50 files less File7.txt, Seven.txt and Other.txt: no second Other.txt
}

TEST(EmulatedFileSystem, AttributesSizesTimesAndLinks) {
  MachineDir machine;
  auto& files = machine.Files();
  ASSERT_EQ(files.CreateDirectoryTree(R"(C:\App)"), ERROR_SUCCESS);
  ASSERT_EQ(files.WriteWholeFile(R"(C:\App\file.dat)", "12345"), ERROR_SUCCESS);
  ASSERT_EQ(files.SetFileAttributes(R"(C:\App\file.dat)", FILE_ATTRIBUTE_HIDDEN), ERROR_SUCCESS);
  std::filesystem::create_symlink("file.dat", machine.Host("drive_c/App/link.dat"));
  for (const char* path : {R"(C:\App\file.dat)", R"(C:\APP\FILE.DAT)", R"(C:\App\link.dat)"}) {
    FileInfo full;
    FileInfo light;
    ASSERT_EQ(files.GetFileAttributesEx(path, full), ERROR_SUCCESS) << path;
    ASSERT_EQ(files.GetFileSizeAndTimes(path, light), ERROR_SUCCESS) << path;
    EXPECT_EQ(light.nFileSize, 5u) << path;
    EXPECT_EQ(light.times.ftLastWriteTime, full.times.ftLastWriteTime) << path;
    EXPECT_EQ(light.times.ftLastAccessTime, full.times.ftLastAccessTime) << path;
    EXPECT_EQ(light.dwFileAttributes, 0u) << path;
    EXPECT_NE(full.times.ftCreationTime, 0u) << path;
    // A host link shows as a reparse point; its target does not.
    const bool bLink = std::string(path).find("link") != std::string::npos;
    EXPECT_EQ(full.dwFileAttributes, FILE_ATTRIBUTE_HIDDEN * !bLink |
                                         FILE_ATTRIBUTE_ARCHIVE * bLink |
                                         FILE_ATTRIBUTE_REPARSE_POINT * bLink)
        << path;
    EXPECT_EQ(AttributesOf(files, path), full.dwFileAttributes) << path;
  }
  FileInfo light;
  ASSERT_EQ(files.GetFileSizeAndTimes(R"(C:\app)", light), ERROR_SUCCESS);
  EXPECT_EQ(light.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(files.GetFileSizeAndTimes(R"(C:\App\gone.dat)", light), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(files.GetFileSizeAndTimes(R"(C:\Gone\gone.dat)", light), ERROR_PATH_NOT_FOUND);

  ASSERT_EQ(files.CreateDirectoryTree(R"(C:\App\Data)"), ERROR_SUCCESS);
  ASSERT_EQ(files.WriteWholeFile(R"(C:\App\Data\file.dat)", "data"), ERROR_SUCCESS);
  EXPECT_EQ(AttributesOf(files, R"(C:\App\Data\file.dat)"), FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(AttributesOf(files, R"(C:\App)"), FILE_ATTRIBUTE_DIRECTORY);
  // A file made on the host, not through the machine, is an archive file too.
  machine.WriteHost("drive_c/App/host.txt", "");
  EXPECT_EQ(AttributesOf(files, R"(C:\App\host.txt)"), FILE_ATTRIBUTE_ARCHIVE);

  const uint32_t dwSet = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  ASSERT_EQ(files.SetFileAttributes(R"(C:\App\Data\file.dat)", dwSet), ERROR_SUCCESS);
  const FileTimes times{0x01D0000000000001ULL, 0x01D1000000000002ULL, 0x01D2000000000003ULL};
  ASSERT_EQ(files.SetFileTimes(R"(C:\App\Data\file.dat)", times), ERROR_SUCCESS);
  ASSERT_EQ(files.SetFileTimes(R"(C:\App)", {times.ftCreationTime, 0, 0}), ERROR_SUCCESS);
  // The read-only attribute also takes the host's write permission away.
  struct stat st {};
  ASSERT_EQ(::stat(machine.Host("drive_c/App/Data/file.dat").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0222, 0u);

  // Renaming the directory above it, then moving the file, keeps everything; so does another
  // process opening the machine.
  ASSERT_EQ(files.MoveFileEx(R"(C:\App)", R"(C:\Product)", 0), ERROR_SUCCESS);
  ASSERT_EQ(files.MoveFileEx(R"(C:\Product\Data\file.dat)", R"(C:\Product\moved.dat)", 0),
            ERROR_SUCCESS);
  machine.Reopen();
  FileInfo info;
  ASSERT_EQ(machine.Files().GetFileAttributesEx(R"(C:\product\MOVED.DAT)", info), ERROR_SUCCESS);
  EXPECT_EQ(info.dwFileAttributes, dwSet);
  EXPECT_EQ(info.times.ftCreationTime, times.ftCreationTime);
  EXPECT_EQ(info.times.ftLastAccessTime, times.ftLastAccessTime);
  EXPECT_EQ(info.times.ftLastWriteTime, times.ftLastWriteTime);
  EXPECT_EQ(info.nFileSize, 4u);
  ASSERT_EQ(machine.Files().GetFileAttributesEx(R"(C:\Product)", info), ERROR_SUCCESS);
  EXPECT_EQ(info.times.ftCreationTime, times.ftCreationTime);

  // Read-only refuses deletion and rewriting until the attribute is cleared.
  auto& again = machine.Files();
  FileHandle hFile = FileHandle::Invalid;
  EXPECT_EQ(again.DeleteFile(R"(C:\Product\moved.dat)"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(again.CreateFile(R"(C:\Product\moved.dat)", GENERIC_WRITE, OPEN_EXISTING, 0, hFile),
            ERROR_ACCESS_DENIED);
  ASSERT_EQ(again.SetFileAttributes(R"(C:\Product\moved.dat)", FILE_ATTRIBUTE_NORMAL),
            ERROR_SUCCESS);
  EXPECT_EQ(AttributesOf(again, R"(C:\Product\moved.dat)"), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(again.DeleteFile(R"(C:\Product\moved.dat)"), ERROR_SUCCESS);
  // A new file under the old name starts afresh.
  ASSERT_EQ(again.WriteWholeFile(R"(C:\Product\moved.dat)", ""), ERROR_SUCCESS);
  EXPECT_EQ(AttributesOf(again, R"(C:\Product\moved.dat)"), FILE_ATTRIBUTE_ARCHIVE);
}

TEST(EmulatedFileSystem, DeletesAndRenamesLeaveTheAttributesOfNamesWithTheSamePrefix) {
  MachineDir machine;
  auto& files = machine.Files();
  // Each victim is renamed away and back, then deleted; its neighbours keep their attributes.
  for (const char* dir : {R"(C:\App)", R"(C:\App2)", R"(C:\App.old)", R"(C:\App2\Sub)"})
    ASSERT_EQ(files.CreateDirectory(dir), ERROR_SUCCESS) << dir;
  const char* const neighbours[] = {R"(C:\log.txt.bak)",   R"(C:\log.txt2)",
                                    R"(C:\log.tx)",        R"(C:\App2\Sub\f.txt)",
                                    R"(C:\App.old\f.txt)", R"(C:\App2.txt)"};
  for (const char* name : neighbours) {
    ASSERT_EQ(files.WriteWholeFile(name, "n"), ERROR_SUCCESS) << name;
    ASSERT_EQ(files.SetFileAttributes(name, FILE_ATTRIBUTE_HIDDEN), ERROR_SUCCESS) << name;
  }
  ASSERT_EQ(files.WriteWholeFile(R"(C:\log.txt)", "v"), ERROR_SUCCESS);
  ASSERT_EQ(files.WriteWholeFile(R"(C:\App\in.txt)", "v"), ERROR_SUCCESS);
  for (const char* victim : {R"(C:\log.txt)", R"(C:\App)"}) {
    const std::string moved = std::string(victim) + "-moved";
    ASSERT_EQ(files.MoveFileEx(victim, moved, 0), ERROR_SUCCESS) << victim;
    ASSERT_EQ(files.MoveFileEx(moved, victim, 0), ERROR_SUCCESS) << victim;
  }
  ASSERT_EQ(files.DeleteFile(R"(C:\log.txt)"), ERROR_SUCCESS);
  ASSERT_EQ(files.DeleteFile(R"(C:\App\in.txt)"), ERROR_SUCCESS);
  ASSERT_EQ(files.RemoveDirectory(R"(C:\App)"), ERROR_SUCCESS);
  for (int nPass = 0; nPass < 2; ++nPass) {  // in this process, then as another one reads them
    for (const char* name : neighbours)
      EXPECT_EQ(AttributesOf(machine.Files(), name), FILE_ATTRIBUTE_HIDDEN) << name;
    machine.Reopen();
  }
}

TEST(EmulatedFileSystem, HandlesAndDeferredOperations) {
  MachineDir machine;
  auto& files = machine.Files();
  const std::string path = R"(C:\data.bin)";
  FileHandle hFile = FileHandle::Invalid;
  ASSERT_EQ(files.CreateFile(path, GENERIC_READ | GENERIC_WRITE, CREATE_NEW, 0, hFile),
            ERROR_SUCCESS);
  // An interrupted copy is recognised by its 1980 stamp, so writes must not move it.
  const uint64_t ft1980 = 0x01A8E79FE1D58000ULL;
  ASSERT_EQ(files.SetFileTime(hFile, {ft1980, ft1980, ft1980}), ERROR_SUCCESS);
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
  EXPECT_EQ(n, 0u);  // end of file
  // A read at an offset leaves the pointer at the end; one past the end reads nothing.
  ASSERT_EQ(files.ReadFileAt(hFile, 2, buffer, 4, n), ERROR_SUCCESS);
  EXPECT_EQ(std::string(buffer, n), "2345");
  ASSERT_EQ(files.ReadFileAt(hFile, 8, buffer, sizeof buffer, n), ERROR_SUCCESS);
  EXPECT_EQ(std::string(buffer, n), "89");
  ASSERT_EQ(files.ReadFileAt(hFile, 11, buffer, sizeof buffer, n), ERROR_SUCCESS);
  EXPECT_EQ(n, 0u);
  ASSERT_EQ(files.ReadFile(hFile, buffer, sizeof buffer, n), ERROR_SUCCESS);
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(files.SetFilePointerEx(hFile, -1, FILE_BEGIN, nullptr), ERROR_NEGATIVE_SEEK);
  EXPECT_EQ(files.SetFilePointerEx(hFile, -20, FILE_CURRENT, nullptr), ERROR_NEGATIVE_SEEK);
  ASSERT_EQ(files.SetFilePointerEx(hFile, 3, FILE_BEGIN, nullptr), ERROR_SUCCESS);
  ASSERT_EQ(files.SetEndOfFile(hFile), ERROR_SUCCESS);
  uint64_t nSize = 0;
  ASSERT_EQ(files.GetFileSizeEx(hFile, nSize), ERROR_SUCCESS);
  EXPECT_EQ(nSize, 3u);
  FileTimes times;
  ASSERT_EQ(files.GetFileTime(hFile, times), ERROR_SUCCESS);
  EXPECT_EQ(times.ftLastWriteTime, ft1980);
  EXPECT_EQ(times.ftCreationTime, ft1980);
  ASSERT_EQ(files.CloseHandle(hFile), ERROR_SUCCESS);
  EXPECT_EQ(files.CloseHandle(hFile), ERROR_INVALID_HANDLE);

  // Access rights and dispositions.
  ASSERT_EQ(files.CreateFile(path, GENERIC_READ, OPEN_EXISTING, 0, hFile), ERROR_SUCCESS);
  EXPECT_EQ(files.WriteFile(hFile, "x", 1, n), ERROR_ACCESS_DENIED);
  files.CloseHandle(hFile);
  EXPECT_EQ(files.CreateFile(path, GENERIC_WRITE, CREATE_NEW, 0, hFile), ERROR_FILE_EXISTS);
  EXPECT_EQ(files.CreateFile(R"(C:\none\x)", GENERIC_WRITE, CREATE_ALWAYS, 0, hFile),
            ERROR_PATH_NOT_FOUND);
  // CREATE_ALWAYS over a hidden file needs the hidden attribute again, as on Windows.
  ASSERT_EQ(files.SetFileAttributes(path, FILE_ATTRIBUTE_HIDDEN), ERROR_SUCCESS);
  EXPECT_EQ(files.CreateFile(path, GENERIC_WRITE, CREATE_ALWAYS, 0, hFile), ERROR_ACCESS_DENIED);
  ASSERT_EQ(files.CreateFile(path, GENERIC_WRITE, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN, hFile),
            ERROR_SUCCESS);
  files.CloseHandle(hFile);
  EXPECT_EQ(AttributesOf(files, path), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
  uint64_t nEmpty = 1;
  EXPECT_EQ(files.GetFileSize(path, nEmpty), ERROR_SUCCESS);
  EXPECT_EQ(nEmpty, 0u);

  // Moves and deletes deferred to the restart are kept as Windows keeps them.
  ASSERT_EQ(files.WriteWholeFile(R"(C:\old.dll)", "old"), ERROR_SUCCESS);
  ASSERT_EQ(files.WriteWholeFile(R"(C:\new.dll)", "new"), ERROR_SUCCESS);
  ASSERT_EQ(files.WriteWholeFile(R"(C:\gone.txt)", "x"), ERROR_SUCCESS);
  ASSERT_EQ(files.SetCurrentDirectory(R"(C:\Windows)"), ERROR_SUCCESS);
  const uint32_t dwLater = MOVEFILE_DELAY_UNTIL_REBOOT;
  ASSERT_EQ(files.MoveFileEx(R"(..\new.dll)", "c:/old.dll", dwLater | MOVEFILE_REPLACE_EXISTING),
            ERROR_SUCCESS);
  ASSERT_EQ(files.MoveFileEx(R"(C:\gone.txt)", "", dwLater), ERROR_SUCCESS);
  ASSERT_EQ(files.MoveFileEx(R"(\\server\share\a)", R"(C:\b)", dwLater), ERROR_SUCCESS);
  EXPECT_EQ(files.MoveFileEx(R"(C:\x)", R"(C:\y)", dwLater | MOVEFILE_COPY_ALLOWED),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(machine.ReadFile(R"(C:\old.dll)"), "old");  // nothing happens before the restart

  RegValue value;
  ASSERT_EQ(machine.Registry().QueryValue(RegRoot::LocalMachine, kSessionManagerKey,
                                          kPendingFileRenamesValue, value),
            ERROR_SUCCESS);
  EXPECT_EQ(value.dwType, REG_MULTI_SZ);
  static const char kExpected[] =
      "\\??\\C:\\new.dll\0!\\??\\C:\\old.dll\0"
      "\\??\\C:\\gone.txt\0\0"                       // a delete has an empty target
      "\\??\\UNC\\server\\share\\a\0\\??\\C:\\b\0";  // and the literal's zero ends the list
  const std::string expected(kExpected, sizeof kExpected);
  EXPECT_EQ(std::string(value.data.begin(), value.data.end()), expected);

  std::vector<PendingRenameOutcome> outcomes;
  ASSERT_EQ(RunPendingFileRenames(machine.Registry(), files, &outcomes), ERROR_SUCCESS);
  std::vector<uint32_t> errors;
  for (const PendingRenameOutcome& outcome : outcomes) errors.push_back(outcome.dwError);
  // The move of a missing file is skipped, as Windows skips it.
  EXPECT_EQ(errors, (std::vector<uint32_t>{ERROR_SUCCESS, ERROR_SUCCESS, ERROR_FILE_NOT_FOUND}));
  EXPECT_EQ(machine.ReadFile(R"(C:\old.dll)"), "new");
  EXPECT_FALSE(files.FileExists(R"(C:\gone.txt)"));
  EXPECT_EQ(machine.Registry().QueryValue(RegRoot::LocalMachine, kSessionManagerKey,
                                          kPendingFileRenamesValue, value),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RunPendingFileRenames(machine.Registry(), files), ERROR_SUCCESS);
}

// A writer killed inside a write leaves the host's write time at "now"; the time fixed on its
// handle must still be what every reader sees, and a normal close leaves the host's own times.
TEST(EmulatedFileSystem, WriteTimeFixedOnAHandleOutlivesAWriterKilledInAWrite) {
  MachineDir machine;
  auto& files = machine.Files();
  const std::string path = R"(C:\part.bin)";
  const std::string host = machine.Host("drive_c/part.bin");
  const uint64_t ft1980 = 0x01A8E79FE1D58000ULL;
  const FileTimes final = {ft1980, 0x01D5000000000000ULL, 0x01D6000000000000ULL};
  FileHandle hFile = FileHandle::Invalid;
  ASSERT_EQ(files.CreateFile(path, GENERIC_WRITE, CREATE_NEW, 0, hFile), ERROR_SUCCESS);
  uint32_t n = 0;
  ASSERT_EQ(files.WriteFile(hFile, "block1", 6, n), ERROR_SUCCESS);
  ASSERT_EQ(files.SetFileTime(hFile, {ft1980, ft1980, ft1980}), ERROR_SUCCESS);
  ASSERT_EQ(files.WriteFile(hFile, "block2", 6, n), ERROR_SUCCESS);
  std::ofstream(host, std::ios::app) << "died in here";  // the write the kill interrupted

  EmulatedFileSystem next(machine.Path(), machine.Config());  // the next run
  auto shownWriteTime = [&](int nReader) {
    FileInfo info;
    FindHandle hFind = FindHandle::Invalid;
    FindData data;
    FileHandle hRead = FileHandle::Invalid;
    if (nReader == 0) next.GetFileSizeAndTimes(path, info);
    if (nReader == 1) next.GetFileAttributesEx(path, info);
    if (nReader == 2 && next.FindFirstFile(R"(C:\part.*)", hFind, data) == ERROR_SUCCESS) {
      info = data;
      next.FindClose(hFind);
    }
    if (nReader == 3 && next.CreateFile(path, GENERIC_READ, OPEN_EXISTING, 0, hRead) == 0) {
      next.GetFileInformationByHandle(hRead, info);
      next.CloseHandle(hRead);
    }
    return info.times.ftLastWriteTime;
  };
  std::string bytes;
  for (int nReader = 0; nReader < 4; ++nReader) {
    EXPECT_EQ(shownWriteTime(nReader), ft1980) << nReader;
    ASSERT_EQ(next.ReadWholeFile(path, bytes), ERROR_SUCCESS);  // reads keep it
  }
  EXPECT_EQ(bytes, "block1block2died in here");

  // The read-only attribute keeps the mark while the writer goes on; its normal close leaves the
  // final times and the read-only permissions, without the mark.
  ASSERT_EQ(files.SetFileAttributes(path, FILE_ATTRIBUTE_READONLY), ERROR_SUCCESS);
  ASSERT_EQ(files.WriteFile(hFile, "block3", 6, n), ERROR_SUCCESS);
  EXPECT_EQ(shownWriteTime(0), ft1980);
  ASSERT_EQ(files.SetFileTime(hFile, final), ERROR_SUCCESS);
  ASSERT_EQ(files.WriteFile(hFile, "4", 1, n), ERROR_SUCCESS);
  std::ofstream(host, std::ios::app) << "5";
  EXPECT_EQ(shownWriteTime(1), final.ftLastWriteTime);
  ASSERT_EQ(files.CloseHandle(hFile), ERROR_SUCCESS);
  struct stat st {};
  ASSERT_EQ(::stat(host.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & (S_ISVTX | 0222), 0u);
  FileInfo info;
  ASSERT_EQ(next.GetFileAttributesEx(path, info), ERROR_SUCCESS);
  EXPECT_EQ(info.times.ftLastWriteTime, final.ftLastWriteTime);
  EXPECT_EQ(info.times.ftLastAccessTime, final.ftLastAccessTime);

  // A writer that opens a file whose writer died settles it: the held time becomes the write time.
  ASSERT_EQ(files.SetFileAttributes(path, 0), ERROR_SUCCESS);
  ASSERT_EQ(::chmod(host.c_str(), st.st_mode | S_IWUSR | S_ISVTX), 0);
  std::ofstream(host, std::ios::app) << "6";
  ASSERT_EQ(next.CreateFile(path, GENERIC_WRITE, OPEN_EXISTING, 0, hFile), ERROR_SUCCESS);
  ASSERT_EQ(::stat(host.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & S_ISVTX, 0u);
  EXPECT_EQ(shownWriteTime(2), final.ftLastAccessTime);
  next.CloseHandle(hFile);
}

// Names separated by '|'.
std::vector<std::string> SplitNames(std::string_view text) {
  std::vector<std::string> names;
  for (size_t nStart = 0; nStart < text.size();) {
    const size_t nEnd = std::min(text.find('|', nStart), text.size());
    names.emplace_back(text.substr(nStart, nEnd - nStart));
    nStart = nEnd + 1;
  }
  return names;
}

TEST(EmulatedFileSystem, EnumeratesWithWindowsWildcardsInNameOrder) {
  MachineDir machine;
  auto& files = machine.Files();
  for (const char* name : {"abc", "ABD.txt", "aXc.doc", "noext", "a.b.c", "Zeta.TXT"})
    machine.WriteHost(std::string("drive_c/Dir/") + name, "12345");
  ASSERT_EQ(files.CreateDirectory(R"(C:\Dir\sub)"), ERROR_SUCCESS);
  const std::tuple<const char*, const char*, uint32_t> cases[] = {
      {R"(C:\dir\*.*)", ".|..|a.b.c|abc|ABD.txt|aXc.doc|noext|sub|Zeta.TXT", ERROR_SUCCESS},
      {R"(C:\Dir\*.)", ".|..|abc|noext|sub", ERROR_SUCCESS},
      {R"(C:\Dir\A?C*)", "abc|aXc.doc", ERROR_SUCCESS},
      {R"(C:\Dir\*.txt)", "ABD.txt|Zeta.TXT", ERROR_SUCCESS},
      {R"(C:\Dir\NOEXT)", "noext", ERROR_SUCCESS},
      {R"(C:\*)", "Dir|Users|Windows", ERROR_SUCCESS},  // a drive's root has no "." and ".."
      {R"(C:\Dir\*.none)", "", ERROR_FILE_NOT_FOUND},
      {R"(C:\NoDir\*)", "", ERROR_PATH_NOT_FOUND},
      {R"(C:\Dir\abc\*)", "", ERROR_DIRECTORY},  // below a plain file
      {R"(C:\Dir\missing\)", "", ERROR_PATH_NOT_FOUND},
      {R"(C:\Dir\sub\)", "", ERROR_FILE_NOT_FOUND},
      {R"(C:\)", "", ERROR_FILE_NOT_FOUND},
  };
  for (const auto& [pszPattern, pszNames, dwExpected] : cases) {
    uint32_t err = 0;
    const std::vector<std::string> names = Names(files, pszPattern, err);
    EXPECT_EQ(err, dwExpected) << pszPattern;
    EXPECT_EQ(names, SplitNames(pszNames)) << pszPattern;
  }

  FindHandle hFind = FindHandle::Invalid;
  FindData data;
  ASSERT_EQ(files.FindFirstFile(R"(C:\Dir\aXc.doc)", hFind, data), ERROR_SUCCESS);
  EXPECT_EQ(data.nFileSize, 5u);
  EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_NE(data.times.ftLastWriteTime, 0u);
  files.FindClose(hFind);
  ASSERT_EQ(files.FindFirstFile(R"(C:\Dir\s*)", hFind, data), ERROR_SUCCESS);
  EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
  files.FindClose(hFind);
}

// The pattern table of the public conformance tests for Windows' file functions: one folder of
// names with leading, doubled and inner dots and a leading blank, and for each pattern what
// Windows lists there, here in the machine's order. Windows also matches the 8.3 alias of each
// name, made with the leading dots dropped and every dot but the last removed (the alias of ".a"
// has no dot and starts with "A", that of "a.a.a" starts with "AA"). The machine has no aliases,
// so the names Windows finds only through them are set apart in the third column and must not
// be listed.
TEST(EmulatedFileSystem, ListsForEachPatternWhatWindowsLists) {
  MachineDir machine;
  auto& files = machine.Files();
  ASSERT_EQ(files.CreateDirectory(R"(C:\test-dir)"), ERROR_SUCCESS);
  ASSERT_EQ(files.SetCurrentDirectory(R"(C:\test-dir)"), ERROR_SUCCESS);
  constexpr const char* kAll = ".|..| .a|..a|..a.a|.a|.a..a|.a.a|.aaa|a|a..a|a.a|a.a.a|aa|aaa|aaaa";
  for (const std::string& name : SplitNames(kAll)) {
    if (name == "." || name == "..") continue;
    ASSERT_EQ(files.WriteWholeFile(name, ""), ERROR_SUCCESS) << name;
  }
  struct PatternCase {
    const char* pszPatterns;  // each listing the same names, separated by '|'
    const char* pszWindowsLists;
    const char* pszByAliasOnly = "";
  };
  const PatternCase cases[] = {
      {"*.*.*|*.*.|*.*|*|**|**.|*. |* . |*.. |<<|<<.", kAll},
      {".*.*|.*", ".|..|..a|..a.a|.a|.a..a|.a.a|.aaa"},
      {". *|* . *| *..|a a*.*|a ?.*|? a.*|a* a| ?a| <..|? .*|. ?", ""},
      {"*.|*..|* .|*. .|* ..|<.|<|<..|<. |< .|< . |<.. |<. .|< ..",
       ".|..|..a|.a|.aaa|a|aa|aaa|aaaa", "..a|.a|.aaa"},
      {"*..*", ".|..|..a|..a.a|.a..a|a..a"},
      {".*.|.<|.<.", ".|..|.a|.aaa"},
      {"..*|..* ", ".|..|..a|..a.a"},
      {"* .*.| *a|* *|* .a|< .a|** .a|<< .a|< .<.|< .<. ", " .a"},
      {"a*.|a* .", "..a|.a|.aaa|a|aa|aaa|aaaa", "..a|.a|.aaa"},
      {"*a ", " .a|..a|..a.a|.a|.a..a|.a.a|.aaa|a|a..a|a.a|a.a.a|aa|aaa|aaaa"},
      {"*aa*", ".aaa|a.a.a|aa|aaa|aaaa", "a.a.a"},
      {"aa*.", ".aaa|aa|aaa|aaaa", ".aaa"},
      {"aa.*|aa\"*", "aa"},
      {"a\"*\"a", "a..a|a.a.a"},
      {"aa*.*", ".aaa|a.a.a|aa|aaa|aaaa", ".aaa|a.a.a"},
      {"aa? ", "aa|aaa"},
      {"*.a|<.a", " .a|..a|..a.a|.a|.a..a|.a.a|a..a|a.a|a.a.a"},
      {"<.<.<|<.<.< ", "..a|..a.a|.a..a|.a.a|a..a|a.a.a"},
      {"<.<.|<.<. |<.<", ".|..| .a|..a|..a.a|.a|.a..a|.a.a|.aaa|a..a|a.a|a.a.a"},
      {".<.<", "..a|..a.a|.a..a|.a.a"},
      {"<..<", "..a|.a..a|a..a"},
      {"..<|..< ", "..a"},
      {"?|?.|?. |>|>.|>. ", ".|..|a"},
      {"??.|??. |>>.|>>. ", ".|..|a|aa"},
      {"???.|>>>.", ".|..|a|aa|aaa"},
      {"?.??.", ".|..| .a|.a|a|a.a"},
      {">.>>.", ".|..| .a|.a|a.a"},
  };
  for (const auto& [pszPatterns, pszWindowsLists, pszByAliasOnly] : cases) {
    std::vector<std::string> expected;
    const std::vector<std::string> byAlias = SplitNames(pszByAliasOnly);
    for (const std::string& name : SplitNames(pszWindowsLists))
      if (std::find(byAlias.begin(), byAlias.end(), name) == byAlias.end())
        expected.push_back(name);
    for (const std::string& pattern : SplitNames(pszPatterns)) {
      uint32_t err = 0;
      EXPECT_EQ(Names(files, pattern, err), expected) << "'" << pattern << "'";
      EXPECT_EQ(err, expected.empty() ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS) << pattern;
    }
  }
}

TEST(EmulatedFileSystem, CopyMoveDirectoriesAndTemporaryNames) {
  MachineDir machine;
  auto& files = machine.Files();
  ASSERT_EQ(files.WriteWholeFile(R"(C:\a.txt)", "AAA"), ERROR_SUCCESS);
  ASSERT_EQ(files.WriteWholeFile(R"(C:\b.txt)", "B"), ERROR_SUCCESS);
  ASSERT_EQ(files.SetFileTimes(R"(C:\a.txt)", {0, 0, 0x01D5000000000000ULL}), ERROR_SUCCESS);
  ASSERT_EQ(files.SetFileAttributes(R"(C:\a.txt)", FILE_ATTRIBUTE_SYSTEM), ERROR_SUCCESS);

  EXPECT_EQ(files.CopyFile(R"(C:\a.txt)", R"(C:\b.txt)", true), ERROR_FILE_EXISTS);
  EXPECT_EQ(files.CopyFile(R"(C:\a.txt)", R"(c:\A.TXT)", false), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(files.CopyFile(R"(C:\none.txt)", R"(C:\c.txt)", false), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(files.CopyFile(R"(C:\a.txt)", R"(D:\copy.txt)", false), ERROR_SUCCESS);
  FileInfo source;
  FileInfo copy;
  files.GetFileAttributesEx(R"(C:\a.txt)", source);
  files.GetFileAttributesEx(R"(D:\copy.txt)", copy);
  EXPECT_EQ(copy.dwFileAttributes, FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(copy.times.ftLastWriteTime, source.times.ftLastWriteTime);
  EXPECT_GT(copy.times.ftCreationTime, source.times.ftLastWriteTime);  // made now

  EXPECT_EQ(files.MoveFileEx(R"(C:\a.txt)", R"(C:\b.txt)", 0), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(files.MoveFileEx(R"(C:\a.txt)", R"(D:\a.txt)", 0), ERROR_NOT_SAME_DEVICE);
  EXPECT_EQ(files.MoveFileEx(R"(C:\a.txt)", R"(C:\none\a.txt)", 0), ERROR_PATH_NOT_FOUND);
  ASSERT_EQ(files.MoveFileEx(R"(C:\a.txt)", R"(C:\B.txt)", MOVEFILE_REPLACE_EXISTING),
            ERROR_SUCCESS);
  EXPECT_EQ(machine.ReadFile(R"(C:\B.TXT)"), "AAA");
  EXPECT_TRUE(HostExists(machine.Host("drive_c/B.txt")));  // the replacing name's spelling
  EXPECT_FALSE(HostExists(machine.Host("drive_c/b.txt")));
  EXPECT_EQ(AttributesOf(files, R"(C:\b.txt)"), FILE_ATTRIBUTE_SYSTEM);  // the moved file's
  EXPECT_FALSE(files.FileExists(R"(C:\a.txt)"));
  ASSERT_EQ(files.MoveFileEx(R"(C:\b.txt)", R"(D:\b.txt)", MOVEFILE_COPY_ALLOWED), ERROR_SUCCESS);
  EXPECT_FALSE(files.FileExists(R"(C:\b.txt)"));
  FileInfo moved;  // another volume: a copy, with the attributes and the last-write time
  ASSERT_EQ(files.GetFileAttributesEx(R"(D:\b.txt)", moved), ERROR_SUCCESS);
  EXPECT_EQ(moved.dwFileAttributes, FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(moved.times.ftLastWriteTime, source.times.ftLastWriteTime);
  // A change of case only renames; the host name follows.
  ASSERT_EQ(files.MoveFileEx(R"(D:\b.txt)", R"(D:\B.Txt)", 0), ERROR_SUCCESS);
  EXPECT_TRUE(HostExists(machine.Host("drive_d/B.Txt")));
  ASSERT_EQ(files.SetFileAttributes(R"(D:\copy.txt)", FILE_ATTRIBUTE_READONLY), ERROR_SUCCESS);
  EXPECT_EQ(files.MoveFileEx(R"(D:\B.txt)", R"(D:\copy.txt)", MOVEFILE_REPLACE_EXISTING),
            ERROR_ACCESS_DENIED);

  // A name with a trailing backslash is a directory's: no file opens or is made under it. With
  // the cases of the open table of the public conformance tests for Windows' file functions:
  // a directory, with or without the backslash, the root and a drive's current directory are no
  // files to open (that table also notes ERROR_PATH_NOT_FOUND from an early Windows where the
  // backslash follows, and takes this answer as well), and "C:C:\..." is no name.
  const std::tuple<const char*, uint32_t, uint32_t> trailing[] = {
      {R"(D:\copy.txt\)", OPEN_EXISTING, ERROR_INVALID_NAME},
      {R"(D:\none.txt\)", OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
      {R"(D:\none.txt\)", TRUNCATE_EXISTING, ERROR_FILE_NOT_FOUND},
      {R"(D:\none.txt\)", CREATE_ALWAYS, ERROR_INVALID_NAME},
      {R"(D:\none\a.txt\)", OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
      {R"(D:\none.txt)", OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
      {R"(C:\Windows)", OPEN_EXISTING, ERROR_ACCESS_DENIED},
      {R"(C:\Windows\)", OPEN_EXISTING, ERROR_ACCESS_DENIED},
      {R"(D:\)", OPEN_EXISTING, ERROR_ACCESS_DENIED},
      {"C:", OPEN_EXISTING, ERROR_ACCESS_DENIED},
      {R"(C:C:\Windows)", OPEN_EXISTING, ERROR_INVALID_NAME},
  };
  for (const auto& [pszPath, dwDisposition, dwExpected] : trailing) {
    FileHandle hFile = FileHandle::Invalid;
    EXPECT_EQ(files.CreateFile(pszPath, GENERIC_READ | GENERIC_WRITE, dwDisposition,
                               FILE_ATTRIBUTE_NORMAL, hFile),
              dwExpected)
        << pszPath << " " << dwDisposition;
  }
  EXPECT_FALSE(files.FileExists(R"(D:\none.txt)"));

  // Directories.
  EXPECT_EQ(files.CreateDirectory(R"(C:\x\y)"), ERROR_PATH_NOT_FOUND);
  ASSERT_EQ(files.CreateDirectoryTree(R"(C:\x\y\z)"), ERROR_SUCCESS);
  EXPECT_EQ(files.CreateDirectoryTree(R"(C:\X\Y\Z)"), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(files.CreateDirectory(R"(C:\x)"), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(files.RemoveDirectory(R"(C:\x)"), ERROR_DIR_NOT_EMPTY);
  EXPECT_EQ(files.RemoveDirectory(R"(D:\B.txt)"), ERROR_DIRECTORY);
  EXPECT_EQ(files.DeleteFile(R"(C:\x)"), ERROR_ACCESS_DENIED);
  ASSERT_EQ(files.SetCurrentDirectory(R"(C:\x\y)"), ERROR_SUCCESS);
  EXPECT_EQ(files.RemoveDirectory(R"(C:\x\y\z)"), ERROR_SUCCESS);
  EXPECT_EQ(files.RemoveDirectory(R"(C:\x\y)"), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(files.MoveFileEx(R"(C:\x)", R"(C:\w)", 0), ERROR_SHARING_VIOLATION);
  ASSERT_EQ(files.SetCurrentDirectory(R"(C:\)"), ERROR_SUCCESS);
  EXPECT_EQ(files.RemoveDirectory(R"(C:\x\y)"), ERROR_SUCCESS);
  EXPECT_FALSE(files.DirectoryExists(R"(C:\x\y)"));

  // Temporary names, short names and free space.
  std::string temp;
  ASSERT_EQ(files.GetTempPath(temp), ERROR_SUCCESS);
  EXPECT_EQ(temp, R"(C:\Users\User\AppData\Local\Temp\)");
  std::string first;
  std::string second;
  ASSERT_EQ(files.GetTempFileName(temp, "setup", 0, first), ERROR_SUCCESS);
  ASSERT_EQ(files.GetTempFileName(temp, "setup", 0, second), ERROR_SUCCESS);
  EXPECT_NE(first, second);
  for (const std::string& name : {first, second}) {
    EXPECT_EQ(name.rfind(temp + "set", 0), 0u) << name;
    EXPECT_EQ(name.substr(name.size() - 4), ".tmp");
    EXPECT_TRUE(files.FileExists(name)) << name;
  }
  std::string named;
  ASSERT_EQ(files.GetTempFileName(R"(C:\Windows)", "~x", 0x12A2B, named), ERROR_SUCCESS);
  EXPECT_EQ(named, R"(C:\Windows\~x2A2B.tmp)");
  EXPECT_FALSE(files.FileExists(named));  // a given number only forms the name
  EXPECT_EQ(files.GetTempFileName(R"(C:\none)", "x", 0, named), ERROR_DIRECTORY);

  std::string shortPath;
  ASSERT_EQ(files.GetShortPathName(R"(c:\windows)", shortPath), ERROR_SUCCESS);
  EXPECT_EQ(shortPath, R"(c:\windows)");
  EXPECT_EQ(files.GetShortPathName(R"(C:\none)", shortPath), ERROR_FILE_NOT_FOUND);
  // Free space of drives and shares: MachineFunctions.DiskFreeSpaceOfDrivesAndShares.
}

#ifdef TARVIUM_FAULT_SEAM
TEST(EmulatedFileSystem, FaultSeamFailsTheNthWriteAndFillsTheDisk) {
  MachineDir machine;
  auto& files = machine.Files();
  FileHandle hFile = FileHandle::Invalid;
  ASSERT_EQ(files.CreateFile(R"(C:\f.bin)", GENERIC_WRITE, CREATE_NEW, 0, hFile), ERROR_SUCCESS);
  files.SetFaultPlan({2, false});
  uint32_t n = 0;
  EXPECT_EQ(files.WriteFile(hFile, "a", 1, n), ERROR_SUCCESS);
  EXPECT_EQ(files.WriteFile(hFile, "b", 1, n), ERROR_WRITE_FAULT);
  EXPECT_EQ(files.WriteFile(hFile, "c", 1, n), ERROR_SUCCESS);
  files.CloseHandle(hFile);

  // A copy that fails part-way leaves no target behind.
  ASSERT_EQ(files.WriteWholeFile(R"(C:\big.bin)", std::string(200000, 'x')), ERROR_SUCCESS);
  files.SetFaultPlan({3, false});
  EXPECT_EQ(files.CopyFile(R"(C:\big.bin)", R"(C:\copy.bin)", false), ERROR_WRITE_FAULT);
  EXPECT_FALSE(files.FileExists(R"(C:\copy.bin)"));

  files.SetFaultPlan({0, true});
  EXPECT_EQ(files.WriteWholeFile(R"(C:\full.txt)", "x"), ERROR_DISK_FULL);
  DiskSpace space;
  ASSERT_EQ(files.GetDiskFreeSpaceEx(R"(C:\)", space), ERROR_SUCCESS);
  EXPECT_EQ(space.nFreeBytesAvailable, 0u);
  files.SetFaultPlan({});
  EXPECT_EQ(files.WriteWholeFile(R"(C:\full.txt)", "x"), ERROR_SUCCESS);
}
#endif

// Starts a copy of /bin/sleep from inside the machine and returns once it runs.
pid_t StartSleeper(const std::string& hostExe) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return -1;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::execl(hostExe.c_str(), "sleep", "60", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(fds[1]);
  char c;
  while (::read(fds[0], &c, 1) > 0) {
  }  // the pipe closes when exec succeeds
  ::close(fds[0]);
  return pid;
}

// A file that a host process runs, locks or maps is in use; one merely open elsewhere is not, for
// share modes are not emulated.
TEST(EmulatedFileSystem, FileRunLockedOrMappedByAProcessIsInUseAnOpenOneIsNot) {
  MachineDir machine;
  auto& files = machine.Files();
  std::filesystem::copy_file("/bin/sleep", machine.Host("drive_c/tool.exe"));
  for (const char* name :
       {R"(C:\new.exe)", R"(C:\locked.dat)", R"(C:\mapped.dat)", R"(C:\open.dat)"})
    ASSERT_EQ(files.WriteWholeFile(name, "data"), ERROR_SUCCESS);
  const pid_t sleeper = StartSleeper(machine.Host("drive_c/tool.exe"));
  ASSERT_GT(sleeper, 0);
  int ready[2];
  int release[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(release), 0);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(release[1]);
    const int fd = ::open(machine.Host("drive_c/locked.dat").c_str(), O_RDONLY);
    const int fdMapped = ::open(machine.Host("drive_c/mapped.dat").c_str(), O_RDONLY);
    const bool bMapped =
        fdMapped >= 0 && ::mmap(nullptr, 4, PROT_READ, MAP_SHARED, fdMapped, 0) != MAP_FAILED;
    ::close(fdMapped);  // the mapping alone holds it now
    const bool bOpen = ::open(machine.Host("drive_c/open.dat").c_str(), O_RDONLY) >= 0;
    char c = (fd >= 0 && ::flock(fd, LOCK_EX) == 0 && bMapped && bOpen) ? '1' : '0';
    ::write(ready[1], &c, 1);
    ::read(release[0], &c, 1);  // holds the lock until the parent lets go
    ::_exit(0);
  }
  ::close(ready[1]);
  ::close(release[0]);
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, '1');
  FileHandle hFile = FileHandle::Invalid;
  for (const char* name : {R"(C:\tool.exe)", R"(C:\LOCKED.dat)", R"(C:\mapped.dat)"}) {
    EXPECT_EQ(files.DeleteFile(name), ERROR_SHARING_VIOLATION) << name;
    EXPECT_EQ(files.CreateFile(name, GENERIC_WRITE, OPEN_EXISTING, 0, hFile),
              ERROR_SHARING_VIOLATION)
        << name;
    EXPECT_EQ(files.CopyFile(R"(C:\new.exe)", name, false), ERROR_SHARING_VIOLATION) << name;
    EXPECT_EQ(files.MoveFileEx(R"(C:\new.exe)", name, MOVEFILE_REPLACE_EXISTING),
              ERROR_SHARING_VIOLATION)
        << name;
  }
  EXPECT_EQ(files.DeleteFile(R"(C:\open.dat)"), ERROR_SUCCESS);
  ::close(release[1]);
  ::waitpid(pid, nullptr, 0);
  ::close(ready[0]);
  EXPECT_EQ(files.DeleteFile(R"(C:\locked.dat)"), ERROR_SUCCESS);

  // Reading a running program is fine, as on Windows, and our own open handle keeps it from being
  // deleted, too.
  ASSERT_EQ(files.CreateFile(R"(C:\tool.exe)", GENERIC_READ, OPEN_EXISTING, 0, hFile),
            ERROR_SUCCESS);
  ::kill(sleeper, SIGKILL);
  ::waitpid(sleeper, nullptr, 0);
  EXPECT_EQ(files.DeleteFile(R"(C:\tool.exe)"), ERROR_SHARING_VIOLATION);
  files.CloseHandle(hFile);
  EXPECT_EQ(files.MoveFileEx(R"(C:\new.exe)", R"(C:\tool.exe)", MOVEFILE_REPLACE_EXISTING),
            ERROR_SUCCESS);
}

// What the file system says of a name: attributes, size, kind, long name, and what opening it
// for reading gives (its bytes and the information that comes with the opening).
std::string Describe(EmulatedFileSystem& files, const std::string& path) {
  std::string out;
  uint32_t dwAttributes = 0;
  uint32_t err = files.GetFileAttributes(path, dwAttributes);
  out += "attr " + std::to_string(err) + "/" + std::to_string(err ? 0 : dwAttributes);
  FileInfo info;
  err = files.GetFileSizeAndTimes(path, info);
  out += " size " + std::to_string(err) + "/" + std::to_string(err ? 0 : info.nFileSize);
  bool bDirectory = false;
  err = files.GetEntryKind(path, bDirectory);
  out += " kind " + std::to_string(err) + "/" + std::to_string(err ? 0 : bDirectory);
  std::string longName;
  err = files.GetLongPathName(path, longName);
  out += " long " + std::to_string(err) + "/" + (err ? "" : longName);
  FileHandle hFile = FileHandle::Invalid;
  FileInfo opened;
  err = files.OpenForReading(path, hFile, opened);
  out += " open " + std::to_string(err);
  if (!err) {
    char buffer[64] = {};
    uint32_t nRead = 0;
    files.ReadFile(hFile, buffer, sizeof buffer - 1, nRead);
    FileInfo byHandle;
    files.GetFileInformationByHandle(hFile, byHandle);
    out += "/" + std::string(buffer, nRead) + " attrs " + std::to_string(opened.dwFileAttributes) +
           "=" + std::to_string(byHandle.dwFileAttributes) + " size " +
           std::to_string(opened.nFileSize) + "=" + std::to_string(byHandle.nFileSize);
    files.CloseHandle(hFile);
  }
  return out;
}

void ExpectSameAsFresh(MachineDir& machine, const std::vector<std::string>& names,
                       const std::string& what) {
  machine.Files().FlushMetadata();
  for (const std::string& name : names) {
    const std::string seen = Describe(machine.Files(), name);
    EmulatedFileSystem fresh(machine.Path(), machine.Config());
    EXPECT_EQ(seen, Describe(fresh, name)) << what << ": " << name;
  }
}

// Asks for a file that is not there, so that its folder is the folder of the last miss.
void Miss(MachineDir& machine, const std::string& path) {
  uint32_t dwAttributes = 0;
  ASSERT_NE(machine.Files().GetFileAttributes(path, dwAttributes), 0u) << path;
}

TEST(QuickRoutesAgree, AfterAMissInTheFolder) {
  struct Case {
    const char* what;
    std::function<void(MachineDir&)> change;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"a name made on the host in two cases",
       [](MachineDir& m) {
         m.WriteHost("drive_c/D/NEW2.TXT", "upper");
         m.WriteHost("drive_c/D/new2.txt", "lower");
       },
       {R"(C:\D\new2.txt)", R"(C:\D\New2.txt)", R"(C:\D\NEW2.TXT)"}},
      {"the folder replaced by another",
       [](MachineDir& m) {
         std::filesystem::rename(m.Host("drive_c/D"), m.Host("drive_c/D.old"));
         m.WriteHost("drive_c/D/x.TXT", "new folder");
       },
       {R"(C:\D\x.txt)", R"(C:\D\Existing.txt)", R"(C:\D\X.TXT)"}},
      {"the folder replaced by a link to another",
       [](MachineDir& m) {
         std::filesystem::rename(m.Host("drive_c/D"), m.Host("drive_c/D.old"));
         m.WriteHost("drive_c/E/Y.txt", "linked");
         std::filesystem::create_directory_symlink("E", m.Host("drive_c/D"));
       },
       {R"(C:\D\y.txt)", R"(C:\D\Y.TXT)", R"(C:\D\Existing.txt)"}},
      {"the folder replaced by a file",
       [](MachineDir& m) {
         std::filesystem::rename(m.Host("drive_c/D"), m.Host("drive_c/D.old"));
         m.WriteHost("drive_c/D", "a file");
       },
       {R"(C:\D\x.txt)", R"(C:\D\Existing.txt)", R"(C:\D)"}},
      {"a name of bytes the code page leaves undefined",
       [](MachineDir& m) { m.WriteHost("drive_c/D/a\xC2\x81z.TXT", "undefined"); },
       {"C:\\D\\a\x81z.txt", "C:\\D\\A\x81Z.TXT"}},
  };
  for (const Case& c : cases) {
    MachineDir machine;
    machine.WriteHost("drive_c/D/Existing.txt", "existing");
    machine.WriteHost("drive_c/D/lower.txt", "lower");
    ExpectSameAsFresh(machine, {R"(C:\D\Existing.txt)", R"(C:\D\LOWER.TXT)"}, "warm");
    Miss(machine, R"(C:\D\missing1.txt)");
    c.change(machine);
    ExpectSameAsFresh(machine, c.names, c.what);
  }
}

// A dangling link under the exact spelling is no file: the name is found in another case, as a
// name whose exact spelling is missing is. Asked for after a miss in the folder (the index's
// route) and in a folder without one, for a path query, an opening and a new file's creation.
TEST(QuickRoutesAgree, ADanglingLinkAtTheExactSpellingLeavesTheNameToAnotherCase) {
  for (const bool bMissFirst : {false, true}) {
    MachineDir machine;
    EmulatedFileSystem& files = machine.Files();
    machine.WriteHost("drive_c/D/Existing.txt", "existing");
    machine.WriteHost("drive_c/D/LINK.TXT", "file");
    std::filesystem::create_symlink("nowhere", machine.Host("drive_c/D/link.txt"));
    uint32_t dwAttributes = 0;
    ASSERT_EQ(files.GetFileAttributes(R"(C:\D\Existing.txt)", dwAttributes), 0u);
    if (bMissFirst) Miss(machine, R"(C:\D\missing.txt)");
    EXPECT_EQ(files.GetFileAttributes(R"(C:\D\link.txt)", dwAttributes), 0u) << bMissFirst;
    EXPECT_EQ(machine.ReadFile(R"(C:\D\link.txt)"), "file") << bMissFirst;
    FileHandle hFile = FileHandle::Invalid;
    EXPECT_EQ(files.CreateFile(R"(C:\D\link.txt)", GENERIC_WRITE, CREATE_ALWAYS, 0, hFile), 0u)
        << bMissFirst;
    files.CloseHandle(hFile);
  }
}

// The host's names below drive_c/D with their bytes ("/" for a folder, "->" for a link).
std::string FolderOnHost(const MachineDir& machine) {
  std::string out;
  std::error_code ec;
  for (auto it = std::filesystem::directory_iterator(machine.Host("drive_c/D"), ec);
       !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    out += it->path().filename().string();
    if (it->is_symlink())
      out += "->" + std::filesystem::read_symlink(it->path()).string();
    else if (it->is_directory())
      out += "/";
    else
      out += "=" + tarvium::test::ReadHostFile(it->path().string());
    out += ";";
  }
  return out;
}

// CreateFile with the disposition on the name after the change: its error, then what a fresh
// file system says of the name and what the folder holds on the host.
std::string MakeAfter(const std::function<void(MachineDir&)>& change, const std::string& name,
                      uint32_t dwDisposition, bool bMissFirst) {
  MachineDir machine;
  machine.WriteHost("drive_c/D/Existing.txt", "existing");
  uint32_t dwAttributes = 0;
  machine.Files().GetFileAttributes(R"(C:\D\Existing.txt)", dwAttributes);
  if (bMissFirst) {  // a first miss has the folder's index answer for the next
    machine.Files().GetFileAttributes(R"(C:\D\other.txt)", dwAttributes);
    machine.Files().GetFileAttributes(name, dwAttributes);
  }
  change(machine);
  EmulatedFileSystem fresh(machine.Path(), machine.Config());
  EmulatedFileSystem& files = bMissFirst ? machine.Files() : fresh;
  FileHandle hFile = FileHandle::Invalid;
  const uint32_t err = files.CreateFile(name, GENERIC_WRITE, dwDisposition, 0, hFile);
  if (!err) {
    uint32_t nWritten = 0;
    files.WriteFile(hFile, "made", 4, nWritten);
    files.CloseHandle(hFile);
  }
  files.FlushMetadata();
  EmulatedFileSystem after(machine.Path(), machine.Config());
  return std::to_string(err) + " " + Describe(after, name) + " " + FolderOnHost(machine);
}

// A name asked for and found missing, then made with each disposition: the same as when nothing
// was asked before, whatever the host did in between.
TEST(QuickRoutesAgree, EveryDispositionMakesAJustMissingNameAsAFreshFileSystem) {
  const std::pair<const char*, std::function<void(MachineDir&)>> changes[] = {
      {"nothing", [](MachineDir&) {}},
      {"made on the host in another case",
       [](MachineDir& m) {
         m.WriteHost("drive_c/D/NEW.TXT", "host");
         m.WriteHost("drive_c/D/123", "host");
         m.WriteHost("drive_c/D/\xC3\x89T\xC3\x89", "host");  // the upper case of "\xE9t\xE9"
       }},
      {"a dangling link in another case",
       [](MachineDir& m) {
         std::filesystem::create_symlink("nowhere", m.Host("drive_c/D/NEW.TXT"));
       }},
      {"the folder replaced by a file",
       [](MachineDir& m) {
         std::filesystem::rename(m.Host("drive_c/D"), m.Host("drive_c/D.old"));
         m.WriteHost("drive_c/D", "a file");
       }},
      {"the folder above replaced, the new one holding the name in another case",
       [](MachineDir& m) {  // the folder's own watch sees nothing of it
         std::filesystem::rename(m.Host("drive_c"), m.Host("drive_c.old"));
         m.WriteHost("drive_c/D/New.Txt", "host");
       }},
  };
  const char* names[] = {R"(C:\D\new.txt)", R"(C:\D\123)", "C:\\D\\\xE9t\xE9", R"(C:\D\new.txt.)"};
  for (const auto& [pszChange, change] : changes) {
    for (const char* pszName : names) {
      for (const uint32_t dwDisposition :
           {CREATE_NEW, CREATE_ALWAYS, OPEN_ALWAYS, OPEN_EXISTING, TRUNCATE_EXISTING}) {
        EXPECT_EQ(MakeAfter(change, pszName, dwDisposition, true),
                  MakeAfter(change, pszName, dwDisposition, false))
            << pszChange << ": " << pszName << " disposition " << dwDisposition;
      }
    }
  }
}

// Names of one folder and of two others asked about in turn, so that remembered folders and
// their keys are reused with names of other lengths and forms, some of which are not plain.
TEST(QuickRoutesAgree, NamesInRememberedFolders) {
  MachineDir machine;
  for (const char* host :
       {"drive_c/D/Existing.txt", "drive_c/D/a", "drive_c/D/much longer name.txt",
        "drive_c/E/e.txt", "drive_c/F/f.txt", "drive_c/D/sub/s.txt"})
    machine.WriteHost(host, host);
  const std::vector<std::string> names = {
      R"(C:\D\Existing.txt)",
      R"(C:\E\e.txt)",
      R"(C:\D\a)",
      R"(C:\F\f.txt)",
      R"(C:\D\much longer name.txt)",
      R"(C:\D\EXISTING.TXT.)",
      R"(C:\D\existing.txt )",
      R"(C:\D\a.)",
      R"(C:\D/a)",
      R"(C:\D\\a)",
      R"(C:\D\.\a)",
      R"(C:\D\sub\..\a)",
      R"(C:\D\a\)",
      R"(C:\D\CON)",
      R"(C:\D\aux.txt)",
      R"(c:\d\existing.txt)",
      R"(C:\D\Exist*.txt)",
      R"(C:\D\sub\s.txt)",
      R"(C:\D\SUB)",
      R"(C:\D\sub\S.TXT)",
      R"(C:\E\E.TXT)",
      R"(C:\D\A)",
      R"(C:\D\b)",
      R"(C:\D\Existing.tx)",
  };
  for (int nRound = 0; nRound < 2; ++nRound) ExpectSameAsFresh(machine, names, "round");
  std::filesystem::rename(machine.Host("drive_c/D/a"), machine.Host("drive_c/D/A"));
  std::filesystem::rename(machine.Host("drive_c/D/sub"), machine.Host("drive_c/D/Sub2"));
  machine.WriteHost("drive_c/D/SUB/s.txt", "replaced sub");
  ExpectSameAsFresh(machine, names, "after renames");
}

// A plain path opened for reading where its cached folder says: the file's attributes and size
// as opened are those the handle tells, also for attributes kept in the store and a file
// written through another handle since.
TEST(QuickRoutesAgree, OpenedInformationIsTheHandles) {
  MachineDir machine;
  EmulatedFileSystem& files = machine.Files();
  machine.WriteHost("drive_c/D/f.txt", "12345");
  ASSERT_EQ(
      files.SetFileAttributes(R"(C:\D\f.txt)", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY),
      0u);
  ExpectSameAsFresh(machine, {R"(C:\D\f.txt)", R"(C:\D\F.TXT)"}, "attributes set");
  ASSERT_EQ(files.SetFileAttributes(R"(C:\D\f.txt)", FILE_ATTRIBUTE_NORMAL), 0u);
  FileHandle hWrite = FileHandle::Invalid;
  ASSERT_EQ(files.CreateFile(R"(C:\D\f.txt)", GENERIC_WRITE, OPEN_EXISTING, 0, hWrite), 0u);
  uint32_t nWritten = 0;
  files.SetFilePointerEx(hWrite, 0, FILE_END, nullptr);
  files.WriteFile(hWrite, "678", 3, nWritten);
  ExpectSameAsFresh(machine, {R"(C:\D\f.txt)"}, "written through another handle");
  files.CloseHandle(hWrite);
  ExpectSameAsFresh(machine, {R"(C:\D\f.txt)"}, "closed");
}

// The drive's host directory is swapped for another while the machine is open: the queries must
// see the files of the directory now at the drive's place, also for names without letters (which
// are never looked for in another case).
TEST(CachedPathQueries, FollowADriveRootReplacedOnTheHost) {
  const std::pair<const char*, std::function<void(const std::string&)>> replacements[] = {
      {"renamed away",
       [](const std::string& root) { std::filesystem::rename(root, root + ".old"); }},
      {"removed", [](const std::string& root) { std::filesystem::remove_all(root); }},
  };
  for (const auto& [what, replace] : replacements) {
    MachineDir machine;
    auto& files = machine.Files();
    const std::string names[] = {R"(C:\Dir\File.txt)", R"(C:\Dir\2345)"};
    for (const char* host : {"drive_c/Dir/File.txt", "drive_c/Dir/2345"})
      machine.WriteHost(host, "1");
    FileInfo info;
    for (const std::string& name : names) ASSERT_EQ(files.GetFileSizeAndTimes(name, info), 0u);

    replace(machine.Host("drive_c"));
    for (const char* host : {"drive_c/Dir/File.txt", "drive_c/Dir/2345"})
      machine.WriteHost(host, "fresh");
    for (const std::string& name : names) {
      ASSERT_EQ(files.GetFileSizeAndTimes(name, info), ERROR_SUCCESS) << what << ' ' << name;
      EXPECT_EQ(info.nFileSize, 5u) << what << ' ' << name;
    }
  }
}

// A file whose host path is longer than the host takes in one piece, in a cached folder whose
// host path is not: it is there for no path query, as it is for opening it and for a process that
// has not looked at its folder yet.
TEST(CachedPathQueries, AgreeWithAFreshLookupBeyondTheHostsLongestPath) {
  MachineDir machine;
  auto& files = machine.Files();
  const std::string name(100, 'n');
  std::string folder = machine.Host("drive_c");
  std::string winFolder = "C:";
  while (folder.size() + 1 + name.size() < 4000) {
    folder += "/" + name;
    winFolder += "\\" + name;
  }
  std::filesystem::create_directories(folder);
  const std::string fileName(4100 - folder.size(), 'f');  // beyond PATH_MAX only as a whole
  const int dirFd = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(dirFd, 0);
  ::close(::openat(dirFd, fileName.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
  const std::string file = winFolder + "\\" + fileName;

  bool bDirectory = false;
  ASSERT_EQ(files.GetEntryKind(winFolder, bDirectory), ERROR_SUCCESS);  // now cached
  uint32_t dwCached = 0;
  uint32_t dwFresh = 0;
  EmulatedFileSystem fresh(machine.Path(), machine.Config());
  EXPECT_EQ(files.GetFileAttributes(file, dwCached), fresh.GetFileAttributes(file, dwFresh));
  EXPECT_EQ(dwCached, dwFresh);
  ::unlinkat(dirFd, fileName.c_str(), 0);  // the host's own tools cannot remove it by its path
  ::close(dirFd);
}

// A name found missing is remembered for the creation that follows. A folder above it replaced on
// the host in between (the watched folder itself unchanged, only no longer at that path) must not
// let the creation add a second file next to one made there in another case. The folder is asked
// about 0 to 2 times before, around the question from which it is indexed.
TEST(CachedPathQueries, MissingNameFollowsAFolderAboveReplacedOnTheHost) {
  for (int nAsked = 0; nAsked < 3; ++nAsked) {
    MachineDir machine;
    auto& files = machine.Files();
    machine.WriteHost("drive_c/A/F/File.txt", "1");
    for (int i = 0; i < nAsked; ++i) EXPECT_TRUE(files.FileExists(R"(C:\A\F\FILE.TXT)"));
    EXPECT_FALSE(files.FileExists(R"(C:\A\F\late.txt)"));
    std::filesystem::rename(machine.Host("drive_c/A"), machine.Host("drive_c/Old"));
    machine.WriteHost("drive_c/A/F/LATE.TXT", "l");
    FileHandle hFile = FileHandle::Invalid;
    EXPECT_EQ(files.CreateFile(R"(C:\A\F\late.txt)", GENERIC_WRITE, CREATE_NEW, 0, hFile),
              ERROR_FILE_EXISTS)
        << nAsked;
  }
}

}  // namespace
}  // namespace platform::emulated
