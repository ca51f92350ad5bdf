// Win32ComLibrary against the system's own ole32 and oleaut32 (Wine's here): the widl-made test
// library registered and unregistered for real, read back through the registry service in both
// views with the same expectations as the emulated machine's registration, and the test server DLL
// registering itself when loaded through Win32Modules.
#include "platform/win32/win32_com_library.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_modules.h"
#include "platform/win32/win32_registry.h"
#include "platform/win_error.h"
#include "support/com_test_library.h"
#include "win32/scratch_places.h"

namespace platform::win32 {
namespace {

using tarvium::test::ScratchFolder;

constexpr const char* kLibid = tarvium::test::kComTestLibid;

std::string ComTestFile(const std::string& name) {
  return std::string(TARVIUM_COM_TEST_DIR) + "/" + name;
}

// A registered path as Windows writes it. Wine (8.0) writes the same path behind the long-path
// prefix "\\\\?\\", which the system's own readers of the key accept.
std::string WithoutLongPathPrefix(const std::string& path) {
  return path.rfind("\\\\?\\", 0) == 0 ? path.substr(4) : path;
}

class Win32ComTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.Path().empty());
    for (const char* name :
         {"com_test.tlb", "ComTestTypes.dll", "ComTestServer.dll", "ComTestPlain.dll"})
      ASSERT_TRUE(tarvium::test::WriteFileBytes(folder_ / name,
                                                tarvium::test::ReadFileBytes(ComTestFile(name))))
          << name;
  }

  std::string Text(const std::string& key, const std::string& name = "",
                   RegView view = RegView::Default) {
    RegValue value;
    if (registry_.QueryValue(RegRoot::ClassesRoot, key, name, value, view) != ERROR_SUCCESS)
      return "<none>";
    std::string text(value.data.begin(), value.data.end());
    return text.substr(0, text.find('\0'));
  }
  bool HasKey(const std::string& key, RegView view = RegView::Default) {
    return registry_.OpenKey(RegRoot::ClassesRoot, key, view) == ERROR_SUCCESS;
  }

  ScratchFolder folder_;
  Win32Registry registry_;
  Win32ComLibrary com_;
};

TEST_F(Win32ComTest, RegistersAndUnregistersTheTestLibrary) {
  ASSERT_EQ(com_.Load(), ERROR_SUCCESS);
  uint64_t qwVersion = 0;
  ASSERT_EQ(com_.GetVersion(qwVersion), ERROR_SUCCESS);
  EXPECT_GE(qwVersion, 0x0002000300000000u);
  EXPECT_GE(com_.Initialize(), 0);

  ASSERT_EQ(com_.RegisterTypeLib(folder_ / "com_test.tlb"), 0);
  const std::string version = std::string("TypeLib\\") + kLibid + "\\2.a";
  EXPECT_EQ(Text(version), "Tarvium COM Test Library");
  EXPECT_EQ(WithoutLongPathPrefix(Text(version + "\\0\\win32")), folder_ / "com_test.tlb");
  EXPECT_EQ(WithoutLongPathPrefix(Text(version + "\\HELPDIR")), folder_.Path());
  // Windows registers the library's own flags (0 here); Wine adds LIBFLAG_FHASDISKIMAGE (8).
  const std::string flags = Text(version + "\\FLAGS");
  EXPECT_TRUE(flags == "0" || flags == "8") << flags;
  for (const RegView view : {RegView::View64, RegView::View32}) {
    for (const tarvium::test::ExpectedInterfaceKey& e : tarvium::test::kComTestInterfaceKeys) {
      const std::string key = std::string("Interface\\") + e.iid;
      const std::string where = std::string(e.name) + (view == RegView::View32 ? " (32)" : "");
      if (!e.proxy) {
        EXPECT_FALSE(HasKey(key, view)) << where;
        continue;
      }
      EXPECT_EQ(Text(key, "", view), e.name) << where;
      EXPECT_EQ(Text(key + "\\ProxyStubClsid32", "", view), e.proxy) << where;
      EXPECT_EQ(Text(key + "\\TypeLib", "", view), kLibid) << where;
      EXPECT_EQ(Text(key + "\\TypeLib", "Version", view), "2.a") << where;
    }
  }

  ASSERT_EQ(com_.UnregisterTypeLib(folder_ / "com_test.tlb"), 0);
  EXPECT_FALSE(HasKey(std::string("TypeLib\\") + kLibid));
  for (const RegView view : {RegView::View64, RegView::View32})
    for (const tarvium::test::ExpectedInterfaceKey& e : tarvium::test::kComTestInterfaceKeys)
      EXPECT_FALSE(HasKey(std::string("Interface\\") + e.iid, view)) << e.name;
  EXPECT_NE(com_.RegisterTypeLib(folder_ / "missing.tlb"), 0);

  // The same library as the TYPELIB resource of a DLL is registered under the DLL's path.
  ASSERT_EQ(com_.RegisterTypeLib(folder_ / "ComTestTypes.dll"), 0);
  EXPECT_EQ(WithoutLongPathPrefix(Text(version + "\\0\\win32")), folder_ / "ComTestTypes.dll");
  EXPECT_EQ(WithoutLongPathPrefix(Text(version + "\\HELPDIR")), folder_.Path());
  ASSERT_EQ(com_.UnregisterTypeLib(folder_ / "ComTestTypes.dll"), 0);
  EXPECT_FALSE(HasKey(std::string("TypeLib\\") + kLibid));
  com_.Uninitialize();
}

TEST_F(Win32ComTest, TheTestServerRegistersItselfWhenLoaded) {
  using Entry = long(__stdcall*)();
  Win32Modules modules;
  const std::string clsid = "CLSID\\{6A3C1D52-8E0F-4B7A-9C21-3F5E7D2A4B20}";
  ModuleHandle hServer = ModuleHandle::Invalid;
  ASSERT_EQ(modules.LoadLibrary(folder_ / "ComTestServer.dll", hServer), ERROR_SUCCESS);
  const auto registerServer =
      reinterpret_cast<Entry>(modules.GetProcAddress(hServer, "DllRegisterServer"));
  const auto unregisterServer =
      reinterpret_cast<Entry>(modules.GetProcAddress(hServer, "DllUnregisterServer"));
  ASSERT_NE(registerServer, nullptr);
  ASSERT_NE(unregisterServer, nullptr);
  EXPECT_EQ(registerServer(), 0);
  EXPECT_EQ(Text(clsid + "\\InprocServer32"), folder_ / "ComTestServer.dll");
  EXPECT_EQ(Text(clsid + "\\InprocServer32", "ThreadingModel"), "Apartment");
  EXPECT_EQ(unregisterServer(), 0);
  EXPECT_FALSE(HasKey(clsid));
  EXPECT_EQ(modules.FreeLibrary(hServer), ERROR_SUCCESS);

  ModuleHandle hPlain = ModuleHandle::Invalid;
  ASSERT_EQ(modules.LoadLibrary(folder_ / "ComTestPlain.dll", hPlain), ERROR_SUCCESS);
  EXPECT_EQ(modules.GetProcAddress(hPlain, "DllRegisterServer"), nullptr);
  EXPECT_EQ(modules.FreeLibrary(hPlain), ERROR_SUCCESS);
}

}  // namespace
}  // namespace platform::win32
