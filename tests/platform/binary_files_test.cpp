// Finding the version resource in real PE files built by tests/data/pe/build.sh, and refusing
// truncated and damaged ones cleanly.
// The byte reader refuses every read that would leave its buffer and stays where it was.
// The shell-link reader on links written by the shell's own link object (tests/data/lnk, made by
// make-links.sh) and on hand-built links for the forms those do not hold (Unicode link
// information, a share, a relative path, ANSI strings), and on damaged links of every kind.
// And the shell-link writer, checked by two readers: ours and lnkinfo (liblnk-utils). Every field
// the writer sets must come back the same from both, for a local, a network and a bare-name target,
// with and without the flags that add structures. lnkinfo 20181227 prints the file-size field in
// place of the show command and the hot key, so those two are checked with our reader alone.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/byte_reader.h"
#include "platform/byte_writer.h"
#include "platform/code_page.h"
#include "platform/pe_resources.h"
#include "platform/processes.h"
#include "platform/shell_link.h"
#include "platform/win_error.h"
#include "support/lnkinfo.h"
#include "support/temp_dir.h"
#include "support/test_data.h"

namespace platform {
namespace {

using tarvium::test::AsBytes;
using tarvium::test::ReadTestData;

uint32_t FindVersion(const std::string& file, std::string* pBlock = nullptr) {
  std::span<const uint8_t> data;
  const uint32_t err = FindPeResource(AsBytes(file), RT_VERSION, data);
  if (pBlock) pBlock->assign(data.begin(), data.end());
  return err;
}

uint32_t U32At(const std::string& bytes, size_t nOffset) {
  uint32_t dw = 0;
  std::memcpy(&dw, bytes.data() + nOffset, 4);  // the tests run on little-endian hosts
  return dw;
}

void SetU32(std::string& bytes, size_t nOffset, uint32_t dw) {
  std::memcpy(bytes.data() + nOffset, &dw, 4);
}

// Where the resource tree of english64.exe lies: its one type, one name and one language.
struct ResourceLayout {
  size_t nRoot = 0;       // file offset of the root directory (start of .rsrc)
  size_t nNames = 0;      // of the name directory under type 16
  size_t nLanguages = 0;  // of the language directory
  size_t nDataEntry = 0;  // of the data entry
};

ResourceLayout LayoutOf(const std::string& file) {
  ResourceLayout layout;
  const size_t nSection = file.find(std::string(".rsrc\0\0\0", 8));
  EXPECT_NE(nSection, std::string::npos);
  layout.nRoot = U32At(file, nSection + 20);  // PointerToRawData
  const auto Below = [&](size_t nDirectory) {
    return layout.nRoot + (U32At(file, nDirectory + 20) & 0x7FFFFFFF);  // first entry's target
  };
  layout.nNames = Below(layout.nRoot);
  layout.nLanguages = Below(layout.nNames);
  layout.nDataEntry = Below(layout.nLanguages);
  return layout;
}

TEST(PeResources, FindsTheVersionOfRealFilesAndTruncatedOnesFailOrGiveItWhole) {
  for (const char* name : {"english64.exe", "german32.dll", "untranslated32.exe"}) {
    std::string block;
    ASSERT_EQ(FindVersion(ReadTestData(std::string("pe/") + name), &block), ERROR_SUCCESS) << name;
    ASSERT_GE(block.size(), 6u) << name;
    EXPECT_EQ(static_cast<uint8_t>(block[0]) | static_cast<uint8_t>(block[1]) << 8, block.size())
        << name;  // the block's own length is the resource's size
    EXPECT_EQ(block.substr(6, 30), std::string("V\0S\0_\0V\0E\0R\0S\0I\0O\0N\0_\0I\0N\0F\0O\0", 30))
        << name;
  }
  EXPECT_EQ(FindVersion(ReadTestData("pe/rcdata64.exe")), ERROR_RESOURCE_TYPE_NOT_FOUND);
  EXPECT_EQ(FindVersion(ReadTestData("pe/bare32.exe")), ERROR_RESOURCE_DATA_NOT_FOUND);
  EXPECT_EQ(FindVersion("MZ but not much more"), ERROR_BAD_EXE_FORMAT);
  EXPECT_EQ(FindVersion(ReadTestData("pe/build.sh")), ERROR_BAD_EXE_FORMAT);
  EXPECT_EQ(FindVersion(""), ERROR_BAD_EXE_FORMAT);

  for (const char* name : {"english64.exe", "german32.dll"}) {
    const std::string file = ReadTestData(std::string("pe/") + name);
    std::string whole;
    ASSERT_EQ(FindVersion(file, &whole), ERROR_SUCCESS);
    size_t nShortestFound = file.size();
    for (size_t nLength = 0; nLength < file.size(); ++nLength) {
      std::string block;
      const uint32_t err = FindVersion(file.substr(0, nLength), &block);
      if (err == ERROR_SUCCESS) {
        EXPECT_EQ(block, whole) << name << " cut at " << nLength;
        nShortestFound = std::min(nShortestFound, nLength);
      } else {
        EXPECT_EQ(err, ERROR_BAD_EXE_FORMAT) << name << " cut at " << nLength;
      }
    }
    // Found exactly when the file still holds the resource's last byte.
    EXPECT_EQ(file.substr(nShortestFound - whole.size(), whole.size()), whole) << name;
  }
}

TEST(PeResources, DamagedResourceDirectoriesFailCleanly) {
  const std::string file = ReadTestData("pe/english64.exe");
  const ResourceLayout at = LayoutOf(file);
  struct Damage {
    const char* what;
    size_t nOffset;
    uint32_t dwValue, dwError;
  };
  const Damage damages[] = {
      {"huge entry count", at.nRoot + 12, 0xFFFF0000, ERROR_BAD_EXE_FORMAT},
      {"type points outside", at.nRoot + 20, 0xFFFFFFF0, ERROR_BAD_EXE_FORMAT},
      {"type is data, not a directory", at.nRoot + 20, 0x10, ERROR_BAD_EXE_FORMAT},
      {"name directory is the root again", at.nNames + 20, 0x80000000, ERROR_BAD_EXE_FORMAT},
      {"language directory is itself", at.nLanguages + 20,
       0x80000000 | static_cast<uint32_t>(at.nLanguages - at.nRoot), ERROR_BAD_EXE_FORMAT},
      {"no language", at.nLanguages + 14, 0, ERROR_RESOURCE_LANG_NOT_FOUND},
      {"no name", at.nNames + 12, 0, ERROR_RESOURCE_NAME_NOT_FOUND},
      {"other type", at.nRoot + 16, 3, ERROR_RESOURCE_TYPE_NOT_FOUND},
      {"data outside every section", at.nDataEntry, 0x7FFF0000, ERROR_BAD_EXE_FORMAT},
      {"data larger than its section", at.nDataEntry + 4, 0xFFFFFFFF, ERROR_BAD_EXE_FORMAT},
      {"section table beyond the file", U32At(file, 0x3C) + 6, 0x0000FFFF, ERROR_BAD_EXE_FORMAT},
  };
  for (const Damage& damage : damages) {
    std::string bad = file;
    SetU32(bad, damage.nOffset, damage.dwValue);
    EXPECT_EQ(FindVersion(bad), damage.dwError) << damage.what;
  }
  // PE32+: the resource slot is the third data directory after NumberOfRvaAndSizes at 108.
  std::string noResources = file;
  SetU32(noResources, U32At(file, 0x3C) + 24 + 112 + 2 * 8, 0);
  EXPECT_EQ(FindVersion(noResources), ERROR_RESOURCE_DATA_NOT_FOUND);
}

TEST(ByteReader, ReadsLittleEndianAndStopsAtTheEnd) {
  const std::vector<uint8_t> bytes = {0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 'h',
                                      0,    'i',  0,    0,    0,    0x7F};
  ByteReader reader(bytes);
  uint16_t u16 = 0;
  uint32_t u32 = 0;
  std::u16string wide;
  ASSERT_TRUE(reader.ReadU16(u16));
  ASSERT_TRUE(reader.ReadU32(u32));
  ASSERT_TRUE(reader.ReadUtf16z(wide));
  EXPECT_EQ(u16, 0x1234);
  EXPECT_EQ(u32, 0x12345678u);
  EXPECT_EQ(wide, u"hi");
  EXPECT_EQ(reader.Position(), 12u);

  uint64_t u64 = 0;
  EXPECT_FALSE(reader.ReadU64(u64));
  EXPECT_FALSE(reader.ReadU16(u16));
  EXPECT_EQ(reader.Position(), 12u);  // a failed read does not move
  std::string ansi;
  EXPECT_FALSE(reader.ReadAnsiz(ansi));  // no terminator before the end
  EXPECT_EQ(reader.Position(), 12u);
  EXPECT_FALSE(reader.Skip(2));
  EXPECT_TRUE(reader.AlignTo(4));  // 12 is aligned already
  EXPECT_FALSE(reader.Seek(14));
}

TEST(ByteReader, SlicesOnlyInsideTheBuffer) {
  const std::vector<uint8_t> bytes(16, 0xAB);
  ByteReader reader(bytes);
  EXPECT_TRUE(reader.Slice(8, 8).has_value());
  EXPECT_FALSE(reader.Slice(8, 9).has_value());
  EXPECT_FALSE(reader.Slice(17, 0).has_value());
  EXPECT_FALSE(reader.Slice(4, SIZE_MAX).has_value());  // no overflow of offset plus size
  std::u16string wide;
  EXPECT_FALSE(reader.ReadUtf16(SIZE_MAX / 2 + 1, wide));
  ASSERT_TRUE(reader.Skip(3));
  ASSERT_TRUE(reader.AlignTo(4));
  EXPECT_EQ(reader.Position(), 4u);
}

using Bytes = std::vector<uint8_t>;

Bytes ReadData(const std::string& name) {
  const std::string bytes = tarvium::test::ReadTestData("lnk/" + name);
  return Bytes(bytes.begin(), bytes.end());
}

void PutUtf16z(Bytes& out, const std::u16string& text) {
  for (char16_t c : text) PutU16(out, c);
  PutU16(out, 0);
}

Bytes Header(uint32_t dwFlags, uint32_t dwShow = 1) {
  Bytes out;
  PutU32(out, 0x4C);
  for (uint8_t b : {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00,
                    0x00, 0x00, 0x46})
    out.push_back(b);
  PutU32(out, dwFlags);
  out.resize(0x3C);
  PutU32(out, dwShow);
  out.resize(0x4C);
  return out;
}

// Link information with the Unicode offsets: a local path "C:\Ünï" + "\x.cmd" whose ANSI forms
// say something else, so the test sees which form was taken.
Bytes UnicodeLinkInfo() {
  Bytes strings;
  const uint32_t dwVolume = 0x24;
  PutU32(strings, 0x11);  // VolumeID: size, drive type, serial, label offset, empty label
  PutU32(strings, 3);
  PutU32(strings, 0);
  PutU32(strings, 0x10);
  strings.push_back(0);
  const uint32_t dwAnsiBase = dwVolume + static_cast<uint32_t>(strings.size());
  PutAnsiz(strings, "C:\\ANSI");
  const uint32_t dwAnsiSuffix = dwVolume + static_cast<uint32_t>(strings.size());
  PutAnsiz(strings, "ansi.cmd");
  const uint32_t dwUnicodeBase = dwVolume + static_cast<uint32_t>(strings.size());
  PutUtf16z(strings, u"C:\\\u00DCn\u00EF\\");
  const uint32_t dwUnicodeSuffix = dwVolume + static_cast<uint32_t>(strings.size());
  PutUtf16z(strings, u"x.cmd");
  Bytes info;
  PutU32(info, dwVolume + static_cast<uint32_t>(strings.size()));
  for (uint32_t value :
       {0x24u, 1u, dwVolume, dwAnsiBase, 0u, dwAnsiSuffix, dwUnicodeBase, dwUnicodeSuffix})
    PutU32(info, value);
  info.insert(info.end(), strings.begin(), strings.end());
  return info;
}

Bytes NetworkLinkInfo() {
  Bytes network;
  PutU32(network, 0x14 + 14);
  for (uint32_t value : {0u, 0x14u, 0u, 0u}) PutU32(network, value);
  PutAnsiz(network, "\\\\srv\\share");
  network.resize(0x14 + 14);
  Bytes info;
  const uint32_t dwSuffix = 0x1C + static_cast<uint32_t>(network.size());
  PutU32(info, dwSuffix + 10);
  for (uint32_t value : {0x1Cu, 2u, 0u, 0u, 0x1Cu, dwSuffix}) PutU32(info, value);
  info.insert(info.end(), network.begin(), network.end());
  PutAnsiz(info, "dir\\x.cmd");
  return info;
}

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(ShellLink, ReadsEveryFormOfTargetsAndStringsAndDamagedLinksFailCleanly) {
  // ANSI string data: a relative path taken against the link's folder, arguments.
  Bytes ansi = Header(kLinkHasRelativePath | kLinkHasArguments);
  PutU16(ansi, 10);
  for (char c : std::string("..\\Tools\\x")) ansi.push_back(static_cast<uint8_t>(c));
  PutU16(ansi, 3);
  for (int c : {0x61, 0xE9, 0x62}) ansi.push_back(static_cast<uint8_t>(c));
  struct Case {
    Bytes bytes;
    const char *pszLinkPath, *pszTarget, *pszArguments, *pszWorkingDir, *pszName;
    uint32_t dwShow;
  };
  // Unicode strings come back in the ANSI code page; what it cannot hold becomes '?'. A link
  // without a show command, or with one a link does not store, shows normally.
  const Case cases[] = {
      {ReadData("show-args.lnk"), "C:\\Links\\show-args.lnk", "C:\\Tools\\show-args.cmd",
       "first \"two words\" last", "C:\\Work", "Shows its arguments", SW_SHOWMAXIMIZED},
      {ReadData("minimized.lnk"), "x.lnk", "C:\\Tools\\show-args.cmd", "-m", "", "",
       SW_SHOWMINNOACTIVE},
      {ReadData("unicode.lnk"), "x.lnk", "C:\\Tools\\gr\xFC\xDF\x65.cmd", "caf\xE9 ?",
       "C:\\Daten\\\xC4nderung", "? ok", SW_SHOWNORMAL},
      {Concat(Header(kLinkHasLinkInfo, 0), UnicodeLinkInfo()), "", "C:\\\xDCn\xEF\\x.cmd", "", "",
       "", SW_SHOWNORMAL},
      {Concat(Header(kLinkHasLinkInfo, 2), NetworkLinkInfo()), "", "\\\\srv\\share\\dir\\x.cmd", "",
       "", "", SW_SHOWNORMAL},
      {ansi, "C:\\Links\\x.lnk", "C:\\Links\\..\\Tools\\x", "a\xE9\x62", "", "", SW_SHOWNORMAL},
      {ansi, "x.lnk", "..\\Tools\\x", "a\xE9\x62", "", "", SW_SHOWNORMAL},
  };
  ShellLink link;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pszTarget);
    ASSERT_TRUE(ReadShellLink(c.bytes, link));
    EXPECT_EQ(ShellLinkTarget(link, c.pszLinkPath), c.pszTarget);
    EXPECT_EQ(link.szArguments, c.pszArguments);
    EXPECT_EQ(link.szWorkingDir, c.pszWorkingDir);
    EXPECT_EQ(link.szName, c.pszName);
    EXPECT_EQ(ShowCommandOfLink(link), c.dwShow);
  }

  // Link information marked to be ignored gives no target.
  ASSERT_TRUE(ReadShellLink(
      Concat(Header(kLinkHasLinkInfo | kLinkForceNoLinkInfo), UnicodeLinkInfo()), link));
  EXPECT_EQ(ShellLinkTarget(link, "x.lnk"), "");

  // Damaged links fail cleanly.
  for (const char* pszName : {"show-args.lnk", "minimized.lnk", "unicode.lnk"}) {
    const Bytes bytes = ReadData(pszName);
    ASSERT_GT(bytes.size(), 4u);
    // Everything before the closing empty extra-data block is needed.
    for (size_t nSize = 0; nSize + 4 < bytes.size(); ++nSize)
      EXPECT_FALSE(ReadShellLink(std::span(bytes.data(), nSize), link)) << pszName << " " << nSize;
    Bytes wrongSize = bytes;
    wrongSize[0] = 0x4B;
    EXPECT_FALSE(ReadShellLink(wrongSize, link));
    Bytes wrongClass = bytes;
    wrongClass[4] ^= 1;
    EXPECT_FALSE(ReadShellLink(wrongClass, link));
  }
  // A link with its link information changed at one byte.
  const auto withInfo = [](Bytes info, size_t nOffset, size_t nValue) {
    info[nOffset] = static_cast<uint8_t>(nValue);
    return Concat(Header(kLinkHasLinkInfo), info);
  };
  const Bytes info = UnicodeLinkInfo();
  Bytes unterminated = info;  // the last Unicode string loses its terminator
  unterminated.resize(info.size() - 2);
  std::vector<Bytes> damaged = {
      Concat(Header(kLinkHasArguments | kLinkIsUnicode), {0xFF, 0xFF, 'a', 0}),  // string length
      Concat(Header(kLinkHasTargetIdList), {40, 0}),                             // item list size
      withInfo(info, 0, info.size() + 1),  // size past the end
      withInfo(info, 4, info.size() + 1),  // header larger than the structure
      withInfo(info, 0x1C, info.size()),   // string offset at the end
      withInfo(unterminated, 0, unterminated.size()),
      withInfo(NetworkLinkInfo(), 0x1C, 0xF0),  // share structure that does not fit
  };
  for (size_t i = 0; i < damaged.size(); ++i) EXPECT_FALSE(ReadShellLink(damaged[i], link)) << i;
}

using tarvium::test::ReadLnkInfo;

ShellLinkProperties FullLink() {
  ShellLinkProperties p;
  p.path = "C:\\Program Files\\Tarvium\\T\xF6ol.exe";
  p.arguments = "/a \"b c\"";
  p.workingDir = "C:\\Work";
  p.description = "Caf\xE9 tool";
  p.iconFile = "C:\\Icons\\t.ico";
  p.iIconIndex = -3;
  p.iShowCmd = 7;
  p.wHotKey = 0x0641;
  p.linkPath = "C:\\Users\\U\\Start Menu\\Programs\\Group\\Tool.lnk";
  p.dwFileAttributes = 0x20;
  p.nFileSize = 1234;
  p.ftWrite = 133000000000000000ull;
  return p;
}

TEST(ShellLinkWrite, BothReadersSeeEveryField) {
  ShellLinkProperties network = FullLink();
  network.path = "\\\\srv\\share\\dir\\x.exe";
  network.dwExtraFlags = kLinkHasRelativePath;
  ShellLinkProperties bare;
  bare.path = "notepad.exe";
  bare.linkPath = "C:\\l.lnk";
  ShellLinkProperties extras = FullLink();
  extras.dwExtraFlags = kLinkHasRelativePath | kLinkHasExpString | kLinkHasExpIcon | 0x2000;
  extras.arguments.clear();
  extras.dwExtraFlags |= kLinkHasArguments;  // asked for without text: not written
  const tarvium::test::TempDir dir;
  for (const ShellLinkProperties& p : {FullLink(), network, bare, extras}) {
    SCOPED_TRACE(p.path);
    const std::vector<uint8_t> bytes = WriteShellLink(p);
    ShellLink link;
    ASSERT_TRUE(ReadShellLink(bytes, link));
    EXPECT_EQ(ShellLinkTarget(link, p.linkPath), p.path);
    EXPECT_EQ(link.szArguments, p.arguments);
    EXPECT_EQ(link.szWorkingDir, p.workingDir);
    EXPECT_EQ(link.szName, p.description);
    EXPECT_EQ(link.szIconLocation, p.iconFile);
    EXPECT_EQ(link.iIconIndex, p.iIconIndex);
    EXPECT_EQ(link.dwShowCommand, p.iShowCmd < 0 ? SW_SHOWNORMAL : uint32_t(p.iShowCmd));
    EXPECT_EQ(link.wHotKey, p.wHotKey);
    EXPECT_EQ(link.dwLinkFlags & p.dwExtraFlags, p.dwExtraFlags & ~kLinkHasArguments);
    EXPECT_EQ((link.dwLinkFlags & kLinkHasArguments) != 0, !p.arguments.empty());
    EXPECT_EQ(link.nFileSize, p.nFileSize);
    EXPECT_EQ(link.ftWrite, p.ftWrite);
    EXPECT_EQ(link.dwFileAttributes, p.dwFileAttributes);

    const auto info = ReadLnkInfo(dir.WriteFile("x.lnk", std::string(bytes.begin(), bytes.end())));
    ASSERT_EQ(info.nExit, 0) << info.out;
    const bool bNetwork = p.path[0] == '\\';
    EXPECT_EQ(info[bNetwork ? "Network path" : "Local path"], AnsiToUtf8(p.path)) << info.out;
    const auto expectText = [&](const char* pszKey, const std::string& text, uint32_t dwFlag) {
      EXPECT_EQ(info[pszKey], link.dwLinkFlags & dwFlag ? AnsiToUtf8(text) : "<none>") << pszKey;
    };
    expectText("Description", p.description, kLinkHasName);
    expectText("Working directory", p.workingDir, kLinkHasWorkingDir);
    expectText("Command line arguments", p.arguments, kLinkHasArguments);
    expectText("Icon location", p.iconFile, kLinkHasIconLocation);
    expectText("Relative path", RelativeLinkPath(p.linkPath, p.path), kLinkHasRelativePath);
    expectText("Environment variables location", p.path, kLinkHasExpString);
    EXPECT_EQ(info["Icon index"], std::to_string(p.iIconIndex));
    EXPECT_EQ(info["File size"], std::to_string(p.nFileSize) + " bytes");
    if (!bNetwork && p.path.find(':') != std::string::npos) {
      EXPECT_EQ(info["Name"], "Program Files") << "the first item of the folder path";
    }
  }
}

TEST(ShellLinkWrite, RelativePathsFromTheLinkFolder) {
  const struct {
    const char *pszLink, *pszTarget, *pszRelative;
  } cases[] = {
      {"C:\\A\\B\\x.lnk", "C:\\A\\C\\t.exe", "..\\C\\t.exe"},
      {"C:\\A\\x.lnk", "C:\\A\\t.exe", ".\\t.exe"},
      {"C:\\A\\x.lnk", "c:\\a\\sub\\t.exe", ".\\sub\\t.exe"},
      {"C:\\x.lnk", "C:\\t.exe", ".\\t.exe"},
      {"D:\\A\\x.lnk", "C:\\A\\t.exe", "C:\\A\\t.exe"},
      {"\\\\s\\h\\a\\x.lnk", "\\\\s\\h\\b\\t.exe", "..\\b\\t.exe"},
      {"C:\\A\\x.lnk", "t.exe", "t.exe"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(RelativeLinkPath(c.pszLink, c.pszTarget), c.pszRelative) << c.pszLink;
}

}  // namespace
}  // namespace platform
