// .NET Framework detection on a real machine whose registry and Windows directory are seeded the
// way the framework installers leave them: the version keys, the runtime directories, and the
// "Release" numbers that tell 4.5 to 4.8 apart.
#include <gtest/gtest.h>

#include "engine/setup_run.h"
#include "machine_function_call.h"
#include "support/test_machine.h"

namespace tarvium {
namespace {

using platform::RegRoot;
using test::CallMachineFunction;

const std::string kNdp = "Software\\Microsoft\\NET Framework Setup\\NDP\\";

class DotNetMachine {
 public:
  DotNetMachine() : run(test.Machine()) {}

  void Dword(const std::string& key, const char* name, uint32_t dw) {
    platform::RegValue value{platform::REG_DWORD,
                             {static_cast<uint8_t>(dw), static_cast<uint8_t>(dw >> 8),
                              static_cast<uint8_t>(dw >> 16), static_cast<uint8_t>(dw >> 24)}};
    ASSERT_EQ(test.Machine().Reg().CreateKey(RegRoot::LocalMachine, kNdp + key), 0u);
    ASSERT_EQ(test.Machine().Reg().SetValue(RegRoot::LocalMachine, kNdp + key, name, value), 0u);
  }
  void Text(const std::string& key, const char* name, const std::string& text) {
    test.SetRegString(RegRoot::LocalMachine, kNdp + key, name, text);
  }
  void Runtime(const std::string& framework, const std::string& dir) {
    ASSERT_EQ(test.Machine().Files().CreateDirectoryTree("C:\\Windows\\Microsoft.NET\\" +
                                                         framework + "\\" + dir),
              0u);
  }
  // "available/level" of each name, for one comparison per state.
  std::string States(std::initializer_list<const char*> names) {
    std::string states;
    for (const char* name : names)
      states += std::string(name) + "=" +
                CallMachineFunction(run, "IsDotNetVersionAvailable", name) + "/" +
                CallMachineFunction(run, "GetDotNetPatchLevel", name) + " ";
    return states;
  }

  test::TestMachine test;
  SetupRun run;
};

TEST(DotNetFunctions, OlderVersionsNeedTheirKeysVersionsAndRuntimesAndOneZeroItsPolicy) {
  DotNetMachine m;
  EXPECT_EQ(m.States({"2.0", "3.0", "3.5", "9.9", ""}),
            "2.0=0/-1 3.0=0/-1 3.5=0/-1 9.9=0/-1 =0/-1 ");

  m.Dword("v2.0.50727", "Install", 1);
  m.Dword("v2.0.50727", "SP", 2);
  EXPECT_EQ(m.States({"2.0"}), "2.0=0/-1 ");  // no runtime directory yet
  m.Runtime("Framework", "v2.0.50727");
  m.Dword("v3.0\\Setup", "InstallSuccess", 1);
  m.Text("v3.0\\Setup", "Version", "3.0.4506.25");  // one below the minimum
  m.Dword("v3.0", "SP", 1);
  m.Dword("v3.5", "Install", 1);
  m.Text("v3.5", "Version", "3.5.30729.4926");
  EXPECT_EQ(m.States({"2.0", "3.0", "3.5", "1.1"}), "2.0=1/2 3.0=0/-1 3.5=0/-1 1.1=0/-1 ");

  m.Text("v3.0\\Setup", "Version", "3.0.4506.648");
  EXPECT_EQ(m.States({"3.0", "3.5", "3.5 Full"}), "3.0=1/1 3.5=1/0 3.5 Full=0/-1 ");
  m.Runtime("Framework64", "v1.1.4322");
  m.Dword("v1.1.4322", "SP", 1);
  EXPECT_EQ(m.States({"1.1"}), "1.1=1/1 ");

  // Version 1.0 reads its policy and active setup keys.
  m.test.SetRegString(RegRoot::LocalMachine, "Software\\Microsoft\\.NETFramework\\Policy\\v1.0",
                      "3705", "x");
  EXPECT_EQ(m.States({"1.0"}), "1.0=0/-1 ");
  m.Runtime("Framework", "v1.0.3705");
  EXPECT_EQ(m.States({"1.0"}), "1.0=1/0 ");
  const std::string component =
      "Software\\Microsoft\\Active Setup\\Installed "
      "Components\\{78705f0d-e8db-4b2d-8193-982bdda15ecd}";
  m.test.SetRegString(RegRoot::LocalMachine, component, "Version", "1,0,3705,3");
  EXPECT_EQ(m.States({"1.0"}), "1.0=1/3 ");
}

TEST(DotNetFunctions, FourZeroClientAndFull) {
  DotNetMachine m;
  m.Dword("v4\\Client", "Install", 1);
  m.Text("v4\\Client", "Version", "4.0.30319");
  m.Dword("v4\\Client", "Servicing", 1);
  EXPECT_EQ(m.States({"4.0"}), "4.0=0/-1 ");  // no runtime
  m.Runtime("Framework64", "v4.0.30319");
  EXPECT_EQ(m.States({"4.0", "4.0 Client", "4.0 full"}), "4.0=1/1 4.0 Client=1/1 4.0 full=0/-1 ");
  m.Dword("v4\\Full", "Install", 1);
  m.Text("v4\\Full", "Version", "4.0.29999.0");  // below the minimum
  EXPECT_EQ(m.States({"4.0 Full"}), "4.0 Full=0/-1 ");
  m.Text("v4\\Full", "Version", "4.0.30319.1");
  m.Dword("v4\\Full", "Servicing", 4);
  EXPECT_EQ(m.States({"4.0 Full", "4.5"}), "4.0 Full=1/4 4.5=0/-1 ");
}

TEST(DotNetFunctions, ReleaseThresholdsOfFourFiveToFourEight) {
  DotNetMachine m;
  m.Runtime("Framework", "v4.0.30319");
  m.Dword("v4\\Full", "Release", 461308);  // 4.7.1
  m.Dword("v4\\Client", "Release", 461308);
  EXPECT_EQ(m.States({"4.5", "4.6", "4.7", "4.7 Full", "4.8", "4.8 Client", "4.9"}),
            "4.5=1/2 4.6=1/2 4.7=1/1 4.7 Full=1/1 4.8=0/-1 4.8 Client=0/-1 4.9=0/-1 ");

  // The bare 4.6 reads Client, the bare 4.7 reads Full; levels come from Full for bare names.
  m.Dword("v4\\Client", "Release", 394254);
  m.Dword("v4\\Full", "Release", 460798);
  EXPECT_EQ(m.States({"4.6", "4.6 Client", "4.6 Full", "4.7", "4.7 Client", "4.5", "4.5 Full"}),
            "4.6=1/2 4.6 Client=1/1 4.6 Full=1/2 4.7=1/0 4.7 Client=0/-1 4.5=1/2 4.5 Full=1/2 ");

  m.Dword("v4\\Full", "Release", 528040);
  m.Dword("v4\\Client", "Release", 300000);  // below 4.5's first level still counts for 4.5
  EXPECT_EQ(m.States({"4.8", "4.8 Full", "4.7", "4.6", "4.5 Client"}),
            "4.8=1/0 4.8 Full=1/0 4.7=1/2 4.6=0/-1 4.5 Client=1/0 ");
}

}  // namespace
}  // namespace tarvium
