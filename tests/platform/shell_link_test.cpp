// The shell-link reader on links written by the shell's own link object (tests/data/lnk, made by
// make-links.sh) and on hand-built links for the forms those do not hold (Unicode link
// information, a share, a relative path, ANSI strings), and on damaged links of every kind.
// And the shell-link writer, checked by two readers: ours and lnkinfo (liblnk-utils). Every field
// the writer sets must come back the same from both, for a local, a network and a bare-name target,
// with and without the flags that add structures. lnkinfo 20181227 prints the file-size field in
// place of the show command and the hot key, so those two are checked with our reader alone.
#include "platform/shell_link.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "platform/byte_writer.h"
#include "platform/code_page.h"
#include "platform/processes.h"
#include "support/lnkinfo.h"
#include "support/temp_dir.h"
#include "support/test_data.h"

namespace platform {
namespace {

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
