// The IP entry editor as pure text (which lines an entry replaces, which it leaves, removal lines
// in both passes, line ends, the field and line limits), and the IP sections on a real temporary
// machine: both copies of hosts and services edited and restored, a Unicode file kept Unicode,
// and the failures that leave the files alone.
#include <gtest/gtest.h>

#include <string>

#include "platform/ini_encoding.h"
#include "sysconfig/ip_config_section.h"
#include "sysconfig/ip_entries.h"
#include "sysconfig_test_run.h"

namespace tarvium {
namespace {

using test::SysconfigTestRun;

TEST(IpEntries, ReplaceAppendOrRemoveByKeyFields) {
  struct Case {
    const char* text;
    const char* line;
    size_t nKeys;
    bool bRemovalPass;
    const char* expected;
  };
  const Case cases[] = {
      // A service is its name and protocol: the port does not tell entries apart.
      {"echo 7/tcp\r\nmyservice 82/tcp\r\n", "myservice 81/tcp", 2, false,
       "echo 7/tcp\r\nmyservice 81/tcp\r\n"},
      {"myservice\t82/tcp # old\r\n", "myservice 81/tcp", 2, false, "myservice 81/tcp\r\n"},
      {"myservice 81/udp\r\n", "myservice 81/tcp", 2, false,
       "myservice 81/udp\r\nmyservice 81/tcp\r\n"},
      // A field one side lacks equals only a field the other side lacks too.
      {"myservice\r\n", "myservice 81/tcp", 2, false, "myservice\r\nmyservice 81/tcp\r\n"},
      {"myservice 81/tcp\r\n", "myservice", 2, false, "myservice 81/tcp\r\nmyservice\r\n"},
      // A host is its address and name in any case; its aliases do not count.
      {"10.0.0.5 AppServer\r\n10.0.0.5 other\r\n", "10.0.0.5 appserver", 2, false,
       "10.0.0.5 appserver\r\n10.0.0.5 other\r\n"},
      {"10.0.0.5 appserver alias2\r\n", "10.0.0.5 appserver alias1", 2, false,
       "10.0.0.5 appserver alias1\r\n"},
      // One key field: the protocol's name.
      {"TCP 7 x\r\nudp 17 UDP\r\n", "tcp 6 TCP", 1, false, "tcp 6 TCP\r\nudp 17 UDP\r\n"},
      // A comment matches only as a whole.
      {"# 10.0.0.5 appserver\r\n", "10.0.0.5 appserver", 2, false,
       "# 10.0.0.5 appserver\r\n10.0.0.5 appserver\r\n"},
      {"#10.0.0.5 appserver\r\n", "#10.0.0.5 APPSERVER", 2, false, "#10.0.0.5 APPSERVER\r\n"},
      {"#10.0.0.5 appserver old\r\n", "#10.0.0.5 appserver", 2, false,
       "#10.0.0.5 appserver old\r\n#10.0.0.5 appserver\r\n"},
      // The removal pass takes every match out; a removal line there changes nothing at all.
      {"a 1\r\n10.0.0.5 appserver\r\n10.0.0.5 APPSERVER x\r\n", "10.0.0.5 appserver", 2, true,
       "a 1\r\n"},
      {"x\n10.0.0.5 appserver", "-10.0.0.5 appserver", 2, true, "x\n10.0.0.5 appserver"},
      {"x\n10.0.0.5 appserver\n", "-10.0.0.5 appserver", 2, false, "x\r\n"},
      {"x\n", "-10.0.0.5 appserver", 2, false, "x\r\n"},
      // Every line ends in CR LF, empty lines kept; a file without entries gets the first.
      {"a\rb\r\n\r\nc", "d", 1, false, "a\r\nb\r\n\r\nc\r\nd\r\n"},
      {"", "myservice 81/tcp", 2, false, "myservice 81/tcp\r\n"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(EditIpEntries(c.text, c.line, c.nKeys, c.bRemovalPass), c.expected)
        << c.line << " on " << c.text;
}

// A file line is read up to its limit and compared by its first hundred fields only.
TEST(IpEntries, LongLinesAreCutAndFieldsBeyondTheHundredthIgnored) {
  const std::string longLine = "h " + std::string(kIpFileLineMax + 10, 'x');
  EXPECT_EQ(EditIpEntries(longLine + "\r\n", "a", 1, false),
            longLine.substr(0, kIpFileLineMax) + "\r\na\r\n");
  std::string fields = "#";
  for (int i = 1; i < 100; ++i) fields += " f";
  EXPECT_EQ(EditIpEntries(fields + " old\r\n", fields + " new", 1, false), fields + " new\r\n");
  EXPECT_EQ(EditIpEntries(fields + "\r\n", fields + " new", 1, false), fields + " new\r\n");
  EXPECT_EQ(EditIpEntries(fields + "\r\n", "# f", 1, false), fields + "\r\n# f\r\n");
}

const char* const kEtc = "C:\\Windows\\System32\\drivers\\etc\\";
const char* const kWowEtc = "C:\\Windows\\SysWOW64\\drivers\\etc\\";

// Both sections edit both copies, with variables replaced, and the removal pass restores the
// files the machine had; the section counts let only the last removal act.
TEST(IpConfigSection, HostsAndServicesEditedInBothCopiesAndRestored) {
  SysconfigTestRun t(
      "[IP Hosts]\n"
      "10.0.0.5 %ProductName% appserver.example.com\n"
      "-10.0.0.9 retired\n"
      "\n"
      "[IP Services:Extra]\n"
      "myservice 81/tcp\n");
  t.run.variables.Set("ProductName", "appserver");
  t.run.variables.Set("MachineKeyName", "Maker\\Product\\1.0");
  const std::string hosts = "# local names\r\n10.0.0.5 APPSERVER\r\n10.0.0.9 retired\r\n";
  const std::string services = "echo 7/tcp\r\nmyservice 82/tcp\r\nmyservice 81/udp\r\n";
  for (const char* dir : {kEtc, kWowEtc}) {
    t.Write(std::string(dir) + "hosts", hosts);
    t.Write(std::string(dir) + "services", services);
  }
  ASSERT_TRUE(HandleIpConfigSection(t.run, "IP Hosts", true));
  ASSERT_TRUE(HandleIpConfigSection(t.run, "IP Services:Extra", true));
  ASSERT_TRUE(HandleIpConfigSection(t.run, "IP Services:Extra", true));  // a second option
  for (const char* dir : {kEtc, kWowEtc}) {
    EXPECT_EQ(t.Read(std::string(dir) + "hosts"),
              "# local names\r\n10.0.0.5 appserver appserver.example.com\r\n")
        << dir;
    EXPECT_EQ(t.Read(std::string(dir) + "services"),
              "echo 7/tcp\r\nmyservice 81/tcp\r\nmyservice 81/udp\r\n")
        << dir;
  }
  t.run.ctx.bUninstall = true;
  ASSERT_TRUE(HandleIpConfigSection(t.run, "IP Hosts", true));
  ASSERT_TRUE(HandleIpConfigSection(t.run, "IP Services:Extra", true));
  EXPECT_EQ(t.Read(std::string(kEtc) + "services"),
            "echo 7/tcp\r\nmyservice 81/tcp\r\nmyservice 81/udp\r\n")
      << "the other option still uses the section";
  ASSERT_TRUE(HandleIpConfigSection(t.run, "IP Services:Extra", true));
  for (const char* dir : {kEtc, kWowEtc}) {
    EXPECT_EQ(t.Read(std::string(dir) + "hosts"), "# local names\r\n") << dir;
    EXPECT_EQ(t.Read(std::string(dir) + "services"), "echo 7/tcp\r\nmyservice 81/udp\r\n") << dir;
  }
  EXPECT_TRUE(t.Messages().empty());
}

// A UTF-16 file stays UTF-16 and a UTF-8 one UTF-8, their other characters as they were; a
// missing file and its folder are created; nothing is written when the section has no line, was
// not carried out, or the run was aborted.
TEST(IpConfigSection, EncodingKeptFoldersCreatedAndUntouchedFilesLeftAlone) {
  SysconfigTestRun t(
      "[IP LMHosts]\n"
      "10.0.0.7 FILESERVER #PRE\n"
      "[IP Protocols]\n"
      "; no entries\n");
  platform::IniEncoding encoding = platform::IniEncoding::Utf16Le;
  const std::string lmhostsPath = std::string(kEtc) + "lmhosts";
  t.Write(lmhostsPath, platform::EncodeIniText("10.0.0.1 DC #PRE\r\n", encoding));
  ASSERT_TRUE(HandleIpConfigSection(t.run, "IP LMHosts", true));
  const std::string written = t.Read(lmhostsPath);
  EXPECT_EQ(platform::DecodeIniBytes(written, encoding),
            "10.0.0.1 DC #PRE\r\n10.0.0.7 FILESERVER #PRE\r\n");
  EXPECT_EQ(encoding, platform::IniEncoding::Utf16Le);
  EXPECT_EQ(t.Read(std::string(kWowEtc) + "lmhosts"), "10.0.0.7 FILESERVER #PRE\r\n");
  t.Write(lmhostsPath, "\xEF\xBB\xBF# Z\xC3\xBCrich office\r\n");
  ASSERT_TRUE(HandleIpConfigSection(t.run, "IP LMHosts", true));
  EXPECT_EQ(t.Read(lmhostsPath),
            "\xEF\xBB\xBF# Z\xC3\xBCrich office\r\n10.0.0.7 FILESERVER #PRE\r\n");

  const std::string protocolPath = std::string(kEtc) + "protocol";
  const bool bHadProtocol = t.Exists(protocolPath);
  const std::string protocol = bHadProtocol ? t.Read(protocolPath) : "";
  EXPECT_TRUE(HandleIpConfigSection(t.run, "IP Protocols", true));
  EXPECT_EQ(t.Exists(protocolPath), bHadProtocol);
  EXPECT_EQ(bHadProtocol ? t.Read(protocolPath) : "", protocol);

  t.Write(lmhostsPath, "10.0.0.1 DC\n");
  EXPECT_TRUE(HandleIpConfigSection(t.run, "IP LMHosts", false));
  t.run.ctx.bAborted = true;
  EXPECT_FALSE(HandleIpConfigSection(t.run, "IP LMHosts", true));
  EXPECT_EQ(t.Read(lmhostsPath), "10.0.0.1 DC\n");
  EXPECT_TRUE(t.Messages().empty());
}

// A missing section is 5529; a file that cannot be written is 5504, and the SysWOW64 copy is
// then not touched.
TEST(IpConfigSection, MissingSectionAndUnwritableFileFail) {
  SysconfigTestRun t("[IP Networks]\nlabnet 10.1\n");
  EXPECT_FALSE(HandleIpConfigSection(t.run, "IP Hosts", true));
  EXPECT_EQ(t.Messages(), std::vector<int>{5529});

  const std::string wowNetworks = std::string(kWowEtc) + "networks";
  const std::string before = t.Exists(wowNetworks) ? t.Read(wowNetworks) : "<none>";
  t.run.machine.Files().DeleteFile(std::string(kEtc) + "networks");
  ASSERT_EQ(t.run.machine.Files().CreateDirectoryTree(std::string(kEtc) + "networks"), 0u);
  EXPECT_FALSE(HandleIpConfigSection(t.run, "IP Networks", true));
  EXPECT_EQ(t.Messages(), (std::vector<int>{5529, 5504}));
  EXPECT_EQ(t.Exists(wowNetworks) ? t.Read(wowNetworks) : "<none>", before);
}

}  // namespace
}  // namespace tarvium
