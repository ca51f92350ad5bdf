// Prompt sections asked on a real temporary machine with the script engine attached: the pages a
// person would see, the variables and the answers recorded for the registration.
#include "script/prompt_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/inf_file.h"
#include "engine/setup_phases.h"
#include "platform/ansi_case.h"
#include "script_test_run.h"
#include "support/answering_ui.h"

namespace tarvium {
namespace {

// Answers each page from a queue of (result, entered value); an empty queue takes the defaults.
class AnsweringPages : public test::AnsweringUserInterface {
 public:
  AnsweringPages() : AnsweringUserInterface(1) {}
  int ShowPage(ui::PageRequest& page) override {
    asked.push_back(page);
    if (answers.empty()) return page.nDefaultChoice;
    auto [nResult, value] = answers.front();
    answers.pop_front();
    if (!value.empty()) page.value = value;
    return nResult;
  }

  std::deque<std::pair<int, std::string>> answers;
  std::vector<ui::PageRequest> asked;
};

struct PromptRun : test::ScriptTestRun {
  explicit PromptRun(const std::string& infText) {
    run.inf.emplace(std::vector<char>(infText.begin(), infText.end()));
    run.inf->BuildSectionIndex();
    auto pages = std::make_unique<AnsweringPages>();
    ui = pages.get();
    run.ui = std::move(pages);
  }
  void Set(const std::string& name, const std::string& value) { SetVariable(run, name, value); }
  std::string Variable(const std::string& name) {
    return LookupVariable(run, platform::AnsiUpper(name));
  }
  bool Traced(const std::string& part) const {
    return std::any_of(run.debugLines.begin(), run.debugLines.end(),
                       [&](const std::string& line) { return line.find(part) != line.npos; });
  }
  AnsweringPages* ui = nullptr;
};

const char* const kPrompts =
    "[Server]\nVariable=DbServer\nText=Server of %Product%, with a comma\nDefault=%Product%-db\n"
    "Browse=1\nTimeout=30\n"
    "[Short]\nVariable=Short\nDefault=Left(abcdef,3)\n"
    "[Broken]\nVariable=Broken\nDefault=Left(abc\n"
    "[NoVariable]\nText=Nothing to set\n"
    "[Secret]\nVariable=Password\nText=Password\nFlags=0x80000\n"
    "[Equals]\nVariable=a=b\nDefault=w\n"
    "[Misspelt]\nVariable=Misspelt\nDefault=plain\nFlags=O8OOOO\n";

TEST(PromptPage, SilentRunTakesDefaultsThroughTheAssignmentRules) {
  PromptRun t(kPrompts);
  t.run.ctx.bSilent = true;
  t.Set("Product", "Demo");
  for (const char* pszSection :
       {"Server", "Short", "Broken", "NoVariable", "Missing", "Equals", "Misspelt"})
    EXPECT_EQ(AskPromptPage(t.run, pszSection, false), 1) << pszSection;
  EXPECT_TRUE(t.ui->asked.empty()) << "a silent run shows no page";
  EXPECT_EQ(t.Variable("DbServer"), "Demo-db");
  EXPECT_EQ(t.Variable("Short"), "abc") << "the default called a function";
  EXPECT_EQ(t.Variable("Broken"), "") << "a malformed call sets nothing";
  EXPECT_EQ(t.Messages(), std::vector<int>{5528});
  const std::vector<std::string> recorded = {"DBSERVER=Demo-db", "SHORT=abc", "MISSPELT=plain"};
  EXPECT_EQ(t.run.ctx.answeredPrompts, recorded) << "a variable holding '=' is passed over";
  EXPECT_TRUE(t.Traced("Prompt section not found: Missing"));
  EXPECT_TRUE(t.Traced("Prompt section without a valid variable: NoVariable"));
  EXPECT_TRUE(t.Traced("Flags are not hexadecimal, taken as 0: O8OOOO"));

  // At silent level 2 only the prompt with a time-out still shows its page.
  PromptRun level2(kPrompts);
  level2.run.ctx.bSilent = true;
  level2.run.ctx.iSilentLevel = 2;
  for (const char* pszSection : {"Server", "Short"}) AskPromptPage(level2.run, pszSection, false);
  ASSERT_EQ(level2.ui->asked.size(), 1u);
  EXPECT_EQ(level2.ui->asked[0].nSeconds, 30);
}

TEST(PromptPage, PageShowsTheSectionAndAnEnteredFunctionIsEvaluated) {
  PromptRun t(kPrompts);
  t.Set("Product", "Demo");
  t.ui->answers = {{1, "Right(server01,2)"}, {2, ""}};
  EXPECT_EQ(AskPromptPage(t.run, "Server", true), 1);
  const ui::PageRequest& page = t.ui->asked.at(0);
  EXPECT_EQ(page.kind, ui::PageKind::Value);
  EXPECT_EQ(page.text, "Server of Demo, with a comma");
  EXPECT_EQ(page.value, "Demo-db") << "the default, variables replaced";
  EXPECT_TRUE(page.bBack && page.bBrowse && !page.bSecret);
  EXPECT_EQ(page.promptLine, "DbServer;Server of Demo, with a comma;Demo-db;1;0x0");
  EXPECT_EQ(t.Variable("DbServer"), "01");

  EXPECT_EQ(AskPromptPage(t.run, "Short", false), 2) << "Cancel is the page's result";
  EXPECT_EQ(t.Variable("Short"), "") << "a cancelled page sets nothing";
  EXPECT_EQ(t.run.ctx.answeredPrompts, std::vector<std::string>{"DBSERVER=01"});
}

// The recorded form as the rule defines it: "*", the key letter K, then each character c at
// position i of n as c XOR ((n - i + (K - 'A')) AND 31).
std::string UnscrambleByRule(const std::string& recorded) {
  const char cKey = recorded.at(1);
  const std::string chars = recorded.substr(2);
  const size_t n = chars.size();
  std::string plain;
  for (size_t i = 0; i < n; ++i)
    plain += static_cast<char>(chars[i] ^ ((n - i + static_cast<size_t>(cKey - 'A')) & 31));
  return plain;
}

TEST(PromptPage, SecretIsDecryptedHiddenAndRecordedScrambled) {
  for (const std::string plain : {"Pa$$word", "x", "a much longer secret, 30 chars"}) {
    PromptRun t(kPrompts);
    // The person enters the secret in its scrambled form: the prompt decrypts it.
    const std::string entered = "*A" + [&] {
      std::string chars;
      for (size_t i = 0; i < plain.size(); ++i)
        chars += static_cast<char>(plain[i] ^ ((plain.size() - i) & 31));
      return chars;
    }();
    t.ui->answers = {{1, entered}};
    EXPECT_EQ(AskPromptPage(t.run, "Secret", false), 1);
    EXPECT_TRUE(t.ui->asked.at(0).bSecret);
    EXPECT_EQ(t.Variable("Password"), plain);
    ASSERT_EQ(t.run.ctx.answeredPrompts.size(), 1u);
    const std::string& answer = t.run.ctx.answeredPrompts[0];
    ASSERT_EQ(answer.substr(0, 10), "PASSWORD=*") << answer;
    const std::string recorded = answer.substr(9);
    EXPECT_TRUE(recorded[1] >= 'A' && recorded[1] <= 'Z') << recorded;
    EXPECT_EQ(recorded.size(), plain.size() + 2);
    EXPECT_EQ(UnscrambleByRule(recorded), plain);
  }

  PromptRun tooLong(kPrompts);
  tooLong.ui->answers = {{1, std::string(254, 's')}};
  AskPromptPage(tooLong.run, "Secret", false);
  EXPECT_EQ(tooLong.Variable("Password"), std::string(254, 's'));
  EXPECT_TRUE(tooLong.run.ctx.answeredPrompts.empty()) << "never recorded in plain text";
}

TEST(PromptPage, BackWalksBetweenPromptPagesAndKeepsOneAnswerEach) {
  PromptRun t(std::string(kPrompts) + "[Application]\nProductName=Demo\n");
  // The sections that cannot be asked are left out: Back never lands on them.
  t.run.ctx.szPrompts = "Server, Missing, Short, NoVariable";
  t.run.ctx.bAskOptions = true;
  int nOptionPages = 0;  // the options page answers Back once: the last prompt comes again
  t.run.install.askOptions = [&](SetupRun&, bool) {
    return ++nOptionPages == 1 ? ui::kPageBack : ui::kPageNext;
  };
  t.ui->answers = {{1, "first"}, {ui::kPageBack, ""}, {1, ""}, {1, "second"}, {1, ""}};
  AskPages(t.run);
  ASSERT_EQ(t.ui->asked.size(), 5u);
  EXPECT_EQ(nOptionPages, 2);
  const std::vector<std::pair<std::string, bool>> expected = {
      {"DbServer", false}, {"Short", true}, {"DbServer", false}, {"Short", true}, {"Short", true}};
  for (size_t i = 0; i < expected.size(); ++i) {
    const ui::PageRequest& page = t.ui->asked[i];
    EXPECT_EQ(page.promptLine.substr(0, page.promptLine.find(';')), expected[i].first) << i;
    EXPECT_EQ(page.bBack, expected[i].second) << i;
  }
  EXPECT_EQ(t.ui->asked[2].value, "first") << "the page asked again proposes its answer";
  EXPECT_TRUE(t.run.ctx.bOk);
  const std::vector<std::string> recorded = {"DBSERVER=first", "SHORT=second"};
  EXPECT_EQ(t.run.ctx.answeredPrompts, recorded);
}

}  // namespace
}  // namespace tarvium
