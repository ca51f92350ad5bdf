// The path queries (attributes, size and times, kind) answer a file in a folder the resolver has
// cached from a quicker route than the full lookup; these cases hold the host in states where a
// quicker route could see something else than the full lookup sees. The names and syntax the
// quick route must leave to the parser are in win_path_test.cpp.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "platform/emulated/files/emulated_file_system.h"
#include "support/machine_dir.h"

namespace platform::emulated {
namespace {

using tarvium::test::MachineDir;

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
