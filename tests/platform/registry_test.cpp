// The SQLite registry against the behaviour of the Windows registry: names, roots, views, volatile
// keys and error codes, and its safety with two processes and with a process killed mid-write.
// .reg text: every value type survives export and import, both file versions and encodings read
// as the registry editor writes them, unreadable lines are skipped with their line and reason, and
// a write the registry refuses leaves nothing of the file behind.
// .reg import checked case by case against what Windows' reg import does, as Wine's conformance
// tests for reg.exe record it: which header lines are taken, which value lines are read and which
// are skipped, how hex data goes on over lines and where comments may stand. Each table row is a
// file, imported below one key, and the values it must leave (or not leave) there. Every file of
// the REGEDIT4 table is also read a second time from UTF-16LE, as a Unicode reg file.
#include "platform/emulated/registry/reg_text.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "platform/code_page.h"
#include "platform/emulated/registry/registry_sqlite.h"
#include "platform/win_error.h"
#include "support/temp_dir.h"

namespace platform::emulated::test {
namespace {

using enum RegRoot;

constexpr const char* kTestSid = "S-1-5-21-1004336348-1177238915-682003330-1001";

std::unique_ptr<SqliteRegistry> OpenRegistry(const std::string& dir) {
  std::unique_ptr<SqliteRegistry> registry;
  const uint32_t dwError = SqliteRegistry::Open({dir + "/registry.db", kTestSid}, registry);
  EXPECT_EQ(dwError, ERROR_SUCCESS);
  return registry;
}

RegValue Bytes(uint32_t dwType, const std::string& bytes) {
  return RegValue{dwType, std::vector<uint8_t>(bytes.begin(), bytes.end())};
}

// A REG_SZ (or another string type) with its terminating zero.
RegValue Sz(const std::string& text, uint32_t dwType = REG_SZ) {
  return Bytes(dwType, text + std::string(1, '\0'));
}

RegValue Dword(uint32_t dw) {
  return Bytes(REG_DWORD, std::string{static_cast<char>(dw), static_cast<char>(dw >> 8),
                                      static_cast<char>(dw >> 16), static_cast<char>(dw >> 24)});
}

std::string Text(const RegValue& value) {
  return std::string(value.data.begin(), value.data.end());
}

struct RegistryTest : ::testing::Test {
  tarvium::test::TempDir dir;
  std::unique_ptr<SqliteRegistry> reg = OpenRegistry(dir.Path());

  // The value's bytes as text, or "<error N>".
  std::string Read(RegRoot root, const std::string& key, const std::string& name,
                   RegView view = RegView::Default) {
    RegValue value;
    if (uint32_t dwError = reg->QueryValue(root, key, name, value, view))
      return "<error " + std::to_string(dwError) + ">";
    return Text(value);
  }
};

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

using RegTextTest = RegistryTest;

// Every key below key with its values, "path|name" -> "type:bytes", for comparing two trees.
void CollectTree(Registry& reg, RegRoot root, const std::string& key,
                 std::map<std::string, std::string>& tree) {
  std::string name;
  RegValue value;
  tree[key + "\\"];  // the key itself, also when it holds nothing
  for (uint32_t i = 0; reg.EnumValue(root, key, i, name, value) == ERROR_SUCCESS; ++i)
    tree[key + "|" + name] = std::to_string(value.dwType) + ":" + Text(value);
  for (uint32_t i = 0; reg.EnumKey(root, key, i, name) == ERROR_SUCCESS; ++i)
    CollectTree(reg, root, key + "\\" + name, tree);
}

std::string Export(Registry& reg, RegRoot root, const std::string& key) {
  std::string text;
  EXPECT_EQ(ExportRegText(reg, root, key, text), ERROR_SUCCESS);
  return text;
}

TEST_F(RegTextTest, EveryValueTypeSurvivesExportAndImport) {
  const std::string key = "Software\\Round \"Trip\"";
  ASSERT_EQ(reg->CreateKey(CurrentUser, key + "\\Sub\\Deeper"), ERROR_SUCCESS);
  std::string binary;
  for (int i = 0; i < 300; ++i) binary += static_cast<char>(i);
  const std::map<std::string, RegValue> values = {
      {"", Sz("default")},
      {"Plain \\ \"quoted\" \xE9\x80", Sz("C:\\Program Files\\\"x\" \xE9\x80")},
      {"Lines", Sz("one\r\ntwo")},
      {"NoZero", Bytes(REG_SZ, "abc")},
      {"Expand", Sz("%SystemRoot%\\\xE9", REG_EXPAND_SZ)},
      {"Multi", Bytes(REG_MULTI_SZ, std::string("a\0\x80\0\0", 5))},
      {"Binary", Bytes(REG_BINARY, binary)},
      {"Empty", Bytes(REG_BINARY, "")},
      {"None", Bytes(REG_NONE, "")},
      {"Dword", Dword(0xDEADBEEF)},
      {"ShortDword", Bytes(REG_DWORD, "\x01\x02")},
      {"BigEndian", Bytes(REG_DWORD_BIG_ENDIAN, "\x01\x02\x03\x04")},
      {"Qword", Bytes(REG_QWORD, "\x01\x02\x03\x04\x05\x06\x07\x08")},
      {"OddType", Bytes(0x12345, "\xFF")},
  };
  for (const auto& [name, value] : values)
    ASSERT_EQ(reg->SetValue(CurrentUser, key + "\\Sub", name, value), ERROR_SUCCESS) << name;
  const std::string text = Export(*reg, CurrentUser, key);

  // The layout the editor writes: CRLF, lines of at most 80 columns, UTF-8 text.
  EXPECT_EQ(text.rfind("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\", 0), 0u);
  EXPECT_NE(text.find("\"Dword\"=dword:deadbeef\r\n"), std::string::npos);
  EXPECT_NE(text.find("\"Qword\"=hex(b):01,02,03,04,05,06,07,08\r\n"), std::string::npos);
  EXPECT_NE(text.find("\"Expand\"=hex(2):25,00,53,00"), std::string::npos);
  EXPECT_NE(text.find(AnsiToUtf8("\"Plain \\\\ \\\"quoted\\\" \xE9\x80\"")), std::string::npos);
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    ASSERT_FALSE(line.empty());
    EXPECT_EQ(line.back(), '\r');
    EXPECT_LE(Utf8ToUtf16(line).size(), 81u) << line;
  }

  tarvium::test::TempDir otherDir;
  auto other = OpenRegistry(otherDir.Path());
  RegTextError error;
  ASSERT_EQ(ImportRegText(*other, text, error), ERROR_SUCCESS) << error.nLine << error.message;
  std::map<std::string, std::string> original, imported;
  CollectTree(*reg, CurrentUser, key, original);
  CollectTree(*other, CurrentUser, key, imported);
  original[key + "\\Sub|NoZero"] = "1:abc" + std::string(1, '\0');  // reg export cuts at the zero
  EXPECT_EQ(imported, original);
  EXPECT_EQ(original.size(), values.size() + 3);
  EXPECT_EQ(Export(*other, CurrentUser, key), text);
}

TEST_F(RegTextTest, ReadsRegedit4AndUtf16Files) {
  // REGEDIT4 in Windows-1252: string types in hex are the bytes themselves.
  const std::string v4 =
      "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\V4]\r\n"
      "\"Caf\xE9\"=\"cr\xE8me\"\r\n"
      "\"Path\"=hex(2):25,41,25,00\r\n";
  RegTextError error;
  ASSERT_EQ(ImportRegText(*reg, v4, error), ERROR_SUCCESS) << error.message;
  EXPECT_EQ(Read(LocalMachine, "Software\\V4", "CAF\xC9"), Text(Sz("cr\xE8me")));
  EXPECT_EQ(Read(LocalMachine, "Software\\V4", "Path"), Text(Sz("%A%")));

  // Version 5 in UTF-16LE with BOM: hex(7) holds UTF-16LE strings, converted to Windows-1252.
  const std::u16string v5 =
      u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CLASSES_ROOT\\.t\u00e9st]\r\n"
      u"@=\"\u20ac uro\"\r\n"
      u"\"List\"=hex(7):61,00,00,00,ac,20,00,00,00,00\r\n";
  std::string bytes = "\xFF\xFE";
  for (char16_t c : v5) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  ASSERT_EQ(ImportRegText(*reg, bytes, error), ERROR_SUCCESS) << error.message;
  EXPECT_EQ(Read(ClassesRoot, ".t\xE9st", ""), Text(Sz("\x80 uro")));
  EXPECT_EQ(Read(ClassesRoot, ".t\xE9st", "List"), std::string("a\0\x80\0\0", 5));

  // UTF-8 with BOM, lower-case keywords, short root names.
  ASSERT_EQ(ImportRegText(*reg,
                          "\xEF\xBB\xBFWindows Registry Editor Version 5.00\n[HKCU\\U8]\n"
                          "\"\xC3\xA9\"=DWORD:1f\n",
                          error),
            ERROR_SUCCESS)
      << error.message;
  EXPECT_EQ(Read(CurrentUser, "U8", "\xE9"), Text(Dword(0x1F)));
}

TEST_F(RegTextTest, UnreadableLinesAreSkippedWithTheirLineAndReason) {
  const std::string text =
      "Windows Registry Editor Version 5.00\r\n"
      "[HKEY_CURRENT_USER\\M]\r\n"
      "\"a\"=\"unterminated\r\n"   // 3
      "\"b\"=dword:123456789\r\n"  // 4
      "garbage\r\n"                // 5
      "\"c\"=\"kept\"\r\n"
      "[HKEY_NOWHERE\\M]\r\n"             // 7
      "\"d\"=\"lost with its key\"\r\n"   // 8
      "[-HKEY_CURRENT_USER]\r\n"          // 9
      "[HKEY_CURRENT_USER\\M\\\\N]\r\n";  // 10
  std::vector<RegTextOp> ops;
  std::vector<RegTextError> skipped;
  RegTextError error;
  ASSERT_EQ(ParseRegText(text, ops, error, &skipped), ERROR_SUCCESS);
  std::vector<uint32_t> lines;
  for (const RegTextError& line : skipped) {
    lines.push_back(line.nLine);
    EXPECT_FALSE(line.message.empty());
  }
  EXPECT_EQ(lines, (std::vector<uint32_t>{3, 4, 5, 7, 8, 9, 10}));
  ASSERT_EQ(ops.size(), 2u);
  EXPECT_EQ(ops[1].valueName, "c");
  EXPECT_EQ(ops[1].nLine, 6u);

  EXPECT_EQ(ParseRegText("", ops, error), ERROR_INVALID_DATA);
  EXPECT_EQ(error.nLine, 1u);
}

// A write the registry refuses undoes the writes of the file before it: nothing of it stays.
TEST_F(RegTextTest, ARefusedWriteLeavesNothingOfTheFile) {
  ASSERT_EQ(reg->CreateKey(CurrentUser, "Kept"), ERROR_SUCCESS);
  ASSERT_EQ(reg->SetValue(CurrentUser, "Kept", "old", Sz("x")), ERROR_SUCCESS);
  std::string deep = "HKEY_CURRENT_USER\\Deep";
  for (int i = 0; i < 600; ++i) deep += "\\k";
  const std::string head =
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\New]\r\n\"v\"=\"x\"\r\n[-HKEY_CURRENT_USER\\Kept]\r\n";
  const std::pair<std::string, uint32_t> refusals[] = {
      {"[HKEY_CURRENT_USER\\New]\r\n\"" + std::string(20000, 'n') + "\"=\"x\"\r\n", 6},
      {"[" + deep + "]\r\n", 5},
  };
  for (const auto& [tail, nLine] : refusals) {
    RegTextError error;
    EXPECT_NE(ImportRegText(*reg, head + tail, error), ERROR_SUCCESS);
    EXPECT_EQ(error.nLine, nLine);
    EXPECT_EQ(reg->OpenKey(CurrentUser, "New"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Read(CurrentUser, "Kept", "old"), Text(Sz("x"))) << "the deleted tree is back";
  }
#ifdef TARVIUM_FAULT_SEAM
  reg->RefuseWrites(true, 2);  // the key and the value are written, the tree's deletion refused
  RegTextError error;
  EXPECT_EQ(ImportRegText(*reg, head, error), ERROR_ACCESS_DENIED);
  EXPECT_EQ(error.nLine, 4u);
  reg->RefuseWrites(false);
  EXPECT_EQ(reg->OpenKey(CurrentUser, "New"), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(ImportRegText(*reg, head, error), ERROR_SUCCESS) << "the registry is usable after it";
  EXPECT_EQ(Read(CurrentUser, "New", "v"), Text(Sz("x")));
  EXPECT_EQ(reg->OpenKey(CurrentUser, "Kept"), ERROR_FILE_NOT_FOUND);
#endif
}

using namespace std::string_literals;

constexpr const char* kBase = "Software\\Wine\\reg_test";
struct Expect {
  std::string name;
  bool bPresent = false;
  uint32_t dwType = REG_NONE;
  std::string data;
};

Expect S(std::string name, const std::string& text, uint32_t dwType = REG_SZ) {
  return {std::move(name), true, dwType, text + '\0'};
}
Expect D(std::string name, uint32_t dw) {
  return {std::move(name), true, REG_DWORD, Text(Dword(dw))};
}
Expect X(std::string name, uint32_t dwType, std::string bytes) {
  return {std::move(name), true, dwType, std::move(bytes)};
}
Expect N(std::string name) {
  return {std::move(name)};
}

struct ImportCase {
  std::string lines;  // after the header and the key line
  std::vector<Expect> expects;
};

const std::string kMulti = "Line concatenation\0\0"s;  // hex(7) of the "Line concatenation" rows

// The text as a Unicode .reg file: UTF-16LE after a byte-order mark.
std::string Utf16(const std::string& utf8) {
  return RegTextAsUtf16(utf8);
}

class RegImportWineTest : public RegistryTest {
 protected:
  // Imports text (which must be accepted) and checks every expectation below the base key.
  // With bFresh false the values of the base key stay from before.
  void Check(const std::string& text, const std::vector<Expect>& expects, const std::string& what,
             bool bFresh = true) {
    if (bFresh) reg->DeleteTree(CurrentUser, kBase);
    RegTextError error;
    std::vector<RegTextError> skipped;
    ASSERT_EQ(ImportRegText(*reg, text, error, RegView::Default, &skipped), ERROR_SUCCESS)
        << what << ": " << error.message;
    for (const Expect& expect : expects) {
      RegValue value;
      const uint32_t dwResult = reg->QueryValue(CurrentUser, kBase, expect.name, value);
      if (!expect.bPresent) {
        EXPECT_EQ(dwResult, ERROR_FILE_NOT_FOUND) << what << ": " << expect.name;
        continue;
      }
      ASSERT_EQ(dwResult, ERROR_SUCCESS) << what << ": " << expect.name;
      EXPECT_EQ(value.dwType, expect.dwType) << what << ": " << expect.name;
      EXPECT_EQ(Text(value), expect.data) << what << ": " << expect.name;
    }
  }
};

const std::string kKeyLine = "[HKEY_CURRENT_USER\\Software\\Wine\\reg_test]\n";

const ImportCase kRegedit4Cases[] = {
    {"\"Wine\"=dword:00000123\n\n", {D("Wine", 0x123)}},
    {"@=\"Test string\"\n\n", {S("", "Test string")}},
    {"\"Test1\"=\"Value1\"\n", {S("Test1", "Value1")}},
    {"\"Line1\"=\"Value1\"\n\n\"Line2\"=\"Value2\"\n\n\n\"Line3\"=\"Value3\"\n\n\n\n"
     "\"Line4\"=\"Value4\"\n\n",
     {S("Line1", "Value1"), S("Line2", "Value2"), S("Line3", "Value3"), S("Line4", "Value4")}},
    {"\"Wine1\"=dword:00000782\n\n\"Wine2\"=\"Test Value\"\n"
     "\"Wine3\"=hex(7):4c,69,6e,65,20,\\\n  63,6f,6e,63,61,74,65,6e,61,74,69,6f,6e,00,00\n"
     "#comment\n@=\"Test\"\n;comment\n\n\"Wine4\"=dword:12345678\n\n",
     {D("Wine1", 0x782), S("Wine2", "Test Value"), X("Wine3", REG_MULTI_SZ, kMulti), S("", "Test"),
      D("Wine4", 0x12345678)}},
    {"\"Wine5\"=\"No newline\"", {S("Wine5", "No newline")}},
    {"\"Wine6\"=dword:00000050\n\n\"Wine7\"=\"No newline\"",
     {D("Wine6", 0x50), S("Wine7", "No newline")}},
    {"#comment\\\n\"Wine8\"=\"Line 1\"\n;comment\\\n\"Wine9\"=\"Line 2\"\n\n",
     {S("Wine8", "Line 1"), S("Wine9", "Line 2")}},
    {"\"Wine10\"=\"Value 1\"#comment\n\"Wine11\"=\"Value 2\";comment\n"
     "\"Wine12\"=dword:01020304 #comment\n\"Wine13\"=dword:02040608 ;comment\n\n",
     {N("Wine10"), S("Wine11", "Value 2"), N("Wine12"), D("Wine13", 0x2040608)}},
    {"\"Wine14\"=hex(7):4c,69,6e,65,20,\\\n  #comment\n"
     "  63,6f,6e,63,61,74,65,6e,61,74,69,6f,6e,00,00\n\"Wine15\"=\"A valid line\"\n"
     "\"Wine16\"=hex(7):4c,69,6e,65,20,\\\n  ;comment\n"
     "  63,6f,6e,63,61,74,65,6e,61,74,69,6f,6e,00,00\n\"Wine17\"=\"Another valid line\"\n\n",
     {N("Wine14"), S("Wine15", "A valid line"), X("Wine16", REG_MULTI_SZ, kMulti),
      S("Wine17", "Another valid line")}},
    {"#\"Comment1\"=\"Value 1\"\n;\"Comment2\"=\"Value 2\"\n    #\"Comment3\"=\"Value 3\"\n"
     "    ;\"Comment4\"=\"Value 4\"\n\"Wine18\"=\"Value 6\"#\"Comment5\"=\"Value 5\"\n"
     "\"Wine19\"=\"Value 7\";\"Comment6\"=\"Value 6\"\n\n",
     {N("Comment1"), N("Comment2"), N("Comment3"), N("Comment4"), N("Wine18"), N("Comment5"),
      S("Wine19", "Value 7"), N("Comment6")}},
    {"\"Wine20\"=#\"Value 8\"\n\"Wine21\"=;\"Value 9\"\n\"Wine22\"=\"#comment1\"\n"
     "\"Wine23\"=\";comment2\"\n\"Wine24\"=\"Value#comment3\"\n\"Wine25\"=\"Value;comment4\"\n"
     "\"Wine26\"=\"Value #comment5\"\n\"Wine27\"=\"Value ;comment6\"\n"
     "\"Wine28\"=#dword:00000001\n\"Wine29\"=;dword:00000002\n"
     "\"Wine30\"=dword:00000003#comment\n\"Wine31\"=dword:00000004;comment\n\n",
     {N("Wine20"), N("Wine21"), S("Wine22", "#comment1"), S("Wine23", ";comment2"),
      S("Wine24", "Value#comment3"), S("Wine25", "Value;comment4"), S("Wine26", "Value #comment5"),
      S("Wine27", "Value ;comment6"), N("Wine28"), N("Wine29"), N("Wine30"), D("Wine31", 4)}},
    {"\"Multi-Line1\"=hex(7):4c,69,6e,65,20,\\\n  63,6f,6e,\\;comment\n  63,61,74,\\;comment\n"
     "  65,6e,61,74,69,6f,6e,00,00\n\n",
     {X("Multi-Line1", REG_MULTI_SZ, kMulti)}},
    {"\"Multi-Line2\"=hex(7):4c,69,6e,65,20,\\\n  63,6f,6e,\\;comment\n  63,61,74,;comment\n"
     "  65,6e,61,74,69,6f,6e,00,00\n\n",
     {S("Multi-Line2", "Line concat", REG_MULTI_SZ)}},
    {"\"Multi-Line3\"=hex(7):4c,69,6e,65,20\\\n,63,6f,6e,63,61,74,65,6e,61,74,69,6f,6e,00,00\n\n",
     {N("Multi-Line3")}},
    {"\"Multi-Line4\"=hex(7):4c,69,6e,65,20\\\n  ,63,6f,6e,63,61,74,65,6e,61,74,69,6f,6e,00,00\n\n",
     {N("Multi-Line4")}},
    {"\"Multi-Line7\"=hex(7):4c,69,6e,\\;comment\n  65,20,\\;comment\n  63,6f,6e,\\;comment\n"
     "  63,61,74,\\;comment\n  65,6e,61,74,69,6f,6e,00,00\n\n",
     {X("Multi-Line7", REG_MULTI_SZ, kMulti)}},
    {"\"Multi-Line9\"=hex(7):4c,69,6e,\\;comment\n  65,20,\\;comment\n  63,6f,6e,\\;comment\n"
     "  63,61,74,\\#comment\n  65,6e,61,74,69,6f,6e,00,00\n\n",
     {N("Multi-Line9")}},
    {"\"Multi-Line10\"=hex(7):4c,69,6e,65,20,\\\n  63,6f,6e,\\;comment\n  63,61,74,\\\n\n"
     "  65,6e,\\;comment\n\n  61,74,69,6f,6e,00,00\n\n",
     {X("Multi-Line10", REG_MULTI_SZ, kMulti)}},
    {"\"Wine32a\"=dword:1\n\"Wine32b\"=dword:4444\n\n", {D("Wine32a", 1), D("Wine32b", 0x4444)}},
    {"\"Wine33a\"=dword:\n\"Wine33b\"=dword:hello\n\"Wine33c\"=dword:123456789\n"
     "\"Wine33d\"=dword:012345678\n\"Wine33e\"=dword:000000001\n\n",
     {N("Wine33a"), N("Wine33b"), N("Wine33c"), N("Wine33d"), N("Wine33e")}},
    {"\"Wine34a\"=dword:12345678abc\n\"Wine34b\"=dword:12345678 abc\n\n",
     {N("Wine34a"), N("Wine34b")}},
    {"\"Wine35a\"=dword:0x123\n\"Wine35b\"=dword:123 456\n\"Wine35c\"=dword:1234 5678\n\n",
     {N("Wine35a"), N("Wine35b"), N("Wine35c")}},
    {"\"Wine36a\"=dword:1234;5678\n\"Wine36b\"=dword:1234 ;5678\n\"Wine36c\"=dword:1234#5678\n"
     "\"Wine36d\"=dword:1234 #5678\n\n",
     {D("Wine36a", 0x1234), D("Wine36b", 0x1234), N("Wine36c"), N("Wine36d")}},
    {"\"Wine37a\"=\"foo\"bar\"\n\"Wine37b\"=\"foo\"\"bar\"\n\n", {N("Wine37a"), N("Wine37b")}},
    {"\"Empty string\"=\"\"\n\"\"=\"Default Value Name\"\n\n",
     {S("Empty string", ""), S("", "Default Value Name")}},
    {"\"Test38a\"=\n\"Test38b\"=\\\"\n\"Test38c\"=\\\"Value\\\"\n\"Test38d\"=\\\"Value\"\n\n",
     {N("Test38a"), N("Test38b"), N("Test38c"), N("Test38d")}},
    {"\"Wine39a\"=\"Value1\"  ;comment\n\"Wine39b\"=\"Value2\"\t\t;comment\n"
     "\"Wine39c\"=\"Value3\"  #comment\n\"Wine39d\"=\"Value4\"\t\t#comment\n\n",
     {S("Wine39a", "Value1"), S("Wine39b", "Value2"), N("Wine39c"), N("Wine39d")}},
    {"\"TestNoBeginQuote\"=Asdffdsa\"\n", {N("TestNoBeginQuote")}},
    {"\"TestNoEndQuote\"=\"Asdffdsa\n", {N("TestNoEndQuote")}},
    {"\"TestNoQuotes\"=Asdffdsa\n", {N("TestNoQuotes")}},
    {"NameNoBeginQuote\"=\"Asdffdsa\"\n", {N("NameNoBeginQuote")}},
    {"\"NameNoEndQuote=\"Asdffdsa\"\n", {N("NameNoEndQuote")}},
    {"NameNoQuotes=\"Asdffdsa\"\n", {N("NameNoQuotes")}},
    {"\"MixedQuotes=Asdffdsa\"\n", {N("MixedQuotes"), N("MixedQuotes=Asdffdsa")}},
    {"\"Wine40a\"=hex(2):4c,69,6e,65,00\n\"Wine40b\"=\"Value "
     "1\"\n\"Wine40c\"=hex(2):4c,69,6e,65\\\n"
     "\"Wine40d\"=\"Value 2\"\n\"Wine40e\"=hex(2):4c,69,6e,65,\\\n\"Wine40f\"=\"Value 3\"\n"
     "\"Wine40g\"=\"Value 4\"\n\n",
     {S("Wine40a", "Line", REG_EXPAND_SZ), S("Wine40b", "Value 1"), N("Wine40c"),
      S("Wine40d", "Value 2"), N("Wine40e"), N("Wine40f"), S("Wine40g", "Value 4")}},
    {"\"Wine41a\"=dword:1234\\\n5678\n\"Wine41b\"=\"Test \\\nValue\"\n\n",
     {N("Wine41a"), N("Wine41b")}},
    {"\"double\\\"quote\"=\"valid \\\"or\\\" not\"\n\"single'quote\"=dword:00000008\n\n",
     {S("double\"quote", "valid \"or\" not"), D("single'quote", 8)}},
    {"\"Wine\\\n42a\"=\"Value 1\"\n\"Wine42b\"=\"Value 2\"\n\"Wine\n\\42c\"=\"Value 3\"\n\n",
     {N("Wine42a"), S("Wine42b", "Value 2"), N("Wine42c")}},
    // Continued hex data reads alike for every type (the hex: rows below); a string type keeps
    // what was read before a line that does not go on, with its zero.
    {"\"Wine44a\"=hex(2):25,50,41,54,48,25,00\n"
     "\"Wine44i\"=hex(2):25,50,41,\\;comment\n  54,48,\n  25,00\n\n",
     {S("Wine44a", "%PATH%", REG_EXPAND_SZ), S("Wine44i", "%PATH", REG_EXPAND_SZ)}},
    {"\"Wine45a\"=hex:11,22,33,44,55,66,77,88\n\"Wine45b\"=hex:11,22,33,44,\\\n  55,66,77,88\n"
     "\"Wine45c\"=hex:11,22,33,44\\\n,55,66,77,88\n\"Wine45d\"=hex:11,22,33,44\\\n  ,55,66,77,88\n"
     "\"Wine45e\"=hex:11,22,33,44\\\n  55,66,77,88\n\"Wine45f\"=hex:11,22,33,4\\\n4,55,66,77,88\n"
     "\"Wine45g\"=hex:11,22,33,4\\\n  4,55,66,77,88\n"
     "\"Wine45h\"=hex:11,22,33,44,\\;comment\n  55,66,\\\n  77,88\n"
     "\"Wine45i\"=hex:11,22,33,44,\\;comment\n  55,66,\n  77,88\n"
     "\"Wine45j\"=hex:11,22,33,44,\\;comment\n  55,66,;comment\n  77,88\n"
     "\"Wine45k\"=hex:11,22,33,\\;comment\n  44,55,66,\\#comment\n  77,88\n\n",
     {X("Wine45a", REG_BINARY, "\x11\x22\x33\x44\x55\x66\x77\x88"),
      X("Wine45b", REG_BINARY, "\x11\x22\x33\x44\x55\x66\x77\x88"), N("Wine45c"), N("Wine45d"),
      N("Wine45e"), N("Wine45f"), N("Wine45g"),
      X("Wine45h", REG_BINARY, "\x11\x22\x33\x44\x55\x66\x77\x88"),
      X("Wine45i", REG_BINARY, "\x11\x22\x33\x44\x55\x66"),
      X("Wine45j", REG_BINARY, "\x11\x22\x33\x44\x55\x66"), N("Wine45k")}},
    {"\"Wine47a\"=hex(0):56,61,6c,75,65,00\n\"Wine47b\"=hex(10):56,61,6c,75,65,00\n"
     "\"Wine47c\"=hex(100):56,61,6c,75,65,00\n\"Wine47d\"=hex(1000):56,61,6c,75,65,00\n"
     "\"Wine47e\"=hex(7fff):56,61,6c,75,65,00\n\"Wine47f\"=hex(ffff):56,61,6c,75,65,00\n"
     "\"Wine47g\"=hex(7fffffff):56,61,6c,75,65,00\n\"Wine47h\"=hex(ffffffff):56,61,6c,75,65,00\n"
     "\"Wine47i\"=hex(100000000):56,61,6c,75,65,00\n\"Wine47j\"=hex(0x2):56,61,6c,75,65,00\n"
     "\"Wine47k\"=hex(0X2):56,61,6c,75,65,00\n\"Wine47l\"=hex(x2):56,61,6c,75,65,00\n\n",
     {S("Wine47a", "Value", REG_NONE), S("Wine47b", "Value", 0x10), S("Wine47c", "Value", 0x100),
      S("Wine47d", "Value", 0x1000), S("Wine47e", "Value", 0x7fff), S("Wine47f", "Value", 0xffff),
      S("Wine47g", "Value", 0x7fffffff), S("Wine47h", "Value", 0xffffffff), N("Wine47i"),
      N("Wine47j"), N("Wine47k"), N("Wine47l")}},
    {"\"Wine48a\"=hex(7):4c,69,6e,65,20,  \\\n  63,6f,6e,63,61,74,65,6e,61,74,69,6f,6e,00,00\n"
     "\"Wine48b\"=hex(7):4c,69,6e,65,20,\t\\\n  63,6f,6e,63,61,74,65,6e,61,74,69,6f,6e,00,00\n\n",
     {X("Wine48a", REG_MULTI_SZ, kMulti), X("Wine48b", REG_MULTI_SZ, kMulti)}},
    {"\"Wine49\"=hex(2):25,50,41,54,48,25,00,\n\n", {S("Wine49", "%PATH%", REG_EXPAND_SZ)}},
    {"\"Wine50a\"=hex(2):25,50,41,54,48,25,00  ;comment\n"
     "\"Wine50b\"=hex(2):25,50,41,54,48,25,00\t;comment\n"
     "\"Wine50c\"=hex(2):25,50,41,54,48,25,00  #comment\n"
     "\"Wine50d\"=hex(2):25,50,41,54,48,25,00\t#comment\n\n",
     {S("Wine50a", "%PATH%", REG_EXPAND_SZ), S("Wine50b", "%PATH%", REG_EXPAND_SZ), N("Wine50c"),
      N("Wine50d")}},
    {"\"Wine51a\"=hex(0):25,50,100,54,48,25,00\n\"Wine51b\"=hex(0):25,1a4,100,164,124,25,00\n\n",
     {N("Wine51a"), N("Wine51b")}},
    {"\"Wine52a\"=hex(2):25,48\\,4f,4d,45,25,00\n\"Wine52b\"=hex(2):25,48,\\4f,4d,45,25,00\n"
     "\"Wine52c\"=hex(2):25,48\\ ,4f,4d,45,25,00\n\"Wine52d\"=hex(2):25,48,\\ 4f,4d,45,25,00\n"
     "\"Wine52e\"=hex(2):\\25,48,4f,4d,45,25,00\n\"Wine52f\"=hex(2):\\ 25,48,4f,4d,45,25,00\n"
     "\"Wine52g\"=hex(2):25,48,4\\f,4d,45,25,00\n\"Wine52h\"=hex(2):25,48,4\\\n  f,4d,45,25,00\n"
     "\"Wine52i\"=hex(2):25,50,\\,41,54,48,25,00\n"
     "\"Wine52j\"=hex(2):25,48,4f,4d,45,25,5c,\\\\\n  25,50,41,54,48,25,00\n"
     "\"Wine52k\"=hex(2):,\\\n  25,48,4f,4d,45,25,00\n"
     "\"Wine52l\"=hex(2):\\\n  25,48,4f,4d,45,25,00\n\n",
     {N("Wine52a"), N("Wine52b"), N("Wine52c"), N("Wine52d"), N("Wine52e"), N("Wine52f"),
      N("Wine52g"), N("Wine52h"), N("Wine52i"), N("Wine52j"), N("Wine52k"),
      S("Wine52l", "%HOME%", REG_EXPAND_SZ)}},
    {"\"Wine53a\"=hex(2):25,48,4f,4d,45,25,5c,\\\n  25,50,41,54,48,25,00\n"
     "\"Wine53b\"=hex(2):25,48,4f,4d,45,25,5c\\\n  25,50,41,54,48,25,00\n"
     "\"Wine53c\"=hex(2):25,48,4f,4d,45,25,5c,  \\  ;comment\n  25,50,41,54,48,25,00\n"
     "\"Wine53d\"=hex(2):25,48,4f,4d,45,25,5c  \\  ;comment\n  25,50,41,54,48,25,00\n"
     "\"Wine53e\"=hex(2):25,48,4f,4d,45,25,5c,\\\t  ;comment\n  25,50,41,54,48,25,00\n"
     "\"Wine53f\"=hex(2):25,48,4f,4d,45,25,5c\\\t  ;comment\n  25,50,41,54,48,25,00\n\n",
     {S("Wine53a", "%HOME%\\%PATH%", REG_EXPAND_SZ), N("Wine53b"),
      S("Wine53c", "%HOME%\\%PATH%", REG_EXPAND_SZ), N("Wine53d"),
      S("Wine53e", "%HOME%\\%PATH%", REG_EXPAND_SZ), N("Wine53f")}},
    // A line that continued hex data does not take is passed over, whatever value it holds.
    {"\"Wine55a\"=hex(2):4c,69,6e,65,20,\\\n\"Wine55b\"=\"Test value\"\n"
     "\"Wine55c\"=hex(2):4c,69,6e,65,20,\\\n;comment\n\"Wine55d\"=\"Test value\"\n"
     "\"Wine55e\"=hex(2):4c,69,6e,65,20,\\\n#comment\n\"Wine55f\"=\"Test value\"\n"
     "\"Wine55g\"=hex(2):4c,69,6e,65,20,\\\n\n\"Wine55h\"=\"Test value\"\n"
     "\"Wine55i\"=hex(2):4c,69,6e,65,20\\\n\"Wine55j\"=\"Test value\"\n\n",
     {N("Wine55a"), N("Wine55b"), N("Wine55c"), N("Wine55d"), N("Wine55e"),
      S("Wine55f", "Test value"), N("Wine55g"), N("Wine55h"), N("Wine55i"),
      S("Wine55j", "Test value")}},
    {"\"Wine59a\"=hex:11,22,33,\\\n\\\n  44,55,66\n\"Wine59b\"=hex:11,22,33,\\\n  \\\n  "
     "44,55,66\n\n",
     {N("Wine59a"), N("Wine59b")}},
    {"\"Wine60a\"=hex(7):4c,69,6e,65,20,\\\n  63,6f,6e,63,61,74,\\\n;comment\n  65,6e,\\;comment\n"
     "  61,74,69,6f,6e,00,00\n\n",
     {X("Wine60a", REG_MULTI_SZ, kMulti)}},
    {"\"Wine60b\"=hex(7):4c,69,6e,65,20,\\\n  63,6f,6e,63,61,74,\\\n  ;comment\n"
     "  65,6e,\\;comment\n  61,74,69,6f,6e,00,00\n\n",
     {X("Wine60b", REG_MULTI_SZ, kMulti)}},
    {"\"Wine60c\"=hex(7):4c,69,6e,65,20,\\\n  63,6f,6e,63,61,74,\\\n#comment\n  65,6e,\\;comment\n"
     "  61,74,69,6f,6e,00,00\n\n",
     {N("Wine60c")}},
    {"\"Wine60d\"=hex(7):4c,69,6e,65,20,\\\n  63,6f,6e,63,61,74,\\\n  #comment\n"
     "  65,6e,\\;comment\n  61,74,69,6f,6e,00,00\n\n",
     {N("Wine60d")}},
    {"\"Wine60e\"=hex(7):4c,69,6e,65,20,\\\n  63,6f,6e,\\\n\n  63,61,74,\\\n\n\n  65,6e,\\\n\n\n\n"
     "  61,74,69,6f,6e,00,00\n\n",
     {X("Wine60e", REG_MULTI_SZ, kMulti)}},
    {"\"Wine60f\"=hex(7):4c,69,6e,65,20,\\\n  63,6f,6e,\\\n \n  63,61,74,\\\n\t\n\t\n"
     "  65,6e,\\\n\t \t\n\t \t\n\t \t\n  61,74,69,6f,6e,00,00\n\n",
     {X("Wine60f", REG_MULTI_SZ, kMulti)}},
    {"\"Wine61a\"=hex(0):25,48,4f,4d,45,25,5c,/\n  25,50,41,54,48,25,00\n"
     "\"Wine61b\"=hex(0):25,48,4f,4d,45,25,5c/\n  25,50,41,54,48,25,00\n\n",
     {N("Wine61a"), N("Wine61b")}},
    {"\"Wine62a\"=hex(0):56,61,6c,75,65,\\", {X("Wine62a", REG_NONE, "Value")}},
    {"\"Wine62b\"=hex(2):25,50,41,54,48,25,\\", {S("Wine62b", "%PATH%", REG_EXPAND_SZ)}},
    {"\"Wine62c\"=hex:11,22,33,44,55,\\", {X("Wine62c", REG_BINARY, "\x11\x22\x33\x44\x55")}},
    {"\"Wine62d\"=hex(7):4c,69,6e,65,\\", {S("Wine62d", "Line", REG_MULTI_SZ)}},
    {"\"Wine62e\"=hex(100):56,61,6c,75,65,\\", {X("Wine62e", 0x100, "Value")}},
    {"\"Wine62f\"=hex(7):4c,69,6e,65,20\\", {N("Wine62f")}},
    {"\"Wine63a\"=hex(7):4c,69,6e,65,20,\\\n  ,63,6f,6e,63,61,74,65,6e,61,74,69,6f,6e,00,00\n"
     "\"Wine63b\"=hex(7):4c,69,6e,65,20,\\\n  63,,6f,6e,63,61,74,65,6e,61,74,69,6f,6e,00,00\n\n",
     {N("Wine63a"), N("Wine63b")}},
    {"\"Wine64a\"=hex(7):4c,69,6e,65,00,00\n"
     "\"Wine64b\"=hex(7):4c,69,6e,65,20,\\\n  63,6f,6e,63,61,74,65,6e,61,74,69,6f,6e,00,00\n"
     "\"Wine64c\"=hex(7):4c,69,6e,65,20,\\;comment\n  63,6f,6e,63,61,74,\\\n"
     "  65,6e,61,74,69,6f,6e,00,00\n"
     "\"Wine64d\"=hex(7):4c,69,6e,65,20,\\;comment\n  63,6f,6e,63,61,74,\n"
     "  65,6e,61,74,69,6f,6e,00,00\n"
     "\"Wine64e\"=hex(7):4c,69,6e,65,20,\\\n  63,6f,6e,63,61,74,;comment\n"
     "  65,6e,61,74,69,6f,6e,00,00\n\n",
     {X("Wine64a", REG_MULTI_SZ, "Line\0\0"s), X("Wine64b", REG_MULTI_SZ, kMulti),
      X("Wine64c", REG_MULTI_SZ, kMulti), S("Wine64d", "Line concat", REG_MULTI_SZ),
      S("Wine64e", "Line concat", REG_MULTI_SZ)}},
    {"\"Wine66a\"=hex(7):4c,69,6e,65\n\"Wine66b\"=hex(7):4c,69,6e,65,\n"
     "\"Wine66c\"=hex(7):4c,69,6e,65,00\n\"Wine66d\"=hex(7):4c,69,6e,65,00,\n"
     "\"Wine66e\"=hex(7):4c,69,6e,65,00,00\n\"Wine66f\"=hex(7):4c,69,6e,65,00,00,\n\n",
     {S("Wine66a", "Line", REG_MULTI_SZ), S("Wine66b", "Line", REG_MULTI_SZ),
      S("Wine66c", "Line", REG_MULTI_SZ), S("Wine66d", "Line", REG_MULTI_SZ),
      X("Wine66e", REG_MULTI_SZ, "Line\0\0"s), X("Wine66f", REG_MULTI_SZ, "Line\0\0"s)}},
    {"\"Wine67a\"=hex(2):25,50,41,54,48,25\n\"Wine67b\"=hex(2):25,50,41,54,48,25,\n"
     "\"Wine67c\"=hex(2):25,50,41,54,48,25,00\n\"Wine67d\"=hex(2):25,50,41,54,48,25,00,\n\n",
     {S("Wine67a", "%PATH%", REG_EXPAND_SZ), S("Wine67b", "%PATH%", REG_EXPAND_SZ),
      S("Wine67c", "%PATH%", REG_EXPAND_SZ), S("Wine67d", "%PATH%", REG_EXPAND_SZ)}},
    {"\"Wine68a\"=hex(1):\n\"Wine68b\"=hex(2):\n\"Wine68c\"=hex(3):\n\"Wine68d\"=hex(4):\n"
     "\"Wine68e\"=hex(7):\n\"Wine68f\"=hex(100):\n\"Wine68g\"=hex(abcd):\n\"Wine68h\"=hex:\n"
     "\"Wine68i\"=hex(0):\n\n",
     {X("Wine68a", REG_SZ, ""), X("Wine68b", REG_EXPAND_SZ, ""), X("Wine68c", REG_BINARY, ""),
      X("Wine68d", REG_DWORD, ""), X("Wine68e", REG_MULTI_SZ, ""), X("Wine68f", 0x100, ""),
      X("Wine68g", 0xabcd, ""), X("Wine68h", REG_BINARY, ""), X("Wine68i", REG_NONE, "")}},
    {"\"Wine69a\"=\"\\\\0\"\n\"Wine69b\"=\"\\\\0\\\\0\"\n\"Wine69c\"=\"Value1\\\\0\"\n"
     "\"Wine69d\"=\"Value2\\\\0\\\\0\\\\0\\\\0\"\n\"Wine69e\"=\"Value3\\\\0Value4\"\n"
     "\"Wine69f\"=\"\\\\0Value5\"\n\n",
     {S("Wine69a", "\\0"), S("Wine69b", "\\0\\0"), S("Wine69c", "Value1\\0"),
      S("Wine69d", "Value2\\0\\0\\0\\0"), S("Wine69e", "Value3\\0Value4"),
      S("Wine69f", "\\0Value5")}},
    {"\"Wine70a\"=\"\\0\"\n\"Wine70b\"=\"\\0\\0\"\n\"Wine70c\"=\"Value1\\0\"\n"
     "\"Wine70d\"=\"Value2\\0\\0\\0\\0\"\n\"Wine70e\"=\"Value3\\0Value4\"\n"
     "\"Wine70f\"=\"\\0Value5\"\n\n",
     {N("Wine70a"), N("Wine70b"), N("Wine70c"), N("Wine70d"), N("Wine70e"), N("Wine70f")}},
    {"\"count/up\"=\"one/two/three\"\n\"\\\\foo\\\\bar\"=\"\"\n\n",
     {S("count/up", "one/two/three"), S("\\foo\\bar", "")}},
    // Blanks around the parts of a line.
    {"  \"Wine3a\"=\"Two leading spaces\"\n\t\"Wine3b\"=\"One leading tab\"\n"
     " \t \"Wine3c\"=\"Space, tab, space\"\n\n",
     {S("Wine3a", "Two leading spaces"), S("Wine3b", "One leading tab"),
      S("Wine3c", "Space, tab, space")}},
    {"\t    \"Wine4a\"=\"Tab and four spaces\"\n    \"Wine4b\"=dword:00112233\n"
     "\t  \t  \t  \t  \t  \t  \"Wine4c\"=hex(7):4c,69,6e,65,20,\\\n        63,6f,6e,\\;comment\n"
     "\t\t\t\t63,61,74,\\;comment\n  \t65,6e,61,74,69,6f,6e,00,00\n\n",
     {S("Wine4a", "Tab and four spaces"), D("Wine4b", 0x112233),
      X("Wine4c", REG_MULTI_SZ, kMulti)}},
    {"  \"Wine5a\"=\"Leading spaces\"\n\t\t\"Wine5b\"\t\t=\"Leading tabs\"\n"
     "\t  \"Wine5c\"=\t  \"Tabs and spaces\"\n"
     "    \"Wine5d\"    \t    =    \t    \"More whitespace\"\n\n",
     {S("Wine5a", "Leading spaces"), S("Wine5b", "Leading tabs"), S("Wine5c", "Tabs and spaces"),
      S("Wine5d", "More whitespace")}},
    {"\"  Wine6a\"=\"Leading spaces\"\n\"\t\tWine6b\"=\"Leading tabs\"\n"
     "  \"  Wine6c  \"  =  \"  Spaces everywhere  \"  \n\n",
     {S("  Wine6a", "Leading spaces"), S("\t\tWine6b", "Leading tabs"),
      S("  Wine6c  ", "  Spaces everywhere  ")}},
    {"\"Wine7a\"=\"    Four spaces in the data\"\n\"Wine7b\"=\"\t\tTwo tabs in the data\"\n\n",
     {S("Wine7a", "    Four spaces in the data"), S("Wine7b", "\t\tTwo tabs in the data")}},
    {"\"Wine8a\"=\"Trailing spaces\"    \n\"Wine8b\"=\"Trailing tabs and spaces\"\t  \t\n\n",
     {S("Wine8a", "Trailing spaces"), S("Wine8b", "Trailing tabs and spaces")}},
    {"\"Wine9a\"=dword:  00000008\n\"Wine9b\"=dword:\t\t00000008\n\n",
     {D("Wine9a", 8), D("Wine9b", 8)}},
    {"@  =  \"Test Value\"\n\n", {S("", "Test Value")}},
    {"\t@\t=\tdword:\t00000008\t\n\n", {D("", 8)}},
};

TEST_F(RegImportWineTest, Regedit4ValueLinesInAnsiAndUtf16) {
  for (const ImportCase& row : kRegedit4Cases) {
    const std::string text = "REGEDIT4\n\n" + kKeyLine + row.lines;
    Check(text, row.expects, row.lines);
    Check(Utf16(text), row.expects, "UTF-16: " + row.lines);
  }
}

// Version 5 files: hex(2) and hex(7) data are UTF-16LE there.
const ImportCase kVersion5Cases[] = {
    {"\"Wine3\"=hex(7):4c,00,69,00,6e,00,65,00,20,00,\\\n"
     "  63,00,6f,00,6e,00,63,00,61,00,74,00,65,00,6e,00,61,00,74,00,69,00,6f,00,6e,00,00,00,\\\n"
     "  00,00\n",
     {X("Wine3", REG_MULTI_SZ, kMulti)}},
    {"\"Wine40a\"=hex(2):4c,00,69,00,6e,00,65,00,00,00\n", {S("Wine40a", "Line", REG_EXPAND_SZ)}},
    {"\"Wine44a\"=hex(2):25,00,50,00,41,00,54,00,48,00,25,00,00,00\n"
     "\"Wine44i\"=hex(2):25,00,50,00,41,00,\\;comment\n  54,00,48,00,\n  25,00,00,00\n",
     {S("Wine44a", "%PATH%", REG_EXPAND_SZ), S("Wine44i", "%PATH", REG_EXPAND_SZ)}},
    {"\"Multi-Line5\"=hex(7):4c,69,6e,65,20\\\n,63,6f,6e,63,61,74,65,6e,61,74,69,6f,6e,00,00\n\n"
     "\"Multi-Line6\"=hex(7):4c,69,6e,65,20\\\n  ,63,6f,6e,63,61,74,65,6e,61,74,69,6f,6e,00,00\n\n",
     {N("Multi-Line5"), N("Multi-Line6")}},
    {"\"Wine62b\"=hex(2):25,00,50,00,41,00,54,00,48,00,25,00,\\",
     {S("Wine62b", "%PATH%", REG_EXPAND_SZ)}},
    {"\"Wine62d\"=hex(7):4c,00,69,00,6e,00,65,00,\\", {S("Wine62d", "Line", REG_MULTI_SZ)}},
    {"\"Wine66a\"=hex(7):4c,00,69,00,6e,00,65,00\n\"Wine66c\"=hex(7):4c,00,69,00,6e,00,65,00,00,"
     "00\n"
     "\"Wine66e\"=hex(7):4c,00,69,00,6e,00,65,00,00,00,00,00\n",
     {S("Wine66a", "Line", REG_MULTI_SZ), S("Wine66c", "Line", REG_MULTI_SZ),
      X("Wine66e", REG_MULTI_SZ, "Line\0\0"s)}},
    {"\"Wine67a\"=hex(2):25,00,50,00,41,00,54,00,48,00,25,00\n"
     "\"Wine67b\"=hex(2):25,00,50,00,41,00,54,00,48,00,25,00,\n",
     {S("Wine67a", "%PATH%", REG_EXPAND_SZ), S("Wine67b", "%PATH%", REG_EXPAND_SZ)}},
    {"\"Wine2a\"=hex(1):\n\"Wine2b\"=hex(3):\n\"Wine2c\"=hex(4):\n",
     {X("Wine2a", REG_SZ, ""), X("Wine2b", REG_BINARY, ""), X("Wine2c", REG_DWORD, "")}},
    {"\"Wine3a\"=hex(1):56,00,61,00,6c,00,75,00,65,00,00,00\n\"Wine3b\"=hex(3):12,34,56,78\n"
     "\"Wine3c\"=hex(4):40,30,20,10\n",
     {S("Wine3a", "Value"), X("Wine3b", REG_BINARY, "\x12\x34\x56\x78"), D("Wine3c", 0x10203040)}},
    {"\"Wine4b\"=hex(1):00,00,00,00,00,00,00,00\n\"Wine4d\"=hex(1):00,00,61,00,62,00,63,00\n"
     "\"Wine4f\"=hex(1):00,00,56,00,61,00,6c,00,75,00,65,00,00,00\n"
     "\"Wine4h\"=hex(1):61,00,62,00,63,00,00,00, \\\n  64,00,65,00,66,00,00,00\n",
     {X("Wine4b", REG_SZ, "\0\0\0\0"s), X("Wine4d", REG_SZ, "\0abc\0"s),
      X("Wine4f", REG_SZ, "\0Value\0"s), X("Wine4h", REG_SZ, "abc\0def\0"s)}},
};

TEST_F(RegImportWineTest, Version5HexStringsAreUtf16) {
  for (const ImportCase& row : kVersion5Cases)
    Check(Utf16("Windows Registry Editor Version 5.00\n\n" + kKeyLine + row.lines), row.expects,
          row.lines);
}

TEST_F(RegImportWineTest, DeletingValues) {
  const std::string head = "REGEDIT4\n\n" + kKeyLine;
  Check(head +
            "\"Wine46a\"=\"Test Value\"\n\"Wine46b\"=dword:00000008\n\"Wine46c\"=hex:11,22,33,44\n"
            "\"Wine46d\"=hex(7):4c,69,6e,65,20,\\\n"
            "  63,6f,6e,63,61,74,65,6e,61,74,69,6f,6e,00,00\n"
            "\"Wine46e\"=hex(2):25,50,41,54,48,25,00\n"
            "\"Wine46f\"=hex(0):56,00,61,00,6c,00,75,00,65,00,00,00\n@=\"Default\"\n\n",
        {S("", "Default"), S("Wine46a", "Test Value"), D("Wine46b", 8),
         X("Wine46c", REG_BINARY, "\x11\x22\x33\x44"), X("Wine46d", REG_MULTI_SZ, kMulti),
         S("Wine46e", "%PATH%", REG_EXPAND_SZ), X("Wine46f", REG_NONE, "V\0a\0l\0u\0e\0\0\0"s)},
        "values to delete");
  Check(head +
            "\"Wine46a\"=-\n\"Wine46b\"=  -\n\"Wine46c\"=  \t-\t  \n\"Wine46d\"=-\"Test\"\n"
            "\"Wine46e\"=- ;comment\n\"Wine46f\"=- #comment\n@ = -\n\"absent\"=-\n\n",
        {N(""), N("absent"), N("Wine46a"), N("Wine46b"), N("Wine46c"),
         X("Wine46d", REG_MULTI_SZ, kMulti), N("Wine46e"),
         X("Wine46f", REG_NONE, "V\0a\0l\0u\0e\0\0\0"s)},
        "deletions", false);
}

struct HeaderCase {
  bool bAccepted;  // the import succeeds
  bool bRead;      // and reads the value below it
  std::vector<std::string> headers;
};

// The first line decides: exactly one of the two headers (blanks before it allowed), or another
// "REGEDIT..." line (read as a Windows 3.1 file: nothing); anything else is no registry file.
const HeaderCase kHeaders[] = {
    {false,
     false,
     {"regedit", "regedit4", "Regedit4", "\nREGEDIT4", "AREGEDIT4", "1REGEDIT4",
      "Windows Registry Editor Version 4.00", "Windows Registry Editor Version 5",
      "WINDOWS REGISTRY EDITOR VERSION 5.00", "Windows Registry Editor version 5.00"}},
    {true,
     false,
     {"REGEDIT", "REGEDIT3", "REGEDIT5", "REGEDIT9", "REGEDIT 4", "REGEDIT4FOO", "REGEDIT4 FOO"}},
    {true,
     true,
     {"REGEDIT4", " REGEDIT4", "\tREGEDIT4", " \t REGEDIT4", "                    REGEDIT4",
      "Windows Registry Editor Version 5.00", "  Windows Registry Editor Version 5.00",
      "\tWindows Registry Editor Version 5.00"}},
};

TEST_F(RegImportWineTest, HeaderLines) {
  for (const HeaderCase& row : kHeaders) {
    for (const std::string& header : row.headers)
      for (const bool bUtf16 : {false, true}) {
        const std::string alone = header + "\n";
        const std::string text = header + "\n\n" + kKeyLine + "\"Test\"=\"Value\"\n";
        reg->DeleteTree(CurrentUser, kBase);
        RegTextError error;
        const uint32_t dwExpected = row.bAccepted ? ERROR_SUCCESS : ERROR_INVALID_DATA;
        EXPECT_EQ(ImportRegText(*reg, bUtf16 ? Utf16(alone) : alone, error), dwExpected) << alone;
        EXPECT_EQ(ImportRegText(*reg, bUtf16 ? Utf16(text) : text, error), dwExpected) << text;
        EXPECT_EQ(Read(CurrentUser, kBase, "Test"), row.bRead ? "Value\0"s : "<error 2>") << text;
      }
  }
  RegTextError error;
  EXPECT_EQ(ImportRegText(*reg, "REGEDIT", error), ERROR_SUCCESS) << "no line end";
  for (const std::string& header : {"REGEDIT\n"s, "REGEDIT4\n"s})
    EXPECT_EQ(ImportRegText(*reg, Utf16(header).substr(2), error), ERROR_INVALID_DATA)
        << "UTF-16 without its BOM: " << header;
}

struct KeyCase {
  std::string lines;  // after the header
  std::vector<std::string> present;
  std::vector<std::string> absent;  // below the base key
};

const std::string kBaseKey = "HKEY_CURRENT_USER\\Software\\Wine\\reg_test";

// The line of a key below the base key ("\\Sub" gives "[HKEY_...\\reg_test\\Sub]"), or of its
// deletion with the mark before the name.
std::string Key(const std::string& below, const std::string& mark = "") {
  return "[" + mark + kBaseKey + below + "]\n";
}

const KeyCase kKeyCases[] = {
    {"[" + kBaseKey + "\\\nSubkey1]\n", {}, {"Subkey1"}},
    {"[" + kBaseKey + "\n\\Subkey2]\n", {}, {"Subkey2"}},
    {kBaseKey + "\\No_Opening_Bracket]\n", {}, {"No_Opening_Bracket"}},
    {"[" + kBaseKey + "\\No_Closing_Bracket\n", {}, {"No_Closing_Bracket"}},
    {Key("\\Subkey1a", " "), {}, {"Subkey1a"}},
    {Key("\\Subkey1b", "\t"), {}, {"Subkey1b"}},
    {Key("\\Subkey1c "), {"Subkey1c "}, {}},
    {Key("\\Subkey1d\t"), {"Subkey1d\t"}, {}},
    {Key("\\Subkey1e\\"), {"Subkey1e", "Subkey1e\\"}, {}},
    {Key("\\Subkey1f\\\\"), {"Subkey1f", "Subkey1f\\"}, {}},
    {Key("\\Subkey1g\\\\\\\\"), {"Subkey1g", "Subkey1g\\"}, {}},
    {Key("\\https://winehq.org"), {"https://winehq.org"}, {}},
    {Key("\\Subkey2a") + "\n" + Key("\\Subkey2b") + "\n" + Key("\\Subkey2a", " -") +
         Key("\\Subkey2b", "\t-") + Key("\\Subkey2a", "- ") + Key("\\Subkey2b", "-\t"),
     {"Subkey2a", "Subkey2b"},
     {}},
    {Key("\\Subkey2a\\Child") + "\n" + Key("\\Subkey2b") + "\n" + Key("\\Subkey2a", "-") + "\n" +
         Key("\\Subkey2b", "-") + "\n" + Key("\\NeverWas", "-"),
     {},
     {"Subkey2a", "Subkey2b"}},
    {"[hkey_CURRENT_user\\Software\\Wine\\reg_test\\Subkey3a]\n\n"
     "[HkEy_CuRrEnT_uSeR\\Software\\Wine\\reg_test\\SuBkEy3b]\n\n",
     {"Subkey3a", "Subkey3b"},
     {}},
    {"[hkey_CURRENT_user\\Software\\Wine\\reg_test\\Subkey3a]\n\n"
     "[-HKEY_current_USER\\Software\\Wine\\reg_test\\sUBKEY3A]\n\n",
     {},
     {"Subkey3a"}},
    {Key("\\Subkey4a") + "\n" + Key("") + "\n" + Key("\\Subkey4a", "-") +
         "\"Wine46a\"=dword:12345678\n\n",
     {},
     {"Subkey4a"}},
    {Key("") + "\n[HKEY_CURRENT_USERS\\Software\\Wine\\reg_test\\Subkey4b]\n"
               "\"Wine46b\"=dword:12345678\n\n",
     {},
     {"Subkey4b"}},
    {Key("") + "\"Wine54a\"=hex(2):4c,69,6e,65,20,\\\n" + Key("\\Subkey1"), {}, {"Subkey1"}},
    {Key("") + "\"Wine54b\"=hex(2):4c,69,6e,65,20\\\n" + Key("\\Subkey2"), {"Subkey2"}, {}},
};

TEST_F(RegImportWineTest, KeyLines) {
  for (const KeyCase& row : kKeyCases) {
    reg->DeleteTree(CurrentUser, kBase);
    ASSERT_EQ(reg->CreateKey(CurrentUser, kBase), ERROR_SUCCESS);
    RegTextError error;
    ASSERT_EQ(ImportRegText(*reg, "REGEDIT4\n\n" + row.lines, error), ERROR_SUCCESS) << row.lines;
    for (const std::string& key : row.present)
      EXPECT_EQ(reg->OpenKey(CurrentUser, std::string(kBase) + "\\" + key), ERROR_SUCCESS)
          << row.lines << ": " << key;
    for (const std::string& key : row.absent)
      EXPECT_EQ(reg->OpenKey(CurrentUser, std::string(kBase) + "\\" + key), ERROR_FILE_NOT_FOUND)
          << row.lines << ": " << key;
    for (const char* value : {"Wine46a", "Wine46b", "Wine54a", "Wine54b"})
      EXPECT_EQ(Read(CurrentUser, kBase, value), "<error 2>") << row.lines;
  }
  // Names that need quoting in the file, and a value below a key named with a trailing backslash.
  Check("REGEDIT4\n\n" + Key("\\Subkey\"1") + "\"Wine\\\\31\"=\"Test value\"\n\n" +
            Key("\\Subkey/2") + "\"123/\\\"4;'5\"=\"Random value name\"\n\n" + Key("\\Subkey1e\\") +
            "\"Wine\"=\"Test value\"\n\n",
        {}, "quoted names");
  EXPECT_EQ(Read(CurrentUser, std::string(kBase) + "\\Subkey\"1", "Wine\\31"), "Test value\0"s);
  EXPECT_EQ(Read(CurrentUser, std::string(kBase) + "\\Subkey/2", "123/\"4;'5"),
            "Random value name\0"s);
  EXPECT_EQ(Read(CurrentUser, std::string(kBase) + "\\Subkey1e", "Wine"), "Test value\0"s);
}

}  // namespace
}  // namespace platform::emulated::test
