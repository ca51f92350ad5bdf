// The documentation (README.md and docs/) as a reader meets it: every Setup.inf example is run by
// a scenario, every command block runs as written, and every link leads to a file of the tree.
// A block is fenced by what it holds: ```ini a Setup.inf example, ```sh commands that the test
// runs, ```console commands that only a person can run (they need a terminal, root, Wine or the
// whole build), ```text anything else; a block of another kind fails, so that no example escapes
// the tests by its fence. The ```sh blocks of one page are one session, as in a reader's terminal:
// one `bash -e` (a pipeline fails as a whole) runs them in order from a scratch folder, which is
// also HOME, with the build's programs on PATH; what one block sets or starts, the next one has.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "support/doc_pages.h"
#include "support/run_tool.h"
#include "support/setup_scenario.h"
#include "support/temp_dir.h"

namespace tarvium::test {
namespace {

namespace fs = std::filesystem;

std::string Where(const std::string& page, int nLine) {
  return page + ":" + std::to_string(nLine);
}

TEST(DocBlocks, EachIsFencedAsWhatItHolds) {
  const std::set<std::string> kinds = {"ini", "sh", "console", "text"};
  for (const std::string& page : DocPages())
    for (const DocBlock& block : DocBlocks(page))
      EXPECT_TRUE(kinds.count(block.kind)) << Where(page, block.nLine) << ": a block fenced as \""
                                           << block.kind << "\" (ini, sh, console or text)";
}

// Every Setup.inf example of the documentation is run by a scenario, so that none of them goes
// stale.
TEST(DocExamples, EachIsRunByAScenario) {
  std::vector<std::string> run;
  for (const std::string& name : ScenarioNames()) {
    Scenario scenario = LoadScenario(name);
    if (scenario.run.count("DocExample")) run.push_back(DocExample(scenario.run["DocExample"]));
  }
  const std::vector<std::string> examples = DocExamples();
  EXPECT_GE(examples.size(), 15u);
  for (const std::string& example : examples)
    EXPECT_NE(std::find(run.begin(), run.end(), example), run.end())
        << "no scenario runs the documentation's example\n"
        << example;
}

// Each relative link and image names a file or folder of the source tree, and its "#anchor" a
// heading of the page it leads to.
TEST(DocLinks, EachLeadsToWhatItNames) {
  const fs::path source = fs::canonical(SourceDir());
  size_t nChecked = 0;
  for (const std::string& page : DocPages()) {
    for (const DocLink& link : DocLinks(page)) {
      if (link.target.find("://") != std::string::npos || link.target.rfind("mailto:", 0) == 0)
        continue;
      ++nChecked;
      const size_t nHash = link.target.find('#');
      const std::string file = link.target.substr(0, nHash);
      const fs::path target = file.empty() ? source / page : (source / page).parent_path() / file;
      std::error_code error;
      const fs::path found = fs::canonical(target, error);
      const std::string inTree = found.lexically_relative(source).string();
      if (error || inTree.empty() || inTree.rfind("..", 0) == 0) {
        ADD_FAILURE() << Where(page, link.nLine) << ": " << link.target
                      << " is no file of the tree";
        continue;
      }
      if (nHash == std::string::npos) continue;
      const std::vector<std::string> anchors = DocAnchors(inTree);
      EXPECT_NE(std::find(anchors.begin(), anchors.end(), link.target.substr(nHash + 1)),
                anchors.end())
          << Where(page, link.nLine) << ": " << link.target << " names no heading of " << inTree;
    }
  }
  EXPECT_GT(nChecked, 0u);
}

// The ```sh blocks of a page as one session, each block announced on stderr by its place, so
// that the output of a failed session names the block that stopped it. The time-out only keeps
// a hanging command from holding up the suite.
ToolResult RunCommandsOf(const std::string& page) {
  std::string session;
  for (const DocBlock& block : DocBlocks(page))
    if (block.kind == "sh")
      session += "echo '## " + Where(page, block.nLine) + "' >&2\n" + block.text;
  TempDir scratch;
  const std::string work = scratch.Path() + "/work";
  fs::create_directory(work);
  const std::string script = scratch.WriteFile("session.sh", session + "wait\n");
  const std::string environment =
      "env -u TARVIUM_MACHINE -u TARVIUM_EXIT_CODE_FILE -u TARVIUM_DEBUG_OUTPUT HOME=" +
      ShellQuote(work) + " PATH=" + ShellQuote(BuildDir() + ":" + BuildDir() + "/tools") +
      ":\"$PATH\"";
  return RunHostCommand("cd " + ShellQuote(work) + " && " + environment +
                        " timeout 120 bash -e -o pipefail " + ShellQuote(script) + " < /dev/null");
}

TEST(DocCommands, RunAsWrittenOnEveryPage) {
  size_t nPages = 0;
  for (const std::string& page : DocPages()) {
    const std::vector<DocBlock> blocks = DocBlocks(page);
    if (std::none_of(blocks.begin(), blocks.end(),
                     [](const DocBlock& block) { return block.kind == "sh"; }))
      continue;
    ++nPages;
    const ToolResult result = RunCommandsOf(page);
    EXPECT_EQ(result.nExit, 0) << "the commands of " << page
                               << " stopped (the last ## line names the block):\n"
                               << result.out;
  }
  EXPECT_GE(nPages, 5u);
}

}  // namespace
}  // namespace tarvium::test
