// machine.ini: every field survives a save and a load, a hand-edited file is read over the
// defaults, and mistakes are reported with their line.
#include "platform/emulated/machine/machine_config.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace platform::emulated {
namespace {

TEST(MachineConfig, EveryFieldSurvivesSaveAndLoad) {
  MachineConfig config;
  config.szComputerName = "BUILD-07";
  config.szDomain = "CORP";
  config.szUserName = "J\xFCrgen";  // ü in the ANSI code page, UTF-8 in the file
  config.szUserSid = "S-1-5-21-1-2-3-1105";
  config.szDomainController = "DC01";
  config.dwMajorVersion = 6;
  config.dwMinorVersion = 1;
  config.dwBuildNumber = 7601;
  config.szCSDVersion = "Service Pack 1";
  config.wServicePackMajor = 1;
  config.wServicePackMinor = 2;
  config.wSuiteMask = 0x0110;
  config.wProductType = 3;
  config.szProductName = "Windows Server 2008 R2 Enterprise";
  config.szEditionId = "ServerEnterprise";
  config.szDisplayVersion = "";
  config.b64Bit = false;
  config.wUILanguage = 0x0407;
  config.lcidLocale = 0x040C;
  config.szWindowsDir = "D:\\WINNT";
  config.szTempDir = "D:\\Temp";
  config.drives = {{'D', "d/", false}, {'C', "/mnt/c", true}};
  config.shares = {{"FileServer", "Setup$", "shares/setup", true}};
  config.adapters = {
      {"LAN 1", "NIC \xAE", "00-11-22-33-44-55", "10.0.0.5", "255.0.0.0", "10.0.0.1", false},
      {"LAN 2", "", "00-11-22-33-44-56", "", "", "", true}};

  tarvium::test::TempDir dir;
  const std::string file = dir.Path() + "/machine.ini";
  std::string error;
  ASSERT_TRUE(SaveMachineConfig(file, config, error)) << error;
  MachineConfig loaded;
  ASSERT_TRUE(LoadMachineConfig(file, loaded, error)) << error;
  EXPECT_EQ(FormatMachineConfig(loaded), FormatMachineConfig(config));
  EXPECT_EQ(loaded.szUserName, config.szUserName);
  EXPECT_EQ(loaded.drives[1].cLetter, 'C');
  EXPECT_TRUE(loaded.drives[1].bReadOnly);
  EXPECT_EQ(loaded.shares[0].share, "Setup$");
  EXPECT_EQ(loaded.adapters[0].description, "NIC \xAE");
  EXPECT_EQ(loaded.IpAddresses(), (std::vector<std::string>{"10.0.0.5"}));
  EXPECT_EQ(loaded.TempDir(), "D:\\Temp");
  EXPECT_EQ(loaded.DisplayString(),
            "Windows Server 2008 R2 Enterprise Service Pack 1 (build 7601), 32-bit");
  EXPECT_NE(FormatMachineConfig(loaded).find("UserName=J\xC3\xBCrgen"), std::string::npos);
}

TEST(MachineConfig, HandEditedFileIsReadOverTheDefaultsAndMistakesNameTheirLine) {
  MachineConfig config;
  std::string error;
  ASSERT_TRUE(
      ParseMachineConfig("[identity]\n"
                         "username = Admin\n"
                         "; a comment\n"
                         "[LANGUAGE]\n"
                         "UILanguage=1031\n"
                         "[Share \\\\srv\\pub]\n"
                         "HostDir=/srv/pub\n"
                         "[Unknown]\n"
                         "Key=ignored\n",
                         config, error))
      << error;
  EXPECT_EQ(config.szUserName, "Admin");
  EXPECT_EQ(config.wUILanguage, 0x0407);
  EXPECT_EQ(config.dwBuildNumber, 19045u);  // untouched default
  EXPECT_EQ(config.TempDir(), "C:\\Users\\Admin\\AppData\\Local\\Temp");
  EXPECT_EQ(config.DisplayString(), "Windows 10 Pro 22H2 (build 19045), 64-bit");
  ASSERT_EQ(config.drives.size(), 2u);  // no drive given: C: and Z:
  EXPECT_EQ(config.drives[1].hostDir, "/");
  ASSERT_EQ(config.shares.size(), 1u);
  EXPECT_TRUE(config.shares[0].bReadOnly);

  const std::pair<const char*, const char*> mistakes[] = {
      {"[System]\nBuildNumber=19x45\n", "line 2"},
      {"\n[Language]\nUILanguage=0x10000\n", "line 3"},
      {"[System]\nIs64Bit=maybe\n", "line 2"},
      {"[Drive CD]\nHostDir=x\n", "line 2"},
      {"[Drive E]\nReadOnly=yes\n", "[Drive E] has no HostDir"},
      {"[Share \\\\srv]\nHostDir=x\n", "line 2"},
      {"[Adapter A]\nMacAddress=00-11-22-33-44\n", "line 2"},
      {"[Adapter A]\nMacAddress=00-11:22-33-44-55\n", "line 2"},
      {"[Adapter A]\nMacAddress=0011223344GG\n", "line 2"},
      {"[Adapter A]\n\nIpAddress=10.0.0.256\n", "line 3"},
      {"[Adapter A]\nIpAddress=10.0.0\n", "line 2"},
  };
  for (const auto& [text, where] : mistakes) {
    MachineConfig bad;
    EXPECT_FALSE(ParseMachineConfig(text, bad, error)) << text;
    EXPECT_NE(error.find(where), std::string::npos) << error;
  }
  EXPECT_FALSE(LoadMachineConfig("/nonexistent/machine.ini", config, error));
}

}  // namespace
}  // namespace platform::emulated
