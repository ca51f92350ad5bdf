// The shared registry operations on a real machine: the types the writes choose, raw reads, the
// view read and its diagnostic, the tree delete that keeps or takes its key, the two prune walks
// and the current user's hive of a run on behalf of a user.
#include <gtest/gtest.h>

#include "engine/registry_operations.h"
#include "engine/setup_run.h"
#include "support/test_machine.h"

namespace tarvium::test {
namespace {

using platform::RegRoot;

struct OperationsRun {
  TestMachine machine;
  SetupRun run{machine.Machine()};
  platform::Registry& Reg() { return machine.Machine().Reg(); }
  uint32_t Type(const std::string& key, const std::string& name) {
    platform::RegValue value;
    return Reg().QueryValue(RegRoot::LocalMachine, key, name, value) == 0 ? value.dwType : 99;
  }
  bool HasKey(const std::string& key) { return machine.HasRegKey(RegRoot::LocalMachine, key); }
};

TEST(RegistryOperations, WritesReadsTheViewReadTreesAndPruning) {
  OperationsRun t;
  const RegRoot hklm = RegRoot::LocalMachine;
  ASSERT_EQ(RegWriteText(t.run, hklm, "Software\\Ops\\New", "T", "a%b"), 0u);
  ASSERT_EQ(RegWriteEnvText(t.run, hklm, "Software\\Ops", "E", "%Path%"), 0u);
  ASSERT_EQ(RegWriteEnvText(t.run, hklm, "Software\\Ops", "P", "plain"), 0u);
  ASSERT_EQ(RegWriteDword(t.run, hklm, "Software\\Ops", "D", 7), 0u);
  EXPECT_EQ(t.Type("Software\\Ops\\New", "T"), platform::REG_SZ);
  EXPECT_EQ(t.Type("Software\\Ops", "E"), platform::REG_EXPAND_SZ);
  EXPECT_EQ(t.Type("Software\\Ops", "P"), platform::REG_SZ);
  std::string text;
  EXPECT_EQ(RegReadTextRaw(t.run, hklm, "Software\\Ops", "E", text), 0u);
  EXPECT_EQ(text, "%Path%");  // not expanded
  EXPECT_EQ(RegReadTextRaw(t.run, hklm, "Software\\Ops", "Missing", text), 2u);
  EXPECT_EQ(text, "");
  EXPECT_EQ(
      RegViewReadStringValue(t.run, hklm, "Software\\Ops", platform::RegView::View64, "D", text),
      0u);
  EXPECT_EQ(text, "7");
  EXPECT_EQ(
      RegViewReadStringValue(t.run, hklm, "Software\\Ops", platform::RegView::View32, "D", text),
      2u);  // the 32-bit view has no such key
  ASSERT_FALSE(t.run.debugLines.empty());
  EXPECT_EQ(t.run.debugLines.back(),
            "RegViewReadStringValue: Can not open key 'Software\\Ops': error number 2\n");

  // Trees and pruning, in a tree of their own.
  for (const char* key :
       {"Software\\Tree\\A\\B\\C", "Software\\Tree\\A\\D", "Software\\Tree\\E\\F"})
    ASSERT_EQ(t.Reg().CreateKey(hklm, key), 0u);
  ASSERT_EQ(RegWriteText(t.run, hklm, "Software\\Tree\\E", "V", "x"), 0u);
  EXPECT_EQ(RegCountSubkeys(t.run, hklm, "Software\\Tree\\A"), 2u);
  EXPECT_EQ(RegCountSubkeys(t.run, hklm, "Software\\Tree\\Missing"), 0u);
  EXPECT_TRUE(RegIsKeyEmpty(t.run, hklm, "Software\\Tree\\Missing"));
  EXPECT_FALSE(RegIsKeyEmpty(t.run, hklm, "Software\\Tree\\E"));

  EXPECT_EQ(RegDeleteTree(t.run, hklm, "Software\\Tree\\A", false), 0u);
  EXPECT_TRUE(t.HasKey("Software\\Tree\\A"));
  EXPECT_EQ(RegCountSubkeys(t.run, hklm, "Software\\Tree\\A"), 0u);
  EXPECT_NE(RegDeleteKeyAt(t.run, hklm, "Software\\Tree\\E"), 0u);  // it has a subkey

  // F goes; E holds a value and stays, and so does everything above it.
  RegPruneEmptyKeys(t.run, hklm, "Software\\Tree\\E\\F", true);
  EXPECT_FALSE(t.HasKey("Software\\Tree\\E\\F"));
  EXPECT_TRUE(t.HasKey("Software\\Tree\\E"));
  // Without subkeys E goes despite its value; Tree still has A.
  RegPruneKeysWithoutSubkeys(t.run, hklm, "Software\\Tree\\E", true);
  EXPECT_FALSE(t.HasKey("Software\\Tree\\E"));
  EXPECT_TRUE(t.HasKey("Software\\Tree"));
  // A key that is already gone: its empty parents go up to the first that is not empty.
  ASSERT_EQ(RegDeleteKeyAt(t.run, hklm, "Software\\Tree\\A"), 0u);
  RegPruneEmptyKeys(t.run, hklm, "Software\\Tree\\A", true);
  EXPECT_FALSE(t.HasKey("Software\\Tree"));
  EXPECT_TRUE(t.HasKey("Software"));

  RegRoot root = RegRoot::CurrentUser;
  std::string key = "Software\\X";
  MapCurrentUserRoot(t.run, root, key);
  EXPECT_EQ(root, RegRoot::CurrentUser);
  t.run.variables.userHiveSid = "S-1-5-21-1-2-3-1002";
  MapCurrentUserRoot(t.run, root, key);
  EXPECT_EQ(root, RegRoot::Users);
  EXPECT_EQ(key, "S-1-5-21-1-2-3-1002\\Software\\X");
}

}  // namespace
}  // namespace tarvium::test
