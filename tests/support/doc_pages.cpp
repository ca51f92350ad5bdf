// The pages are read line by line with one rule for fences (a line that starts with ``` opens a
// block or closes the one open), so that a '#' comment or a bracket inside a code block is never
// taken for a heading or a link.
#include "support/doc_pages.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <sstream>

#include "support/temp_dir.h"

namespace tarvium::test {
namespace {

struct PageLine {
  int nLine = 0;
  std::string text;
  bool bInFence = false;  // inside a fenced block, or a fence itself
};

std::vector<PageLine> ReadPage(const std::string& page) {
  std::vector<PageLine> lines;
  std::istringstream in(ReadHostFile(SourceDir() + "/" + page));
  bool bInFence = false;
  int nLine = 0;
  for (std::string text; std::getline(in, text);) {
    if (!text.empty() && text.back() == '\r') text.pop_back();
    const bool bFence = text.rfind("```", 0) == 0;
    lines.push_back({++nLine, text, bInFence || bFence});
    if (bFence) bInFence = !bInFence;
  }
  return lines;
}

// The text of a heading line ("## Exit codes" -> "Exit codes"); "" when the line is none.
std::string HeadingText(const PageLine& line) {
  if (line.bInFence) return "";
  const size_t nHashes = line.text.find_first_not_of('#');
  if (nHashes == 0 || nHashes > 6 || nHashes == std::string::npos || line.text[nHashes] != ' ')
    return "";
  return line.text.substr(nHashes + 1);
}

// The line without its code spans, whose brackets are text rather than links. A span opens with
// a run of backticks and closes with the next run of the same length.
std::string WithoutCodeSpans(const std::string& text) {
  const auto runEnd = [&text](size_t nAt) {
    return std::min(text.find_first_not_of('`', nAt), text.size());
  };
  std::string rest;
  for (size_t nAt = 0; nAt < text.size();) {
    if (text[nAt] != '`') {
      rest += text[nAt++];
      continue;
    }
    const size_t nLength = runEnd(nAt) - nAt;
    size_t nClose = runEnd(nAt);
    while ((nClose = text.find('`', nClose)) != std::string::npos &&
           runEnd(nClose) - nClose != nLength)
      nClose = runEnd(nClose);
    nAt = nClose == std::string::npos ? text.size() : nClose + nLength;
  }
  return rest;
}

std::string AnchorOf(const std::string& heading) {
  std::string anchor;
  for (unsigned char c : heading) {
    if (c >= 0x80 || std::isalnum(c) || c == '-' || c == '_')
      anchor += static_cast<char>(std::tolower(c));
    else if (c == ' ')
      anchor += '-';
  }
  return anchor;
}

}  // namespace

std::string SourceDir() {
  return TARVIUM_SOURCE_DIR;
}

std::vector<std::string> DocPages() {
  namespace fs = std::filesystem;
  std::vector<std::string> pages;
  for (const auto& entry : fs::recursive_directory_iterator(fs::path(SourceDir()) / "docs"))
    if (entry.is_regular_file() && entry.path().extension() == ".md")
      pages.push_back(entry.path().lexically_relative(SourceDir()).string());
  std::sort(pages.begin(), pages.end());
  pages.insert(pages.begin(), "README.md");
  return pages;
}

std::vector<DocBlock> DocBlocks(const std::string& page) {
  std::vector<DocBlock> blocks;
  bool bOpen = false;
  for (const PageLine& line : ReadPage(page)) {
    if (line.text.rfind("```", 0) == 0) {
      if (!bOpen) blocks.push_back({page, line.nLine, line.text.substr(3), ""});
      bOpen = !bOpen;
    } else if (bOpen) {
      blocks.back().text += line.text + "\n";
    }
  }
  return blocks;
}

std::vector<DocLink> DocLinks(const std::string& page) {
  std::vector<DocLink> links;
  for (const PageLine& line : ReadPage(page)) {
    if (line.bInFence) continue;
    const std::string text = WithoutCodeSpans(line.text);
    for (size_t nAt = text.find("]("); nAt != std::string::npos; nAt = text.find("](", nAt + 2)) {
      const size_t nEnd = text.find(')', nAt + 2);
      if (nEnd == std::string::npos || text.rfind('[', nAt) == std::string::npos) continue;
      links.push_back({page, line.nLine, text.substr(nAt + 2, nEnd - nAt - 2)});
    }
  }
  return links;
}

std::vector<std::string> DocAnchors(const std::string& page) {
  std::vector<std::string> anchors;
  std::map<std::string, int> seen;  // how often each heading's anchor came before
  for (const PageLine& line : ReadPage(page)) {
    const std::string heading = HeadingText(line);
    if (heading.empty()) continue;
    const std::string anchor = AnchorOf(heading);
    const int nBefore = seen[anchor]++;
    anchors.push_back(nBefore == 0 ? anchor : anchor + "-" + std::to_string(nBefore));
  }
  return anchors;
}

std::vector<std::string> DocSection(const std::string& heading) {
  for (const std::string& page : DocPages()) {
    std::vector<std::string> section;
    bool bInSection = false;
    for (const PageLine& line : ReadPage(page)) {
      const std::string text = HeadingText(line);
      if (!text.empty()) {
        if (bInSection) return section;
        bInSection = text == heading;
      } else if (bInSection) {
        section.push_back(line.text);
      }
    }
    if (bInSection) return section;
  }
  return {};
}

}  // namespace tarvium::test
