// The shell-link writer, checked by two readers: ours and lnkinfo (liblnk-utils). Every field the
// writer sets must come back the same from both, for a local, a network and a bare-name target,
// with and without the flags that add structures. lnkinfo 20181227 prints the file-size field in
// place of the show command and the hot key, so those two are checked with our reader alone.
#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "platform/processes.h"
#include "platform/shell_link.h"
#include "support/lnkinfo.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

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
    const char* pszLink;
    const char* pszTarget;
    const char* pszRelative;
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
