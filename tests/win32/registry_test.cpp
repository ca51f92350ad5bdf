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

namespace {

using platform::ERROR_ACCESS_DENIED;
using platform::ERROR_BUSY;
using platform::ERROR_FILE_NOT_FOUND;
using platform::ERROR_NO_MORE_ITEMS;
using platform::ERROR_SUCCESS;
using platform::RegKeyInfo;
using platform::RegRoot;
using platform::RegValue;
using platform::RegView;
using platform::win32::Win32Registry;

RegValue Bytes(uint32_t dwType, std::vector<uint8_t> data) {
  return RegValue{dwType, data};
}

RegValue Text(uint32_t dwType, const std::string& text) {
  std::vector<uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  return RegValue{dwType, data};
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

TEST_F(RegistryTest, CreateTellsWhetherTheKeyIsNewAndMakesEveryMissingParent) {
  bool bCreated = false;
  ASSERT_EQ(ERROR_SUCCESS, registry_.CreateKey(RegRoot::CurrentUser, Path("a\\b\\c"), false,
                                               RegView::Default, &bCreated));
  EXPECT_TRUE(bCreated);
  EXPECT_EQ(ERROR_SUCCESS, registry_.OpenKey(RegRoot::CurrentUser, Path("a\\b")));
  ASSERT_EQ(ERROR_SUCCESS, registry_.CreateKey(RegRoot::CurrentUser, Path("A\\B\\C"), false,
                                               RegView::Default, &bCreated));
  EXPECT_FALSE(bCreated);
  EXPECT_EQ(std::vector<std::string>{"c"}, SubkeyNames(Path("a\\b")));  // keeps its first case
}

TEST_F(RegistryTest, MissingKeysAndValuesAreNotFound) {
  RegValue value;
  std::string name;
  RegKeyInfo info;
  const std::string missing = Path("missing");
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry_.OpenKey(RegRoot::CurrentUser, missing));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry_.QueryValue(RegRoot::CurrentUser, missing, "", value));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry_.QueryValue(RegRoot::CurrentUser, base_, "v", value));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry_.DeleteValue(RegRoot::CurrentUser, base_, "v"));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry_.DeleteKey(RegRoot::CurrentUser, missing));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry_.DeleteTree(RegRoot::CurrentUser, missing));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry_.EnumKey(RegRoot::CurrentUser, missing, 0, name));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND,
            registry_.EnumValue(RegRoot::CurrentUser, missing, 0, name, value));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry_.QueryInfoKey(RegRoot::CurrentUser, missing, info));
}

TEST_F(RegistryTest, SetValueNeedsAnExistingKeyAndDoesNotCreateIt) {
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry_.SetValue(RegRoot::CurrentUser, Path("missing"), "v",
                                                     Text(platform::REG_SZ, "x")));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry_.OpenKey(RegRoot::CurrentUser, Path("missing")));
}

TEST_F(RegistryTest, ValuesComeBackWithTheirTypeAndExactBytes) {
  struct Case {
    const char* name;
    RegValue value;
  };
  const std::vector<uint8_t> large(100000, 0xA5);  // beyond the first buffer: read again
  const Case cases[] = {
      {"", Text(platform::REG_SZ, "default value")},
      {"sz", Text(platform::REG_SZ, "C:\\Program Files\\Product")},
      {"empty sz", Text(platform::REG_SZ, "")},
      {"sz without zero", Bytes(platform::REG_SZ, {'a', 'b'})},
      {"expand", Text(platform::REG_EXPAND_SZ, "%SystemRoot%\\x")},
      {"multi", Bytes(platform::REG_MULTI_SZ, {'a', 0, 'b', 'c', 0, 0})},
      {"binary", Bytes(platform::REG_BINARY, {0, 1, 2, 0xFF})},
      {"empty binary", Bytes(platform::REG_BINARY, {})},
      {"none", Bytes(platform::REG_NONE, {7})},
      {"dword", Bytes(platform::REG_DWORD, {0x78, 0x56, 0x34, 0x12})},
      {"big endian", Bytes(platform::REG_DWORD_BIG_ENDIAN, {0x12, 0x34, 0x56, 0x78})},
      {"qword", Bytes(platform::REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8})},
      {"large", Bytes(platform::REG_BINARY, large)},
  };
  for (const Case& c : cases)
    ASSERT_EQ(ERROR_SUCCESS, registry_.SetValue(RegRoot::CurrentUser, base_, c.name, c.value))
        << c.name;
  for (const Case& c : cases) {
    RegValue read;
    ASSERT_EQ(ERROR_SUCCESS, registry_.QueryValue(RegRoot::CurrentUser, base_, c.name, read))
        << c.name;
    EXPECT_EQ(c.value.dwType, read.dwType) << c.name;
    EXPECT_EQ(c.value.data, read.data) << c.name;
  }
}

TEST_F(RegistryTest, NamesAreFoundWithoutRegardToCase) {
  ASSERT_EQ(ERROR_SUCCESS, registry_.CreateKey(RegRoot::CurrentUser, Path("MixedCase")));
  ASSERT_EQ(ERROR_SUCCESS, registry_.SetValue(RegRoot::CurrentUser, Path("MixedCase"), "Value",
                                              Text(platform::REG_SZ, "x")));
  RegValue read;
  EXPECT_EQ(ERROR_SUCCESS,
            registry_.QueryValue(RegRoot::CurrentUser, Path("MIXEDCASE"), "vALUE", read));
  EXPECT_EQ(ERROR_SUCCESS, registry_.DeleteValue(RegRoot::CurrentUser, Path("mixedcase"), "VALUE"));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND,
            registry_.QueryValue(RegRoot::CurrentUser, Path("MixedCase"), "Value", read));
}

TEST_F(RegistryTest, EnumerationListsEveryNameOnceInAStableOrder) {
  const std::set<std::string> created = {"beta", "Alpha", "gamma", std::string(200, 'k')};
  for (const std::string& name : created)
    ASSERT_EQ(ERROR_SUCCESS, registry_.CreateKey(RegRoot::CurrentUser, Path(name)));
  const std::vector<std::string> first = SubkeyNames(base_);
  EXPECT_EQ(created, std::set<std::string>(first.begin(), first.end()));
  EXPECT_EQ(first, SubkeyNames(base_));
}

TEST_F(RegistryTest, ValueEnumerationGivesNamesTypesAndDataBeyondTheFirstSizes) {
  const std::string longName(300, 'n');
  const RegValue small = Text(platform::REG_SZ, "small");
  const RegValue big = Bytes(platform::REG_BINARY, std::vector<uint8_t>(70000, 3));
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
  ASSERT_EQ(ERROR_SUCCESS, registry_.SetValue(RegRoot::CurrentUser, base_, "v",
                                              Bytes(platform::REG_BINARY, {1, 2, 3})));
  ASSERT_EQ(ERROR_SUCCESS, registry_.SetValue(RegRoot::CurrentUser, base_, "value name",
                                              Bytes(platform::REG_BINARY, {1})));
  const uint64_t ftNow = tarvium::test::FileTimeNow();
  RegKeyInfo info;
  ASSERT_EQ(ERROR_SUCCESS, registry_.QueryInfoKey(RegRoot::CurrentUser, base_, info));
  EXPECT_EQ(2u, info.nSubKeys);
  EXPECT_EQ(2u, info.nValues);
  EXPECT_EQ(std::string("longer subkey").size(), info.nMaxSubKeyLen);
  EXPECT_EQ(std::string("value name").size(), info.nMaxValueNameLen);
  EXPECT_EQ(3u, info.nMaxValueLen);
  EXPECT_NE(0u, info.ftLastWriteTime);
  EXPECT_LE(info.ftLastWriteTime, ftNow);
  uint32_t nSubKeys = 0, nValues = 0;
  EXPECT_EQ(ERROR_SUCCESS,
            registry_.CountKeyContents(RegRoot::CurrentUser, base_, nSubKeys, nValues));
  EXPECT_EQ(2u, nSubKeys);
  EXPECT_EQ(2u, nValues);
}

TEST_F(RegistryTest, VolatileKeysOnlyHoldVolatileChildren) {
  bool bCreated = false;
  ASSERT_EQ(ERROR_SUCCESS, registry_.CreateKey(RegRoot::CurrentUser, Path("volatile"), true,
                                               RegView::Default, &bCreated));
  EXPECT_TRUE(bCreated);
  EXPECT_EQ(platform::ERROR_CHILD_MUST_BE_VOLATILE,
            registry_.CreateKey(RegRoot::CurrentUser, Path("volatile\\lasting")));
  EXPECT_EQ(ERROR_SUCCESS, registry_.CreateKey(RegRoot::CurrentUser, Path("volatile\\too"), true));
  // Asking for a volatile key that exists opens the lasting one as it is.
  ASSERT_EQ(ERROR_SUCCESS, registry_.CreateKey(RegRoot::CurrentUser, Path("lasting")));
  ASSERT_EQ(ERROR_SUCCESS, registry_.CreateKey(RegRoot::CurrentUser, Path("lasting"), true,
                                               RegView::Default, &bCreated));
  EXPECT_FALSE(bCreated);
  EXPECT_EQ(ERROR_SUCCESS, registry_.CreateKey(RegRoot::CurrentUser, Path("lasting\\child")));
}

TEST_F(RegistryTest, DeleteKeyRefusesKeysWithSubkeysAndRootsWhileDeleteTreeTakesAll) {
  ASSERT_EQ(ERROR_SUCCESS, registry_.CreateKey(RegRoot::CurrentUser, Path("tree\\leaf\\deeper")));
  ASSERT_EQ(ERROR_SUCCESS, registry_.SetValue(RegRoot::CurrentUser, Path("tree\\leaf"), "v",
                                              Text(platform::REG_SZ, "x")));
  EXPECT_EQ(ERROR_ACCESS_DENIED, registry_.DeleteKey(RegRoot::CurrentUser, Path("tree")));
  EXPECT_EQ(ERROR_ACCESS_DENIED, registry_.DeleteKey(RegRoot::CurrentUser, ""));
  EXPECT_EQ(ERROR_SUCCESS, registry_.DeleteKey(RegRoot::CurrentUser, Path("tree\\leaf\\deeper")));
  EXPECT_EQ(ERROR_SUCCESS, registry_.DeleteTree(RegRoot::CurrentUser, Path("tree")));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry_.OpenKey(RegRoot::CurrentUser, Path("tree")));
  EXPECT_EQ(ERROR_SUCCESS, registry_.OpenKey(RegRoot::CurrentUser, base_));
}

TEST_F(RegistryTest, WriteAsOneRunsTheBodyAndReturnsItsResult) {
  EXPECT_EQ(ERROR_SUCCESS, registry_.WriteAsOne([&] {
    return registry_.SetValue(RegRoot::CurrentUser, base_, "v", Text(platform::REG_SZ, "x"));
  }));
  RegValue read;
  EXPECT_EQ(ERROR_SUCCESS, registry_.QueryValue(RegRoot::CurrentUser, base_, "v", read));
  EXPECT_EQ(ERROR_BUSY, registry_.WriteAsOne([] { return uint32_t{ERROR_BUSY}; }));
}

TEST_F(RegistryTest, EachRootOpensTheHiveItNames) {
  struct Case {
    RegRoot root;
    const char* existing;  // a key only that root holds at its top
  };
  const Case cases[] = {{RegRoot::ClassesRoot, "CLSID"},
                        {RegRoot::CurrentUser, "Environment"},
                        {RegRoot::LocalMachine, "HARDWARE"},
                        {RegRoot::Users, ".DEFAULT"},
                        {RegRoot::CurrentConfig, "Software"}};
  for (const Case& c : cases) {
    EXPECT_EQ(ERROR_SUCCESS, registry_.OpenKey(c.root, c.existing)) << c.existing;
    for (const Case& other : cases) {
      const bool bAlsoHere = std::string(other.existing) == "Software" &&
                             (c.root == RegRoot::CurrentUser || c.root == RegRoot::LocalMachine);
      if (other.root == c.root || bAlsoHere) continue;
      EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry_.OpenKey(c.root, other.existing)) << other.existing;
    }
  }
}

// Since Windows 7, HKEY_CURRENT_USER\Software is one key for both views.
TEST_F(RegistryTest, UserSoftwareIsSharedByBothViews) {
  ASSERT_EQ(ERROR_SUCCESS,
            registry_.CreateKey(RegRoot::CurrentUser, Path("shared"), false, RegView::View32));
  EXPECT_EQ(ERROR_SUCCESS,
            registry_.OpenKey(RegRoot::CurrentUser, Path("shared"), RegView::View64));
  EXPECT_EQ(ERROR_SUCCESS,
            registry_.OpenKey(RegRoot::CurrentUser, Path("shared"), RegView::Default));
}

class MachineViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = "Software\\TarviumTests\\" + tarvium::test::UniqueTestName("registry");
    const uint32_t dwError =
        registry_.CreateKey(RegRoot::LocalMachine, path_, false, RegView::View32);
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

TEST_F(MachineViewTest, The32BitViewIsRedirectedAndDefaultIsNative) {
  EXPECT_EQ(ERROR_SUCCESS, registry_.OpenKey(RegRoot::LocalMachine, path_, RegView::View32));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry_.OpenKey(RegRoot::LocalMachine, path_, RegView::View64));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND,
            registry_.OpenKey(RegRoot::LocalMachine, path_, RegView::Default));
  const std::string redirected =
      "Software\\WOW6432Node" + path_.substr(std::string("Software").size());
  EXPECT_EQ(ERROR_SUCCESS, registry_.OpenKey(RegRoot::LocalMachine, redirected, RegView::Default));
}

TEST_F(MachineViewTest, EveryCallStaysInItsView) {
  ASSERT_EQ(ERROR_SUCCESS,
            registry_.CreateKey(RegRoot::LocalMachine, path_ + "\\sub", false, RegView::View32));
  ASSERT_EQ(ERROR_SUCCESS,
            registry_.CreateKey(RegRoot::LocalMachine, path_, false, RegView::View64));
  const RegValue value = Text(platform::REG_SZ, "32");
  ASSERT_EQ(ERROR_SUCCESS,
            registry_.SetValue(RegRoot::LocalMachine, path_, "v", value, RegView::View32));
  RegValue read;
  EXPECT_EQ(ERROR_FILE_NOT_FOUND,
            registry_.QueryValue(RegRoot::LocalMachine, path_, "v", read, RegView::View64));
  ASSERT_EQ(ERROR_SUCCESS,
            registry_.QueryValue(RegRoot::LocalMachine, path_, "v", read, RegView::View32));
  EXPECT_EQ(value.data, read.data);
  std::string name;
  EXPECT_EQ(ERROR_SUCCESS,
            registry_.EnumKey(RegRoot::LocalMachine, path_, 0, name, RegView::View32));
  EXPECT_EQ("sub", name);
  EXPECT_EQ(ERROR_NO_MORE_ITEMS,
            registry_.EnumKey(RegRoot::LocalMachine, path_, 0, name, RegView::View64));
  EXPECT_EQ(ERROR_SUCCESS,
            registry_.EnumValue(RegRoot::LocalMachine, path_, 0, name, read, RegView::View32));
  RegKeyInfo info;
  ASSERT_EQ(ERROR_SUCCESS,
            registry_.QueryInfoKey(RegRoot::LocalMachine, path_, info, RegView::View64));
  EXPECT_EQ(0u, info.nSubKeys + info.nValues);
  EXPECT_EQ(ERROR_SUCCESS,
            registry_.DeleteValue(RegRoot::LocalMachine, path_, "v", RegView::View32));
  EXPECT_EQ(ERROR_SUCCESS, registry_.DeleteTree(RegRoot::LocalMachine, path_, RegView::View32));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry_.OpenKey(RegRoot::LocalMachine, path_, RegView::View32));
  EXPECT_EQ(ERROR_SUCCESS, registry_.OpenKey(RegRoot::LocalMachine, path_, RegView::View64));
  EXPECT_EQ(ERROR_SUCCESS, registry_.DeleteKey(RegRoot::LocalMachine, path_, RegView::View64));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry_.OpenKey(RegRoot::LocalMachine, path_, RegView::View64));
}

}  // namespace
