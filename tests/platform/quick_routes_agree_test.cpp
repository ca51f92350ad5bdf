// The quick routes of a long-lived file system (a folder's last miss answered by its index, a
// plain path opened where its cached folder says, remembered folders and keys) must answer as a
// file system that has seen nothing yet. Each case changes the host behind the long-lived one's
// back and compares the answers of both for a list of names.
// The path queries (attributes, size and times, kind) answer a file in a folder the resolver has
// cached from a quicker route than the full lookup; these cases hold the host in states where a
// quicker route could see something else than the full lookup sees. The names and syntax the
// quick route must leave to the parser are in win_path_test.cpp.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/emulated/files/emulated_file_system.h"
#include "support/machine_dir.h"

namespace platform::emulated {
namespace {

using tarvium::test::MachineDir;

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
