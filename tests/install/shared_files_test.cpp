// Shared-file counts, removal of installed files with their emptied parents and help index
// files, protected directories, and deletes put off to the next restart, on both kinds of
// machine (NT pending renames, WININIT.INI on a DOS-based one).
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "copy_test_run.h"
#include "install/copy_flags.h"
#include "install/shared_files.h"
#include "platform/emulated/machine/machine_reboot.h"
#include "platform/pending_file_renames.h"

namespace tarvium::test {
namespace {

using platform::RegRoot;

constexpr const char* kSharedDlls = R"(Software\Microsoft\Windows\CurrentVersion\SharedDLLs)";

platform::RegValue SharedValue(CopyTestRun& t, const std::string& path) {
  platform::RegValue value;
  t.run.machine.Reg().QueryValue(RegRoot::LocalMachine, kSharedDlls, path, value);
  return value;
}

uint32_t SharedCount(CopyTestRun& t, const std::string& path) {
  const platform::RegValue value = SharedValue(t, path);
  uint32_t nCount = 0;
  if (value.data.size() >= 4) std::memcpy(&nCount, value.data.data(), 4);
  return nCount;
}

TEST(SharedFiles, FontFilesAreToldByTheirExtensionInAnyCase) {
  for (const char* path : {"C:\\F\\a.ttf", "a.TTF", "x.OtF", "C:\\F\\b.fon", ".ttf"})
    EXPECT_TRUE(IsFontFile(path)) << path;
  for (const char* path : {"a.bin", "a.ttfx", "attf", "a.tt", "a.fnt", "a.otc", "ttf",
                           "a.t\xf4"
                           "f"})
    EXPECT_FALSE(IsFontFile(path)) << path;
}

TEST(SharedFiles, AFileAlreadyThereCountsTwiceAndRemovalLeavesOne) {
  // Replaced by a newer file, or kept because it is equal: either way the product uses it.
  for (const bool bEqual : {false, true}) {
    CopyTestRun t;
    const std::string dll = t.run.variables.Get("System") + "\\shared.dll";
    t.Write(dll, "old", kJune2020);
    t.Write(R"(C:\Media\shared.dll)", bEqual ? "old" : "new",
            bEqual ? kJune2020 : DaysLater(kJune2020, 1));
    ASSERT_TRUE(t.Copy(R"(C:\Media\shared.dll)", dll, COPY_SHAREDDLL, 3));
    EXPECT_EQ(SharedCount(t, dll), 2u) << bEqual;
    EXPECT_EQ(SharedValue(t, dll).dwType, platform::REG_DWORD);
    EXPECT_EQ(t.Read(dll), bEqual ? "old" : "new");
    // A second product with the same equal file counts once more.
    ASSERT_TRUE(t.Copy(R"(C:\Media\shared.dll)", dll, COPY_SHAREDDLL, 3));
    EXPECT_EQ(SharedCount(t, dll), 3u) << bEqual;
    // Each removal counts down; the file stays while the count is above 0.
    t.run.ctx.bUninstall = true;
    for (const uint32_t nLeft : {2u, 1u}) {
      ASSERT_TRUE(t.Copy(dll, dll, COPY_SHAREDDLL));
      EXPECT_EQ(SharedCount(t, dll), nLeft);
      EXPECT_TRUE(t.Files().FileExists(dll));
    }
    // The last user: asked (silent: Yes), value and file gone.
    t.run.ctx.bSilent = true;
    ASSERT_TRUE(t.Copy(dll, dll, COPY_SHAREDDLL));
    EXPECT_FALSE(t.Files().FileExists(dll));
    EXPECT_TRUE(SharedValue(t, dll).data.empty());
    EXPECT_TRUE(t.Files().DirectoryExists(t.run.variables.Get("System")));
  }
}

TEST(SharedFiles, ExistingValueKeepsItsTypeAndMissingValueAsks5519) {
  CopyTestRun t;
  const std::string dll = R"(C:\App\typed.dll)";
  t.run.machine.Reg().CreateKey(RegRoot::LocalMachine, kSharedDlls);
  t.run.machine.Reg().SetValue(RegRoot::LocalMachine, kSharedDlls, dll,
                               {platform::REG_BINARY, {5, 0, 0, 0}});
  ASSERT_TRUE(CountSharedFileUp(t.run, dll, false, COPY_SHAREDDLL, ""));
  EXPECT_EQ(SharedValue(t, dll).dwType, platform::REG_BINARY);
  EXPECT_EQ(SharedCount(t, dll), 6u);
  for (const int nAnswer : {kResultIgnore, kResultOk}) {
    t.user->answers[5519] = nAnswer;
    EXPECT_EQ(CountSharedFileDown(t.run, R"(C:\App\unknown.dll)", COPY_SHAREDDLL, ""),
              nAnswer == kResultIgnore);
  }
  EXPECT_EQ(t.Messages(), (std::vector<int>{5519, 5519}));
}

#ifdef TARVIUM_FAULT_SEAM
TEST(SharedFiles, RefusedCountAsks5518AndIgnoreGoesOn) {
  for (const int nAnswer : {kResultIgnore, kResultOk}) {
    CopyTestRun t;
    t.user->answers[5518] = nAnswer;
    t.Write(R"(C:\Media\s.dll)", "s", kJune2020);
    t.machine.Machine().SqlRegistry().RefuseWrites(true);
    EXPECT_EQ(t.Copy(R"(C:\Media\s.dll)", R"(C:\App\s.dll)", COPY_SHAREDDLL),
              nAnswer == kResultIgnore);
    t.machine.Machine().SqlRegistry().RefuseWrites(false);
    EXPECT_EQ(t.Messages(), std::vector<int>{5518});
    EXPECT_TRUE(t.Files().FileExists(R"(C:\App\s.dll)"));
  }
}
#endif

TEST(SharedFiles, AllDeletesEveryLaterUnneededFileWithoutAsking) {
  CopyTestRun t;
  const std::vector<std::string> dlls = {R"(C:\Common\a.dll)", R"(C:\Common\b.dll)",
                                         R"(C:\Common\c.dll)"};
  for (const std::string& dll : dlls) {
    t.Write(dll, "x");
    ASSERT_TRUE(CountSharedFileUp(t.run, dll, false, COPY_SHAREDDLL, ""));
  }
  t.user->answers[5535] = kResultNo;
  ASSERT_TRUE(CountSharedFileDown(t.run, dlls[0], COPY_SHAREDDLL, ""));
  EXPECT_TRUE(t.Files().FileExists(dlls[0]));
  EXPECT_TRUE(SharedValue(t, dlls[0]).data.empty());
  t.user->answers[5535] = kResultAll;
  for (size_t i = 1; i < dlls.size(); ++i)
    ASSERT_TRUE(CountSharedFileDown(t.run, dlls[i], COPY_SHAREDDLL, ""));
  EXPECT_EQ(t.Messages(), (std::vector<int>{5535, 5535}));
  EXPECT_FALSE(t.Files().FileExists(dlls[1]));
  EXPECT_FALSE(t.Files().FileExists(dlls[2]));
}

TEST(SharedFiles, EmptiedParentsGoButProtectedDirectoriesStay) {
  CopyTestRun t;
  const std::string windows = t.run.variables.Get("Windows");
  const std::string system = t.run.variables.Get("System");
  std::string temp;
  t.Files().GetTempPath(temp);
  t.run.variables.Set("App", R"(C:\Program Files\Vendor\App)");
  t.Write(R"(C:\Program Files\Vendor\App\bin\tool.exe)", "t");
  t.Write(R"(C:\Program Files\Vendor\other.txt)", "o");
  t.Files().SetFileAttributes(R"(C:\Program Files\Vendor\App\bin\tool.exe)",
                              platform::FILE_ATTRIBUTE_READONLY | platform::FILE_ATTRIBUTE_HIDDEN);
  ASSERT_TRUE(RemoveInstalledFile(t.run, R"(C:\Program Files\Vendor\App\bin\tool.exe)"));
  EXPECT_FALSE(t.Files().DirectoryExists(R"(C:\Program Files\Vendor\App)"));
  EXPECT_TRUE(t.Files().DirectoryExists(R"(C:\Program Files\Vendor)"));
  // An empty system directory and an empty temporary directory stay.
  t.run.variables.Set("System", R"(C:\Windows\EmptySystem)");
  t.Write(R"(C:\Windows\EmptySystem\only.dll)", "d");
  ASSERT_TRUE(RemoveInstalledFile(t.run, R"(C:\Windows\EmptySystem\only.dll)"));
  EXPECT_TRUE(t.Files().DirectoryExists(R"(C:\Windows\EmptySystem)"));
  RemoveDirectoryTree(t.run, temp);
  t.Write(temp + "setup.tmp", "t");
  ASSERT_TRUE(RemoveInstalledFile(t.run, temp + "setup.tmp"));
  EXPECT_TRUE(t.Files().DirectoryExists(temp));
  EXPECT_FALSE(RemoveInstalledDirectory(t.run, "\"" + windows + "\""));
  EXPECT_TRUE(t.Files().DirectoryExists(system));
}

// Whether a folder is empty is remembered between the removals of its files; a file made or
// deleted there meanwhile by another process or on the host must count. A folder that stays
// keeps its attributes and the current directory in it.
TEST(SharedFiles, EmptiedFolderIsToldAfterOthersChangedIt) {
  const std::string folder = R"(C:\App\bin)";
  const std::string late = folder + R"(\late.txt)";
  const std::string last = folder + R"(\d.dll)";
  const struct {
    const char* what;
    std::function<void(CopyTestRun&)> change;
    bool bStays;
  } cases[] = {
      {"made on the host", [&](CopyTestRun& t) { t.machine.WriteFile(late, "l"); }, true},
      {"made by another process",
       [&](CopyTestRun& t) { t.machine.OpenAgain()->Files().WriteWholeFile(late, "l"); }, true},
      {"deleted on the host",
       [&](CopyTestRun& t) { std::filesystem::remove(t.machine.HostPath(last)); }, false},
      {"deleted by another process",
       [&](CopyTestRun& t) { t.machine.OpenAgain()->Files().DeleteFile(last); }, false},
  };
  for (const auto& c : cases) {
    CopyTestRun t;
    for (const char* name : {"a.dll", "b.dll", "c.dll", "d.dll"})
      t.Write(folder + "\\" + name, "x");
    ASSERT_EQ(t.Files().SetFileAttributes(folder, platform::FILE_ATTRIBUTE_HIDDEN), 0u);
    ASSERT_EQ(t.Files().SetCurrentDirectory(folder), 0u);
    for (const char* name : {"a.dll", "b.dll"})  // asked twice: the folder is remembered
      ASSERT_TRUE(RemoveInstalledFile(t.run, folder + "\\" + name));
    ASSERT_TRUE(t.Files().DirectoryExists(folder)) << c.what;
    c.change(t);
    for (const char* name : {"c.dll", "d.dll"})
      ASSERT_TRUE(RemoveInstalledFile(t.run, folder + "\\" + name)) << c.what;
    EXPECT_EQ(t.Files().DirectoryExists(folder), c.bStays) << c.what;
    if (!c.bStays) continue;
    uint32_t dwAttributes = 0;
    EXPECT_EQ(t.Files().GetFileAttributes(folder, dwAttributes), 0u);
    EXPECT_TRUE(dwAttributes & platform::FILE_ATTRIBUTE_HIDDEN) << c.what;
    std::string current;
    t.Files().GetCurrentDirectory(current);
    EXPECT_EQ(current, folder) << c.what;
  }
}

TEST(SharedFiles, HelpIndexFilesGoBesideOrInTheHelpDirectory) {
  CopyTestRun t;
  const std::string help = t.run.variables.Get("Windows") + "\\HELP\\";
  t.Write(R"(C:\App\manual.hlp)", "h");
  t.Write(R"(C:\App\manual.gid)", "g");
  t.Write(R"(C:\App\manual.fts)", "f");
  t.Write(help + "manual.ftg", "in help");  // none beside: the one in HELP goes
  t.Write(R"(C:\App\keep.txt)", "k");
  t.Write(R"(C:\Docs\guide.hlp)", "h");
  t.Write(help + "guide.gid", "g");
  ASSERT_TRUE(RemoveInstalledFile(t.run, R"(C:\App\manual.hlp)"));
  ASSERT_TRUE(RemoveInstalledFile(t.run, R"(C:\Docs\guide.hlp)"));
  for (const char* gone : {R"(C:\App\manual.hlp)", R"(C:\App\manual.gid)", R"(C:\App\manual.fts)",
                           R"(C:\Docs\guide.hlp)"})
    EXPECT_FALSE(t.Files().FileExists(gone)) << gone;
  EXPECT_FALSE(t.Files().FileExists(help + "guide.gid"));
  EXPECT_FALSE(t.Files().FileExists(help + "manual.ftg"));
  EXPECT_FALSE(t.Files().DirectoryExists(R"(C:\Docs)"));
  EXPECT_TRUE(t.Files().FileExists(R"(C:\App\keep.txt)"));
}

TEST(SharedFiles, WholeDirectoryFormAndTreesClearAttributes) {
  CopyTestRun t;
  t.Write(R"(C:\Data\a.txt)", "a");
  t.Write(R"(C:\Data\b.txt)", "b");
  t.Write(R"(C:\Data\sub\c.txt)", "c");
  t.Files().SetFileAttributes(R"(C:\Data\a.txt)", platform::FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(RemoveFile(t.run, R"(C:\Data\.)"));
  EXPECT_FALSE(t.Files().FileExists(R"(C:\Data\a.txt)"));
  EXPECT_FALSE(t.Files().FileExists(R"(C:\Data\b.txt)"));
  EXPECT_TRUE(t.Files().FileExists(R"(C:\Data\sub\c.txt)"));
  ASSERT_TRUE(RemoveFile(t.run, R"(C:\Data\sub)"));  // a directory stands for no file
  EXPECT_TRUE(t.Files().FileExists(R"(C:\Data\sub\c.txt)"));
  EXPECT_FALSE(t.run.ctx.bConfigChanged);
  t.Write(R"(C:\Data\sub\deeper\d.txt)", "d");
  ASSERT_TRUE(RemoveDirectoryTree(t.run, R"(C:\Data)"));
  EXPECT_FALSE(t.Files().DirectoryExists(R"(C:\Data\sub)"));
  EXPECT_TRUE(t.Files().DirectoryExists(R"(C:\Data)"));
}

TEST(SharedFiles, FileInUseIsDeletedAtRestartOnNtAndThroughWininitOnDos) {
  CopyTestRun nt;
  nt.Write(R"(C:\App\busy.exe)", "b");
  nt.Files().SetFileAttributes(R"(C:\App\busy.exe)", platform::FILE_ATTRIBUTE_READONLY);
  platform::FileHandle hHeld = platform::FileHandle::Invalid;
  ASSERT_EQ(nt.Files().CreateFile(R"(C:\App\busy.exe)", platform::GENERIC_READ,
                                  platform::OPEN_EXISTING, 0, hHeld),
            0u);
  ASSERT_TRUE(RemoveInstalledFile(nt.run, R"(C:\App\busy.exe)"));
  nt.Files().CloseHandle(hHeld);
  EXPECT_TRUE(nt.run.ctx.bConfigChanged);
  EXPECT_TRUE(nt.Files().FileExists(R"(C:\App\busy.exe)"));
  uint32_t dwAttributes = 0;  // cleared, as before any delete
  nt.Files().GetFileAttributes(R"(C:\App\busy.exe)", dwAttributes);
  EXPECT_EQ(dwAttributes, platform::FILE_ATTRIBUTE_NORMAL);
  std::vector<platform::PendingFileRename> pending;
  ASSERT_EQ(platform::ReadPendingFileRenames(nt.run.machine.Reg(), pending), 0u);
  ASSERT_EQ(pending.size(), 1u);
  EXPECT_EQ(platform::Win32PathOfNtPath(pending[0].ntSource), R"(C:\App\busy.exe)");

  // A DOS-based machine: WININIT.INI lines in order, "NUL" for deletes, one key twice.
  TestMachine machine;
  auto dosMachine = machine.OpenReconfigured([](auto& config) { config.dwPlatformId = 1; });
  SetupRun dos(*dosMachine);
  InitVariables(dos);
  const std::string windows = dos.variables.Get("Windows");
  ASSERT_TRUE(DeferFileOperation(dos, R"(C:\App\a.dll)", ""));
  ASSERT_TRUE(DeferFileOperation(dos, R"(C:\App\b.dll)", ""));
  ASSERT_TRUE(DeferFileOperation(dos, R"(C:\App\a.000)", R"(C:\App\a.dll)"));
  EXPECT_TRUE(dos.ctx.bConfigChanged);
  std::string wininit;
  ASSERT_EQ(dos.machine.Files().ReadWholeFile(windows + "\\WININIT.INI", wininit), 0u);
  EXPECT_NE(wininit.find("[Rename]\r\nNUL=C:\\App\\a.dll\r\nNUL=C:\\App\\b.dll\r\n"
                         "C:\\App\\a.dll=C:\\App\\a.000"),
            std::string::npos)
      << wininit;

  // The machine's restart carries the lines out in order and keeps the file as WININIT.BAK.
  platform::FileSystem& files = dos.machine.Files();
  ASSERT_EQ(files.CreateDirectoryTree(R"(C:\App)"), 0u);
  for (const char* name : {R"(C:\App\a.dll)", R"(C:\App\b.dll)"})
    ASSERT_EQ(files.WriteWholeFile(name, "old"), 0u);
  ASSERT_EQ(files.WriteWholeFile(R"(C:\App\a.000)", "new"), 0u);
  platform::emulated::RebootMachine(*dosMachine);
  std::string content;
  EXPECT_EQ(files.ReadWholeFile(R"(C:\App\a.dll)", content), 0u);
  EXPECT_EQ(content, "new");
  EXPECT_FALSE(files.FileExists(R"(C:\App\b.dll)"));
  EXPECT_FALSE(files.FileExists(R"(C:\App\a.000)"));
  EXPECT_FALSE(files.FileExists(windows + "\\WININIT.INI"));
  EXPECT_TRUE(files.FileExists(windows + "\\WININIT.BAK"));
}

}  // namespace
}  // namespace tarvium::test
