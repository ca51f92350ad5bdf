// The registry service against the real registry: every case works below a fresh key
// HKEY_CURRENT_USER\Software\TarviumTests\<unique>, deleted at the end; the view cases also use
// the same path below HKEY_LOCAL_MACHINE\Software, where the 32-bit view is redirected, and are
// skipped when the user may not write there.
#include "platform/win32/win32_registry.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/win_error.h"
#include "win32/scratch_places.h"

namespace platform::win32 {
namespace {

RegValue Bytes(uint32_t dwType, std::vector<uint8_t> data) {
  return RegValue{dwType, data};
}

RegValue Text(const std::string& text) {
  std::vector<uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  return RegValue{REG_SZ, data};
}

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = "Software\\TarviumTests\\" + tarvium::test::UniqueTestName("registry");
    ASSERT_EQ(ERROR_SUCCESS, registry_.CreateKey(RegRoot::CurrentUser, base_));
  }
  void TearDown() override {
    tarvium::test::RemoveRegistryKey(RegRoot::CurrentUser, base_, RegView::Default);
  }
  std::string Path(const std::string& sub) const { return base_ + "\\" + sub; }

  std::vector<std::string> SubkeyNames(const std::string& keyPath) {
    std::vector<std::string> names;
    std::string name;
    uint32_t index = 0;
    while (registry_.EnumKey(RegRoot::CurrentUser, keyPath, index++, name) == ERROR_SUCCESS)
      names.push_back(name);
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, registry_.EnumKey(RegRoot::CurrentUser, keyPath, index, name));
    return names;
  }

  Win32Registry registry_;
  std::string base_;
};

TEST_F(RegistryTest, CreateTellsWhetherTheKeyIsNewAndKeepsItsOptions) {
  bool bCreated = false;
  ASSERT_EQ(ERROR_SUCCESS, registry_.CreateKey(RegRoot::CurrentUser, Path("a\\b\\c"), false,
                                               RegView::Default, &bCreated));
  EXPECT_TRUE(bCreated);
  ASSERT_EQ(ERROR_SUCCESS, registry_.CreateKey(RegRoot::CurrentUser, Path("A\\B\\C"), false,
                                               RegView::Default, &bCreated));
  EXPECT_FALSE(bCreated);
  EXPECT_EQ(std::vector<std::string>{"c"}, SubkeyNames(Path("a\\b")));  // keeps its first case
  ASSERT_EQ(ERROR_SUCCESS, registry_.CreateKey(RegRoot::CurrentUser, Path("volatile"), true));
  EXPECT_EQ(ERROR_CHILD_MUST_BE_VOLATILE,
            registry_.CreateKey(RegRoot::CurrentUser, Path("volatile\\lasting")));
}

TEST_F(RegistryTest, MissingKeysAndValuesAreNotFound) {
  RegValue value;
  std::string name;
  RegKeyInfo info;
  const std::string missing = Path("missing");
  const RegRoot user = RegRoot::CurrentUser;
  const uint32_t results[] = {
      registry_.OpenKey(user, missing),
      registry_.QueryValue(user, missing, "", value),
      registry_.QueryValue(user, base_, "v", value),
      registry_.SetValue(user, missing, "v", Text("x")),  // made no key
      registry_.DeleteValue(user, base_, "v"),
      registry_.DeleteKey(user, missing),
      registry_.DeleteTree(user, missing),
      registry_.EnumKey(user, missing, 0, name),
      registry_.EnumValue(user, missing, 0, name, value),
      registry_.QueryInfoKey(user, missing, info),
      registry_.OpenKey(user, missing),
  };
  for (size_t i = 0; i < std::size(results); ++i) EXPECT_EQ(ERROR_FILE_NOT_FOUND, results[i]) << i;
}

TEST_F(RegistryTest, ValuesComeBackWithTheirTypeAndExactBytes) {
  const std::pair<const char*, RegValue> cases[] = {
      {"", Text("default value")},
      {"sz without zero", Bytes(REG_SZ, {'a', 'b'})},
      {"multi", Bytes(REG_MULTI_SZ, {'a', 0, 'b', 'c', 0, 0})},
      {"empty binary", Bytes(REG_BINARY, {})},
      {"dword", Bytes(REG_DWORD, {0x78, 0x56, 0x34, 0x12})},
      {"qword", Bytes(REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8})},
      {"large", Bytes(REG_BINARY, std::vector<uint8_t>(100000, 0xA5))},  // read again
  };
  for (const auto& [name, value] : cases) {
    ASSERT_EQ(ERROR_SUCCESS, registry_.SetValue(RegRoot::CurrentUser, base_, name, value)) << name;
    RegValue read;
    ASSERT_EQ(ERROR_SUCCESS, registry_.QueryValue(RegRoot::CurrentUser, base_, name, read)) << name;
    EXPECT_EQ(value.dwType, read.dwType) << name;
    EXPECT_EQ(value.data, read.data) << name;
  }
}

TEST_F(RegistryTest, EnumerationGivesEveryNameAndValueBeyondTheFirstSizes) {
  const std::set<std::string> created = {"beta", "Alpha", std::string(200, 'k')};
  for (const std::string& name : created)
    ASSERT_EQ(ERROR_SUCCESS, registry_.CreateKey(RegRoot::CurrentUser, Path(name)));
  const std::vector<std::string> first = SubkeyNames(base_);
  EXPECT_EQ(created, std::set<std::string>(first.begin(), first.end()));
  EXPECT_EQ(first, SubkeyNames(base_));

  const std::string longName(300, 'n');
  const RegValue small = Text("small");
  const RegValue big = Bytes(REG_BINARY, std::vector<uint8_t>(70000, 3));
  ASSERT_EQ(ERROR_SUCCESS, registry_.SetValue(RegRoot::CurrentUser, base_, "small", small));
  ASSERT_EQ(ERROR_SUCCESS, registry_.SetValue(RegRoot::CurrentUser, base_, longName, big));
  std::string name;
  RegValue value;
  std::set<std::string> seen;
  uint32_t index = 0;
  while (registry_.EnumValue(RegRoot::CurrentUser, base_, index++, name, value) == ERROR_SUCCESS) {
    const RegValue& expected = name == "small" ? small : big;
    EXPECT_EQ(expected.dwType, value.dwType) << name;
    EXPECT_EQ(expected.data, value.data) << name;
    seen.insert(name);
  }
  EXPECT_EQ((std::set<std::string>{"small", longName}), seen);
  EXPECT_EQ(ERROR_NO_MORE_ITEMS,
            registry_.EnumValue(RegRoot::CurrentUser, base_, index, name, value));
}

TEST_F(RegistryTest, InfoCountsAndMeasuresTheKey) {
  ASSERT_EQ(ERROR_SUCCESS, registry_.CreateKey(RegRoot::CurrentUser, Path("sub")));
  ASSERT_EQ(ERROR_SUCCESS, registry_.CreateKey(RegRoot::CurrentUser, Path("longer subkey")));
  ASSERT_EQ(ERROR_SUCCESS,
            registry_.SetValue(RegRoot::CurrentUser, base_, "v", Bytes(REG_BINARY, {1, 2, 3})));
  RegKeyInfo info;
  ASSERT_EQ(ERROR_SUCCESS, registry_.QueryInfoKey(RegRoot::CurrentUser, base_, info));
  EXPECT_EQ(2u, info.nSubKeys);
  EXPECT_EQ(1u, info.nValues);
  EXPECT_EQ(std::string("longer subkey").size(), info.nMaxSubKeyLen);
  EXPECT_EQ(1u, info.nMaxValueNameLen);
  EXPECT_EQ(3u, info.nMaxValueLen);
  EXPECT_NE(0u, info.ftLastWriteTime);
}

TEST_F(RegistryTest, DeleteKeyRefusesKeysWithSubkeysAndBothRefuseRootsWhileDeleteTreeTakesAll) {
  ASSERT_EQ(ERROR_SUCCESS, registry_.CreateKey(RegRoot::CurrentUser, Path("tree\\leaf\\deeper")));
  EXPECT_EQ(ERROR_ACCESS_DENIED, registry_.DeleteKey(RegRoot::CurrentUser, Path("tree")));
  EXPECT_EQ(ERROR_ACCESS_DENIED, registry_.DeleteKey(RegRoot::CurrentUser, ""));
  for (const char* root : {"", "\\"})  // would empty the whole hive
    EXPECT_EQ(ERROR_ACCESS_DENIED, registry_.DeleteTree(RegRoot::CurrentUser, root));
  EXPECT_EQ(SubkeyNames(Path("tree")), std::vector<std::string>{"leaf"});
  EXPECT_EQ(ERROR_SUCCESS, registry_.DeleteTree(RegRoot::CurrentUser, Path("tree")));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry_.OpenKey(RegRoot::CurrentUser, Path("tree")));
  std::string name;  // the key enumerated before is gone, not a stale handle's deleted key
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry_.EnumKey(RegRoot::CurrentUser, Path("tree"), 0, name));
  ASSERT_EQ(ERROR_SUCCESS, registry_.CreateKey(RegRoot::CurrentUser, Path("tree\\other")));
  EXPECT_EQ(SubkeyNames(Path("tree")), std::vector<std::string>{"other"});
  // Deleted behind the handle the enumeration keeps (as another program would): found missing.
  tarvium::test::RemoveRegistryKey(RegRoot::CurrentUser, Path("tree"), RegView::Default);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry_.EnumKey(RegRoot::CurrentUser, Path("tree"), 0, name));
  EXPECT_EQ(ERROR_SUCCESS, registry_.OpenKey(RegRoot::CurrentUser, base_));
}

// A key at the top of only one root (Software: of two) tells whether each root opens its hive.
TEST_F(RegistryTest, EachRootOpensTheHiveItNames) {
  const std::pair<RegRoot, std::string> roots[] = {{RegRoot::ClassesRoot, "CLSID"},
                                                   {RegRoot::CurrentUser, "Environment"},
                                                   {RegRoot::LocalMachine, "HARDWARE"},
                                                   {RegRoot::Users, ".DEFAULT"},
                                                   {RegRoot::CurrentConfig, "Software"}};
  for (const auto& [root, existing] : roots) {
    for (const auto& [other, otherKey] : roots) {
      const bool bHere =
          other == root || (otherKey == "Software" &&
                            (root == RegRoot::CurrentUser || root == RegRoot::LocalMachine));
      EXPECT_EQ(bHere ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND, registry_.OpenKey(root, otherKey))
          << existing << " " << otherKey;
    }
  }
}

class MachineViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = "Software\\TarviumTests\\" + tarvium::test::UniqueTestName("registry");
    const uint32_t dwError =
        registry_.CreateKey(RegRoot::LocalMachine, path_ + "\\sub", false, RegView::View32);
    if (dwError == ERROR_ACCESS_DENIED) GTEST_SKIP() << "HKEY_LOCAL_MACHINE is not writable";
    ASSERT_EQ(ERROR_SUCCESS, dwError);
  }
  void TearDown() override {
    for (RegView view : {RegView::View32, RegView::View64})
      tarvium::test::RemoveRegistryKey(RegRoot::LocalMachine, path_, view);
  }

  Win32Registry registry_;
  std::string path_;
};

TEST_F(MachineViewTest, EveryCallStaysInItsViewAndDefaultIsNative) {
  const RegRoot machine = RegRoot::LocalMachine;
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry_.OpenKey(machine, path_, RegView::View64));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry_.OpenKey(machine, path_, RegView::Default));
  const std::string redirected =
      "Software\\WOW6432Node" + path_.substr(std::string("Software").size());
  EXPECT_EQ(ERROR_SUCCESS, registry_.OpenKey(machine, redirected, RegView::Default));

  ASSERT_EQ(ERROR_SUCCESS, registry_.CreateKey(machine, path_, false, RegView::View64));
  const RegValue value = Text("32");
  ASSERT_EQ(ERROR_SUCCESS, registry_.SetValue(machine, path_, "v", value, RegView::View32));
  RegValue read;
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry_.QueryValue(machine, path_, "v", read, RegView::View64));
  ASSERT_EQ(ERROR_SUCCESS, registry_.QueryValue(machine, path_, "v", read, RegView::View32));
  EXPECT_EQ(value.data, read.data);
  std::string name;
  EXPECT_EQ(ERROR_SUCCESS, registry_.EnumKey(machine, path_, 0, name, RegView::View32));
  EXPECT_EQ("sub", name);
  EXPECT_EQ(ERROR_NO_MORE_ITEMS, registry_.EnumKey(machine, path_, 0, name, RegView::View64));
  EXPECT_EQ(ERROR_SUCCESS, registry_.EnumValue(machine, path_, 0, name, read, RegView::View32));
  RegKeyInfo info;
  ASSERT_EQ(ERROR_SUCCESS, registry_.QueryInfoKey(machine, path_, info, RegView::View64));
  EXPECT_EQ(0u, info.nSubKeys + info.nValues);
  EXPECT_EQ(ERROR_SUCCESS, registry_.DeleteValue(machine, path_, "v", RegView::View32));
  EXPECT_EQ(ERROR_SUCCESS, registry_.DeleteTree(machine, path_, RegView::View32));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry_.OpenKey(machine, path_, RegView::View32));
  EXPECT_EQ(ERROR_SUCCESS, registry_.DeleteKey(machine, path_, RegView::View64));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry_.OpenKey(machine, path_, RegView::View64));
}

}  // namespace
}  // namespace platform::win32
