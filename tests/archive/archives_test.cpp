// Zip and Unzip on an emulated machine, against the peer tools: archives of Info-ZIP zip unpack
// (with and without password), ours unpack with unzip and bsdtar, hostile archives (names that
// climb out, a symbolic link in the destination, a zip bomb, a lying header, a truncated archive,
// a wrong password that passes the check byte) leave nothing outside the destination and nothing
// half-written, and filters, read-only files and the abort flag behave as the operations promise.
// The stored-name rule, the checks that keep every entry inside the destination, and the filter.
// Unrar through the real UnRAR64.dll built in the tree, on the hand-made RAR 4 and RAR 5 archives
// of tests/archive/data: extraction, names that try to climb out, the module's location and
// trust check with their traces, passwords and the results of archives that cannot be extracted.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/pack_zip.h"
#include "archive/unpack_rar.h"
#include "archive/unpack_zip.h"
#include "archive/zip_names.h"
#include "engine/setup_run.h"
#include "platform/file_system.h"
#include "support/cancelling_ui.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"
#include "support/test_machine.h"

namespace tarvium::test {
namespace {

// A run for the archive tests on a fresh emulated machine (TestMachine): its C: drive, its
// trusted-modules.txt and every service of the machine, the module service among them. Windows
// paths name places on C: ("C:\out"); the tests check the results on the host side of the same
// files, and run host tools (zip, unzip, bsdtar, sha256sum, python3) on them.
class ArchiveTestRun {
 public:
  // "out\\a.txt" -> "C:\\out\\a.txt" and the host path of the same file.
  static std::string WinPath(const std::string& relPath) { return "C:\\" + relPath; }
  std::string HostPath(const std::string& relPath) const {
    std::string path = MachinePath("drive_c/" + relPath);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
  }
  // The host path of a file of the machine directory ("trusted-modules.txt").
  std::string MachinePath(const std::string& relPath) const {
    return machine.Path() + "/" + relPath;
  }
  // Writes a file below the machine directory ("drive_c/src/a.txt"), making its folders.
  void WriteMachineFile(const std::string& relPath, const std::string& bytes) const {
    WriteHostFile(MachinePath(relPath), bytes);
  }
  // The run's trace lines since the last call.
  std::vector<std::string> TakeTrace() { return std::exchange(run.debugLines, {}); }

  TestMachine machine;
  SetupRun run{machine.Machine()};
};

// Also true of a dangling symbolic link.
bool HostPathExists(const std::string& hostPath) {
  struct stat st {};
  return ::lstat(hostPath.c_str(), &st) == 0;
}

// The names below the folder, relative to it and sorted; a folder's ends with '/'.
std::vector<std::string> ListHostTree(const std::string& hostDir) {
  std::vector<std::string> names;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(hostDir, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::string name = std::filesystem::relative(it->path(), hostDir).string();
    names.push_back(it->is_directory() && !it->is_symlink() ? name + "/" : name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// tests/archive/data of the source tree.
std::string TestDataDir() {
  return std::string(TARVIUM_SOURCE_DIR) + "/tests/archive/data";
}

using ::testing::ElementsAre;

class ZipTest : public ::testing::Test {
 protected:
  ZipTest() {
    t.WriteMachineFile("drive_c/src/readme.txt", "Tarvium zip test\r\n");
    t.WriteMachineFile("drive_c/src/empty.dat", "");
    t.WriteMachineFile("drive_c/src/lib/Tools.DLL", std::string(200000, 'z') + "end");
    t.WriteMachineFile("drive_c/src/lib/deep/more.txt", "deeper\n");
  }
  // Runs a host tool in the host directory of C:\src.
  int InSource(const std::string& command) {
    return RunHostCommand("cd '" + t.HostPath("src") + "' && " + command).nExit;
  }
  bool Unzip(const std::string& archive, const std::string& filter = "",
             const std::string& password = "") {
    return UnpackZip(t.run, ArchiveTestRun::WinPath(archive), ArchiveTestRun::WinPath("out"),
                     filter, password);
  }
  std::vector<std::string> Out() { return ListHostTree(t.HostPath("out")); }
  void RemoveOut() { std::filesystem::remove_all(t.HostPath("out")); }
  // Makes the hostile archives with the test data script into C:\hostile.
  void MakeHostileZips() {
    ::mkdir(t.HostPath("hostile").c_str(), 0755);
    ASSERT_EQ(RunHostCommand("python3 '" + TestDataDir() + "/make-hostile-zips.py' '" +
                             t.HostPath("hostile") + "'")
                  .nExit,
              0);
  }

  ArchiveTestRun t;
};

const std::vector<std::string> kTree = {
    "empty.dat", "lib/", "lib/Tools.DLL", "lib/deep/", "lib/deep/more.txt", "readme.txt"};

TEST_F(ZipTest, InfoZipArchivesUnpackWithTheirTimes) {
  ASSERT_EQ(InSource("touch -d '2021-03-04 05:06:08' readme.txt && zip -r -q ../plain.zip . && "
                     "zip -r -q -P 'pass word' ../secret.zip ."),
            0);
  for (const auto& [archive, password] :
       {std::pair{"plain.zip", ""}, {"secret.zip", "pass word"}}) {
    ASSERT_TRUE(Unzip(archive, "", password)) << archive;
    EXPECT_EQ(Out(), kTree);
    EXPECT_EQ(ReadHostFile(t.HostPath("out/lib/Tools.DLL")),
              ReadHostFile(t.HostPath("src/lib/Tools.DLL")));
    EXPECT_EQ(std::filesystem::last_write_time(t.HostPath("out/readme.txt")),
              std::filesystem::last_write_time(t.HostPath("src/readme.txt")))
        << "an even second: exact in a DOS time";
    RemoveOut();
  }
  EXPECT_FALSE(Unzip("secret.zip", "", ""));  // encrypted entries need the password
  EXPECT_FALSE(Unzip("secret.zip", "", "wrong"));
  t.TakeTrace();
  EXPECT_FALSE(Unzip("missing.zip"));
  EXPECT_THAT(t.TakeTrace(), ElementsAre(::testing::HasSubstr("cannot be opened: error 2")));
}

TEST_F(ZipTest, OurArchivesUnpackWithUnzipAndBsdtar) {
  ASSERT_TRUE(PackZip(t.run, "C:\\plain.zip", "C:\\src", "", ""));
  ASSERT_TRUE(PackZip(t.run, "C:\\secret.zip", "C:\\src\\", "", "pa$$ word"));
  const std::string longPassword(310, 'k');  // only the first 303 characters are used
  ASSERT_TRUE(PackZip(t.run, "C:\\long.zip", "C:\\src", "*.txt", longPassword));
  const std::string plain = t.HostPath("plain.zip"), secret = t.HostPath("secret.zip");
  for (const std::string& check :
       {"unzip -q -d ../u1 '" + plain + "'", "unzip -q -P 'pa$$ word' -d ../u2 '" + secret + "'",
        "mkdir ../u3 && bsdtar -xf '" + plain + "' -C ../u3",
        "mkdir ../u4 && bsdtar --passphrase 'pa$$ word' -xf '" + secret + "' -C ../u4",
        "unzip -q -P " + longPassword.substr(0, 303) + " -d ../u5 ../long.zip"})
    EXPECT_EQ(InSource(check), 0) << check;
  for (const char* dir : {"u1", "u2", "u3", "u4"}) {
    EXPECT_EQ(ListHostTree(t.HostPath(dir)), kTree) << dir;
    EXPECT_EQ(ReadHostFile(t.HostPath(std::string(dir) + "/lib/deep/more.txt")), "deeper\n");
  }
  EXPECT_EQ(ListHostTree(t.HostPath("u5")),
            (std::vector<std::string>{"lib/", "lib/deep/", "lib/deep/more.txt", "readme.txt"}));
  EXPECT_NE(InSource("unzip -q -P wrong -d ../u6 '" + secret + "'"), 0);
  // Our own archives come back through UnpackZip with the filter on the stored name.
  ASSERT_TRUE(Unzip("secret.zip", "*.dll", "pa$$ word"));
  EXPECT_EQ(Out(), (std::vector<std::string>{"lib/", "lib/Tools.DLL"}));
  EXPECT_FALSE(PackZip(t.run, "Z:\\tarvium-cannot-write.zip", "C:\\src", "", ""));
}

// Entry names that climb out of the destination land inside it, and the one with a stream colon
// is refused: the scenario script-unzip-hostile unpacks the same slip.zip and compares the machine.
// Symbolic links already in the destination, to a directory and to a file, are not followed.
TEST_F(ZipTest, LinksInTheDestinationAreNotFollowed) {
  ASSERT_EQ(InSource("mkdir -p ../elsewhere ../linked && echo keep > ../elsewhere/kept.txt && "
                     "ln -s ../elsewhere ../linked/lib && ln -s ../elsewhere/kept.txt "
                     "../linked/readme.txt && zip -r -q ../tree.zip ."),
            0);
  EXPECT_FALSE(UnpackZip(t.run, "C:\\tree.zip", "C:\\linked", "", ""));
  EXPECT_EQ(ListHostTree(t.HostPath("elsewhere")), std::vector<std::string>{"kept.txt"});
  EXPECT_EQ(ReadHostFile(t.HostPath("elsewhere/kept.txt")), "keep\n");
  EXPECT_TRUE(HostPathExists(t.HostPath("linked/empty.dat")));
}

TEST_F(ZipTest, BombsLiesAndDamageLeaveNothingHalfWritten) {
  MakeHostileZips();
  EXPECT_FALSE(Unzip("hostile\\bomb.zip"));
  EXPECT_THAT(t.TakeTrace(), ElementsAre(::testing::HasSubstr("unpacks to more than")));
  EXPECT_FALSE(HostPathExists(t.HostPath("out")));
  EXPECT_FALSE(Unzip("hostile\\liar.zip"));
  EXPECT_THAT(t.TakeTrace(),
              ElementsAre(::testing::HasSubstr("more data than its header declares")));

  // An archive without its last 100 bytes (the central directory among them) cannot be opened; a
  // wrong password that passes the one-byte check fails the CRC or inflate, and neither the file
  // nor its temporary file is left.
  ASSERT_EQ(InSource("zip -q -P right ../secret.zip lib/Tools.DLL && head -c -100 ../secret.zip > "
                     "../cut.zip"),
            0);
  EXPECT_FALSE(Unzip("cut.zip", "", "right"));
  EXPECT_THAT(t.TakeTrace(), ElementsAre(::testing::HasSubstr("cut short")));
  const std::string finder =
      "import zipfile,zlib,sys\n"
      "z=zipfile.ZipFile(sys.argv[1])\n"
      "for i in range(100000):\n"
      "  try: z.read('lib/Tools.DLL', pwd=b'w%d' % i)\n"
      "  except RuntimeError: continue\n"
      "  except Exception: print('w%d' % i); break\n";
  t.WriteMachineFile("drive_c/find.py", finder);
  const ToolResult found =
      RunHostCommand("python3 '" + t.HostPath("find.py") + "' '" + t.HostPath("secret.zip") + "'");
  ASSERT_EQ(found.nExit, 0);
  ASSERT_FALSE(found.out.empty());
  const std::string wrong = found.out.substr(0, found.out.size() - 1);  // without the line end
  EXPECT_FALSE(Unzip("secret.zip", "", wrong));
  EXPECT_THAT(t.TakeTrace(), ElementsAre(::testing::HasSubstr("data damaged or password wrong")));
  EXPECT_EQ(Out(), (std::vector<std::string>{"lib/"}));
  ASSERT_TRUE(Unzip("secret.zip", "", "right"));
  EXPECT_EQ(Out(), (std::vector<std::string>{"lib/", "lib/Tools.DLL"}));
}

TEST_F(ZipTest, DamagedDataAndUnusableNamesAreRefusedWithWhatIsWrong) {
  MakeHostileZips();
  // A stored entry has no inflate to notice damage: only its CRC32 does.
  EXPECT_FALSE(Unzip("hostile\\flipped.zip"));
  EXPECT_THAT(t.TakeTrace(), ElementsAre(::testing::AllOf(::testing::HasSubstr("flipped.txt"),
                                                          ::testing::HasSubstr("data damaged"))));
  EXPECT_EQ(Out(), std::vector<std::string>{"good.txt"});
  RemoveOut();
  EXPECT_FALSE(Unzip("hostile\\names.zip"));
  EXPECT_THAT(t.TakeTrace(), ElementsAre(::testing::HasSubstr("name longer than 1024 characters"),
                                         ::testing::HasSubstr("name holds a NUL character")));
  EXPECT_EQ(Out(), std::vector<std::string>{"good.txt"});
}

TEST_F(ZipTest, ReadOnlyArchivesUnpackAndPackingIntoTheSourceLeavesTheArchiveOut) {
  ASSERT_EQ(InSource("zip -r -q ../plain.zip . && cp ../plain.zip ../ro.zip"), 0);
  ASSERT_EQ(
      t.run.machine.Files().SetFileAttributes("C:\\ro.zip", platform::FILE_ATTRIBUTE_READONLY),
      platform::ERROR_SUCCESS);
  for (const std::string& archive : {ZPath(t.HostPath("plain.zip")), std::string("C:\\ro.zip")}) {
    ASSERT_TRUE(UnpackZip(t.run, archive, "C:\\out", "", "")) << archive;
    EXPECT_EQ(Out(), kTree);
    RemoveOut();
  }
  // Twice: the second run finds the first one's archive in the folder it packs.
  for (int nRun = 0; nRun < 2; ++nRun) {
    ASSERT_TRUE(PackZip(t.run, "C:\\src\\Self.zip", "C:\\src", "", ""));
    ASSERT_TRUE(Unzip("src\\self.zip"));
    EXPECT_EQ(Out(), kTree) << nRun;
    RemoveOut();
  }
  EXPECT_EQ(ListHostTree(t.HostPath("src")).size(), kTree.size() + 1);  // no temporary left
}

#ifdef TARVIUM_FAULT_SEAM
TEST_F(ZipTest, AFailedWriteLeavesNoFileUnderItsNameAndKeepsTheOldOne) {
  ASSERT_TRUE(PackZip(t.run, "C:\\plain.zip", "C:\\src", "", ""));
  const std::string whole = ReadHostFile(t.HostPath("plain.zip"));
  t.WriteMachineFile("drive_c/out/lib/Tools.DLL", "old");
  auto& files = t.machine.Machine().EmulatedFiles();
  // Packing onto a full disk, and unpacking with a write failing inside the big file.
  files.SetFaultPlan({0, true});
  EXPECT_FALSE(PackZip(t.run, "C:\\plain.zip", "C:\\src", "", ""));
  EXPECT_FALSE(PackZip(t.run, "C:\\new.zip", "C:\\src", "", ""));
  files.SetFaultPlan({3, false});
  EXPECT_FALSE(Unzip("plain.zip", "*.dll"));
  files.SetFaultPlan({});
  EXPECT_EQ(ReadHostFile(t.HostPath("plain.zip")), whole);
  EXPECT_FALSE(HostPathExists(t.HostPath("new.zip")));
  EXPECT_EQ(ReadHostFile(t.HostPath("out/lib/Tools.DLL")), "old");
  for (const std::string& name : ListHostTree(t.HostPath("")))
    EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
}
#endif

TEST_F(ZipTest, ReadOnlyFilesAreReplacedAndAbortStopsBetweenEntries) {
  ASSERT_EQ(InSource("zip -r -q ../plain.zip ."), 0);
  t.WriteMachineFile("drive_c/out/readme.txt", "old");
  ASSERT_EQ(t.run.machine.Files().SetFileAttributes("C:\\out\\readme.txt",
                                                    platform::FILE_ATTRIBUTE_READONLY),
            platform::ERROR_SUCCESS);
  ASSERT_TRUE(Unzip("plain.zip", "readme.*"));
  EXPECT_EQ(ReadHostFile(t.HostPath("out/readme.txt")), "Tarvium zip test\r\n");

  auto cancelling = std::make_unique<CancellingUserInterface>(2);
  const CancellingUserInterface& user = *cancelling;
  t.run.ui = std::move(cancelling);
  RemoveOut();
  EXPECT_TRUE(Unzip("plain.zip"));
  EXPECT_EQ(user.nPumped, 2);
  EXPECT_EQ(Out().size(), 2u);
  t.run.ctx.bAborted = false;
  EXPECT_FALSE(UnpackZip(t.run, "C:\\plain.zip", "Z:\\tarvium-read-only", "", ""));
}

TEST(ZipNames, StoredNamesThatClimbOutLandInsideTheDestinationOrAreRefused) {
  struct Case {
    const char* pszStored;
    const char* pszDisk;  // null: refused
  };
  const Case cases[] = {
      {"..\\..\\evil.txt", "evil.txt"},
      {"C:\\evil.txt", "evil.txt"},
      {"a/../../b.txt", "b.txt"},
      {"/etc/passwd", "etc\\passwd"},
      {"\\\\server\\share\\x", "server\\share\\x"},
      {"c:evil.txt", "evil.txt"},
      {"x/..\\y/../z.txt", "z.txt"},
      {"dir/sub/f.txt", "dir\\sub\\f.txt"},
      {"../evil.txt", nullptr},
      {"..", nullptr},
      {"x/..", nullptr},
      {"a/b:stream", nullptr},
      {"dir\\C:\\evil.txt", nullptr},
      {"C:", nullptr},
      {"..a/b..", "..a\\b.."},  // dots inside names are names, not parents
  };
  for (const Case& c : cases) {
    std::string disk;
    const bool bTaken = DestinationNameOf(c.pszStored, false, disk);
    EXPECT_EQ(bTaken, c.pszDisk != nullptr) << c.pszStored << " -> " << disk;
    if (c.pszDisk) {
      EXPECT_EQ(disk, c.pszDisk) << c.pszStored;
    }
  }
}

TEST(ZipNames, OemNamesAndFiltersWithoutRegardToCase) {
  std::string disk;
  ASSERT_TRUE(DestinationNameOf("Gr\x81\xE1\x65/\x8E.txt", false, disk));  // Grüße/Ä.txt, OEM
  EXPECT_EQ(disk, "Gr\xFC\xDF\x65\\\xC4.txt");
  EXPECT_EQ(StoredNameOf(disk), "Gr\x81\xE1\x65/\x8E.txt");
  ASSERT_TRUE(DestinationNameOf("\xC3\x84.txt", true, disk));  // Ä.txt with the UTF-8 flag
  EXPECT_EQ(disk, "\xC4.txt");

  EXPECT_TRUE(MatchesFilter("anything\\at all", ""));
  EXPECT_TRUE(MatchesFilter("LIB\\Tools.DLL", "*.dll"));
  EXPECT_FALSE(MatchesFilter("tools.dll.bak", "*.dll"));
  EXPECT_TRUE(MatchesFilter("a.dll", "?.DLL"));
  EXPECT_FALSE(MatchesFilter("ab.dll", "?.dll"));
  EXPECT_TRUE(MatchesFilter("\xC4rger.txt", "\xE4*"));  // Ä and ä
  EXPECT_TRUE(MatchesFilter("abcabcabd", "*abc*abd"));
  EXPECT_TRUE(MatchesFilter("x", "**x**"));
  EXPECT_FALSE(MatchesFilter("", "?"));
}

using ::testing::Contains;
using ::testing::IsSupersetOf;
using ::testing::Not;

class UnpackRarTest : public ::testing::Test {
 protected:
  UnpackRarTest() {
    ::mkdir(t.HostPath("app").c_str(), 0755);
    ::mkdir(t.HostPath("modules").c_str(), 0755);
    t.run.ctx.szExeDir = ArchiveTestRun::WinPath("app");
    InstallModule(BuildDir() + "/modules/UnRAR64.dll", "app");
    TrustModuleIn("app");
  }

  void InstallModule(const std::string& builtModule, const std::string& folder) {
    ASSERT_EQ(RunHostCommand("cp '" + builtModule + "' '" + t.HostPath(folder) + "/'").nExit, 0);
  }
  // What an administrator does: the module's sha256sum line into the machine's allow-list.
  void TrustModuleIn(const std::string& folder, const std::string& prefix = "") {
    const std::string list = t.MachinePath("trusted-modules.txt");
    ASSERT_EQ(
        RunHostCommand("cd '" + t.HostPath(folder) + "' && sha256sum UnRAR64.dll | sed 's/^/" +
                       prefix + "/' > '" + list + "' && chmod 644 '" + list + "'")
            .nExit,
        0);
  }
  bool Unpack(const std::string& archive, const std::string& password = "",
              const std::string& moduleFolder = "") {
    return UnpackRar(t.run, moduleFolder, DataWinPath(archive), ArchiveTestRun::WinPath("out"),
                     password);
  }
  // The committed archives, read where they lie: on the read-only drive Z:.
  static std::string DataWinPath(const std::string& archive) {
    return ZPath(TestDataDir() + "/" + archive);
  }

  ArchiveTestRun t;
};

TEST_F(UnpackRarTest, Rar4AndRar5TreesUnpackWithTheirTraces) {
  for (const char* archive : {"tree4.rar", "tree5.rar"}) {
    ASSERT_TRUE(Unpack(archive)) << archive;
    EXPECT_EQ(ReadHostFile(t.HostPath("out/readme.txt")), "Tarvium test archive.\r\n");
    EXPECT_EQ(ReadHostFile(t.HostPath("out/docs/sub/deep.txt")),
              "nested file, two levels down\r\n");
    const std::vector<std::string> trace = t.TakeTrace();
    const std::string module = ArchiveTestRun::WinPath("app") + "\\UnRAR64.dll";
    ASSERT_GE(trace.size(), 7u);
    EXPECT_THAT(
        std::vector<std::string>(trace.begin(), trace.begin() + 6),
        ElementsAre("No path to folder with UnRAR-module provided. Using path to application "
                    "folder: '" +
                        ArchiveTestRun::WinPath("app") + "'",
                    "UnRAR-Module '" + module + "' exists", "Verifying module '" + module + "'",
                    "The file is signed and the signature was verified.\n",
                    "Module '" + module + "' loaded with success",
                    "Extract archive '" + DataWinPath(archive) + "' to '" +
                        ArchiveTestRun::WinPath("out") + "'"));
    EXPECT_THAT(trace, IsSupersetOf({"Extracting docs\\sub\\deep.txt                            ",
                                     "success", "---------------------------", "Volume: no",
                                     "First volume: no or older than 3.0"}));
  }
  // The RAR 4 archive carries the lock flag; RAR 5 archives always use the new volume naming.
  ASSERT_TRUE(Unpack("tree4.rar"));
  EXPECT_THAT(t.TakeTrace(), IsSupersetOf({"Locked: yes", "New naming: no"}));
  ASSERT_TRUE(Unpack("tree5.rar"));
  EXPECT_THAT(t.TakeTrace(), IsSupersetOf({"Locked: no", "New naming: yes"}));
}

TEST_F(UnpackRarTest, NamesThatClimbOrLinksThatLeadOutStayInsideTheDestination) {
  for (const char* archive : {"slip4.rar", "slip5.rar"}) {
    ASSERT_TRUE(Unpack(archive)) << archive;
    EXPECT_EQ(ReadHostFile(t.HostPath("out/evil.txt")), "evil\r\n") << archive;
    EXPECT_FALSE(HostPathExists(t.HostPath("evil.txt")));
    EXPECT_FALSE(HostPathExists(t.MachinePath("evil.txt")));
  }
  // A directory of the archive that is a symbolic link in the destination is not followed.
  ::mkdir(t.HostPath("elsewhere").c_str(), 0755);
  ::mkdir(t.HostPath("out").c_str(), 0755);
  ASSERT_EQ(::symlink(t.HostPath("elsewhere").c_str(), t.HostPath("out/docs").c_str()), 0);
  t.TakeTrace();
  EXPECT_FALSE(Unpack("tree4.rar"));
  EXPECT_THAT(t.TakeTrace(), Contains("File create error"));
  EXPECT_FALSE(HostPathExists(t.HostPath("elsewhere/sub")));
}

TEST_F(UnpackRarTest, ModuleFolderFallsBackToTheApplicationFolderOnce) {
  const std::string given = ArchiveTestRun::WinPath("modules");
  ASSERT_TRUE(Unpack("tree5.rar", "", given));
  const std::vector<std::string> trace = t.TakeTrace();
  EXPECT_THAT(
      std::vector<std::string>(trace.begin(), trace.begin() + 3),
      ElementsAre("Error checking existence of UnRAR-module '" + given + "\\UnRAR64.dll' !",
                  "Looking for UnRAR-module in default folder (application path)",
                  "UnRAR-Module '" + ArchiveTestRun::WinPath("app") + "\\UnRAR64.dll' exists"));

  // Neither folder holds the module.
  ::unlink(t.HostPath("app/UnRAR64.dll").c_str());
  EXPECT_FALSE(Unpack("tree5.rar", "", given));
  EXPECT_EQ(t.TakeTrace().back(),
            "Module '" + ArchiveTestRun::WinPath("app") + "\\UnRAR64.dll' not found");

  // A folder that does not fit the 1025-character path buffer.
  const std::string longFolder = "C:\\" + std::string(1022, 'x');
  EXPECT_FALSE(Unpack("tree5.rar", "", longFolder));
  EXPECT_THAT(t.TakeTrace(), ElementsAre("Path to UnRAR-module '" + longFolder +
                                         "' is with '1' characters too long for buffer of '1025' "
                                         "characters!"));
}

TEST_F(UnpackRarTest, OnlyAModuleOnTheAllowListIsLoaded) {
  const std::string module = ArchiveTestRun::WinPath("app") + "\\UnRAR64.dll";
  const std::string list = t.MachinePath("trusted-modules.txt");
  struct Case {
    std::string listText;
    const char* pszTrace;
  };
  const std::string otherDigest(64, 'a');
  const std::vector<Case> cases = {
      {"", "The file is not signed.\n"},
      {otherDigest + "  UnRAR64.dll\n", "The digital signature of the object did not verify.\n"},
  };
  for (const Case& c : cases) {
    t.WriteMachineFile("trusted-modules.txt", c.listText);
    EXPECT_FALSE(Unpack("tree4.rar"));
    EXPECT_THAT(t.TakeTrace(),
                ElementsAre(::testing::_, ::testing::_, "Verifying module '" + module + "'",
                            c.pszTrace, "Module '" + module + "' couldn't be verified"));
  }
  TrustModuleIn("app", "!");  // the digest explicitly denied
  EXPECT_FALSE(Unpack("tree4.rar"));
  EXPECT_THAT(t.TakeTrace(), Contains("The signature is present, but specifically disallowed.\n"));

  TrustModuleIn("app");  // listed, but others may change the list
  ::chmod(list.c_str(), 0666);
  EXPECT_FALSE(Unpack("tree4.rar"));
  EXPECT_THAT(t.TakeTrace(), Contains("The signature is present, but not trusted.\n"));
  EXPECT_FALSE(HostPathExists(t.HostPath("out")));
}

TEST_F(UnpackRarTest, PasswordsUpTo127CharactersReachTheModule) {
  for (const char* archive : {"encrypted4.rar", "encrypted5.rar"}) {
    EXPECT_FALSE(Unpack(archive, std::string(127, 'p'))) << archive;
    EXPECT_THAT(t.TakeTrace(), IsSupersetOf({"Password provided", "Password required as char",
                                             "Password is set", "Unknown archive format"}));
    EXPECT_EQ(ReadHostFile(t.HostPath("out/plain.txt")), "Tarvium test archive.\r\n");
    EXPECT_FALSE(HostPathExists(t.HostPath("out/secret.txt")));

    EXPECT_FALSE(Unpack(archive, std::string(128, 'p')));
    const std::vector<std::string> trace = t.TakeTrace();
    EXPECT_THAT(trace, IsSupersetOf({"Password is longer than 127 characters and can't be used!",
                                     "Password is not set",
                                     "Password for encrypted file or header is not specified"}));
    EXPECT_THAT(trace, Not(Contains("Password provided")));
  }
}

TEST_F(UnpackRarTest, ArchivesWithoutAnEntryToWriteGiveFalse) {
  for (const char* archive : {"empty4.rar", "empty5.rar"}) {
    EXPECT_FALSE(Unpack(archive)) << archive;
    EXPECT_EQ(t.TakeTrace().back(), "---------------------------");
  }
  for (const char* archive : {"make-rar-archives.py", "missing.rar"}) {  // open fails: 13 and 15
    EXPECT_FALSE(Unpack(archive));
    EXPECT_EQ(t.TakeTrace().back(), "'" + DataWinPath(archive) + "' is not a RAR archive");
  }
  // Damaged data: the last byte of deep.txt's data changed, its CRC no longer matches.
  std::string damaged = ReadHostFile(TestDataDir() + "/tree4.rar");
  damaged[damaged.size() - 8] ^= 0x20;
  t.WriteMachineFile("drive_c/damaged.rar", damaged);
  EXPECT_FALSE(UnpackRar(t.run, "", ArchiveTestRun::WinPath("damaged.rar"),
                         ArchiveTestRun::WinPath("out"), ""));
  EXPECT_EQ(t.TakeTrace().back(),
            "'" + ArchiveTestRun::WinPath("damaged.rar") + "': archive header or data are damaged");
  EXPECT_TRUE(HostPathExists(t.HostPath("out/readme.txt")));
  EXPECT_FALSE(HostPathExists(t.HostPath("out/docs/sub/deep.txt")));

  // A destination on the read-only drive Z: is never handed to the module.
  EXPECT_FALSE(UnpackRar(t.run, "", DataWinPath("tree5.rar"), ZPath("/tmp/tarvium-never"), ""));
  EXPECT_EQ(t.TakeTrace().back(), "File create error");
  EXPECT_FALSE(HostPathExists("/tmp/tarvium-never"));
}

TEST_F(UnpackRarTest, AbortBetweenEntriesStopsWithTheResultSoFar) {
  auto cancelling = std::make_unique<CancellingUserInterface>(2);
  const CancellingUserInterface& user = *cancelling;
  t.run.ui = std::move(cancelling);
  EXPECT_TRUE(Unpack("tree5.rar"));
  EXPECT_EQ(user.nPumped, 2);
  EXPECT_TRUE(HostPathExists(t.HostPath("out/docs")));
  EXPECT_FALSE(HostPathExists(t.HostPath("out/docs/sub")));
}

TEST_F(UnpackRarTest, AModuleWithoutAnEntryPointIsRefused) {
  ::unlink(t.HostPath("app/UnRAR64.dll").c_str());
  InstallModule(BuildDir() + "/modules-incomplete/UnRAR64.dll", "app");
  TrustModuleIn("app");
  EXPECT_FALSE(Unpack("tree5.rar"));
  EXPECT_EQ(t.TakeTrace().back(), "Error loading function RARProcessFile");
}

}  // namespace
}  // namespace tarvium::test
