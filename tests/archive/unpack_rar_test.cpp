// Unrar through the real UnRAR64.dll built in the tree, on the hand-made RAR 4 and RAR 5 archives
// of tests/archive/data: extraction, names that try to climb out, the module's location and
// trust check with their traces, passwords and the results of archives that cannot be extracted.
#include "archive/unpack_rar.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "archive/archive_test_run.h"
#include "support/cancelling_ui.h"

namespace tarvium::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
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
    ASSERT_EQ(RunHostCommand("cp '" + builtModule + "' '" + t.HostPath(folder) + "/'"), 0);
  }
  // What an administrator does: the module's sha256sum line into the machine's allow-list.
  void TrustModuleIn(const std::string& folder, const std::string& prefix = "") {
    const std::string list = t.MachinePath("trusted-modules.txt");
    ASSERT_EQ(
        RunHostCommand("cd '" + t.HostPath(folder) + "' && sha256sum UnRAR64.dll | sed 's/^/" +
                       prefix + "/' > '" + list + "' && chmod 644 '" + list + "'"),
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
