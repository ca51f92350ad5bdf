// Shell links and Program Manager groups on a real temporary machine: where links land, what they
// hold (read back by our reader and by lnkinfo), the targets found or not found, the run filters,
// removal with the ".pif" fall-back and the emptied folders, the messages with Ignore and Cancel,
// the options' shell sections and the Program Manager's groups with the protected ones.
// The shell link line without a machine: fields and defaults, the quoted target, the link path
// below Programs, the run filters by prefix and the Program Manager item of a link line.
#include <gtest/gtest.h>

#include <tuple>

#include "engine/init_variables.h"
#include "install/build_options.h"
#include "install/install_pass.h"
#include "platform/code_page.h"
#include "platform/shell_link.h"
#include "script/execute_cmd.h"
#include "support/answering_ui.h"
#include "support/lnkinfo.h"
#include "sysconfig/link_relay.h"
#include "sysconfig/shell_line.h"
#include "sysconfig/shortcuts.h"
#include "sysconfig/system_configuration.h"
#include "sysconfig_test_run.h"

namespace tarvium::test {
namespace {

class ShortcutRun : public SysconfigTestRun {
 public:
  explicit ShortcutRun(std::string_view infText = "[Setup]\n") : SysconfigTestRun(infText) {
    InitVariables(run);
    AttachSystemConfiguration(run);
    run.ui = std::make_unique<test::AnsweringUserInterface>(kResultIgnore);
    Write("C:\\Tools\\tool.exe", "MZ tool");
  }

  platform::FileSystem& Files() { return machine.Machine().Files(); }
  std::string Programs() { return run.variables.Get("Programs"); }
  bool Make(const std::string& line) { return CreateShellLink(run, state, line); }
  bool Remove(const std::string& line) {
    run.ctx.bUninstall = true;
    const bool bOk = CreateShellLink(run, state, line);
    run.ctx.bUninstall = false;
    return bOk;
  }
  platform::ShellLink ReadLink(const std::string& path) {
    platform::ShellLink link;
    EXPECT_EQ(platform::ReadShellLinkFile(Files(), path, link), 0u) << path;
    return link;
  }
  LnkInfo Lnkinfo(const std::string& path) { return ReadLnkInfo(machine.HostPath(path)); }

  ShortcutState state;
};

TEST(ShellLinks, WhereLinksLandAndWhatBothReadersSee) {
  ShortcutRun t;
  t.run.variables.Set("UninstallString", "\"C:\\Tools\\tool.exe\" /x \"y z\"");
  ASSERT_TRUE(t.Make("Tool,C:\\Tools\\tool.exe,-a,,Caf\xE9,,3,3,1601,HAS_RELPATH"));
  ASSERT_TRUE(t.Make("Old\\Legacy.pif,C:\\Tools\\tool.exe"));
  ASSERT_TRUE(t.Make("Quoted,%UninstallString%"));
  ASSERT_TRUE(t.Make("C:\\Links\\Named,C:\\Tools\\tool.exe,,C:\\Work,,C:\\i.ico,2"));
  const std::string programs = t.Programs();

  const platform::ShellLink tool = t.ReadLink(programs + "\\Tool.lnk");
  EXPECT_EQ(platform::ShellLinkTarget(tool, ""), "C:\\Tools\\tool.exe");
  EXPECT_EQ(tool.szWorkingDir, "C:\\Tools") << "the folder the target was found in";
  EXPECT_EQ(tool.szIconLocation, "C:\\Tools\\tool.exe") << "an icon index without a file";
  EXPECT_EQ(tool.iIconIndex, 3);
  EXPECT_EQ(tool.dwShowCommand, 3u);
  EXPECT_EQ(tool.wHotKey, 1601);
  EXPECT_EQ(tool.nFileSize, 7u) << "the target's size";
  // lnkinfo reads the other fields in the scenario shortcut-group; here the ANSI description and
  // the relative path.
  const LnkInfo info = t.Lnkinfo(programs + "\\Tool.lnk");
  ASSERT_EQ(info.nExit, 0) << info.out;
  EXPECT_EQ(info["Local path"], "C:\\Tools\\tool.exe");
  EXPECT_EQ(info["Description"], platform::AnsiToUtf8("Caf\xE9"));
  EXPECT_EQ(info["Relative path"].substr(0, 3), "..\\");

  EXPECT_TRUE(t.Files().FileExists(programs + "\\Old\\Legacy.pif"));
  const platform::ShellLink quoted = t.ReadLink(programs + "\\Quoted.lnk");
  EXPECT_EQ(platform::ShellLinkTarget(quoted, ""), "C:\\Tools\\tool.exe");
  EXPECT_EQ(quoted.szArguments, "/x \"y z\"");
  const platform::ShellLink named = t.ReadLink("C:\\Links\\Named.lnk");
  EXPECT_EQ(named.szWorkingDir, "C:\\Work");
  EXPECT_EQ(named.szIconLocation, "C:\\i.ico");
  EXPECT_TRUE(t.Messages().empty());
}

TEST(ShellLinks, TheShellFolderIsShownOnceOutsideSilentRuns) {
  for (bool bSilent : {false, true}) {
    ShortcutRun t;
    t.run.ctx.bSilent = bSilent;
    t.run.ctx.szShowShellFolder = "Shown Group";
    ASSERT_TRUE(t.Make("Other\\T,C:\\Tools\\tool.exe"));
    EXPECT_EQ(t.Files().DirectoryExists(t.Programs() + "\\Shown Group"), !bSilent);
    EXPECT_EQ(t.run.ctx.szShowShellFolder.empty(), !bSilent) << "cleared once used";
  }
}

TEST(ShellLinks, TargetsOnTheSearchPathAndUnresolvableOnes) {
  ShortcutRun t;
  t.run.variables.Set("Src", "C:\\Tools\\");
  ASSERT_TRUE(t.Make("Bare,TOOL.EXE"));
  EXPECT_EQ(platform::ShellLinkTarget(t.ReadLink(t.Programs() + "\\Bare.lnk"), ""),
            "C:\\Tools\\TOOL.EXE");  // as SearchPath gives it: the name as asked for
  ASSERT_TRUE(t.Make("Missing,C:\\Nope\\gone.exe,,,,,1"));
  const platform::ShellLink missing = t.ReadLink(t.Programs() + "\\Missing.lnk");
  EXPECT_EQ(platform::ShellLinkTarget(missing, ""), "C:\\Nope\\gone.exe");
  EXPECT_EQ(missing.szWorkingDir, "") << "nothing found to fill it from";
  t.run.ctx.bCreateUnresolvableShellLinks = false;
  ASSERT_TRUE(t.Make("Skipped,C:\\Nope\\gone.exe"));
  ASSERT_TRUE(t.Make("Folder,C:\\Tools"));  // a directory counts as found
  EXPECT_FALSE(t.Files().FileExists(t.Programs() + "\\Skipped.lnk"));
  EXPECT_TRUE(t.Files().FileExists(t.Programs() + "\\Folder.lnk"));
  EXPECT_TRUE(t.Messages().empty());
}

TEST(ShellLinks, UserCommonAndWorkstationFilters) {
  const struct {
    bool SetupContext::*pMode;
    uint32_t dwRunFlags;
    bool bUserMade, bCommonMade, bPlainMade;
  } cases[] = {
      {nullptr, 0, true, true, true},
      {&SetupContext::bUserPartRun, 0, true, false, true},
      {&SetupContext::bWorkstationSetup, 0, false, true, false},
      {nullptr, kRunFlagMachinePart, false, true, false},
      {&SetupContext::bAdminSetup, 0, false, false, false},
  };
  for (const auto& c : cases) {
    ShortcutRun t;
    if (c.pMode) t.run.ctx.*c.pMode = true;
    t.run.ctx.dwRunFlags = c.dwRunFlags;
    ASSERT_TRUE(t.Make("%UserDesktop%\\U,C:\\Tools\\tool.exe"));
    ASSERT_TRUE(t.Make("%CommonDesktop%\\C,C:\\Tools\\tool.exe"));
    ASSERT_TRUE(t.Make("G\\P,C:\\Tools\\tool.exe"));
    auto made = [&](const std::string& path) { return t.Files().FileExists(path); };
    EXPECT_EQ(made(t.run.variables.Get("UserDesktop") + "\\U.lnk"), c.bUserMade);
    EXPECT_EQ(made(t.run.variables.Get("CommonDesktop") + "\\C.lnk"), c.bCommonMade);
    EXPECT_EQ(made(t.Programs() + "\\G\\P.lnk"), c.bPlainMade);
  }
}

TEST(ShellLinks, RemovalWithPifFallBackAndEmptiedFolders) {
  ShortcutRun t;
  const std::string programs = t.Programs();
  ASSERT_TRUE(t.Make("Group\\Sub\\Tool,C:\\Tools\\tool.exe"));
  ASSERT_TRUE(t.Make("Group\\Keep,C:\\Tools\\tool.exe"));
  ASSERT_EQ(t.Files().WriteWholeFile(programs + "\\Group\\Old.pif", "pif"), 0u);
  ASSERT_TRUE(t.Remove("Group\\Sub\\Tool,C:\\Tools\\tool.exe"));
  EXPECT_FALSE(t.Files().DirectoryExists(programs + "\\Group\\Sub"));
  EXPECT_TRUE(t.Files().DirectoryExists(programs + "\\Group")) << "it still holds links";
  ASSERT_TRUE(t.Remove("Group\\Old,C:\\Tools\\tool.exe"));
  EXPECT_FALSE(t.Files().FileExists(programs + "\\Group\\Old.pif"));
  ASSERT_TRUE(t.Remove("Group\\Keep,C:\\Tools\\tool.exe"));
  EXPECT_FALSE(t.Files().DirectoryExists(programs + "\\Group"));
  EXPECT_TRUE(t.Files().DirectoryExists(programs)) << "the Programs folder itself stays";
  ASSERT_TRUE(t.Remove("Group\\Never,C:\\Tools\\tool.exe")) << "a missing link is no failure";
  // A shell folder reached through ".." stays: the scenario shortcut-dotted-names-removal.
}

// Failing folders and links, and Program Manager commands that cannot be sent, ask with Ignore.
TEST(ShellLinks, FailuresAskWithIgnore) {
  for (int nAnswer : {kResultIgnore, kResultOk}) {
    ShortcutRun t;
    t.run.ui = std::make_unique<test::AnsweringUserInterface>(nAnswer);
    ASSERT_EQ(t.Files().WriteWholeFile(t.Programs() + "\\Blocker", "a file"), 0u);
    EXPECT_EQ(t.Make("Blocker\\T,C:\\Tools\\tool.exe"), nAnswer == kResultIgnore);
    ShortcutState noConversation;
    EXPECT_EQ(ProgmanExecute(t.run, noConversation, "[CreateGroup(X)]"), nAnswer == kResultIgnore);
    EXPECT_EQ(t.Messages(), (std::vector<int>{5507, 5534, 5516}));
  }
}

TEST(ShellLinks, OptionShellSectionsInThePassOrder) {
  constexpr const char* kInf =
      "[Application]\nShellLinks=1\n[Options]\nA=A,DEFAULT\nA\\B=B,DEFAULT\nC=C\n"
      "[A]\n[A\\B]\n[C]\n"
      "[Shell:A]\nG\\%OptionName%,C:\\Tools\\tool.exe\n"
      "[Shell:<A>]\nG\\Child %OptionName%,C:\\Tools\\tool.exe\n"
      "[Shell:C]\nG\\C,C:\\Tools\\tool.exe\n";
  ShortcutRun t(kInf);
  t.run.ctx.bShellLinks = true;
  ASSERT_TRUE(BuildOptions(t.run));
  ASSERT_TRUE(RunInstallationPasses(t.run));
  const std::string group = t.Programs() + "\\G\\";
  EXPECT_TRUE(t.Files().FileExists(group + "A.lnk"));
  EXPECT_TRUE(t.Files().FileExists(group + "Child B.lnk"));
  EXPECT_FALSE(t.Files().FileExists(group + "C.lnk")) << "C is not selected";

  t.run.ctx.bUninstall = true;
  ASSERT_TRUE(RunInstallationPasses(t.run));
  EXPECT_FALSE(t.Files().DirectoryExists(group));
}

TEST(ShellLinks, TheEnginesHookAndTheScriptsDdeLineReachTheShell) {
  ShortcutRun t;
  t.run.variables.Set("UninstallString", "\"C:\\Windows\\_UnInst.exe\" \"C:\\P\\Setup.inf\" /U");
  const auto& hook = EngineOf(t.run).configuration.createShellLink;
  ASSERT_TRUE(hook);
  ASSERT_TRUE(hook(t.run, "%CommonPrograms%\\Software (User)\\Product",
                   ", %UninstallString% /AW, , , , , 1, ,"));
  const platform::ShellLink link =
      t.ReadLink(t.run.variables.Get("CommonPrograms") + "\\Software (User)\\Product.lnk");
  EXPECT_EQ(platform::ShellLinkTarget(link, ""), "C:\\Windows\\_UnInst.exe");
  EXPECT_EQ(link.szArguments, "\"C:\\P\\Setup.inf\" /U /AW");
  EXPECT_EQ(link.iIconIndex, 1);

  // A script's DDE line goes to the Program Manager through the run's conversation.
  EXPECT_EQ(ExecuteCmd(t.run, "DDE [CreateGroup(Script Group)]", {}, false, true, nullptr), 1);
  EXPECT_TRUE(t.Files().DirectoryExists(t.Programs() + "\\Script Group"));
  EXPECT_EQ(ExecuteCmd(t.run, "DDE [DeleteGroup(Script Group)]", {}, false, true, nullptr), 1);
  EXPECT_FALSE(t.Files().DirectoryExists(t.Programs() + "\\Script Group"));
  EXPECT_TRUE(t.Messages().empty());
}

// A StartMenu the ANSI code page cannot name hands marker paths to the relay program in the
// temporary directory; a host script stands in for it and records its command lines.
TEST(ShellLinks, MarkerPathsGoThroughTheRelay) {
  ShortcutRun t;
  std::string temp;
  ASSERT_EQ(t.Files().GetTempPath(temp), 0u);
  t.machine.WriteScript(temp + "LinkRelay.exe", "echo \"$*\" >> \"$0.txt\"");
  t.run.variables.Set("StartMenu", "C:\\Users\\?ser\\Start Menu");
  ASSERT_TRUE(t.Make("C:\\Links\\$TARVIUM$\\Tool,C:\\Tools\\tool.exe"));
  ASSERT_TRUE(t.Make("C:\\Links\\Plain,C:\\Tools\\tool.exe"));
  ASSERT_TRUE(t.Remove("C:\\Links\\$TARVIUM$\\Tool,C:\\Tools\\tool.exe"));
  EXPECT_EQ(t.machine.ReadFile(temp + "LinkRelay.exe.txt"),
            "C:\\Links\\$TARVIUM$\\Tool.lnk\nC:\\Links\\$TARVIUM$\\Tool.lnk 1\n");
  EXPECT_EQ(LinkRelayCommand("C:\\T\\LinkRelay.exe", "C:\\$TARVIUM$\\x.lnk", true),
            "\"C:\\T\\LinkRelay.exe\" \"C:\\$TARVIUM$\\x.lnk\" 1");
}

TEST(ProgramManager, GroupsAndItemsThroughTheShell) {
  constexpr const char* kInf =
      "[Progman]\nGroup=Tools Group\n[Options]\nA=A,DEFAULT\n[A]\n"
      "[Progman:A]\nC:\\Tools\\tool.exe -x,Tool,C:\\Tools\\tool.exe,2,,,C:\\W,0,1\n"
      "C:\\Missing\\nope.exe,Nope\n"
      "C:\\Tools\\Sub Dir\\tool.exe -y,Spaced\n\"C:\\Tools\\Sub Dir\\tool.exe\",Quoted\n"
      "Group=Startup\nC:\\Tools\\tool.exe,Starter\n";
  ShortcutRun t(kInf);
  ASSERT_EQ(t.Files().CreateDirectoryTree("C:\\Tools\\Sub Dir"), 0u);
  ASSERT_EQ(t.Files().WriteWholeFile("C:\\Tools\\Sub Dir\\tool.exe", "MZ"), 0u);
  ASSERT_TRUE(BuildOptions(t.run));
  ASSERT_TRUE(HandleProgmanSection(t.run, t.state, "Progman"));
  const std::string group = t.Programs() + "\\Tools Group\\";
  const platform::ShellLink tool = t.ReadLink(group + "Tool.lnk");
  EXPECT_EQ(platform::ShellLinkTarget(tool, ""), "C:\\Tools\\tool.exe");
  EXPECT_EQ(tool.szArguments, "-x");
  EXPECT_EQ(tool.szWorkingDir, "C:\\W");
  EXPECT_EQ(tool.iIconIndex, 2);
  EXPECT_EQ(tool.dwShowCommand, 7u) << "minimized";
  EXPECT_EQ(t.Lnkinfo(group + "Tool.lnk")["Local path"], "C:\\Tools\\tool.exe");
  EXPECT_FALSE(t.Files().FileExists(group + "Nope.lnk")) << "its program is missing";
  for (const char* pszName : {"Spaced.lnk", "Quoted.lnk"}) {
    const platform::ShellLink spaced = t.ReadLink(group + pszName);
    EXPECT_EQ(platform::ShellLinkTarget(spaced, ""), "C:\\Tools\\Sub Dir\\tool.exe") << pszName;
  }
  EXPECT_TRUE(t.Files().FileExists(t.Programs() + "\\Startup\\Starter.lnk"));
  EXPECT_TRUE(t.Messages().empty());
  // The removal, which keeps the protected groups: the scenarios shortcut-group-removal and
  // shortcut-protected-groups-kept.
}

// Group and item names whose ".." steps lead out of the Programs folder or the group are refused,
// and nothing outside is made or removed.
TEST(ProgramManager, NamesLeavingTheStartMenuAreRefused) {
  ShortcutRun t;
  platform::Dde& dde = t.machine.Machine().DdeServers();
  ASSERT_EQ(dde.Initiate("PROGMAN", "PROGMAN", 2000, t.state.hProgman), 0u);
  const std::string startMenu = t.run.variables.Get("StartMenu");
  ASSERT_EQ(t.Files().WriteWholeFile(startMenu + "\\Outside.lnk", "link"), 0u);
  struct Case {
    const char* pszCommand;
    bool bAccepted;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"[CreateGroup(Tools)]", true},
           {"[AddItem(C:\\Tools\\tool.exe,..\\..\\Escaped)]", false},
           {"[DeleteItem(..\\..\\Outside)]", false},
           {"[CreateGroup(..\\Climbed)]", false},
           {"[DeleteGroup(..)]", false},
           {"[DeleteGroup(..\\..\\..\\..\\..\\..\\..\\..\\..)]", false},
           {"[ShowGroup(Tools\\..,1)]", false},
           {"[DeleteGroup(Tools)]", true},
       }) {
    bool bAccepted = !c.bAccepted;
    ASSERT_EQ(dde.Execute(t.state.hProgman, c.pszCommand, bAccepted), 0u) << c.pszCommand;
    EXPECT_EQ(bAccepted, c.bAccepted) << c.pszCommand;
  }
  EXPECT_TRUE(t.Files().FileExists(startMenu + "\\Outside.lnk"));
  EXPECT_FALSE(t.Files().FileExists(startMenu + "\\Escaped.lnk"));
  EXPECT_FALSE(t.Files().DirectoryExists(startMenu + "\\Climbed"));
  EXPECT_TRUE(t.Files().DirectoryExists(t.Programs()));
  EXPECT_TRUE(t.Files().FileExists("C:\\Tools\\tool.exe"));
}

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
  EXPECT_EQ(std::tie(l.link, l.target, l.arguments, l.workingDir, l.description, l.iconFile),
            std::make_tuple("G\\L", "C:\\t.exe", "-x", "C:\\W", "Desc", "C:\\i.ico"));
  EXPECT_EQ(std::tie(l.iIconIndex, l.iShowCmd, l.wHotKey, l.dwLinkFlags),
            std::make_tuple(-2, 7, 1601, 0x2008u));

  l = Parse("L,t.exe");
  EXPECT_EQ(std::tie(l.iIconIndex, l.iShowCmd, l.wHotKey, l.dwLinkFlags),
            std::make_tuple(0, -1, 0, 0u));
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
  workstation.bMachinePartRun = true;
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
}  // namespace tarvium::test
