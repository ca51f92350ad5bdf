// The cabinet and SZDD readers on a real machine, over cabinets made by gcab, files compressed by
// mscompress and a two-cabinet set written by the test's own writer of stored folders (gcab cannot
// span cabinets): members found with their stored date and attributes, members taken in order,
// a file that runs from one cabinet into the next, and damaged input answered with an error.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "engine/setup_run.h"
#include "install/cabinet_files.h"
#include "support/cabinet_writer.h"
#include "support/run_tool.h"
#include "support/test_machine.h"

namespace tarvium::test {
namespace {

namespace fs = std::filesystem;

class CabinetFiles : public testing::Test {
 protected:
  std::string Host(const std::string& rel) const { return machine.Path() + "/drive_c/" + rel; }
  void WriteHost(const std::string& rel, const std::string& bytes) const {
    WriteHostFile(Host(rel), bytes);
  }
  std::string ReadHost(const std::string& rel) const { return ReadHostFile(Host(rel)); }
  // Runs a host tool in drive_c\media.
  void InMedia(const std::string& command) const {
    const std::string line = "cd " + ShellQuote(Host("media")) + " && " + command;
    ASSERT_EQ(std::system(line.c_str()), 0) << line;
  }
  uint32_t Extract(const std::string& cabinet, const std::string& member, std::string& bytes,
                   CabinetFileInfo& info) {
    bytes.clear();
    return ExtractCabinetFile(
        run, cabinet, member,
        [&](const uint8_t* p, size_t n) {
          bytes.append(reinterpret_cast<const char*>(p), n);
          return true;
        },
        info);
  }

  TestMachine machine;
  SetupRun run{machine.Machine()};
};

std::string Pattern(size_t nSize, char cSeed) {
  std::string text(nSize, ' ');
  for (size_t i = 0; i < nSize; ++i) text[i] = static_cast<char>(cSeed + (i * 7) % 61);
  return text;
}

TEST_F(CabinetFiles, GcabMembersInAndOutOfOrderWithStoredInfo) {
  WriteHost("media/app.dll", Pattern(100000, 'a'));
  WriteHost("media/sub/readme.txt", "Read me.\r\n");
  WriteHost("media/empty.txt", "");
  InMedia(
      "touch -d '2024-03-05 10:20:30' app.dll && "
      "gcab -c -z data1.cab app.dll sub/readme.txt empty.txt && gcab -c plain.cab app.dll");
  for (const char* cabinet : {"C:\\media\\data1.cab", "C:\\media\\plain.cab"}) {
    CabinetFileInfo info;
    ASSERT_EQ(FindCabinetFile(run, cabinet, "APP.DLL", info), 0u) << cabinet;
    EXPECT_EQ(info.nSize, 100000u);
    EXPECT_EQ(info.wDosDate, ((2024 - 1980) << 9) | (3 << 5) | 5);
    EXPECT_EQ(info.wDosTime, (10 << 11) | (20 << 5) | 15);
  }
  CabinetFileInfo info;
  std::string bytes;
  // Later member first, then an earlier one: the folder is started again, not misread.
  ASSERT_EQ(Extract("C:\\media\\data1.cab", "sub/README.txt", bytes, info), 0u);
  EXPECT_EQ(bytes, "Read me.\r\n");
  for (const char* member : {"app.dll", "C:\\media\\app.dll"}) {
    ASSERT_EQ(Extract("C:\\media\\data1.cab", member, bytes, info), 0u) << member;
    EXPECT_TRUE(bytes == Pattern(100000, 'a'));
  }
  ASSERT_EQ(Extract("C:\\media\\data1.cab", "empty.txt", bytes, info), 0u);
  EXPECT_EQ(bytes, "");
  EXPECT_EQ(FindCabinetFile(run, "C:\\media\\data1.cab", "nothere.dll", info),
            platform::ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(FindCabinetFile(run, "C:\\media\\nocab.cab", "app.dll", info),
            platform::ERROR_FILE_NOT_FOUND);
  // A sink that refuses stops the transfer; the next extraction starts cleanly.
  EXPECT_EQ(ExtractCabinetFile(
                run, "C:\\media\\data1.cab", "app.dll",
                [](const uint8_t*, size_t) { return false; }, info),
            platform::ERROR_CANCELLED);
  ASSERT_EQ(Extract("C:\\media\\data1.cab", "app.dll", bytes, info), 0u);
  EXPECT_EQ(bytes.size(), 100000u);
  CloseCabinets(run);
}

TEST_F(CabinetFiles, SetAcrossTwoCabinets) {
  const std::vector<CabinetMember> members = {
      {"first.txt", Pattern(3000, 'f')},
      {"empty.txt", ""},
      {"Windows\\System\\span.dll", Pattern(9000, 's'), 0x5A21, 0x6000, 0x21},
  };
  const std::vector<std::string> cabinets =
      WriteStoredCabinetSet(members, {"set1.cab", "set2.cab"}, 7168);
  ASSERT_EQ(cabinets.size(), 2u);
  WriteHost("media/set1.cab", cabinets[0]);
  WriteHost("media/set2.cab", cabinets[1]);
  InMedia("cabextract -q -d out1 set1.cab");  // the format is sound for the peer tool as well
  EXPECT_TRUE(ReadHost("media/out1/Windows/System/span.dll") == members[2].data);
  for (const CabinetMember& member : members) {
    std::string bytes;
    CabinetFileInfo info;
    ASSERT_EQ(Extract("C:\\media\\set1.cab", member.name, bytes, info), 0u) << member.name;
    EXPECT_TRUE(bytes == member.data) << member.name;
    EXPECT_EQ(info.dwAttributes, member.wAttributes);
  }
  // Without its second cabinet the set still lists the first one's members, but the file that
  // continues there cannot be read.
  CloseCabinets(run);
  fs::remove(Host("media/set2.cab"));
  std::string bytes;
  CabinetFileInfo info;
  EXPECT_EQ(Extract("C:\\media\\set1.cab", "first.txt", bytes, info), 0u);
  EXPECT_NE(Extract("C:\\media\\set1.cab", "Windows\\System\\span.dll", bytes, info), 0u);
}

TEST_F(CabinetFiles, DamagedCabinetsAreBadFormat) {
  WriteHost("media/app.dll", Pattern(200000, 'x'));
  InMedia("gcab -c -z good.cab app.dll");
  const std::string good = ReadHost("media/good.cab");
  std::string corrupt = good;
  for (size_t i = good.size() / 2; i < good.size() / 2 + 64; ++i) corrupt[i] ^= 0x5A;
  WriteHost("media/truncated.cab", good.substr(0, good.size() / 2));
  WriteHost("media/corrupt.cab", corrupt);
  WriteHost("media/header.cab", good.substr(0, 20));
  WriteHost("media/notcab.cab", "This is no cabinet at all, only text.");
  for (const char* name : {"truncated.cab", "corrupt.cab"}) {
    std::string bytes;
    CabinetFileInfo info;
    EXPECT_EQ(Extract(std::string("C:\\media\\") + name, "app.dll", bytes, info),
              platform::ERROR_BAD_FORMAT)
        << name;
  }
  for (const char* name : {"header.cab", "notcab.cab"}) {
    CabinetFileInfo info;
    EXPECT_EQ(FindCabinetFile(run, std::string("C:\\media\\") + name, "app.dll", info),
              platform::ERROR_BAD_FORMAT)
        << name;
  }
}

TEST_F(CabinetFiles, SzddExpandedPlainFilesPassed) {
  const std::string text = Pattern(50000, 'q') + std::string(3000, 'z');
  WriteHost("media/app.dll", text);
  InMedia("mscompress app.dll && mv app.dll_ app.dl_");
  std::string bytes;
  bool bCompressed = false;
  const ByteSink append = [&](const uint8_t* p, size_t n) {
    bytes.append(reinterpret_cast<const char*>(p), n);
    return true;
  };
  ASSERT_EQ(ExpandFile(run, "C:\\media\\app.dl_", append, bCompressed), 0u);
  EXPECT_TRUE(bCompressed);
  EXPECT_TRUE(bytes == text);
  bytes.clear();
  ASSERT_EQ(ExpandFile(run, "C:\\media\\app.dll", append, bCompressed), 0u);
  EXPECT_FALSE(bCompressed);
  EXPECT_TRUE(bytes == text);
  const std::string compressed = ReadHost("media/app.dl_");
  WriteHost("media/cut.dl_", compressed.substr(0, compressed.size() / 2));
  EXPECT_EQ(ExpandFile(run, "C:\\media\\cut.dl_", append, bCompressed), platform::ERROR_BAD_FORMAT);
  EXPECT_EQ(ExpandFile(run, "C:\\media\\none.dl_", append, bCompressed),
            platform::ERROR_FILE_NOT_FOUND);
}

}  // namespace
}  // namespace tarvium::test
