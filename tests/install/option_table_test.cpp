// The option table as the build leaves it: tree, flags, states, dependencies, groups, sizes, and
// the selection rule working over them.
// The options page model over the option tree of a real product file: what is listed and how,
// the toggles a person makes and the rules they follow, the size texts, and the page's answers
// reaching the run.
#include <gtest/gtest.h>

#include <tuple>

#include "install/build_options.h"
#include "install/option_page.h"
#include "install/option_selection.h"
#include "install/option_sizes.h"
#include "install/options_registry.h"
#include "install_test_run.h"
#include "support/answering_ui.h"
#include "support/test_data.h"

namespace tarvium::test {
namespace {

using Names = std::vector<std::string>;

TEST(OptionTable, TreeLinksDepthAndDeclarationOrder) {
  InstallTestRun t(
      "[Copy]\nBase=Base files\n"
      "[Options]\nA=Program,DEFAULT,Help\\nline \\\\ end\nA\\B=Help files,0\nA\\C=Samples\n"
      "A\\B\\D=Deep,HIDDEN\n E = Extra , 1\n");
  ASSERT_TRUE(BuildOptions(t.run));
  OptionTable& table = t.Options();
  ASSERT_EQ(table.Count(), 7);
  EXPECT_EQ(table[1].name, "Base");
  EXPECT_EQ(table[1].flags, OPTION_COPYALWAYS);
  const OptionRecord& a = t.Option("a");
  EXPECT_EQ(a.help, "Help\nline \\ end");
  EXPECT_EQ(a.parent, 0);
  EXPECT_EQ(table[a.firstChild].name, "A\\B");
  EXPECT_EQ(table[a.lastChild].name, "A\\C");
  EXPECT_EQ(table[table[a.firstChild].nextSibling].name, "A\\C");
  EXPECT_EQ(table[a.lastChild].prevSibling, a.firstChild);
  EXPECT_EQ(t.Option("A\\B\\D").depth, 3);
  EXPECT_EQ(t.Option("A\\B\\D").parent, FindOption(table, "A\\B"));
  EXPECT_EQ(t.Option("E").flags, OPTION_DEFAULT);
  EXPECT_EQ(t.Selected(), (Names{"Base", "A", "E"}));
  EXPECT_EQ(FindOption(table, "a\\c"), FindOption(table, "A\\C"));
  EXPECT_EQ(FindOption(table, "A\\"), -1);
}

TEST(OptionTable, ChildBeforeParentAndWrongFlagWordsAbort) {
  InstallTestRun orphan("[Options]\nA\\B=Child first\nA=Parent\n");
  EXPECT_FALSE(BuildOptions(orphan.run));
  EXPECT_TRUE(orphan.run.ctx.bAborted);
  EXPECT_EQ(orphan.Messages(), std::vector<int>{5533});

  for (const char* flags :
       {"DEFAULT+HIDDEN", "DEFAULT|HIDDEN", "DEFAULT HIDDEN", "default)hidden", "9"}) {
    InstallTestRun t(std::string("[Options]\nA=Text,") + flags + "\n");
    ASSERT_TRUE(BuildOptions(t.run)) << flags;
    EXPECT_EQ(t.Option("A").flags, OPTION_DEFAULT | OPTION_HIDDEN) << flags;
  }
  InstallTestRun numeric("[Options]\nA=Text,7\n");
  ASSERT_TRUE(BuildOptions(numeric.run));
  EXPECT_EQ(numeric.Option("A").flags, 7u);
  InstallTestRun wrong("[Options]\nA=Text,DEFAULT+FOO\nB=Text\n");
  EXPECT_FALSE(BuildOptions(wrong.run));
  EXPECT_TRUE(wrong.run.ctx.bAborted);
  EXPECT_EQ(wrong.Messages(), std::vector<int>{5530});
}

TEST(OptionTable, IconFieldFromFormatFiveTen) {
  for (const auto& [nVersion, iIcon, help] :
       {std::tuple{0u, -1, "disk"}, std::tuple{0x510u, 0, "The help"}}) {
    InstallTestRun t("[Icons]\nDisk=disk.ico, ICON\n[Options]\nA=Text,0,disk,The help\n");
    if (nVersion) t.run.ctx.nFormatVersion = nVersion;
    ASSERT_TRUE(BuildOptions(t.run));
    EXPECT_EQ(t.Option("A").iconIndex, iIcon) << nVersion;
    EXPECT_EQ(t.Option("A").help, help) << nVersion;
    if (nVersion) {
      EXPECT_EQ(t.Options().icons[0].flags, 1u);
    }
  }
}

TEST(OptionTable, InstalledStateAndUserSetupHiding) {
  const char* text = "[Copy]\nCore=Core\n[Options]\nA=A,DEFAULT\nB=B\n";
  InstallTestRun modify(text);
  RecordOptionInstalled(modify.run, "B");
  modify.run.ctx.bModify = true;
  ASSERT_TRUE(BuildOptions(modify.run));
  EXPECT_EQ(modify.Selected(), Names{"B"});  // Core and A lose DEFAULT and COPYALWAYS
  EXPECT_TRUE(modify.Option("B").installed);
  EXPECT_FALSE(modify.Option("A").installed);
  EXPECT_EQ(modify.Option("Core").flags, 0u);

  InstallTestRun user(text);
  RecordOptionInstalled(user.run, "A");  // in the machine hive
  user.run.ctx.bUserPartRun = true;
  ASSERT_TRUE(BuildOptions(user.run));
  EXPECT_EQ(user.Selected(), (Names{"Core", "A"}));
  EXPECT_TRUE(user.Option("B").flags & OPTION_HIDDEN);
  EXPECT_FALSE(user.Option("Core").flags & OPTION_HIDDEN);

  InstallTestRun admin(text);
  admin.run.ctx.bAdminSetup = true;
  admin.run.ctx.bAskOptions = false;
  ASSERT_TRUE(BuildOptions(admin.run));
  EXPECT_EQ(admin.Selected(), (Names{"Core", "A", "B"}));
}

TEST(OptionSelection, DependencyChainsInBothDirectionsAndAncestors) {
  InstallTestRun t(
      "[Options]\nA=A\nB=B\nC=C\nP=Parent\nP\\Q=Child\nP\\Q\\R=Grandchild\nX=X\nY=Y\n"
      "[OptionDependencies]\nA=B\nB=C\nP=X, Unknown\nY=C\nY=X\nNoEquals\n"
      "[A]\n[B]\n[C]\n[P\\Q\\R]\n[X]\n[Y]\n");
  ASSERT_TRUE(BuildOptions(t.run));
  EXPECT_EQ(t.Messages(), (std::vector<int>{5529, 5529}));
  OptionTable& table = t.Options();
  SelectOption(table, FindOption(table, "A"), true);
  EXPECT_EQ(t.Selected(), (Names{"A", "B", "C"}));
  SelectOption(table, FindOption(table, "C"), false);
  EXPECT_EQ(t.Selected(), Names{});
  // A grandparent's dependencies come along: the scenario options-switch-ancestor-dependency.
  SelectOption(table, FindOption(table, "P\\Q"), true);  // the parent's dependencies come along
  EXPECT_EQ(t.Selected(), (Names{"P\\Q", "P\\Q\\R", "X"}));
  SelectOption(table, FindOption(table, "Y"), true);  // the second line replaced the first
  EXPECT_EQ(t.Selected(), (Names{"P\\Q", "P\\Q\\R", "X", "Y"}));
  SelectOption(table, FindOption(table, "P"), false);
  EXPECT_EQ(t.Selected(), (Names{"X", "Y"}));
}

TEST(OptionSelection, GroupsOfChildrenValuesAndFirstLineWins) {
  InstallTestRun t(
      "[Options]\nA=A\nA\\1=One,DEFAULT\nA\\2=Two\nA\\3=Three\nX=X\nY=Y\nZ=Z\nW=W\n"
      "[OptionGroups]\n1=A\\*\nX, Y\n0=Y, Z\nW\\*, Nope\n"
      "[A\\1]\n[A\\2]\n[A\\3]\n[X]\n[Y]\n[Z]\n[W]\n");
  ASSERT_TRUE(BuildOptions(t.run));
  EXPECT_EQ(t.Messages(), std::vector<int>{5529});
  EXPECT_EQ(t.Option("A\\2").groupIndex, 0);
  EXPECT_EQ(t.Option("A\\2").groupValue, 1);
  EXPECT_EQ(t.Option("X").groupIndex, 1);
  EXPECT_EQ(t.Option("X").groupValue, 1);  // inherited from the line before
  EXPECT_EQ(t.Option("Y").groupIndex, 1);  // the first line that names it wins
  EXPECT_EQ(t.Option("Z").groupValue, 0);
  OptionTable& table = t.Options();
  SelectOption(table, FindOption(table, "A\\3"), true);
  EXPECT_EQ(t.Selected(), Names{"A\\3"});
  SelectOption(table, FindOption(table, "A\\1"), true);
  EXPECT_EQ(t.Selected(), Names{"A\\1"});
  SelectOption(table, FindOption(table, "X"), true);
  SelectOption(table, FindOption(table, "Y"), true);
  SelectOption(table, FindOption(table, "Z"), true);  // another group: Y stays
  EXPECT_EQ(t.Selected(), (Names{"A\\1", "Y", "Z"}));
  // Selecting the parent selects its children last to first, each deselecting the others of its
  // group: the first member ends selected, also in a group nested in a member.
  InstallTestRun nested(
      "[Options]\nL=L\nL\\1=One\nL\\2=Two\nL\\2\\a=a\nL\\2\\b=b\nL\\3=Three,DEFAULT\n"
      "[OptionGroups]\nL\\*\nL\\2\\*\n");
  ASSERT_TRUE(BuildOptions(nested.run));
  SelectOption(nested.Options(), FindOption(nested.Options(), "L"), true);
  EXPECT_EQ(nested.Selected(), (Names{"L", "L\\1"}));
  SelectOption(nested.Options(), FindOption(nested.Options(), "L\\2"), true);
  EXPECT_EQ(nested.Selected(), (Names{"L", "L\\2", "L\\2\\a"}));

  // Contradictory data: X and Y need each other in one group. Selecting either ends (selecting
  // the other deselects it again, with its dependant), with nothing selected.
  InstallTestRun loop(
      "[Options]\nX=X\nY=Y\n[OptionGroups]\nX, Y\n[OptionDependencies]\nX=Y\nY=X\n[X]\n[Y]\n");
  ASSERT_TRUE(BuildOptions(loop.run));
  SelectOption(loop.Options(), FindOption(loop.Options(), "X"), true);
  EXPECT_EQ(loop.Selected(), Names{});
  SelectOption(loop.Options(), FindOption(loop.Options(), "Y"), true);
  EXPECT_EQ(loop.Selected(), Names{});

  InstallTestRun admin("[Options]\nX=X\nY=Y\n[OptionGroups]\nX, Y\n");
  admin.run.ctx.bAdminSetup = true;
  ASSERT_TRUE(BuildOptions(admin.run));
  EXPECT_EQ(admin.Option("X").groupIndex, -1);
}

TEST(OptionSelection, ModePresetsAndOptionSwitch) {
  InstallTestRun t(
      "[Copy]\nCore=Core\n[Options]\nA=A,DEFAULT\nB=B\nB\\C=C\nH=Hidden,HIDDEN\nG1=G1\nG2=G2\n"
      "[OptionDependencies]\nB\\C=A\n[OptionGroups]\nG1, G2\n");
  ASSERT_TRUE(BuildOptions(t.run));
  PresetByMode(t.Options(), kModeComplete);
  EXPECT_EQ(t.Selected(), (Names{"Core", "A", "B", "B\\C", "G1", "G2"}));
  PresetByMode(t.Options(), kModeTypical);
  EXPECT_EQ(t.Selected(), (Names{"Core", "A"}));
  EXPECT_FALSE(t.Option("B").installed);
  t.Option("B").selected = true;
  PresetByMode(t.Options(), kModeCustom);
  EXPECT_TRUE(t.Option("B").installed);

  InstallTestRun o(
      "[Options]\nA=A,DEFAULT\nB=B\nB\\C=C\nG1=G1,DEFAULT\nG2=G2\n"
      "[OptionDependencies]\nB\\C=A\n[OptionGroups]\nG1, G2\n");
  ASSERT_TRUE(BuildOptions(o.run));
  ApplyOptionSwitch(o.run, "+B\\C+G2-Nothing");
  EXPECT_EQ(o.Selected(), (Names{"A", "B\\C", "G2"}));
  ApplyOptionSwitch(o.run, "-A");  // carried to the dependant
  EXPECT_EQ(o.Selected(), Names{"G2"});
  ApplyOptionSwitch(o.run, "G2+A");  // without a sign the first option is deselected
  EXPECT_EQ(o.Selected(), Names{"A"});
}

TEST(OptionSizes, OwnSectionsReferencesAndGroupsOfChildren) {
  InstallTestRun t(
      "[Options]\nA=A\nA\\1=One\nA\\2=Two\nB=B\nC=C\nD=D\nD\\1=One\nD\\2=Two\n"
      "[OptionGroups]\nA\\*\n"
      "[A]\n1:a.dll,,,100\n#Common\n"
      "[A\\1]\n1:x,,,10\n[A\\2]\n1:y,,,30\n"
      "[B]\n#Common\n1:b,,WINDOWS32,1000\n1:c,,DELETE,1000\nIF 1=1 THEN '1:d,,,7' ELSE '1:e,,,9'\n"
      "[C]\n#!Common, ADMIN\n#!Common\n1:d,,BOGUS,5\n"
      "[D\\1]\n1:x,,,10\n[D\\2]\n1:y,,,30\n"
      "[Common]\n1:common,,,5000\n");
  ASSERT_TRUE(BuildOptions(t.run));
  EXPECT_EQ(t.Option("A").ownSize, 5100);
  EXPECT_EQ(t.Option("A").size, 5130u);  // one group: the largest child
  EXPECT_EQ(t.Option("B").ownSize, 7);   // Common counted once; 64-bit machine
  EXPECT_EQ(t.Option("C").ownSize, 5000);
  EXPECT_EQ(t.Option("D").size, 40u);
  EXPECT_TRUE(t.Messages().empty());
  EXPECT_EQ(t.Options()[0].size, 5130u + 7 + 5000 + 40);

  t.Option("B").selected = t.Option("B").installed = true;
  t.Option("C").installed = true;
  EXPECT_EQ(SizeOfSelection(t.run, kModeCustom, true), 7);
  t.run.ctx.bModify = true;
  EXPECT_EQ(SizeOfSelection(t.run, kModeCustom, true), 5007);
  EXPECT_EQ(SizeOfSelection(t.run, kModeCustom, false), -4993);
  EXPECT_EQ(SizeOfSelection(t.run, kModeComplete, false), 5100 + 10 + 30 + 7 - 5000 + 10 + 30);
}

TEST(OptionSizes, AdministratorSetupCountsSystemFilesTwiceOutsideWindows) {
  const char* text =
      "[Options]\nA=A\n[A]\n1:x.dll, %System%, ADMIN, 10\n1:y.dll, %System%\\Sub, NORMAL, 100\n"
      "1:z.dll, %App%, NORMAL, 1000\n";
  InstallTestRun inside(text);
  inside.run.ctx.bAdminSetup = true;
  inside.run.variables.Set("Windows", "C:\\Windows");
  inside.run.variables.Set("System", "C:\\Windows\\System32");
  ASSERT_TRUE(BuildOptions(inside.run));
  EXPECT_EQ(inside.Option("A").ownSize, 1110);

  InstallTestRun outside(text);
  outside.run.ctx.bAdminSetup = true;
  outside.machine.Machine().Files().CreateDirectory("C:\\Sys32");
  outside.run.variables.Set("Windows", "C:\\Windows");
  outside.run.variables.Set("System", "C:\\Sys32");
  ASSERT_TRUE(BuildOptions(outside.run));
  EXPECT_EQ(outside.Option("A").ownSize, 1220);
  uint32_t dwAttributes = 0;
  EXPECT_NE(
      outside.machine.Machine().Files().GetFileAttributes("C:\\Sys32\\~~~~@@$$.tmp", dwAttributes),
      0u);

  InstallTestRun plain(text);
  plain.run.variables.Set("System", "C:\\Sys32");
  ASSERT_TRUE(BuildOptions(plain.run));
  EXPECT_EQ(plain.Option("A").ownSize, 1100);  // ADMIN lines are for administrator setups only
}

TEST(OptionSizes, FreeSpaceRoots) {
  for (auto [path, root] : std::vector<std::pair<std::string, std::string>>{
           {"C:\\Program Files\\App", "C:\\"},
           {"C:", "C:\\"},
           {"\\\\server\\share\\dir\\x", "\\\\server\\share\\"},
           {"\\\\server\\share", "\\\\server\\share\\"}})
    EXPECT_EQ(FreeSpaceRoot(path), root) << path;
  InstallTestRun t("");
  const FreeSpace space = FreeSpaceOf(t.run, "C:\\Program Files");
  EXPECT_GT(space.nBytes, 0u);
  EXPECT_LE(space.nBytes, 2147483647u);
  EXPECT_GE(space.nBytes, std::min<uint64_t>(uint64_t{space.nKiB} * 1024, 2147483647u));
  EXPECT_EQ(FreeSpaceOf(t.run, "Q:\\nowhere").nBytes, 0u);
}

class AtlasRun : public InstallTestRun {
 public:
  AtlasRun() : InstallTestRun(ReadTestData("options/Setup.inf")) {
    run.variables.Set("ApplicationDir", "C:\\Program Files\\Tarvium\\Atlas");
  }

  const ui::OptionEntry& Entry(const std::string& title) const {
    for (const ui::OptionEntry& entry : page.entries)
      if (entry.title == title) return entry;
    ADD_FAILURE() << "no entry " << title;
    return page.entries.front();
  }
  bool Toggle(const std::string& title) {
    return page.toggle(page, static_cast<size_t>(&Entry(title) - page.entries.data()));
  }
  // The choosable entries whose option is selected, in list order.
  Names SelectedTitles() const {
    Names titles;
    for (const ui::OptionEntry& entry : page.entries)
      if (entry.bSelected && entry.bEnabled) titles.push_back(entry.title);
    return titles;
  }

  ui::OptionsPage page;
};

TEST(OptionPage, ListsTheTreeWithSizesMarksAndCount) {
  AtlasRun t;
  ASSERT_TRUE(BuildOptions(t.run));
  ASSERT_TRUE(t.Messages().empty());
  FillOptionsPage(t.run, t.page);
  struct Listed {
    std::string title;
    int nDepth;
    std::string size;
    bool bRadio, bEnabled;
    ui::CheckState state;
  };
  using enum ui::CheckState;
  const std::vector<Listed> expected = {
      {"Atlas viewer", 1, "7,0 MB", false, false, Partial},  // Asia is not selected
      {"Map sets", 2, "5,5 MB", false, true, Partial},
      {"Europe", 3, "3,0 MB", false, true, Checked},
      {"Asia", 3, "2,5 MB", false, true, Clear},
      {"Map detail", 1, "1,0 MB", false, true, Partial},  // one group: its largest member
      {"Low detail", 2, "200 KB", true, true, Checked},
      {"High detail", 2, "1,0 MB", true, true, Clear},
      {"Spoken directions", 1, "518 KB", false, true, Clear},
      {"English voice", 2, "512 KB", true, true, Clear},
      {"German voice", 2, "518 KB", true, true, Clear},
      {"Route planner", 1, "80 KB", false, true, Clear},
      {"Log viewer", 1, "39 KB", false, true, Clear},  // its hidden parent is not listed
  };
  ASSERT_EQ(t.page.entries.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const ui::OptionEntry& e = t.page.entries[i];
    const Listed& x = expected[i];
    EXPECT_EQ(std::tie(e.title, e.nDepth, e.sizeText, e.bRadio, e.bEnabled, e.state),
              std::tie(x.title, x.nDepth, x.size, x.bRadio, x.bEnabled, x.state));
  }
  EXPECT_EQ(t.Entry("Route planner").description,
            "Plans routes over the maps.\nNeeds the map of Europe.");
  // The count line and the selection's size: TogglesFollowTheRulesOfTheTree, and the terminal's
  // options page in text_wizard_test.cpp.
  EXPECT_EQ(t.page.spaceWarning, "");

  EXPECT_EQ(t.page.checkmarks, ui::CheckmarkSet::ThreeState);

  EXPECT_EQ(CheckmarkPicture(ui::CheckmarkSet::ThreeState, t.Entry("Map sets")), "Check2");
  EXPECT_EQ(CheckmarkPicture(ui::CheckmarkSet::Bulbs, t.Entry("Map sets")), "BulbC");
  EXPECT_EQ(CheckmarkPicture(ui::CheckmarkSet::Bulbs, t.Entry("Asia")), "BulbN");
  EXPECT_EQ(CheckmarkPicture(ui::CheckmarkSet::CheckBox, t.Entry("Asia")), "CheckBox");
  EXPECT_EQ(CheckmarkPicture(ui::CheckmarkSet::Bulbs, t.Entry("Low detail")), "Radio1");

  // The locale's separator, and a target drive without room.
  t.machine.Machine().Profiles().WriteProfileString("intl", "sDecimal", ".");
  t.run.variables.Set("ApplicationDir", "Q:\\Atlas");
  t.run.ctx.nUseCheckmarks = 0;
  FillOptionsPage(t.run, t.page);
  EXPECT_EQ(t.page.selectionSizeText, "4.7 MB");
  EXPECT_EQ(t.Entry("Atlas viewer").sizeText, "7.0 MB");
  EXPECT_EQ(t.page.spaceWarning, "Warning! Not enough disk space!");
  EXPECT_EQ(t.page.checkmarks, ui::CheckmarkSet::Bulbs);
}

TEST(OptionPage, TogglesFollowTheRulesOfTheTree) {
  AtlasRun t;
  ASSERT_TRUE(BuildOptions(t.run));
  FillOptionsPage(t.run, t.page);
  struct Step {
    const char* toggled;
    bool bAccepted;
    Names selected;  // afterwards
  };
  const std::vector<Step> steps = {
      {"High detail", true, {"Map sets", "Europe", "Map detail", "High detail"}},
      {"High detail", false, {"Map sets", "Europe", "Map detail", "High detail"}},  // keeps one
      {"Low detail", true, {"Map sets", "Europe", "Map detail", "Low detail"}},
      {"English voice", true, {"Map sets", "Europe", "Map detail", "Low detail", "English voice"}},
      {"German voice", true, {"Map sets", "Europe", "Map detail", "Low detail", "German voice"}},
      {"German voice", true, {"Map sets", "Europe", "Map detail", "Low detail"}},  // may be empty
      {"Europe", true, {"Map sets", "Map detail", "Low detail"}},
      {"Route planner",
       true,  // brings what it needs
       {"Map sets", "Europe", "Map detail", "Low detail", "Route planner"}},
      {"Europe", true, {"Map sets", "Map detail", "Low detail"}},  // takes its dependant along
      {"Map sets", true, {"Map detail", "Low detail"}},
      {"Map sets", true, {"Map sets", "Europe", "Asia", "Map detail", "Low detail"}},
      {"Atlas viewer", false, {"Map sets", "Europe", "Asia", "Map detail", "Low detail"}},
      {"Spoken directions",
       true,  // the group below it ends on its first member
       {"Map sets", "Europe", "Asia", "Map detail", "Low detail", "Spoken directions",
        "English voice"}},
      {"Map detail", true, {"Map sets", "Europe", "Asia", "Spoken directions", "English voice"}},
  };
  for (const Step& step : steps) {
    EXPECT_EQ(t.Toggle(step.toggled), step.bAccepted) << step.toggled;
    EXPECT_EQ(t.SelectedTitles(), step.selected) << "after " << step.toggled;
    EXPECT_EQ(t.page.countLine, std::to_string(step.selected.size()) + " of 11 components selected")
        << step.toggled;
  }
  EXPECT_EQ(t.Entry("Atlas viewer").state, ui::CheckState::Checked);
  EXPECT_EQ(t.Entry("Spoken directions").state, ui::CheckState::Partial);
  EXPECT_EQ(t.page.selectionSizeText, "7,5 MB");  // viewer, both maps, English
  EXPECT_FALSE(t.page.toggle(t.page, t.page.entries.size()));
}

TEST(OptionPage, SizeTexts) {
  const std::vector<std::tuple<uint64_t, const char*, std::string>> cases = {
      {0, ",", "0 KB"},
      {1535, ",", "1 KB"},
      {1536, ",", "2 KB"},
      {1048575, ",", "1024 KB"},  // still below one megabyte
      {1048576, ",", "1,0 MB"},
      {1572864, ".", "1.5 MB"},
      {2147483647, ",", "2048,0 MB"},
      {10737418240, ",", "10240,0 MB"},
  };
  for (const auto& [nBytes, separator, text] : cases)
    EXPECT_EQ(ui::OptionSizeText(nBytes, separator), text) << nBytes;
}

// Shows the page as a person would use it: toggles the listed titles, then presses a button.
class ClickingInterface final : public test::AnsweringUserInterface {
 public:
  ClickingInterface() : AnsweringUserInterface(2) {}
  int ShowOptions(ui::OptionsPage& page) override {
    bBackShown = page.bBack;
    for (const std::string& title : toggles)
      for (size_t i = 0; i < page.entries.size(); ++i)
        if (page.entries[i].title == title) page.toggle(page, i);
    return nButton;
  }

  Names toggles;
  int nButton = ui::kPageNext;
  bool bBackShown = false;
};

TEST(OptionPage, AnswersOfThePageReachTheRun) {
  for (const int nButton : {ui::kPageNext, ui::kPageBack, ui::kPageCancel}) {
    AtlasRun t;
    ASSERT_TRUE(BuildOptions(t.run));
    auto shown = std::make_unique<ClickingInterface>();
    ClickingInterface& clicks = *shown;
    clicks.toggles = {"Map sets", "Route planner"};
    clicks.nButton = nButton;
    t.run.ui = std::move(shown);
    EXPECT_EQ(ShowOptionsPage(t.run, true), nButton);
    EXPECT_TRUE(clicks.bBackShown);
    // The table holds the choice whatever the answer, so Back comes back to it.
    EXPECT_EQ(t.Selected(),
              (Names{"Program", "Program\\Maps\\Europe", "Detail", "Detail\\Low", "Routes"}))
        << nButton;
  }
  AtlasRun headless;  // no interface: the defaults stand
  ASSERT_TRUE(BuildOptions(headless.run));
  EXPECT_EQ(ShowOptionsPage(headless.run, false), ui::kPageNext);
  EXPECT_EQ(headless.Selected(),
            (Names{"Program", "Program\\Maps", "Program\\Maps\\Europe", "Detail", "Detail\\Low"}));
}

}  // namespace
}  // namespace tarvium::test
