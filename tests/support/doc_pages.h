// The project's documentation as the tests read it: README.md and every page under docs/, with
// their fenced blocks (the ```ini Setup.inf examples that scenarios run, the ```sh commands that a
// test runs), their headings and their relative links, so that no example and no link of the
// documentation can go stale unnoticed.
#pragma once
#include <string>
#include <vector>

namespace tarvium::test {

// The source tree's folder on the host.
std::string SourceDir();

// The pages, as paths relative to the source tree: README.md, then docs/**/*.md sorted.
std::vector<std::string> DocPages();

// A fenced block of a page: the word after the opening ``` names its kind.
struct DocBlock {
  std::string page;
  int nLine = 0;     // line of the opening fence, from 1
  std::string kind;  // "ini", "sh", "console", "text", ... ("" when the fence names none)
  std::string text;  // the lines between the fences, each ended by "\n"
};
std::vector<DocBlock> DocBlocks(const std::string& page);

// A link or image of a page outside code: the target as written, "#anchor" part included.
struct DocLink {
  std::string page;
  int nLine = 0;
  std::string target;
};
std::vector<DocLink> DocLinks(const std::string& page);

// The anchors of a page's headings, as links name them: lower case, punctuation dropped, blanks
// as '-', a repeated heading with "-1", "-2", ... after it.
std::vector<std::string> DocAnchors(const std::string& page);

// The lines of the section under the heading with this text (any level), up to the next heading,
// from the first page that has it; empty when no page has it.
std::vector<std::string> DocSection(const std::string& heading);

}  // namespace tarvium::test
