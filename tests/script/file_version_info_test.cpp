// The version information of real PE files on an emulated machine, and of version blocks that
// are cut short or damaged.
#include "script/file_version_info.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/date_time_variables.h"
#include "engine/setup_run.h"
#include "platform/language_name.h"
#include "platform/pe_resources.h"
#include "script/script_engine.h"
#include "support/test_data.h"
#include "support/test_machine.h"

namespace {

using namespace tarvium;
using test::AsBytes;
using test::ReadTestData;

// The raw version block of a test file.
std::string VersionBlockOf(const std::string& name) {
  const std::string file = ReadTestData("pe/" + name);
  std::span<const uint8_t> data;
  EXPECT_EQ(platform::FindPeResource(AsBytes(file), platform::RT_VERSION, data), 0u) << name;
  return std::string(data.begin(), data.end());
}

// The offset of the node whose key is `key` (ASCII) in a version block.
size_t NodeOf(const std::string& block, const std::string& key) {
  std::string wide;
  for (char c : key) wide += {c, '\0'};
  const size_t nKey = block.find(wide + std::string(2, '\0'));
  EXPECT_NE(nKey, std::string::npos) << key;
  return nKey - 6;
}

void SetU16(std::string& bytes, size_t nOffset, uint16_t w) {
  bytes[nOffset] = static_cast<char>(w & 0xFF);
  bytes[nOffset + 1] = static_cast<char>(w >> 8);
}

TEST(FileVersionInfo, ReadsReal32And64BitFilesOnTheMachine) {
  test::TestMachine machine;
  SetupRun run(machine.Machine());
  for (const char* name :
       {"english64.exe", "german32.dll", "untranslated32.exe", "rcdata64.exe", "bare32.exe"}) {
    ASSERT_EQ(run.machine.Files().WriteWholeFile(std::string("C:\\") + name,
                                                 ReadTestData(std::string("pe/") + name)),
              0u);
  }
  ASSERT_EQ(run.machine.Files().WriteWholeFile("C:\\readme.txt", "MZ is not enough"), 0u);

  FileVersionInfo info;
  ASSERT_TRUE(ReadFileVersionInfo(run, "C:\\english64.exe", info));
  EXPECT_EQ(info.wVersionParts, (std::array<uint16_t, 4>{2, 3, 40, 500}));
  EXPECT_EQ(info.dwFileVersionMS, 0x00020003u);
  EXPECT_EQ(info.dwFileVersionLS, 0x002801F4u);
  EXPECT_EQ(info.dwProductVersionMS, 0x00020003u);
  // Padded as "2.03.40.500" in CopyConflicts.RuntimeCheckWarnsAboutAnOlderFileOnTheSearchPath.
  EXPECT_EQ(info.szVersion, "2.3.40.500");
  EXPECT_EQ(info.szDescription, "Tarvium sample program");
  EXPECT_EQ(info.wLanguage, 0x0409);
  EXPECT_EQ(info.szLanguageName, "English (United States)");
  EXPECT_EQ(info.wCodePage, 1252);
  EXPECT_EQ(info.nCharSetText, 5023u);
  EXPECT_EQ(info.dwFileOS, 0x00040004u);  // VOS_NT_WINDOWS32
  EXPECT_EQ(info.nTargetOs, 32u);

  // German first, a Unicode English table second: the first translation decides.
  ASSERT_TRUE(ReadFileVersionInfo(run, "c:\\GERMAN32.DLL", info));
  EXPECT_EQ(info.szVersion, "10.0.19041.1");
  EXPECT_EQ(FormatPaddedVersion(info), "10.00.19041.01");
  EXPECT_EQ(info.szDescription,
            "Bibliothek f\xFCr Gr\xF6\xDF"
            "en");
  EXPECT_EQ(info.szLanguageName, "German (Germany)");
  EXPECT_EQ(info.nCharSetText, 5023u);
  EXPECT_EQ(info.nTargetOs, 16u);

  // No translation list: the 040904E4 table (written in lower case in the file).
  ASSERT_TRUE(ReadFileVersionInfo(run, "C:\\untranslated32.exe", info));
  EXPECT_EQ(info.szVersion, "1.2.3.4");
  EXPECT_EQ(info.szDescription, "Untranslated sample");
  EXPECT_EQ(info.wLanguage, 0x0409);
  EXPECT_EQ(info.wCodePage, 1252);
  EXPECT_EQ(info.nTargetOs, 0u);

  // The text of a file that has one: the FileVersion rows of MachineFunctions.
  std::string version;
  for (const char* path :

       {"C:\\rcdata64.exe", "C:\\bare32.exe", "C:\\readme.txt", "C:\\missing.exe", "C:\\Windows"}) {
    version = "old";
    EXPECT_FALSE(GetFileVersionText(run, path, version)) << path;
    EXPECT_EQ(version, "") << path;
  }
}

// A new machine's User.exe carries the machine's language, and the installation language falls
// back to it when the registry does not tell; a file without a translation list gives 0.
TEST(FileVersionInfo, UserExeOfTheMachineGivesTheInstallationLanguage) {
  for (const uint16_t wLanguage : {uint16_t{0x0409}, uint16_t{0x0407}, uint16_t{0x0C0A}}) {
    test::TestMachine machine({"User", "PC", wLanguage});
    SetupRun run(machine.Machine());
    FileVersionInfo info;
    ASSERT_TRUE(ReadFileVersionInfo(run, "C:\\Windows\\System32\\user.exe", info));
    EXPECT_EQ(info.wLanguage, wLanguage);
    EXPECT_EQ(info.wCodePage, 1200);
    EXPECT_EQ(info.szVersion, "10.0.19045.0");
    EXPECT_EQ(info.szDescription, "Multi-User Windows USER API Client DLL");
    EXPECT_EQ(info.nTargetOs, 32u);

    EXPECT_EQ(GetInstallLanguage(run), wLanguage);  // from the registry
    ASSERT_EQ(run.machine.Reg().DeleteValue(platform::RegRoot::LocalMachine,
                                            "System\\CurrentControlSet\\Control\\Nls\\Language",
                                            "InstallLanguage"),
              0u);
    EXPECT_EQ(GetInstallLanguage(run), 0);  // without the script engine nothing reads User.exe
    AttachScriptEngine(run);
    EXPECT_EQ(GetInstallLanguage(run), wLanguage);
    ASSERT_EQ(run.machine.Files().WriteWholeFile("C:\\Windows\\System32\\User.exe",
                                                 ReadTestData("pe/untranslated32.exe")),
              0u);
    EXPECT_EQ(GetFirstTranslationLanguage(run, "C:\\Windows\\System32\\User.exe"), 0);
    EXPECT_EQ(GetInstallLanguage(run), 0);
    ASSERT_EQ(run.machine.Files().DeleteFile("C:\\Windows\\System32\\User.exe"), 0u);
    EXPECT_EQ(GetInstallLanguage(run), 0);
  }
}

TEST(FileVersionInfo, CutBlocksGiveNoVersionOrTheRightOne) {
  const std::string block = VersionBlockOf("english64.exe");
  FileVersionInfo info;
  size_t nFirstParsed = 0;
  for (size_t nLength = block.size(); nLength-- > 0;) {
    if (!ParseVersionInfo(AsBytes(block.substr(0, nLength)), info)) {
      EXPECT_EQ(info.szVersion, "") << nLength;
      continue;
    }
    nFirstParsed = nLength;
    EXPECT_EQ(info.szVersion, "2.3.40.500") << nLength;
    EXPECT_EQ(std::string("Tarvium sample program").rfind(info.szDescription, 0), 0u) << nLength;
  }
  // The header (6 bytes), the key "VS_VERSION_INFO" with its terminator and padding (34 bytes)
  // and the 52 bytes of fixed file information are needed, nothing more.
  EXPECT_EQ(nFirstParsed, 92u);
}

TEST(FileVersionInfo, DamagedBlocksKeepWhatCanBeRead) {
  const std::string english = VersionBlockOf("english64.exe");
  const std::string german = VersionBlockOf("german32.dll");
  struct Damage {
    const char* what;
    const std::string& block;
    size_t nOffset;
    uint16_t wValue;
    bool bParsed;
    const char* pszDescription;
    uint16_t wLanguage;
  };
  const Damage damages[] = {
      {"root longer than the block", english, 0, 0xFFFF, true, "Tarvium sample program", 0x0409},
      {"string info of length 0", english, NodeOf(english, "StringFileInfo"), 0, true, "", 0x0409},
      {"text length in bytes, not characters", english, NodeOf(english, "FileDescription") + 2,
       0x7FFF, true, "Tarvium sample program", 0x0409},
      {"half a translation", german, NodeOf(german, "Translation") + 2, 2, true, "", 0x0409},
      {"translation of length 0", german, NodeOf(german, "Translation"), 0, true, "", 0x0409},
      {"no fixed file information", english, 2, 0, false, "", 0},
      {"wrong signature", english, NodeOf(english, "VS_VERSION_INFO") + 40, 0x1234, false, "", 0},
  };
  for (const Damage& damage : damages) {
    std::string bad = damage.block;
    SetU16(bad, damage.nOffset, damage.wValue);
    FileVersionInfo info;
    EXPECT_EQ(ParseVersionInfo(AsBytes(bad), info), damage.bParsed) << damage.what;
    EXPECT_EQ(info.szDescription, damage.pszDescription) << damage.what;
    EXPECT_EQ(info.wLanguage, damage.wLanguage) << damage.what;
  }
}

TEST(FileVersionInfo, NamesOfCodePagesLanguagesAndSystems) {
  EXPECT_EQ(CharSetTextNumber(0), 5014u);
  EXPECT_EQ(CharSetTextNumber(1200), 5020u);
  EXPECT_EQ(CharSetTextNumber(1258), 5029u);
  EXPECT_EQ(platform::VerLanguageName(0x0000), "Language Neutral");
  EXPECT_EQ(platform::VerLanguageName(0x1C09), "English");  // a region the table lacks
  EXPECT_EQ(platform::VerLanguageName(0x0439), "Unknown language");
  EXPECT_EQ(TargetOsBits(0x00010001), 16u);  // VOS_DOS_WINDOWS16
  EXPECT_EQ(TargetOsBits(0x00000004), 32u);  // VOS__WINDOWS32
  EXPECT_EQ(TargetOsBits(0x00040000), 0u);   // VOS_NT alone
}

}  // namespace
