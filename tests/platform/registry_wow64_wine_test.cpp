// The layout of a fresh machine's registry and the 32-bit view of HKEY_CLASSES_ROOT, case by case
// as Wine's advapi32 conformance tests check them against Windows 7 and later: the keys every
// Windows has, Classes shared between the views but for its COM and media keys, and
// Classes\Wow6432Node as the 32-bit half of those keys.
#include <gtest/gtest.h>

#include "platform/win_error.h"
#include "support/test_machine.h"

namespace platform::emulated {
namespace {

using enum RegRoot;
using tarvium::test::TestMachine;

TEST(RegistryWineTest, AFreshMachineHasTheKeysEveryWindowsHas) {
  TestMachine test;
  Registry& reg = test.Machine().Reg();
  const std::pair<RegRoot, const char*> keys[] = {
      {ClassesRoot, "CLSID"},
      {ClassesRoot, "Interface"},
      {ClassesRoot, "TypeLib"},
      {ClassesRoot, "AppID"},
      {ClassesRoot, "*"},
      {CurrentConfig, "Software"},
      {CurrentConfig, "System"},
      {LocalMachine, "HARDWARE"},
      {LocalMachine, "SAM"},
      {LocalMachine, "SECURITY"},
      {LocalMachine, "SOFTWARE\\Classes\\CLSID"},
      {LocalMachine, "SOFTWARE\\Policies"},
      {LocalMachine, "SYSTEM\\CurrentControlSet\\Control"},
      {LocalMachine, "SYSTEM\\CurrentControlSet\\Services"},
      {LocalMachine, "SYSTEM\\CurrentControlSet\\Enum"},
      {CurrentUser, "Software\\Classes"},
      {CurrentUser, "Control Panel"},
      {CurrentUser, "Environment"},
      {Users, ".DEFAULT"},
  };
  for (const auto& [root, key] : keys)
    EXPECT_EQ(reg.OpenKey(root, key), ERROR_SUCCESS) << static_cast<int>(root) << " " << key;
  EXPECT_EQ(reg.OpenKey(ClassesRoot, "CLSID", RegView::View32), ERROR_SUCCESS);
  EXPECT_EQ(reg.OpenKey(ClassesRoot, "Interface", RegView::View32), ERROR_SUCCESS);
}

TEST(RegistryWineTest, ClassesAreSharedButTheirComKeysAreRedirected) {
  TestMachine test;
  Registry& reg = test.Machine().Reg();
  const RegValue text{REG_SZ, {'t', 'v', 'x', 0}};
  // A file association written by a 32-bit program, through either name of Classes.
  ASSERT_EQ(reg.CreateKey(ClassesRoot, ".tvx", false, RegView::View32), ERROR_SUCCESS);
  ASSERT_EQ(reg.SetValue(ClassesRoot, ".tvx", "", text, RegView::View32), ERROR_SUCCESS);
  ASSERT_EQ(
      reg.CreateKey(LocalMachine, "Software\\Classes\\tvxfile\\shell", false, RegView::View32),
      ERROR_SUCCESS);
  for (RegView view : {RegView::Default, RegView::View32, RegView::View64}) {
    RegValue read;
    EXPECT_EQ(reg.QueryValue(LocalMachine, "Software\\Classes\\.tvx", "", read, view),
              ERROR_SUCCESS);
    EXPECT_EQ(read.data, text.data);
    EXPECT_EQ(reg.OpenKey(ClassesRoot, "tvxfile\\shell", view), ERROR_SUCCESS);
  }
  EXPECT_EQ(reg.OpenKey(LocalMachine, "Software\\WOW6432Node\\Classes\\.tvx"),
            ERROR_FILE_NOT_FOUND);

  struct Case {
    const char* key;
    bool bRedirected;
  };
  const Case cases[] = {
      {"CLSID\\{11111111-2222-3333-4444-555555555555}", true},
      {"Interface\\{11111111-2222-3333-4444-555555555555}", true},
      {"DirectShow\\Filters", true},
      {"Media Type\\Extensions", true},
      {"MediaFoundation\\Transforms", true},
      {"TypeLib\\{11111111-2222-3333-4444-555555555555}", false},
      {"AppID\\{11111111-2222-3333-4444-555555555555}", false},
      {"CLSIDX\\Shared", false},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(reg.CreateKey(ClassesRoot, c.key, false, RegView::View32), ERROR_SUCCESS) << c.key;
    const std::string key64 = std::string("Software\\Classes\\") + c.key;
    const std::string key32 = std::string("Software\\Classes\\Wow6432Node\\") + c.key;
    EXPECT_EQ(reg.OpenKey(LocalMachine, key64) == ERROR_SUCCESS, !c.bRedirected) << c.key;
    EXPECT_EQ(reg.OpenKey(LocalMachine, key32) == ERROR_SUCCESS, c.bRedirected) << c.key;
    EXPECT_EQ(reg.OpenKey(ClassesRoot, c.key) == ERROR_SUCCESS, !c.bRedirected) << c.key;
    EXPECT_EQ(reg.OpenKey(ClassesRoot, std::string("Wow6432Node\\") + c.key) == ERROR_SUCCESS,
              c.bRedirected)
        << c.key;
    EXPECT_EQ(reg.OpenKey(ClassesRoot, c.key, RegView::View32), ERROR_SUCCESS) << c.key;
  }
  // Classes\Wow6432Node and WOW6432Node\Classes are one key.
  ASSERT_EQ(reg.CreateKey(LocalMachine, "Software\\Classes\\Wow6432Node\\CLSID\\{B}"),
            ERROR_SUCCESS);
  EXPECT_EQ(reg.OpenKey(LocalMachine, "Software\\WOW6432Node\\Classes\\CLSID\\{B}"), ERROR_SUCCESS);
  EXPECT_EQ(reg.OpenKey(ClassesRoot, "CLSID\\{B}", RegView::View32), ERROR_SUCCESS);
}

}  // namespace
}  // namespace platform::emulated
