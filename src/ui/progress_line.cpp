#include "ui/progress_line.h"

#include <cstdio>
#include <utility>

namespace tarvium::ui {
namespace {

constexpr std::string_view kEllipsis = "...";

std::string PercentField(int nPercent) {
  if (nPercent < 0) return "    ";
  char field[8];
  std::snprintf(field, sizeof field, "%3d%%", nPercent > 100 ? 100 : nPercent);
  return field;
}

// Keeps the first third and the rest from the end, with "..." between them.
std::string ShortenInMiddle(std::string_view text, size_t nWidth) {
  if (text.size() <= nWidth) return std::string(text);
  if (nWidth <= kEllipsis.size()) return std::string(text.substr(text.size() - nWidth));
  const size_t nKept = nWidth - kEllipsis.size();
  const size_t nHead = nKept / 3;
  const size_t nTail = nKept - nHead;
  return std::string(text.substr(0, nHead)) + std::string(kEllipsis) +
         std::string(text.substr(text.size() - nTail));
}

}  // namespace

std::string FormatProgressLine(int nPercent, std::string_view status, size_t nWidth) {
  std::string line = PercentField(nPercent);
  if (status.empty() || nWidth <= line.size() + 1) return line.substr(0, nWidth);
  return line + " " + ShortenInMiddle(status, nWidth - line.size() - 1);
}

void ProgressLine::Open() {
  bOpen_ = console_.StandardErrorIsTerminal();
  nPercent_ = -1;
  status_.clear();
}

void ProgressLine::Close() {
  Interrupt();
  bOpen_ = false;
}

void ProgressLine::SetPercent(int nPercent) {
  nPercent_ = nPercent;
  if (nPercent < 0) status_.clear();
  Draw();
}

void ProgressLine::SetStatus(std::string_view status) {
  if (!bOpen_) return;  // every copied file sets it: no copy when nothing is drawn
  status_.assign(status);
  Draw();
}

void ProgressLine::Interrupt() {
  if (nDrawn_ == 0) return;
  console_.WriteErrorText("\n");
  nDrawn_ = 0;
}

void ProgressLine::Draw() {
  if (!bOpen_) return;
  std::string line = FormatProgressLine(nPercent_, status_, kProgressLineWidth);
  const size_t nWidth = line.size();
  // Blanks over what is left of a longer line drawn before.
  if (nDrawn_ > nWidth) line.append(nDrawn_ - nWidth, ' ');
  console_.WriteErrorText("\r" + line);
  nDrawn_ = nWidth == 0 ? 1 : nWidth;
}

}  // namespace tarvium::ui
