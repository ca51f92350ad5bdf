// The shell link line without a machine: fields and defaults, the quoted target, the link path
// below Programs, the run filters by prefix and the Program Manager item of a link line.
#include "sysconfig/shell_line.h"

#include <gtest/gtest.h>

namespace tarvium {
namespace {

ShellLinkLine Parse(const std::string& line, bool bExpectOk = true) {
  ShellLinkLine parsed;
  std::string link;
  EXPECT_EQ(ParseShellLine(
                line,
                [](std::string& f) {
                  if (f == "%Cmd%") f = "\"C:\\Pro gram\\x.exe\" -a \"b c\"";
                },
                parsed, link),
            bExpectOk)
      << line;
  return parsed;
}

TEST(ShellLine, FieldsDefaultsAndQuotedTarget) {
  ShellLinkLine l =
      Parse("G\\L, C:\\t.exe, -x, C:\\W, Desc, C:\\i.ico, -2, 7, 1601, HAS_RELPATH+RUNAS_USER");
  EXPECT_EQ(l.link, "G\\L");
  EXPECT_EQ(l.target, "C:\\t.exe");
  EXPECT_EQ(l.arguments, "-x");
  EXPECT_EQ(l.workingDir, "C:\\W");
  EXPECT_EQ(l.description, "Desc");
  EXPECT_EQ(l.iconFile, "C:\\i.ico");
  EXPECT_EQ(l.iIconIndex, -2);
  EXPECT_EQ(l.iShowCmd, 7);
  EXPECT_EQ(l.wHotKey, 1601);
  EXPECT_EQ(l.dwLinkFlags, 0x2008u);

  l = Parse("L,t.exe");
  EXPECT_EQ(l.iIconIndex, 0);
  EXPECT_EQ(l.iShowCmd, -1);
  EXPECT_EQ(l.wHotKey, 0);
  EXPECT_EQ(l.dwLinkFlags, 0u);
  EXPECT_EQ(Parse("L,t,,,,,,,70000,1024").wHotKey, 70000 & 0xFFFF);
  EXPECT_EQ(Parse("L,t,,,,,,,,1024").dwLinkFlags, 1024u);  // a decimal number

  // A target that starts with a quote carries its arguments, unless arguments are given.
  l = Parse("L,%Cmd%");
  EXPECT_EQ(l.target, "C:\\Pro gram\\x.exe");
  EXPECT_EQ(l.arguments, "-a \"b c\"");
  l = Parse("L,%Cmd%,given");
  EXPECT_EQ(l.target, "\"C:\\Pro gram\\x.exe\" -a \"b c\"");
  EXPECT_EQ(l.arguments, "given");
  l = Parse("L,'\"C:\\x y\\p.exe\"   /s'");  // a single-quoted field keeps the double quotes
  EXPECT_EQ(l.target, "C:\\x y\\p.exe");
  EXPECT_EQ(l.arguments, "/s");

  EXPECT_EQ(Parse("L,t,,,,,,,,HAS_ARGS+NO_SUCH", false).dwLinkFlags, 0u);
}

TEST(ShellLine, LinkPathBelowProgramsAndTheProgmanItemOfALinkLine) {
  const struct {
    const char* pszLink;
    const char* pszPath;
  } cases[] = {
      {"Tool", "C:\\P\\Tool.lnk"},
      {"Group\\Tool", "C:\\P\\Group\\Tool.lnk"},
      {"Group\\Old.PIF", "C:\\P\\Group\\Old.PIF"},
      {"Tool.lnk", "C:\\P\\Tool.lnk"},
      {"Tool v1.2", "C:\\P\\Tool v1.2.lnk"},
      {"D:\\Links\\T", "D:\\Links\\T.lnk"},
      {"\\Links\\T.txt", "\\Links\\T.txt.lnk"},
  };
  for (const auto& c : cases) EXPECT_EQ(CompleteLinkPath(c.pszLink, "C:\\P"), c.pszPath);
  EXPECT_EQ(CompleteLinkPath("T", "C:\\P\\"), "C:\\P\\T.lnk");

  ShellLinkLine l = Parse("Tools\\Sub\\Edit.lnk,C:\\e.exe,-n,C:\\W,,C:\\i.ico,2,7,12");
  ProgmanItem item = ProgmanItemOfLink(l, "Tools\\Sub\\Edit.lnk");
  EXPECT_EQ(item.group, "Tools");
  EXPECT_EQ(item.name, "Edit");
  EXPECT_EQ(item.text, "C:\\e.exe -n,Edit,C:\\i.ico,2,,,C:\\W,12,1");
  item = ProgmanItemOfLink(Parse("Solo,C:\\s.exe"), "Solo");
  EXPECT_EQ(item.group, "Solo");
  EXPECT_EQ(item.text, "C:\\s.exe,Solo,,0,,,,0,0");
}

TEST(ShellLine, RunFiltersByPrefix) {
  LinkRunKind plain, admin, workstation, user, client, medium, commonPlain, commonUser;
  admin.bAdminSetup = true;
  workstation.bWorkstationSetup = true;
  user.bUserSetup = true;
  client.bClientSetup = true;
  medium.bFromMedium = true;
  commonPlain.bCommonShellLinks = true;
  commonUser.bCommonShellLinks = commonUser.bUserSetup = true;
  LinkRunKind commonWorkstation = workstation;
  commonWorkstation.bCommonShellLinks = true;
  const struct {
    const char* pszLink;
    const LinkRunKind& run;
    bool bMade;
  } cases[] = {
      {"%UserDesktop%\\T", plain, true},
      {"%userprograms%\\T", workstation, false},
      {"%UserDesktop%\\T", admin, false},
      {"%UserDesktop%\\T", user, true},
      {"%CommonDesktop%\\T", user, false},
      {"%CommonDesktop%\\T", workstation, true},
      {"%CommonDesktop%\\T", admin, false},
      {"%App%\\T", client, false},
      {"%App%\\T", medium, false},
      {"%App%\\T", workstation, true},
      {"G\\T", plain, true},
      {"G\\T", workstation, false},
      {"G\\T", user, true},
      {"G\\T", commonPlain, true},
      {"G\\T", commonUser, false},
      {"G\\T", commonWorkstation, true},
  };
  for (const auto& c : cases) EXPECT_EQ(LinkMadeInRun(c.pszLink, c.run), c.bMade) << c.pszLink;
}

}  // namespace
}  // namespace tarvium
