// Zip and Unzip on an emulated machine, against the peer tools: archives of Info-ZIP zip unpack
// (with and without password), ours unpack with unzip and bsdtar, hostile archives (names that
// climb out, a symbolic link in the destination, a zip bomb, a lying header, a truncated archive,
// a wrong password that passes the check byte) leave nothing outside the destination and nothing
// half-written, and filters, read-only files and the abort flag behave as the operations promise.
// The stored-name rule, the checks that keep every entry inside the destination, and the filter.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "archive/archive_test_run.h"
#include "archive/pack_zip.h"
#include "archive/unpack_zip.h"
#include "archive/zip_names.h"
#include "platform/file_system.h"
#include "support/cancelling_ui.h"

namespace tarvium::test {
namespace {

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
    return RunHostCommand("cd '" + t.HostPath("src") + "' && " + command + " >/dev/null 2>&1");
  }
  bool Unzip(const std::string& archive, const std::string& filter = "",
             const std::string& password = "") {
    return UnpackZip(t.run, ArchiveTestRun::WinPath(archive), ArchiveTestRun::WinPath("out"),
                     filter, password);
  }
  std::vector<std::string> Out() { return ListHostTree(t.HostPath("out")); }
  // Makes the hostile archives with the test data script into C:\hostile.
  void MakeHostileZips() {
    ::mkdir(t.HostPath("hostile").c_str(), 0755);
    ASSERT_EQ(RunHostCommand("python3 '" + TestDataDir() + "/make-hostile-zips.py' '" +
                             t.HostPath("hostile") + "'"),
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
    struct stat stIn {
    }, stOut{};
    ::stat(t.HostPath("src/readme.txt").c_str(), &stIn);
    ::stat(t.HostPath("out/readme.txt").c_str(), &stOut);
    EXPECT_EQ(stOut.st_mtime, stIn.st_mtime);  // an even second: exact in a DOS time
    ASSERT_EQ(RunHostCommand("rm -rf '" + t.HostPath("out") + "'"), 0);
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

  // A truncated archive, and a wrong password that passes the one-byte check: its data fails
  // the CRC or inflate, and neither the file nor its temporary file is left.
  ASSERT_EQ(InSource("zip -q -P right ../secret.zip lib/Tools.DLL && head -c 1000 ../secret.zip > "
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
  ASSERT_EQ(RunHostCommand("python3 '" + t.HostPath("find.py") + "' '" + t.HostPath("secret.zip") +
                           "' > '" + t.HostPath("wrong.txt") + "'"),
            0);
  std::string wrong = ReadHostFile(t.HostPath("wrong.txt"));
  ASSERT_FALSE(wrong.empty());
  wrong.pop_back();
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
  ASSERT_EQ(RunHostCommand("rm -rf '" + t.HostPath("out") + "'"), 0);
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
    ASSERT_EQ(RunHostCommand("rm -rf '" + t.HostPath("out") + "'"), 0);
  }
  // Twice: the second run finds the first one's archive in the folder it packs.
  for (int nRun = 0; nRun < 2; ++nRun) {
    ASSERT_TRUE(PackZip(t.run, "C:\\src\\Self.zip", "C:\\src", "", ""));
    ASSERT_TRUE(Unzip("src\\self.zip"));
    EXPECT_EQ(Out(), kTree) << nRun;
    ASSERT_EQ(RunHostCommand("rm -rf '" + t.HostPath("out") + "'"), 0);
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
  ASSERT_EQ(RunHostCommand("rm -rf '" + t.HostPath("out") + "'"), 0);
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

}  // namespace
}  // namespace tarvium::test
