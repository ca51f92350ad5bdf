// The walk over the wizard pages: conditions, Back to the page shown before, Cancel, and the
// values a page hands back.
// The sizes of the mode page: bytes, KB and MB at their borders, rounded as printf rounds.
#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "engine/mode_size_text.h"
#include "engine/setup_phases.h"
#include "engine/setup_run.h"
#include "support/answering_ui.h"
#include "support/test_machine.h"

namespace tarvium {
namespace {

// Answers pages from a list (then Next) and records which pages were asked, with Back offered.
class ScriptedPages final : public test::AnsweringUserInterface {
 public:
  ScriptedPages() : AnsweringUserInterface(2) {}
  int ShowPage(ui::PageRequest& page) override {
    asked.push_back({page.kind, page.bBack});
    if (page.kind == ui::PageKind::Directory) page.value = "D:";
    if (answers.empty()) return page.nDefaultChoice;
    const int nAnswer = answers.front();
    answers.pop_front();
    return nAnswer;
  }

  std::deque<int> answers;
  std::vector<std::pair<ui::PageKind, bool>> asked;
};

// A run that asks the terms of use, the directory and the user page.
struct PageRun {
  PageRun() {
    auto pages = std::make_unique<ScriptedPages>();
    ui = pages.get();
    run.ui = std::move(pages);
    run.inf.emplace();
    run.ctx.bAskLicence = run.ctx.bAskDir = run.ctx.bAskUser = true;
    run.ctx.szLicenceText = "Terms";
  }

  test::TestMachine machine;
  SetupRun run{machine.Machine()};
  ScriptedPages* ui = nullptr;
};

TEST(WizardPages, BackReturnsToThePageShownBeforeAndCancelStops) {
  PageRun walked;
  ScriptedPages* ui = walked.ui;
  SetupRun& run = walked.run;
  ui->answers = {1, ui::kPageBack, 1, 1, 1};
  AskPages(run);
  using K = ui::PageKind;
  const std::vector<std::pair<K, bool>> expected = {{K::Licence, false},
                                                    {K::Directory, true},
                                                    {K::Licence, false},
                                                    {K::Directory, true},
                                                    {K::User, true}};
  EXPECT_EQ(ui->asked, expected) << "pages whose condition fails are passed over";
  EXPECT_TRUE(run.ctx.bOk);
  EXPECT_EQ(run.variables.Get("ApplicationDir"), "D:\\") << "a bare drive is its root";
  EXPECT_EQ(run.ctx.iInstallMode, 6108) << "without the mode page a plain run is custom";

  PageRun cancelled;
  cancelled.ui->answers = {1, ui::kPageCancel};
  AskPages(cancelled.run);
  EXPECT_FALSE(cancelled.run.ctx.bOk);
  EXPECT_EQ(cancelled.ui->asked.size(), 2u);
}

TEST(WizardPages, SilentAndRepairRunsAskNothing) {
  for (bool SetupContext::*pMode : {&SetupContext::bSilent, &SetupContext::bRepair}) {
    PageRun quiet;
    quiet.run.ctx.*pMode = true;
    AskPages(quiet.run);
    EXPECT_TRUE(quiet.ui->asked.empty());
    EXPECT_TRUE(quiet.run.ctx.bOk);
  }
  PageRun workstation;
  workstation.run.ctx.bWorkstationSetup = true;
  workstation.run.ctx.bAskOptions = false;
  workstation.run.ctx.bSilent = true;
  AskPages(workstation.run);
  EXPECT_EQ(workstation.run.ctx.iInstallMode, 6102) << "a fixed setup without options is full";

  PageRun shared;
  shared.run.ctx.bAdminInstallation = shared.run.ctx.bAskShared = true;
  shared.run.ctx.bAskOptions = shared.run.ctx.bAskLicence = false;
  shared.ui->answers = {ui::kChoiceFromServer};
  AskPages(shared.run);
  ASSERT_FALSE(shared.ui->asked.empty());
  EXPECT_EQ(shared.ui->asked[0].first, ui::PageKind::Shared);
  EXPECT_TRUE(shared.run.ctx.bClientSetup);
  EXPECT_EQ(shared.run.ctx.iInstallMode, 6102) << "a client setup chosen on the shared page";
}

TEST(ModeSizeText, UnitsAtTheirBordersRounded) {
  struct Case {
    int64_t nBytes;
    std::string expected;
  };
  const Case cases[] = {
      {0, "0 Bytes"},
      {1023, "1023 Bytes"},
      {1024, "1 KB"},
      {1536, "2 KB"},  // rounds to the even 2 as printf does
      {1048575, "1024 KB"},
      {1048576, "1 MB"},
      {5 * 1048576 + 524288, "6 MB"},
      {int64_t{3} * 1024 * 1048576, "3072 MB"},
  };
  for (const Case& c : cases) EXPECT_EQ(ModeSizeText(c.nBytes, ","), c.expected) << c.nBytes;
}

}  // namespace
}  // namespace tarvium
