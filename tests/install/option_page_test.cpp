// The options page model over the option tree of a real product file: what is listed and how,
// the toggles a person makes and the rules they follow, the size texts, and the page's answers
// reaching the run.
#include <gtest/gtest.h>

#include "install/build_options.h"
#include "install/option_page.h"
#include "install_test_run.h"
#include "support/answering_ui.h"
#include "support/test_data.h"

namespace tarvium::test {
namespace {

using Titles = std::vector<std::string>;

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
  Titles SelectedTitles() const {
    Titles titles;
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
    const ui::OptionEntry& entry = t.page.entries[i];
    EXPECT_EQ(entry.title, expected[i].title);
    EXPECT_EQ(entry.nDepth, expected[i].nDepth) << entry.title;
    EXPECT_EQ(entry.sizeText, expected[i].size) << entry.title;
    EXPECT_EQ(entry.bRadio, expected[i].bRadio) << entry.title;
    EXPECT_EQ(entry.bEnabled, expected[i].bEnabled) << entry.title;
    EXPECT_EQ(entry.state, expected[i].state) << entry.title;
  }
  EXPECT_EQ(t.Entry("Route planner").description,
            "Plans routes over the maps.\nNeeds the map of Europe.");
  EXPECT_EQ(t.page.countLine, "4 of 11 components selected");
  EXPECT_EQ(t.page.selectionSizeText, "4,7 MB");  // viewer, Europe and the low detail
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
    Titles selected;  // afterwards
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

  Titles toggles;
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
              (Titles{"Program", "Program\\Maps\\Europe", "Detail", "Detail\\Low", "Routes"}))
        << nButton;
  }
  AtlasRun headless;  // no interface: the defaults stand
  ASSERT_TRUE(BuildOptions(headless.run));
  EXPECT_EQ(ShowOptionsPage(headless.run, false), ui::kPageNext);
  EXPECT_EQ(headless.Selected(),
            (Titles{"Program", "Program\\Maps", "Program\\Maps\\Europe", "Detail", "Detail\\Low"}));
}

}  // namespace
}  // namespace tarvium::test
