// The emulated COM library against real widl output and a real temporary machine: the type library
// reader on the two test libraries and on damaged copies of them, registration and unregistration
// compared with what Windows' RegisterTypeLib writes (the cases of Wine's conformance test of
// typelib registration, on a 64-bit machine with its two registry views), the version the machine
// reports, and the test server registering itself through the machine's module interface.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/com_library.h"
#include "platform/emulated/com/type_library.h"
#include "platform/emulated/com/type_library_registration.h"
#include "platform/processes.h"
#include "platform/win_error.h"
#include "support/com_test_library.h"
#include "support/temp_dir.h"
#include "support/test_machine.h"

namespace platform::emulated {
namespace {

using tarvium::test::TestMachine;

constexpr const char* kLibid = tarvium::test::kComTestLibid;
constexpr const char* kAppDir = "C:\\Program Files\\ComTest";

std::string ComTestFile(const std::string& name) {
  return std::string(TARVIUM_COM_TEST_DIR) + "/" + name;
}

std::vector<uint8_t> ReadHostBytes(const std::string& path) {
  const std::string text = tarvium::test::ReadHostFile(path);
  return {text.begin(), text.end()};
}

const TypeInfoEntry* FindType(const TypeLibrary& library, const std::string& name) {
  for (const TypeInfoEntry& type : library.typeInfos)
    if (type.name == name) return &type;
  return nullptr;
}

TEST(TypeLibraryReader, ReadsTheLibrariesWidlWrites) {
  TypeLibrary library;
  ASSERT_EQ(ReadTypeLibrary(ReadHostBytes(ComTestFile("com_test.tlb")), library), 0);
  EXPECT_EQ(library.libid, kLibid);
  EXPECT_EQ(library.wMajorVerNum, 2);
  EXPECT_EQ(library.wMinorVerNum, 10);
  EXPECT_EQ(library.lcid, 0u);
  EXPECT_EQ(library.syskind, SYS_WIN32);
  EXPECT_EQ(library.wLibFlags, 0);
  EXPECT_EQ(library.name, "ComTestLib");
  EXPECT_EQ(library.helpString, "Tarvium COM Test Library");
  EXPECT_EQ(library.helpFile, "comtest.hlp");

  struct Expected {
    const char* name;
    TypeKind kind;
    const char* guid;
    uint16_t wFlagsSet;  // flags the type must have
    bool bRegistered;
  };
  const Expected types[] = {
      {"IComTestDual", TypeKind::Dispatch, "{6A3C1D52-8E0F-4B7A-9C21-3F5E7D2A4B10}",
       TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE, true},
      {"DComTestEvents", TypeKind::Dispatch, "{6A3C1D52-8E0F-4B7A-9C21-3F5E7D2A4B11}",
       TYPEFLAG_FDISPATCHABLE, true},
      {"IComTestPlain", TypeKind::Interface, "{6A3C1D52-8E0F-4B7A-9C21-3F5E7D2A4B12}", 0, false},
      {"IComTestAutomation", TypeKind::Interface, "{6A3C1D52-8E0F-4B7A-9C21-3F5E7D2A4B13}",
       TYPEFLAG_FOLEAUTOMATION, true},
      {"ComTestObject", TypeKind::Coclass, "{6A3C1D52-8E0F-4B7A-9C21-3F5E7D2A4B20}", 0, false},
  };
  EXPECT_EQ(library.typeInfos.size(), std::size(types));
  for (const Expected& e : types) {
    const TypeInfoEntry* pType = FindType(library, e.name);
    ASSERT_NE(pType, nullptr) << e.name;
    EXPECT_EQ(pType->kind, e.kind) << e.name;
    EXPECT_EQ(pType->guid, e.guid) << e.name;
    EXPECT_EQ(pType->wTypeFlags & e.wFlagsSet, e.wFlagsSet) << e.name;
    EXPECT_EQ(IsRegisteredInterface(*pType), e.bRegistered) << e.name;
  }

  // The older version: no help string, a locale of its own, a 64-bit library.
  ASSERT_EQ(ReadTypeLibrary(ReadHostBytes(ComTestFile("com_test_v1.tlb")), library), 0);
  EXPECT_EQ(library.libid, kLibid);
  EXPECT_EQ(library.wMajorVerNum, 1);
  EXPECT_EQ(library.wMinorVerNum, 0);
  EXPECT_EQ(library.lcid, 0x407u);
  EXPECT_EQ(library.syskind, SYS_WIN64);
  EXPECT_EQ(library.name, "ComTestLibOld");
  EXPECT_TRUE(library.helpString.empty());
  ASSERT_NE(FindType(library, "IComTestOld"), nullptr);
}

// The library as the TYPELIB resource of a resource-only DLL that mingw-w64's tools made.
TEST(TypeLibraryReader, ReadsTheLibraryInsideAWindowsDll) {
  const std::vector<uint8_t> dll = ReadHostBytes(ComTestFile("ComTestTypes.dll"));
  if (dll.empty()) GTEST_SKIP() << "ComTestTypes.dll is built only with the mingw-w64 tools";
  TypeLibrary fromDll, fromFile;
  ASSERT_EQ(ReadTypeLibrary(dll, fromDll), 0);
  ASSERT_EQ(ReadTypeLibrary(ReadHostBytes(ComTestFile("com_test.tlb")), fromFile), 0);
  EXPECT_EQ(fromDll.libid, fromFile.libid);
  EXPECT_EQ(fromDll.helpString, fromFile.helpString);
  EXPECT_EQ(fromDll.typeInfos.size(), fromFile.typeInfos.size());
  // A DLL cut inside its resource is no library.
  const std::string text(dll.begin(), dll.end());
  const size_t nResource = text.find("MSFT");
  ASSERT_NE(nResource, std::string::npos);
  const std::vector<uint8_t> cut(dll.begin(), dll.begin() + static_cast<ptrdiff_t>(nResource + 64));
  EXPECT_EQ(ReadTypeLibrary(cut, fromDll), TYPE_E_CANTLOADLIBRARY);
}

// Writes a 32-bit value into a copy of the bytes.
std::vector<uint8_t> Patched(std::vector<uint8_t> bytes, size_t nOffset, uint32_t dwValue) {
  for (int i = 0; i < 4; ++i) bytes.at(nOffset + i) = static_cast<uint8_t>(dwValue >> (8 * i));
  return bytes;
}

TEST(TypeLibraryReader, DamagedLibrariesAreErrorsNeverReadsOutside) {
  const std::vector<uint8_t> good = ReadHostBytes(ComTestFile("com_test.tlb"));
  ASSERT_GT(good.size(), 0x200u);
  TypeLibrary library;
  ASSERT_EQ(ReadTypeLibrary(good, library), 0);
  const uint32_t nTypes = static_cast<uint32_t>(library.typeInfos.size());
  // The segment directory follows the header (0x54 bytes) and one offset per type.
  const size_t nSegments = 0x54 + 4 * nTypes;
  const uint32_t kFar = 0x7FFFFFF0;
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    int32_t hrExpected;
  };
  const Case cases[] = {
      {"empty", {}, TYPE_E_CANTLOADLIBRARY},
      {"SLTG", Patched(good, 0, 0x47544C53), TYPE_E_UNSUPFORMAT},
      {"no magic", Patched(good, 0, 0x12345678), TYPE_E_CANTLOADLIBRARY},
      {"MZ without resources", Patched(good, 0, 0x00905A4D), TYPE_E_CANTLOADLIBRARY},
      {"type count past the file", Patched(good, 0x20, kFar), TYPE_E_CANTLOADLIBRARY},
      {"type count past its segment", Patched(good, 0x20, nTypes + 1), TYPE_E_CANTLOADLIBRARY},
      {"library name outside its segment", Patched(good, 0x38, kFar), TYPE_E_CANTLOADLIBRARY},
      {"help string outside its segment", Patched(good, 0x24, kFar), TYPE_E_CANTLOADLIBRARY},
      {"library GUID outside its segment", Patched(good, 0x08, kFar), TYPE_E_CANTLOADLIBRARY},
      {"type segment past the file", Patched(good, nSegments, kFar), TYPE_E_CANTLOADLIBRARY},
      {"name segment too long", Patched(good, nSegments + 7 * 16 + 4, kFar),
       TYPE_E_CANTLOADLIBRARY},
      {"segment marker", Patched(good, nSegments + 12, 0), TYPE_E_CANTLOADLIBRARY},
  };
  for (const Case& c : cases) {
    library.name = "stale";
    EXPECT_EQ(ReadTypeLibrary(c.bytes, library), c.hrExpected) << c.what;
    EXPECT_TRUE(library.name.empty() && library.typeInfos.empty()) << c.what;
  }
  // Every truncation: nothing the reader needs lies outside the bytes it was given, so a cut file
  // either fails or (when only unused tail bytes are cut) reads the same library.
  for (size_t n = 0; n < good.size(); ++n) {
    const std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<ptrdiff_t>(n));
    const int32_t hr = ReadTypeLibrary(cut, library);
    if (n < nSegments + 15 * 16) {
      EXPECT_EQ(hr, TYPE_E_CANTLOADLIBRARY) << n;
    }
    if (hr == 0) {
      EXPECT_EQ(library.typeInfos.size(), nTypes) << n;
    }
  }
}

// A 64-bit test machine with the test libraries on its C: drive.
class ComRegistrationTest : public ::testing::Test {
 protected:
  ComRegistrationTest() {
    for (const char* name : {"com_test.tlb", "com_test_v1.tlb"}) {
      const std::vector<uint8_t> bytes = ReadHostBytes(ComTestFile(name));
      t.WriteFile(Library(name), std::string(bytes.begin(), bytes.end()));
    }
  }

  static std::string Library(const std::string& name) { return std::string(kAppDir) + "\\" + name; }

  std::string Text(const std::string& key, const std::string& name = "",
                   RegView view = RegView::Default) {
    RegValue value;
    if (t.Machine().Reg().QueryValue(RegRoot::ClassesRoot, key, name, value, view) != ERROR_SUCCESS)
      return "<none>";
    std::string text(value.data.begin(), value.data.end());
    return text.substr(0, text.find('\0'));
  }
  bool HasKey(const std::string& key, RegView view = RegView::Default) {
    return t.Machine().Reg().OpenKey(RegRoot::ClassesRoot, key, view) == ERROR_SUCCESS;
  }

  TestMachine t;
};

TEST_F(ComRegistrationTest, RegistersAsRegisterTypeLibInBothViews) {
  ASSERT_EQ(t.Machine().Com().RegisterTypeLib(Library("com_test.tlb")), 0);
  const std::string version = std::string("TypeLib\\") + kLibid + "\\2.a";
  EXPECT_EQ(Text(version), "Tarvium COM Test Library");
  EXPECT_EQ(Text(version + "\\0\\win32"), Library("com_test.tlb"));
  EXPECT_EQ(Text(version + "\\FLAGS"), "0");
  EXPECT_EQ(Text(version + "\\HELPDIR"), kAppDir);
  // TypeLib is one key for both views, as Windows shares it.
  EXPECT_EQ(Text(version + "\\0\\win32", "", RegView::View32), Library("com_test.tlb"));

  for (const RegView view : {RegView::View64, RegView::View32}) {
    for (const tarvium::test::ExpectedInterfaceKey& e : tarvium::test::kComTestInterfaceKeys) {
      const std::string key = std::string("Interface\\") + e.iid;
      const std::string where = std::string(e.name) + (view == RegView::View32 ? " (32)" : "");
      if (!e.proxy) {
        EXPECT_FALSE(HasKey(key, view)) << where;
        continue;
      }
      EXPECT_EQ(Text(key, "", view), e.name) << where;
      EXPECT_EQ(Text(key + "\\ProxyStubClsid", "", view), e.proxy) << where;
      EXPECT_EQ(Text(key + "\\ProxyStubClsid32", "", view), e.proxy) << where;
      EXPECT_EQ(Text(key + "\\TypeLib", "", view), kLibid) << where;
      EXPECT_EQ(Text(key + "\\TypeLib", "Version", view), "2.a") << where;
    }
  }
}

TEST_F(ComRegistrationTest, UnregistrationRemovesOneVersionAndLeavesTheOthers) {
  ComLibrary& com = t.Machine().Com();
  const std::string library = std::string("TypeLib\\") + kLibid;
  // A help folder set before is kept; a path of another name reads as a different library.
  t.SetRegString(RegRoot::ClassesRoot, library + "\\2.a\\HELPDIR", "", "D:\\Help");
  ASSERT_EQ(com.RegisterTypeLib(Library("com_test.tlb")), 0);
  ASSERT_EQ(com.RegisterTypeLib(Library("com_test_v1.tlb")), 0);
  EXPECT_EQ(Text(library + "\\2.a\\HELPDIR"), "D:\\Help");
  EXPECT_EQ(Text(library + "\\1.0"), "ComTestLibOld");  // no help string: the name
  EXPECT_EQ(Text(library + "\\1.0\\407\\win64"), Library("com_test_v1.tlb"));
  // An interface that another library took over since stays with it.
  const std::string taken = "Interface\\{6A3C1D52-8E0F-4B7A-9C21-3F5E7D2A4B13}";
  const std::string other = "{6A3C1D52-0000-0000-0000-000000000001}";
  for (const RegView view : {RegView::View64, RegView::View32}) {
    RegValue value{REG_SZ, std::vector<uint8_t>(other.begin(), other.end())};
    value.data.push_back(0);
    ASSERT_EQ(
        t.Machine().Reg().SetValue(RegRoot::ClassesRoot, taken + "\\TypeLib", "", value, view),
        ERROR_SUCCESS);
  }

  ASSERT_EQ(com.UnregisterTypeLib(Library("com_test.tlb")), 0);
  EXPECT_FALSE(HasKey(library + "\\2.a"));
  EXPECT_TRUE(HasKey(library + "\\1.0\\407\\win64"));
  for (const RegView view : {RegView::View64, RegView::View32}) {
    EXPECT_FALSE(HasKey("Interface\\{6A3C1D52-8E0F-4B7A-9C21-3F5E7D2A4B10}", view));
    EXPECT_FALSE(HasKey("Interface\\{6A3C1D52-8E0F-4B7A-9C21-3F5E7D2A4B11}", view));
    EXPECT_EQ(Text(taken + "\\TypeLib", "", view), other);
    EXPECT_EQ(Text(taken + "\\ProxyStubClsid32", "", view), kPSOAInterface);
    EXPECT_EQ(Text("Interface\\{6A3C1D52-8E0F-4B7A-9C21-3F5E7D2A4B30}\\TypeLib", "Version", view),
              "1.0");
  }
  // Unregistered already: Windows reports the library as not registered for that locale.
  EXPECT_EQ(com.UnregisterTypeLib(Library("com_test.tlb")), E_INVALIDARG);

  ASSERT_EQ(com.UnregisterTypeLib(Library("com_test_v1.tlb")), 0);
  EXPECT_FALSE(HasKey(library));
  EXPECT_FALSE(HasKey("Interface\\{6A3C1D52-8E0F-4B7A-9C21-3F5E7D2A4B30}", RegView::View32));

  // A file that is missing or no library fails before anything is written.
  t.WriteFile(Library("text.tlb"), "not a library");
  for (const char* name : {"missing.tlb", "text.tlb"}) {
    EXPECT_EQ(com.RegisterTypeLib(Library(name)), TYPE_E_CANTLOADLIBRARY) << name;
    EXPECT_EQ(com.UnregisterTypeLib(Library(name)), TYPE_E_CANTLOADLIBRARY) << name;
  }
  EXPECT_FALSE(HasKey("TypeLib\\" + std::string(kLibid)));
}

TEST_F(ComRegistrationTest, VersionComesFromTheMachineAndInitialisationCounts) {
  constexpr uint64_t kNeeded = 0x0002000300000000;  // 2.03.00.00
  ComLibrary& com = t.Machine().Com();
  ASSERT_EQ(com.Load(), ERROR_SUCCESS);
  uint64_t qwVersion = 0;
  ASSERT_EQ(com.GetVersion(qwVersion), ERROR_SUCCESS);
  EXPECT_EQ(qwVersion >> 48, 10u);
  EXPECT_GE(qwVersion, kNeeded);
  EXPECT_EQ(com.Initialize(), 0);
  EXPECT_EQ(com.Initialize(), 1);  // S_FALSE: initialised already
  com.Uninitialize();
  com.Uninitialize();
  com.Uninitialize();  // one too many does no harm
  EXPECT_EQ(com.Initialize(), 0);

  const std::pair<const char*, uint64_t> versions[] = {
      {"2.2.0.0", 0x0002000200000000},
      {"2.3.0.0", kNeeded},
      {"5.1.2600.65535", 0x000500010A28FFFF},
  };
  for (const auto& [text, qwExpected] : versions) {
    auto machine = t.OpenReconfigured([&](MachineConfig& c) { c.szComLibraryVersion = text; });
    ASSERT_EQ(machine->Com().GetVersion(qwVersion), ERROR_SUCCESS) << text;
    EXPECT_EQ(qwVersion, qwExpected) << text;
  }
  for (const char* bad : {"10.0", "1.2.3.65536", "1..2.3", "a.b.c.d"}) {
    auto machine = t.OpenReconfigured([&](MachineConfig& c) { c.szComLibraryVersion = bad; });
    EXPECT_NE(machine->Com().GetVersion(qwVersion), ERROR_SUCCESS) << bad;
  }
}

// The test servers copied onto the machine and trusted by its administrator's list.
class InProcessServerTest : public ComRegistrationTest {
 protected:
  InProcessServerTest() {
    std::string list;
    for (const char* name : {"ComTestServer.dll", "ComTestPlain.dll", "ComTestFailing.dll"}) {
      const std::vector<uint8_t> bytes = ReadHostBytes(ComTestFile(name));
      t.WriteFile(Library(name), std::string(bytes.begin(), bytes.end()));
    }
    const std::string command = "cd '" + t.HostPath(kAppDir) + "' && sha256sum *.dll > '" +
                                t.Path() + "/trusted-modules.txt' && chmod 644 '" + t.Path() +
                                "/trusted-modules.txt'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
  }

  using Entry = int32_t (*)();
  Entry EntryOf(ModuleHandle hModule, const char* name) {
    return reinterpret_cast<Entry>(t.Machine().Libraries().GetProcAddress(hModule, name));
  }
};

TEST_F(InProcessServerTest, ServersRegisterThroughTheMachinesRegistry) {
  Modules& modules = t.Machine().Libraries();
  const std::string clsid = "CLSID\\{6A3C1D52-8E0F-4B7A-9C21-3F5E7D2A4B20}";
  ModuleHandle hServer = ModuleHandle::Invalid;
  ASSERT_EQ(modules.LoadLibrary(Library("ComTestServer.dll"), hServer), ERROR_SUCCESS);
  ASSERT_NE(EntryOf(hServer, "DllRegisterServer"), nullptr);
  EXPECT_EQ(EntryOf(hServer, "DllRegisterServer")(), 0);
  EXPECT_EQ(Text(clsid), "Tarvium COM test object");
  EXPECT_EQ(Text(clsid + "\\InprocServer32"), Library("ComTestServer.dll"));
  EXPECT_EQ(Text(clsid + "\\InprocServer32", "ThreadingModel"), "Apartment");
  EXPECT_EQ(Text("Tarvium.ComTest\\CLSID"), "{6A3C1D52-8E0F-4B7A-9C21-3F5E7D2A4B20}");
  // A second engine process sees what the server wrote: it went into the machine's store.
  auto again = t.OpenAgain();
  RegValue value;
  EXPECT_EQ(again->Reg().QueryValue(RegRoot::ClassesRoot, clsid, "", value), ERROR_SUCCESS);
  EXPECT_EQ(EntryOf(hServer, "DllUnregisterServer")(), 0);
  EXPECT_FALSE(HasKey(clsid));
  EXPECT_FALSE(HasKey("Tarvium.ComTest"));
  EXPECT_EQ(modules.FreeLibrary(hServer), ERROR_SUCCESS);

  // Without the entries the module still loads; failing entries write nothing.
  ModuleHandle hPlain = ModuleHandle::Invalid;
  ASSERT_EQ(modules.LoadLibrary(Library("ComTestPlain.dll"), hPlain), ERROR_SUCCESS);
  EXPECT_EQ(EntryOf(hPlain, "DllRegisterServer"), nullptr);
  EXPECT_EQ(modules.FreeLibrary(hPlain), ERROR_SUCCESS);
  ModuleHandle hFailing = ModuleHandle::Invalid;
  ASSERT_EQ(modules.LoadLibrary(Library("ComTestFailing.dll"), hFailing), ERROR_SUCCESS);
  EXPECT_LT(EntryOf(hFailing, "DllRegisterServer")(), 0);
  EXPECT_LT(EntryOf(hFailing, "DllUnregisterServer")(), 0);
  EXPECT_FALSE(HasKey(clsid));
  EXPECT_EQ(modules.FreeLibrary(hFailing), ERROR_SUCCESS);
}

// The scenarios' stand-in as a local server: started through the machine with /RegServer and
// /UnregServer (in any case, either switch character), it registers itself in the machine's
// registry.
TEST_F(ComRegistrationTest, StandInRegistersAsALocalServer) {
  const std::string program = std::string(kAppDir) + "\\Local Server.exe";
  const std::vector<uint8_t> bytes = ReadHostBytes(TARVIUM_STAND_IN);
  t.WriteFile(program, std::string(bytes.begin(), bytes.end()));
  ASSERT_EQ(std::system(("chmod +x '" + t.HostPath(program) + "'").c_str()), 0);
  t.WriteFile(std::string(kAppDir) + "\\Local Server.ini",
              "LocalServer={6A3C1D52-8E0F-4B7A-9C21-3F5E7D2A4B21}\n");
  const std::string server = "CLSID\\{6A3C1D52-8E0F-4B7A-9C21-3F5E7D2A4B21}\\LocalServer32";
  Processes& programs = t.Machine().Programs();
  const auto run = [&](const std::string& argument) {
    ProcessStart start;
    start.commandLine = "\"" + program + "\" " + argument;
    start.environment = std::vector<std::string>{"TARVIUM_MACHINE=" + t.Path()};
    ProcessHandle hProcess{};
    ASSERT_EQ(programs.CreateProcess(start, hProcess), ERROR_SUCCESS) << argument;
    WaitResult result{};
    ASSERT_EQ(programs.WaitForProcess(hProcess, INFINITE, {}, result), ERROR_SUCCESS) << argument;
    uint32_t dwExitCode = 1;
    EXPECT_EQ(programs.GetExitCodeProcess(hProcess, dwExitCode), ERROR_SUCCESS);
    EXPECT_EQ(dwExitCode, 0u) << argument;
    programs.CloseProcess(hProcess);
  };
  run("/RegServer");
  EXPECT_EQ(Text(server), program);
  run("-UNREGSERVER");
  EXPECT_FALSE(HasKey("CLSID\\{6A3C1D52-8E0F-4B7A-9C21-3F5E7D2A4B21}"));
}

}  // namespace
}  // namespace platform::emulated
