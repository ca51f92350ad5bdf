// The SQLite registry against the behaviour of the Windows registry: names, roots, views, volatile
// keys and error codes, and its safety with two processes and with a process killed mid-write.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "registry_test_util.h"

namespace platform::emulated::test {
namespace {

using enum RegRoot;

std::vector<std::string> Subkeys(Registry& reg, RegRoot root, const std::string& key) {
  std::vector<std::string> names;
  std::string name;
  while (reg.EnumKey(root, key, static_cast<uint32_t>(names.size()), name) == ERROR_SUCCESS)
    names.push_back(name);
  return names;
}

std::vector<std::string> ValueNames(Registry& reg, RegRoot root, const std::string& key) {
  std::vector<std::string> names;
  std::string name;
  RegValue value;
  while (reg.EnumValue(root, key, static_cast<uint32_t>(names.size()), name, value) == 0)
    names.push_back(name);
  return names;
}

TEST_F(RegistryTest, NamesCompareWithoutCaseAndASecondConnectionSeesChangesAtOnce) {
  bool bCreated = false;
  ASSERT_EQ(reg->CreateKey(LocalMachine, "Software\\Vendor\\Gr\xF6\xDF\x65", false,
                           RegView::Default, &bCreated),
            ERROR_SUCCESS);
  EXPECT_TRUE(bCreated);
  // \xD6 is the upper case of \xF6 in Windows-1252; \x8A of \x9A.
  EXPECT_EQ(reg->CreateKey(LocalMachine, "SOFTWARE\\VENDOR\\GR\xD6\xDF\x45", false,
                           RegView::Default, &bCreated),
            ERROR_SUCCESS);
  EXPECT_FALSE(bCreated);
  EXPECT_EQ(Subkeys(*reg, LocalMachine, "software\\vendor"),
            std::vector<std::string>{"Gr\xF6\xDF\x65"});

  ASSERT_EQ(reg->SetValue(LocalMachine, "Software\\Vendor", "Na\x9Ame", Sz("one")), ERROR_SUCCESS);
  ASSERT_EQ(reg->SetValue(LocalMachine, "Software\\Vendor", "NA\x8AME", Dword(7)), ERROR_SUCCESS);
  EXPECT_EQ(ValueNames(*reg, LocalMachine, "Software\\Vendor"),
            std::vector<std::string>{"Na\x9Ame"});
  EXPECT_EQ(Read(LocalMachine, "Software\\Vendor", "na\x9Ame"), Text(Dword(7)));

  // The default value is the empty name; it is absent until set. Bytes are kept exactly, also a
  // REG_SZ without its zero and an embedded zero.
  EXPECT_EQ(Read(LocalMachine, "Software\\Vendor", ""), "<error 2>");
  ASSERT_EQ(
      reg->SetValue(LocalMachine, "Software\\Vendor", "", Bytes(REG_SZ, std::string("a\0b", 3))),
      0u);
  EXPECT_EQ(Read(LocalMachine, "Software\\Vendor", ""), std::string("a\0b", 3));
  EXPECT_EQ(Read(LocalMachine, "Software\\Vendor", "missing"), "<error 2>");
  EXPECT_EQ(Read(LocalMachine, "Software\\Missing", ""), "<error 2>");
  EXPECT_EQ(reg->SetValue(LocalMachine, "Software\\Missing", "x", Sz("x")), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg->DeleteValue(LocalMachine, "Software\\Vendor", "missing"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg->DeleteValue(LocalMachine, "Software\\Vendor", "NAME"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg->DeleteValue(LocalMachine, "Software\\Vendor", "NA\x8AME"), ERROR_SUCCESS);
  EXPECT_EQ(Read(LocalMachine, "Software\\Vendor", "Na\x9Ame"), "<error 2>");

  // A second connection sees the changes at once.
  auto second = OpenRegistry(dir.Path());
  ASSERT_EQ(reg->CreateKey(CurrentUser, "Shared\\K"), ERROR_SUCCESS);
  ASSERT_EQ(reg->SetValue(CurrentUser, "Shared\\K", "v", Sz("first")), ERROR_SUCCESS);
  EXPECT_EQ(Subkeys(*reg, CurrentUser, "Shared"), std::vector<std::string>{"K"});  // kept lists
  EXPECT_EQ(Read(CurrentUser, "Shared\\K", "v"), std::string("first", 6));         // kept values
  EXPECT_EQ(Read(CurrentUser, "Shared\\K", "gone"), "<error 2>");
  ASSERT_EQ(second->DeleteTree(CurrentUser, "Shared\\K"), ERROR_SUCCESS);
  ASSERT_EQ(second->CreateKey(CurrentUser, "Shared\\K2"), ERROR_SUCCESS);
  ASSERT_EQ(second->CreateKey(CurrentUser, "Shared\\K"), ERROR_SUCCESS);
  ASSERT_EQ(second->SetValue(CurrentUser, "Shared\\K", "v", Sz("second")), ERROR_SUCCESS);
  ASSERT_EQ(second->SetValue(CurrentUser, "Shared\\K", "gone", Sz("back")), ERROR_SUCCESS);
  EXPECT_EQ(Read(CurrentUser, "Shared\\K", "v"), std::string("second", 7));
  EXPECT_EQ(Read(CurrentUser, "Shared\\K", "gone"), std::string("back", 5));
  EXPECT_EQ(Subkeys(*reg, CurrentUser, "Shared"), (std::vector<std::string>{"K", "K2"}));
}

TEST_F(RegistryTest, PathsRootsAndDeletionAsWindowsHasThem) {
  EXPECT_EQ(reg->CreateKey(CurrentUser, "Software\\A\\\\"), ERROR_SUCCESS);  // trailing: ignored
  EXPECT_EQ(reg->OpenKey(CurrentUser, "Software\\A"), ERROR_SUCCESS);
  EXPECT_EQ(reg->CreateKey(CurrentUser, "\\Software\\B"), ERROR_BAD_PATHNAME);
  EXPECT_EQ(reg->OpenKey(CurrentUser, "\\Software\\A"), ERROR_BAD_PATHNAME);
  EXPECT_EQ(reg->CreateKey(ClassesRoot, "\\.txt"), ERROR_SUCCESS);  // tolerated below HKCR
  EXPECT_EQ(reg->CreateKey(CurrentUser, "Software\\\\C"), ERROR_INVALID_PARAMETER);
  const std::string longName(256, 'n');
  EXPECT_EQ(reg->CreateKey(CurrentUser, "Software\\" + longName), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(reg->OpenKey(CurrentUser, "Software\\" + longName), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg->CreateKey(CurrentUser, "Software\\" + longName.substr(1)), ERROR_SUCCESS);
  EXPECT_EQ(reg->SetValue(CurrentUser, "Software", std::string(16384, 'v'), Sz("")),
            ERROR_INVALID_PARAMETER);
  std::string deep = "D";
  for (int i = 0; i < 520; ++i) deep += "\\D";
  EXPECT_EQ(reg->CreateKey(CurrentUser, deep), ERROR_INVALID_PARAMETER);

  ASSERT_EQ(reg->CreateKey(CurrentUser, "Software\\U"), ERROR_SUCCESS);
  EXPECT_EQ(reg->OpenKey(Users, std::string(kTestSid) + "\\Software\\U"), ERROR_SUCCESS);
  EXPECT_EQ(reg->OpenKey(Users, ".DEFAULT"), ERROR_SUCCESS);
  ASSERT_EQ(reg->CreateKey(ClassesRoot, ".ext"), ERROR_SUCCESS);
  EXPECT_EQ(reg->OpenKey(LocalMachine, "Software\\Classes\\.ext"), ERROR_SUCCESS);
  ASSERT_EQ(reg->CreateKey(CurrentConfig, "System"), ERROR_SUCCESS);
  EXPECT_EQ(
      reg->OpenKey(LocalMachine, "SYSTEM\\CurrentControlSet\\Hardware Profiles\\Current\\System"),
      0u);
  // The keys behind roots stay, whatever is asked.
  EXPECT_EQ(reg->DeleteKey(CurrentUser, ""), ERROR_ACCESS_DENIED);
  EXPECT_EQ(reg->DeleteTree(Users, kTestSid), ERROR_ACCESS_DENIED);
  EXPECT_EQ(reg->DeleteTree(LocalMachine, "Software"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(reg->OpenKey(ClassesRoot, ".ext"), ERROR_SUCCESS);  // nothing half-deleted

  for (const char* key : {"Software\\T\\A\\X", "Software\\T\\B"})
    ASSERT_EQ(reg->CreateKey(LocalMachine, key), ERROR_SUCCESS);
  ASSERT_EQ(reg->SetValue(LocalMachine, "Software\\T\\A\\X", "v", Sz("x")), ERROR_SUCCESS);
  EXPECT_EQ(reg->DeleteKey(LocalMachine, "Software\\T\\A"), ERROR_ACCESS_DENIED);  // has a subkey
  EXPECT_EQ(reg->DeleteKey(LocalMachine, "Software\\T\\B"), ERROR_SUCCESS);
  EXPECT_EQ(reg->DeleteKey(LocalMachine, "Software\\T\\B"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg->DeleteTree(LocalMachine, "Software\\T"), ERROR_SUCCESS);
  EXPECT_EQ(reg->OpenKey(LocalMachine, "Software\\T"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg->CreateKey(LocalMachine, "Software\\T\\A\\X"), ERROR_SUCCESS);  // created anew
  EXPECT_EQ(Read(LocalMachine, "Software\\T\\A\\X", "v"), "<error 2>");

  // An empty path below a root empties the root and keeps it.
  ASSERT_EQ(reg->CreateKey(CurrentUser, "Software\\Y"), ERROR_SUCCESS);
  ASSERT_EQ(reg->SetValue(CurrentUser, "", "top", Sz("t")), ERROR_SUCCESS);
  EXPECT_EQ(reg->DeleteTree(CurrentUser, ""), ERROR_SUCCESS);
  RegKeyInfo info;
  ASSERT_EQ(reg->QueryInfoKey(CurrentUser, "", info), ERROR_SUCCESS);
  EXPECT_EQ(info.nSubKeys + info.nValues, 0u);
}

TEST_F(RegistryTest, EnumeratesSubkeysByNameAndValuesInCreationOrder) {
  for (const char* key : {"b", "C", "a", "\xE9t\xE9"})
    ASSERT_EQ(reg->CreateKey(CurrentUser, std::string("E\\") + key), 0u);
  EXPECT_EQ(Subkeys(*reg, CurrentUser, "E"),
            (std::vector<std::string>{"a", "b", "C", "\xE9t\xE9"}));
  for (const char* name : {"z", "", "m"})
    ASSERT_EQ(reg->SetValue(CurrentUser, "E", name, Sz(name)), 0u);
  ASSERT_EQ(reg->SetValue(CurrentUser, "E", "Z", Dword(1)), ERROR_SUCCESS);  // keeps its place
  EXPECT_EQ(ValueNames(*reg, CurrentUser, "E"), (std::vector<std::string>{"z", "", "m"}));
  std::string name;
  RegValue value;
  EXPECT_EQ(reg->EnumValue(CurrentUser, "E", 3, name, value), ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(reg->EnumKey(CurrentUser, "E", 4, name), ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(reg->EnumKey(CurrentUser, "Nope", 0, name), ERROR_FILE_NOT_FOUND);

  // Changes between two enumerations show in the second: deletions, and writes of a new value,
  // of a new subkey, and of new data for a value already listed.
  ASSERT_EQ(reg->DeleteKey(CurrentUser, "E\\b"), ERROR_SUCCESS);
  ASSERT_EQ(reg->DeleteValue(CurrentUser, "E", ""), ERROR_SUCCESS);
  EXPECT_EQ(Subkeys(*reg, CurrentUser, "E"), (std::vector<std::string>{"a", "C", "\xE9t\xE9"}));
  EXPECT_EQ(ValueNames(*reg, CurrentUser, "E"), (std::vector<std::string>{"z", "m"}));
  ASSERT_EQ(reg->SetValue(CurrentUser, "e", "new", Sz("n")), ERROR_SUCCESS);
  ASSERT_EQ(reg->SetValue(CurrentUser, "E", "M", Dword(7)), ERROR_SUCCESS);
  ASSERT_EQ(reg->CreateKey(CurrentUser, "E\\B2"), ERROR_SUCCESS);
  EXPECT_EQ(ValueNames(*reg, CurrentUser, "E"), (std::vector<std::string>{"z", "m", "new"}));
  ASSERT_EQ(reg->EnumValue(CurrentUser, "E", 1, name, value), ERROR_SUCCESS);
  EXPECT_EQ(Text(value), Text(Dword(7))) << "the enumeration shows the data just written";
  EXPECT_EQ(Subkeys(*reg, CurrentUser, "E"),
            (std::vector<std::string>{"a", "B2", "C", "\xE9t\xE9"}));

  RegKeyInfo info;
  ASSERT_EQ(reg->QueryInfoKey(CurrentUser, "E", info), ERROR_SUCCESS);
  EXPECT_EQ(info.nSubKeys, 4u);
  EXPECT_EQ(info.nMaxSubKeyLen, 3u);
  EXPECT_EQ(info.nValues, 3u);
  EXPECT_EQ(info.nMaxValueNameLen, 3u);
  EXPECT_EQ(info.nMaxValueLen, 4u);
  EXPECT_GT(info.ftLastWriteTime, 130000000000000000u);  // after 2012, in FILETIME
}

TEST_F(RegistryTest, VolatileKeysGoAtRestartAndOpeningChecksSidAndFile) {
  ASSERT_EQ(reg->CreateKey(CurrentUser, "Volatile Environment", true), ERROR_SUCCESS);
  ASSERT_EQ(reg->SetValue(CurrentUser, "Volatile Environment", "v", Sz("x")), ERROR_SUCCESS);
  EXPECT_EQ(reg->CreateKey(CurrentUser, "Volatile Environment\\Child"),
            ERROR_CHILD_MUST_BE_VOLATILE);
  EXPECT_EQ(reg->CreateKey(CurrentUser, "Volatile Environment\\Child", true), ERROR_SUCCESS);
  // An existing key opens whatever volatility is asked for.
  EXPECT_EQ(reg->CreateKey(CurrentUser, "Volatile Environment"), ERROR_SUCCESS);
  ASSERT_EQ(reg->CreateKey(CurrentUser, "Stays"), ERROR_SUCCESS);
  ASSERT_EQ(reg->CreateKey(CurrentUser, "Stays\\Volatile\\Too", true), ERROR_SUCCESS);

  reg.reset();
  reg = OpenRegistry(dir.Path());  // a new process keeps them until the restart
  EXPECT_EQ(Read(CurrentUser, "Volatile Environment", "v"), Text(Sz("x")));
  ASSERT_EQ(reg->DeleteVolatileKeys(), ERROR_SUCCESS);
  EXPECT_EQ(reg->OpenKey(CurrentUser, "Volatile Environment"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg->OpenKey(CurrentUser, "Stays\\Volatile"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg->OpenKey(CurrentUser, "Stays"), ERROR_SUCCESS);
  EXPECT_EQ(reg->CheckIntegrity(), ERROR_SUCCESS);

  std::unique_ptr<SqliteRegistry> other;
  EXPECT_EQ(SqliteRegistry::Open({dir.Path() + "/r.db", "S-1\\2"}, other), ERROR_INVALID_PARAMETER);
  const std::string junk = dir.WriteFile("junk.db", std::string(4096, 'j'));
  EXPECT_EQ(SqliteRegistry::Open({junk, kTestSid}, other), ERROR_REGISTRY_CORRUPT);
  EXPECT_EQ(SqliteRegistry::Open({dir.Path() + "/no/such/dir/r.db", kTestSid}, other),
            ERROR_CANTOPEN);
  EXPECT_EQ(other, nullptr);
}

TEST_F(RegistryTest, The32BitViewWritesBelowWow6432Node) {
  ASSERT_EQ(reg->CreateKey(LocalMachine, "Software\\Vendor", false, RegView::View32), 0u);
  ASSERT_EQ(reg->SetValue(LocalMachine, "Software\\Vendor", "Bits", Dword(32), RegView::View32),
            0u);
  EXPECT_EQ(reg->OpenKey(LocalMachine, "Software\\Vendor", RegView::View64), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg->OpenKey(LocalMachine, "Software\\Vendor"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Read(LocalMachine, "Software\\WOW6432Node\\Vendor", "Bits"), Text(Dword(32)));
  // Naming WOW6432Node in the 32-bit view does not redirect twice; HKLM\Software itself is it.
  EXPECT_EQ(reg->OpenKey(LocalMachine, "Software\\Wow6432Node\\Vendor", RegView::View32), 0u);
  EXPECT_EQ(Subkeys(*reg, LocalMachine, "Software").size(), 2u);  // Classes, WOW6432Node
  std::string name;
  ASSERT_EQ(reg->EnumKey(LocalMachine, "Software", 1, name, RegView::View32), ERROR_SUCCESS);
  EXPECT_EQ(name, "Vendor");

  // Shared keys, other hives and HKLM outside Software are the same in both views.
  for (RegRoot root : {LocalMachine, CurrentUser}) {
    const std::string key = root == LocalMachine
                                ? "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts"
                                : "Software\\Vendor";
    ASSERT_EQ(reg->CreateKey(root, key, false, RegView::View32), 0u);
    EXPECT_EQ(reg->OpenKey(root, key, RegView::View64), ERROR_SUCCESS) << key;
  }
  ASSERT_EQ(reg->CreateKey(LocalMachine, "SYSTEM\\Setup", false, RegView::View32), 0u);
  EXPECT_EQ(reg->OpenKey(LocalMachine, "SYSTEM\\Setup"), ERROR_SUCCESS);
}

// The end of a process empties a long write-ahead log into registry.db, but not while another
// connection writes, and leaves a short one; the values stay either way.
TEST_F(RegistryTest, ALongLogIsEmptiedAtTheEndOfAProcess) {
  const std::string log = dir.Path() + "/registry.db-wal";
  ASSERT_EQ(reg->CreateKey(CurrentUser, "Log"), ERROR_SUCCESS);
  ASSERT_EQ(reg->SetValue(CurrentUser, "Log", "v0", Dword(0)), ERROR_SUCCESS);
  reg->EmptyLongLog();
  EXPECT_GT(std::filesystem::file_size(log), 0u);
  for (uint32_t i = 1; i <= 320; ++i)
    ASSERT_EQ(reg->SetValue(CurrentUser, "Log", "v" + std::to_string(i), Dword(i)), ERROR_SUCCESS);
  auto other = OpenRegistry(dir.Path());
  ASSERT_EQ(other->WriteAsOne([&] {
    reg->EmptyLongLog();
    return other->SetValue(CurrentUser, "Log", "other", Sz("x"));
  }),
            ERROR_SUCCESS);
  EXPECT_GT(std::filesystem::file_size(log), 0u);
  reg->EmptyLongLog();
  EXPECT_EQ(std::filesystem::file_size(log), 0u);
  other.reset();
  reg = OpenRegistry(dir.Path());
  EXPECT_EQ(Read(CurrentUser, "Log", "v320"), Text(Dword(320)));
  EXPECT_EQ(Read(CurrentUser, "Log", "other"), Text(Sz("x")));
}

#ifdef TARVIUM_FAULT_SEAM
TEST_F(RegistryTest, FaultSeamRefusesWrites) {
  ASSERT_EQ(reg->CreateKey(CurrentUser, "F"), ERROR_SUCCESS);
  reg->RefuseWrites(true, 1);
  EXPECT_EQ(reg->SetValue(CurrentUser, "F", "a", Sz("1")), ERROR_SUCCESS);  // the one allowed
  EXPECT_EQ(reg->SetValue(CurrentUser, "F", "a", Sz("2")), ERROR_ACCESS_DENIED);
  EXPECT_EQ(reg->CreateKey(CurrentUser, "F"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(reg->DeleteTree(CurrentUser, "F"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(Read(CurrentUser, "F", "a"), std::string("1", 2));  // reading still works
  reg->RefuseWrites(false);
  EXPECT_EQ(reg->DeleteTree(CurrentUser, "F"), ERROR_SUCCESS);
}
#endif

// Runs body in a child process that opens its own registry; returns the child's pid. No
// connection may be open in the parent across fork(): SQLite keeps per-file lock bookkeeping for
// the whole process, which the child would inherit without the locks themselves.
template <class Body>
pid_t RunInChild(const std::string& dir, Body body) {
  const pid_t pid = fork();
  if (pid == 0) {
    std::unique_ptr<SqliteRegistry> reg;
    _exit(SqliteRegistry::Open({dir + "/registry.db", kTestSid}, reg) ? 100 : body(*reg));
  }
  return pid;
}

int ExitCodeOf(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNothing) {
  constexpr int kValues = 600;
  reg.reset();
  std::vector<pid_t> children;
  for (const std::string writer : {"P1", "P2"}) {
    children.push_back(RunInChild(dir.Path(), [&](SqliteRegistry& child) {
      for (int i = 0; i < kValues; ++i) {
        const std::string name = writer + "-" + std::to_string(i);
        if (child.CreateKey(CurrentUser, "Both\\" + writer) ||
            child.SetValue(CurrentUser, "Both\\" + writer, name, Sz(name)) ||
            child.SetValue(CurrentUser, "Both", name, Dword(i)))
          return 1;
      }
      return 0;
    }));
  }
  for (pid_t pid : children) EXPECT_EQ(ExitCodeOf(pid), 0);
  reg = OpenRegistry(dir.Path());
  RegKeyInfo info;
  ASSERT_EQ(reg->QueryInfoKey(CurrentUser, "Both", info), ERROR_SUCCESS);
  EXPECT_EQ(info.nValues, 2u * kValues);
  for (const std::string writer : {"P1", "P2"}) {
    for (int i = 0; i < kValues; i += 37) {
      const std::string name = writer + "-" + std::to_string(i);
      EXPECT_EQ(Read(CurrentUser, "Both\\" + writer, name), Text(Sz(name)));
      EXPECT_EQ(Read(CurrentUser, "Both", name), Text(Dword(i)));
    }
  }
}

TEST_F(RegistryTest, AKilledWriterLeavesAConsistentFile) {
  const std::string payload(300, 'p');
  reg.reset();
  const pid_t pid = RunInChild(dir.Path(), [&](SqliteRegistry& child) {
    for (int i = 0;; ++i) {
      const std::string key = "Kill\\K" + std::to_string(100000 + i);
      if (child.CreateKey(CurrentUser, key) || child.SetValue(CurrentUser, key, "v", Sz(payload)))
        return 1;
    }
  });
  reg = OpenRegistry(dir.Path());
  RegKeyInfo info;
  while (reg->QueryInfoKey(CurrentUser, "Kill", info) != 0 || info.nSubKeys < 300)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  kill(pid, SIGKILL);
  EXPECT_EQ(ExitCodeOf(pid), -1);

  reg = OpenRegistry(dir.Path());
  EXPECT_EQ(reg->CheckIntegrity(), ERROR_SUCCESS);
  const auto keys = Subkeys(*reg, CurrentUser, "Kill");
  ASSERT_GE(keys.size(), 300u);
  for (size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(keys[i], "K" + std::to_string(100000 + i));  // no gap: every write whole or absent
    const std::string value = Read(CurrentUser, "Kill\\" + keys[i], "v");
    if (i + 1 < keys.size() || value != "<error 2>") {
      EXPECT_EQ(value, payload + '\0') << keys[i];
    }
  }
  EXPECT_EQ(reg->SetValue(CurrentUser, "Kill", "after", Sz("ok")), ERROR_SUCCESS);
}

}  // namespace
}  // namespace platform::emulated::test
