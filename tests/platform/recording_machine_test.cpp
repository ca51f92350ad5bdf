// The recording machine over a real temporary emulated machine: after a run of changes through it,
// its reads see every change, the wrapped machine is exactly as it was (a snapshot of its files
// and registry before and after), and the log lists what was asked, in order.
#include "platform/recording/recording_machine.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/machine_snapshot.h"
#include "support/file_system_queries.h"
#include "support/test_data.h"
#include "support/test_machine.h"

namespace {

using namespace platform;
using tarvium::test::ReadTestData;
using tarvium::test::TestMachine;

using ChangeLine = std::pair<ChangeKind, std::string>;

// The snapshot as lines, so that a difference shows as the line that differs.
std::vector<std::string> SnapshotLines(Machine& machine) {
  MachineSnapshot snapshot;
  std::string error;
  EXPECT_TRUE(TakeSnapshot(machine.Files(), machine.Reg(), {{"C:"}, {}}, snapshot, error)) << error;
  std::vector<std::string> lines{snapshot.registryText};
  for (const SnapshotFile& file : snapshot.files)
    lines.push_back(file.path + " " + std::to_string(file.nSize) + " " +
                    std::to_string(file.dwAttributes) + " " + std::to_string(file.ftLastWriteTime));
  return lines;
}

std::vector<std::string> Listing(FileSystem& files, const std::string& pattern) {
  uint32_t dwError = 0;
  return tarvium::test::Names(files, pattern, dwError);
}

std::vector<std::string> SubKeys(Registry& registry, const std::string& key,
                                 RegView view = RegView::Default) {
  std::vector<std::string> names;
  std::string name;
  for (uint32_t i = 0; registry.EnumKey(RegRoot::LocalMachine, key, i, name, view) == 0; ++i)
    names.push_back(name);
  return names;
}

std::vector<std::string> ValueNames(Registry& registry, const std::string& key) {
  std::vector<std::string> names;
  std::string name;
  RegValue value;
  for (uint32_t i = 0; registry.EnumValue(RegRoot::LocalMachine, key, i, name, value) == 0; ++i)
    names.push_back(name);
  return names;
}

// A REG_SZ value as stored: the text with its zero byte.
RegValue Text(const std::string& text) {
  std::vector<uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  return {REG_SZ, std::move(data)};
}

std::vector<ChangeLine> Logged(const RecordingMachine& recorder) {
  std::vector<ChangeLine> lines;
  for (const MachineChange& change : recorder.Changes())
    lines.emplace_back(change.kind, change.target);
  return lines;
}

TEST(RecordingMachine, FilesSeeTheRunsChangesAndTheDiskStaysAsItWas) {
  TestMachine machine;
  const std::string program = ReadTestData("pe/english64.exe");
  ASSERT_FALSE(program.empty());
  machine.WriteFile(R"(C:\Src\app.exe)", program);
  machine.WriteFile(R"(C:\Src\old.txt)", "old");
  machine.WriteFile(R"(C:\Src\Sub\keep.txt)", "keep");
  const std::vector<std::string> before = SnapshotLines(machine.Machine());

  RecordingMachine recorder(machine.Machine());
  FileSystem& files = recorder.Files();
  const std::string bin = R"(C:\Program Files\App\Bin)";
  const std::string readme = R"(C:\Program Files\App\readme.txt)";
  ASSERT_EQ(files.CreateDirectoryTree(bin), ERROR_SUCCESS);
  ASSERT_EQ(files.CopyFile(R"(C:\Src\app.exe)", bin + R"(\app.exe)", true), ERROR_SUCCESS);
  ASSERT_EQ(files.WriteWholeFile(readme, "hello"), ERROR_SUCCESS);
  ASSERT_EQ(files.SetFileAttributes(readme, FILE_ATTRIBUTE_READONLY), ERROR_SUCCESS);
  ASSERT_EQ(files.DeleteFile(R"(c:\src\OLD.txt)"), ERROR_SUCCESS);
  ASSERT_EQ(files.MoveFileEx(R"(C:\Src\Sub)", R"(C:\Src\Moved)", 0), ERROR_SUCCESS);
  ASSERT_EQ(files.MoveFileEx(R"(C:\Src\app.exe)", "", MOVEFILE_DELAY_UNTIL_REBOOT), ERROR_SUCCESS);

  std::vector<uint8_t> copiedVersion, sourceVersion;
  EXPECT_EQ(files.GetFileVersionInfo(bin + R"(\APP.EXE)", copiedVersion), ERROR_SUCCESS);
  EXPECT_EQ(machine.Machine().Files().GetFileVersionInfo(R"(C:\Src\app.exe)", sourceVersion), 0u);
  EXPECT_FALSE(copiedVersion.empty());
  EXPECT_EQ(copiedVersion, sourceVersion);
  std::string bytes;
  EXPECT_EQ(files.ReadWholeFile(R"(C:\Src\Moved\keep.txt)", bytes), ERROR_SUCCESS);
  EXPECT_EQ(bytes, "keep");
  EXPECT_EQ(files.ReadWholeFile(readme, bytes), ERROR_SUCCESS);
  EXPECT_EQ(bytes, "hello");
  uint32_t dwAttributes = 0;
  EXPECT_EQ(files.GetFileAttributes(readme, dwAttributes), ERROR_SUCCESS);
  EXPECT_EQ(dwAttributes, FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(files.DirectoryExists(R"(C:\Program Files\App)"));
  EXPECT_EQ(Listing(files, R"(C:\Src\*)"),
            (std::vector<std::string>{".", "..", "app.exe", "Moved"}));
  EXPECT_EQ(Listing(files, R"(C:\Program Files\App\*)"),
            (std::vector<std::string>{".", "..", "Bin", "readme.txt"}));
  EXPECT_EQ(Listing(files, R"(C:\Program Files\App\*.txt)"),
            (std::vector<std::string>{"readme.txt"}));

  // The errors Windows gives, now answered from the overlay.
  const struct {
    const char* name;
    uint32_t dwError;
  } refusals[] = {
      {"delete a read-only file", files.DeleteFile(readme)},
      {"remove a directory with a file", files.RemoveDirectory(bin)},
      {"create an existing directory", files.CreateDirectory(bin)},
      {"copy over an existing file", files.CopyFile(readme, bin + R"(\app.exe)", true)},
      {"read a deleted file", files.ReadWholeFile(R"(C:\Src\old.txt)", bytes)},
      {"read below a moved directory", files.ReadWholeFile(R"(C:\Src\Sub\keep.txt)", bytes)},
      {"write into a missing directory", files.WriteWholeFile(R"(C:\Nowhere\x.txt)", "x")},
  };
  const uint32_t expected[] = {ERROR_ACCESS_DENIED, ERROR_DIR_NOT_EMPTY,  ERROR_ALREADY_EXISTS,
                               ERROR_FILE_EXISTS,   ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND,
                               ERROR_PATH_NOT_FOUND};
  for (size_t i = 0; i < std::size(refusals); ++i)
    EXPECT_EQ(refusals[i].dwError, expected[i]) << refusals[i].name;

  EXPECT_EQ(SnapshotLines(machine.Machine()), before);
  const std::vector<ChangeLine> logged = {
      {ChangeKind::DirectoryCreated, R"(C:\Program Files\App)"},
      {ChangeKind::DirectoryCreated, bin},
      {ChangeKind::FileCopied, bin + R"(\app.exe)"},
      {ChangeKind::FileWritten, readme},
      {ChangeKind::FileAttributes, readme},
      {ChangeKind::FileDeleted, R"(C:\src\OLD.txt)"},  // the path as the run named it
      {ChangeKind::FileMoved, R"(C:\Src\Moved)"},
      {ChangeKind::DeferredRename, R"(C:\Src\app.exe)"},
  };
  EXPECT_EQ(Logged(recorder), logged);
  EXPECT_EQ(recorder.Changes()[3].detail, "5 bytes");
}

// Opens through the recorder as CreateFile's dispositions say, each on a fresh copy of a file of
// the wrapped machine; what a handle then reads, and the file's content after writing at the end
// and cutting, come from the overlay.
TEST(RecordingMachine, HandlesFollowTheDispositionsOverCopiedAndWrittenFiles) {
  TestMachine machine;
  machine.WriteFile(R"(C:\Data\base.txt)", "0123456789");
  const struct {
    uint32_t dwAccess;
    uint32_t dwDisposition;
    bool bExisting;     // the path holds a copy of base.txt first
    uint32_t dwError;   // of CreateFile
    std::string read;   // the first bytes a read gives
    std::string after;  // the content after "AB" is written at the end and the file cut at 4
  } cases[] = {
      {GENERIC_READ, OPEN_EXISTING, true, ERROR_SUCCESS, "0123456789", ""},
      {GENERIC_READ, OPEN_EXISTING, false, ERROR_FILE_NOT_FOUND, "", ""},
      {GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS, true, ERROR_SUCCESS, "0123456789", "0123"},
      {GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS, false, ERROR_SUCCESS, "", "AB"},
      {GENERIC_READ | GENERIC_WRITE, CREATE_NEW, true, ERROR_FILE_EXISTS, "", ""},
      {GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS, true, ERROR_SUCCESS, "", "AB"},
      {GENERIC_READ | GENERIC_WRITE, TRUNCATE_EXISTING, true, ERROR_SUCCESS, "", "AB"},
      {GENERIC_READ | GENERIC_WRITE, TRUNCATE_EXISTING, false, ERROR_FILE_NOT_FOUND, "", ""},
  };
  const std::vector<std::string> before = SnapshotLines(machine.Machine());
  RecordingMachine recorder(machine.Machine());
  FileSystem& files = recorder.Files();
  int nCase = 0;
  for (const auto& c : cases) {
    const std::string path = R"(C:\Data\case)" + std::to_string(++nCase) + ".txt";
    if (c.bExisting) {
      ASSERT_EQ(files.CopyFile(R"(C:\Data\base.txt)", path, true), 0u);
    }
    FileHandle hFile = FileHandle::Invalid;
    ASSERT_EQ(files.CreateFile(path, c.dwAccess, c.dwDisposition, 0, hFile), c.dwError) << nCase;
    if (c.dwError) continue;
    char buffer[16] = {};
    uint32_t nRead = 0;
    EXPECT_EQ(files.ReadFile(hFile, buffer, sizeof buffer, nRead), 0u);
    EXPECT_EQ(std::string(buffer, nRead), c.read) << nCase;
    if (c.dwAccess & GENERIC_WRITE) {
      uint32_t nWritten = 0;
      uint64_t nPosition = 0;
      EXPECT_EQ(files.WriteFile(hFile, "AB", 2, nWritten), 0u);
      EXPECT_EQ(files.SetFilePointerEx(hFile, 4, FILE_BEGIN, &nPosition), 0u);
      if (nRead > 0) {
        EXPECT_EQ(files.SetEndOfFile(hFile), 0u);
      }
      std::string bytes;
      EXPECT_EQ(files.ReadWholeFile(path, bytes), 0u);
      EXPECT_EQ(bytes, c.after) << nCase;
    } else {
      uint32_t nWritten = 0;
      EXPECT_EQ(files.WriteFile(hFile, "AB", 2, nWritten), ERROR_ACCESS_DENIED) << nCase;
    }
    EXPECT_EQ(files.CloseHandle(hFile), 0u);
  }
  EXPECT_EQ(SnapshotLines(machine.Machine()), before);
}

TEST(RecordingMachine, RegistryMergesTheRunsKeysAndValues) {
  TestMachine machine;
  const std::string vendor = R"(Software\Vendor)";
  machine.SetRegString(RegRoot::LocalMachine, vendor + R"(\Old)", "A", "1");
  machine.SetRegString(RegRoot::LocalMachine, vendor + R"(\Old)", "B", "2");
  machine.SetRegString(RegRoot::LocalMachine, vendor + R"(\Gone\Below)", "X", "x");
  const std::vector<std::string> before = SnapshotLines(machine.Machine());

  RecordingMachine recorder(machine.Machine());
  Registry& reg = recorder.Reg();
  const RegRoot hklm = RegRoot::LocalMachine;
  bool bCreated = false;
  ASSERT_EQ(reg.CreateKey(hklm, vendor + R"(\New\Deep)", false, RegView::Default, &bCreated), 0u);
  EXPECT_TRUE(bCreated);
  ASSERT_EQ(reg.SetValue(hklm, vendor + R"(\Old)", "C", Text("3")), 0u);
  ASSERT_EQ(reg.SetValue(hklm, vendor + R"(\Old)", "b", Text("two")), 0u);
  ASSERT_EQ(reg.DeleteValue(hklm, vendor + R"(\Old)", "A"), 0u);
  ASSERT_EQ(reg.DeleteTree(hklm, vendor + R"(\Gone)"), 0u);
  ASSERT_EQ(reg.CreateKey(hklm, vendor + R"(\Wow)", false, RegView::View32), 0u);

  EXPECT_EQ(SubKeys(reg, vendor), (std::vector<std::string>{"New", "Old"}));
  EXPECT_EQ(SubKeys(reg, vendor, RegView::View32), (std::vector<std::string>{"Wow"}));
  EXPECT_EQ(ValueNames(reg, vendor + R"(\Old)"), (std::vector<std::string>{"b", "C"}));
  RegValue value;
  EXPECT_EQ(reg.QueryValue(hklm, vendor + R"(\OLD)", "B", value), 0u);
  EXPECT_EQ(value.data, Text("two").data);
  EXPECT_EQ(reg.QueryValue(hklm, vendor + R"(\Old)", "A", value), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg.OpenKey(hklm, vendor + R"(\Gone\Below)"), ERROR_FILE_NOT_FOUND);
  uint32_t nSubKeys = 0, nValues = 0;
  EXPECT_EQ(reg.CountKeyContents(hklm, vendor, nSubKeys, nValues), 0u);
  EXPECT_EQ(nSubKeys, 2u);
  RegKeyInfo info;
  EXPECT_EQ(reg.QueryInfoKey(hklm, vendor + R"(\Old)", info), 0u);
  EXPECT_EQ(info.nValues, 2u);
  EXPECT_EQ(info.nMaxValueLen, 4u);  // "two" with its zero byte
  EXPECT_EQ(reg.DeleteKey(hklm, vendor + R"(\New)"), ERROR_ACCESS_DENIED);  // has a subkey
  // A key the machine keeps whatever is asked, here below the tree, stays, as on the machine.
  EXPECT_EQ(reg.DeleteTree(hklm, R"(Software\Microsoft\Windows)"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(reg.OpenKey(hklm, R"(Software\Microsoft\Windows\CurrentVersion\Uninstall)"), 0u);
  // Made again after its deletion, the key is empty: the wrapped key's content stays hidden.
  ASSERT_EQ(reg.CreateKey(hklm, vendor + R"(\Gone)", false, RegView::Default, &bCreated), 0u);
  EXPECT_TRUE(bCreated);
  EXPECT_EQ(SubKeys(reg, vendor + R"(\Gone)"), std::vector<std::string>{});

  EXPECT_EQ(SnapshotLines(machine.Machine()), before);
  const std::string full = R"(HKEY_LOCAL_MACHINE\Software\Vendor)";
  const std::vector<ChangeLine> logged = {
      {ChangeKind::KeyCreated, full + R"(\New)"},  // parents first
      {ChangeKind::KeyCreated, full + R"(\New\Deep)"},
      {ChangeKind::ValueSet, full + R"(\Old)"},
      {ChangeKind::ValueSet, full + R"(\Old)"},
      {ChangeKind::ValueDeleted, full + R"(\Old)"},
      {ChangeKind::KeyDeleted, full + R"(\Gone)"},
      {ChangeKind::KeyCreated, full},  // the 32-bit view has no Vendor key yet
      {ChangeKind::KeyCreated, full + R"(\Wow)"},
      {ChangeKind::KeyCreated, full + R"(\Gone)"},
  };
  EXPECT_EQ(Logged(recorder), logged);
  EXPECT_EQ(recorder.Changes()[2].detail, "C=REG_SZ:3");
}

TEST(RecordingMachine, ProfilesEnvironmentProgramsAndServicesAreHeldBack) {
  TestMachine machine;
  ASSERT_EQ(machine.Machine().Files().WriteWholeFile(R"(C:\notes.txt)", "plain text"), 0u);
  const std::vector<std::string> before = SnapshotLines(machine.Machine());
  RecordingMachine recorder(machine.Machine());
  Profile& profile = recorder.Profiles();
  ASSERT_EQ(recorder.Files().CreateDirectory(R"(C:\App)"), 0u);
  ASSERT_EQ(profile.WritePrivateProfileString("Paths", "Data", "D:\\Data", R"(C:\App\app.ini)"),
            0u);
  EXPECT_EQ(profile.GetPrivateProfileString("paths", "DATA", "", R"(C:\App\app.ini)"), "D:\\Data");
  ASSERT_EQ(profile.WriteProfileString("devices", "Label Printer", "winspool,Ne00:"), 0u);
  EXPECT_EQ(profile.GetProfileString("devices", "Label Printer", ""), "winspool,Ne00:");

  Environment& env = recorder.Env();
  ASSERT_EQ(env.SetVariable("AppDir", R"(C:\App)"), 0u);
  ASSERT_EQ(env.DeleteVariable("TEMP"), 0u);
  EXPECT_EQ(env.ExpandEnvironmentStrings(R"(%APPDIR%\bin;%TEMP%)"), R"(C:\App\bin;%TEMP%)");
  std::string value;
  EXPECT_EQ(machine.Machine().Env().GetVariable("AppDir", value), ERROR_ENVVAR_NOT_FOUND);
  EXPECT_EQ(machine.Machine().Env().GetVariable("TEMP", value), 0u);

  // A program is found among the files the run made; one found nowhere is refused.
  ProcessHandle hProcess;
  EXPECT_EQ(recorder.Programs().CreateProcess({R"("C:\Nowhere\tool.exe" /quiet)"}, hProcess),
            ERROR_PATH_NOT_FOUND);
  ASSERT_EQ(recorder.Files().WriteWholeFile(R"(C:\App\tool.exe)", "MZ"), 0u);
  ASSERT_EQ(recorder.Programs().CreateProcess({R"("C:\App\tool.exe" /quiet)"}, hProcess), 0u);
  WaitResult result = WaitResult::TimedOut;
  EXPECT_EQ(recorder.Programs().WaitForProcess(hProcess, INFINITE, {}, result), 0u);
  EXPECT_EQ(result, WaitResult::Exited);
  uint32_t dwExitCode = STILL_ACTIVE;
  EXPECT_EQ(recorder.Programs().GetExitCodeProcess(hProcess, dwExitCode), 0u);
  EXPECT_EQ(dwExitCode, 0u);
  EXPECT_EQ(recorder.Programs().CloseProcess(hProcess), 0u);
  // A copy of a file that is no program is refused as the machine refuses the file itself.
  ASSERT_EQ(recorder.Files().CopyFile(R"(C:\notes.txt)", R"(C:\App\notes.exe)", true), 0u);
  EXPECT_EQ(recorder.Programs().CreateProcess({R"(C:\App\notes.exe)"}, hProcess),
            ERROR_BAD_EXE_FORMAT);

  ServiceConfig config;
  config.binaryPathName = R"(C:\App\service.exe)";
  EXPECT_EQ(recorder.Services().CreateService("AppService", config, ""), 0u);
  EXPECT_EQ(recorder.Services().QueryConfig("AppService", config), ERROR_SERVICE_DOES_NOT_EXIST);
  EXPECT_EQ(recorder.PowerRequests().ExitWindows(EWX_REBOOT, 0), 0u);
  PowerRequest request;
  EXPECT_EQ(recorder.PowerRequests().GetPowerRequest(request), 0u);
  EXPECT_EQ(request.action, PowerAction::Restart);
  EXPECT_EQ(machine.Machine().PowerRequests().GetPowerRequest(request), 0u);
  EXPECT_EQ(request.action, PowerAction::None);

  EXPECT_EQ(SnapshotLines(machine.Machine()), before);
  std::vector<ChangeKind> kinds;
  for (const MachineChange& change : recorder.Changes()) kinds.push_back(change.kind);
  // Win.ini's [devices] lands on the device settings' registry key, which the machine has.
  const std::vector<ChangeKind> expected = {
      ChangeKind::DirectoryCreated, ChangeKind::FileWritten,      ChangeKind::ValueSet,
      ChangeKind::FileWritten,      ChangeKind::ProgramStarted,   ChangeKind::FileCopied,
      ChangeKind::ServiceCreated,   ChangeKind::RestartRequested,
  };
  EXPECT_EQ(kinds, expected);
}

// The emulated machine's ODBC installer keeps its state in the registry, so the recorder has it
// do the run's calls over the run's own registry: its keys show, logged under the call.
TEST(RecordingMachine, TheOdbcInstallerWorksOverTheRunsRegistry) {
  TestMachine machine;
  const std::vector<std::string> before = SnapshotLines(machine.Machine());
  RecordingMachine recorder(machine.Machine());
  char path[260];
  uint16_t cb = 0;
  uint32_t nUsage = 0;
  const char driver[] = "Tarvium Driver\0Driver=tdrv.dll\0\0";
  ASSERT_TRUE(recorder.Odbc().SQLInstallDriverEx(driver, "C:\\T", path, sizeof path, &cb,
                                                 ODBC_INSTALL_COMPLETE, &nUsage));
  EXPECT_EQ(nUsage, 1u);
  RegValue value;
  EXPECT_EQ(
      recorder.Reg().QueryValue(RegRoot::LocalMachine,
                                R"(SOFTWARE\ODBC\ODBCINST.INI\Tarvium Driver)", "Driver", value),
      0u);
  EXPECT_EQ(value.data, Text(R"(C:\T\tdrv.dll)").data);
  EXPECT_EQ(SnapshotLines(machine.Machine()), before);
  ASSERT_FALSE(recorder.Changes().empty());
  EXPECT_EQ(recorder.Changes().front().kind, ChangeKind::OdbcChange);
  EXPECT_EQ(recorder.Changes().back().kind, ChangeKind::ValueSet);
}

// A file another process locks cannot be replaced or deleted on the machine, so not in the plan
// either; asking leaves the file as it was.
TEST(RecordingMachine, AFileInUseIsRefusedAsTheMachineRefusesIt) {
  TestMachine machine;
  machine.WriteFile(R"(C:\App\lib.dll)", "old");
  machine.WriteFile(R"(C:\App\free.dll)", "old");
  const int fd = ::open(machine.HostPath(R"(C:\App\lib.dll)").c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  RecordingMachine recorder(machine.Machine());
  EXPECT_EQ(recorder.Files().DeleteFile(R"(C:\App\lib.dll)"), ERROR_SHARING_VIOLATION);
  ASSERT_EQ(recorder.Files().SetFileAttributes(R"(C:\App\lib.dll)", FILE_ATTRIBUTE_NORMAL), 0u);
  EXPECT_EQ(recorder.Files().CopyFile(R"(C:\App\free.dll)", R"(C:\App\lib.dll)", false),
            ERROR_SHARING_VIOLATION);
  ASSERT_EQ(recorder.Files().MoveFileEx(R"(C:\App\lib.dll)", R"(C:\App\lib.000)", 0), 0u);
  EXPECT_EQ(recorder.Files().DeleteFile(R"(C:\App\lib.000)"), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(recorder.Files().DeleteFile(R"(C:\App\free.dll)"), 0u);
  ::close(fd);
  EXPECT_EQ(machine.ReadFile(R"(C:\App\lib.dll)"), "old");
}

}  // namespace
