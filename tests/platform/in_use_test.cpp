// Files in use on the emulated machine: a file that a real host process runs, maps or locks
// cannot be deleted or rewritten (ERROR_SHARING_VIOLATION); one merely open elsewhere can.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/emulated/files/emulated_file_system.h"
#include "support/machine_dir.h"

namespace platform::emulated {
namespace {

using tarvium::test::MachineDir;

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

TEST(EmulatedFileSystem, FileRunByAProcessIsInUse) {
  MachineDir machine;
  auto& files = machine.Files();
  const std::string exe = machine.Host("drive_c/tool.exe");
  std::filesystem::copy_file("/bin/sleep", exe);
  ASSERT_EQ(files.WriteWholeFile(R"(C:\new.exe)", "new"), ERROR_SUCCESS);
  const pid_t pid = StartSleeper(exe);
  ASSERT_GT(pid, 0);
  FileHandle hFile = FileHandle::Invalid;
  EXPECT_EQ(files.DeleteFile(R"(C:\tool.exe)"), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(files.CreateFile(R"(C:\tool.exe)", GENERIC_WRITE, OPEN_EXISTING, 0, hFile),
            ERROR_SHARING_VIOLATION);
  EXPECT_EQ(files.CopyFile(R"(C:\new.exe)", R"(C:\tool.exe)", false), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(files.MoveFileEx(R"(C:\new.exe)", R"(C:\tool.exe)", MOVEFILE_REPLACE_EXISTING),
            ERROR_SHARING_VIOLATION);
  // Reading it is fine, as on Windows.
  ASSERT_EQ(files.CreateFile(R"(C:\tool.exe)", GENERIC_READ, OPEN_EXISTING, 0, hFile),
            ERROR_SUCCESS);
  // Our own open handle keeps it from being deleted, too.
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  EXPECT_EQ(files.DeleteFile(R"(C:\tool.exe)"), ERROR_SHARING_VIOLATION);
  files.CloseHandle(hFile);
  EXPECT_EQ(files.MoveFileEx(R"(C:\new.exe)", R"(C:\tool.exe)", MOVEFILE_REPLACE_EXISTING),
            ERROR_SUCCESS);
}

TEST(EmulatedFileSystem, FileLockedOrMappedByAProcessIsInUseAnOpenOneIsNot) {
  MachineDir machine;
  auto& files = machine.Files();
  for (const char* name : {R"(C:\locked.dat)", R"(C:\mapped.dat)", R"(C:\open.dat)"})
    ASSERT_EQ(files.WriteWholeFile(name, "data"), ERROR_SUCCESS);
  const std::string host = machine.Host("drive_c/locked.dat");
  int ready[2];
  int release[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(release), 0);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(release[1]);
    const int fd = ::open(host.c_str(), O_RDONLY);
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
  EXPECT_EQ(files.DeleteFile(R"(C:\LOCKED.dat)"), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(files.CreateFile(R"(C:\locked.dat)", GENERIC_WRITE, OPEN_EXISTING, 0, hFile),
            ERROR_SHARING_VIOLATION);
  EXPECT_EQ(files.DeleteFile(R"(C:\mapped.dat)"), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(files.DeleteFile(R"(C:\open.dat)"),
            ERROR_SUCCESS);  // merely open: share modes are not emulated
  ::close(release[1]);
  ::waitpid(pid, nullptr, 0);
  ::close(ready[0]);
  EXPECT_EQ(files.DeleteFile(R"(C:\locked.dat)"), ERROR_SUCCESS);
}

}  // namespace
}  // namespace platform::emulated
