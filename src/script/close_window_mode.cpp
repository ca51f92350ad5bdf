// The title match is the usual two-pointer wildcard walk: on a mismatch it goes back to the last
// "*" and lets it take one more character, so a pattern with many stars stays linear per star.
#include "script/close_window_mode.h"

#include <array>

#include "engine/ansi_text.h"
#include "engine/inf_fields.h"
#include "platform/ansi_case.h"

namespace tarvium {
namespace {

constexpr std::array<FlagName, 6> kModeWords = {{
    {"KILLPROCESS", 0},
    {"CLOSEWINDOW", 1},
    {"DESTROYWINDOW", 2},
    {"QUERYCLOSEWINDOW", 3},
    {"CONTINUE", 0},
    {"ABORT", static_cast<uint32_t>(kCloseWindowAbort)},
}};

}  // namespace

int32_t ParseCloseWindowMode(std::string_view text) {
  text = TrimAnsi(text);
  if (text.empty()) return 3;
  return static_cast<int32_t>(ParseFlags(text, kModeWords));
}

CloseAction CloseActionOf(int32_t nMode) {
  switch (nMode & 0xFFFF) {
    case 0:
    case 2:
      return CloseAction::Destroy;
    case 1:
      return CloseAction::Close;
    case 3:
      return CloseAction::QueryThenDestroy;
    default:
      return CloseAction::None;
  }
}

bool TitleMatches(std::string_view pattern, std::string_view title) {
  size_t p = 0, t = 0;
  size_t nStar = std::string_view::npos, nStarTitle = 0;
  while (t < title.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      nStar = p++;
      nStarTitle = t;
    } else if (p < pattern.size() &&
               platform::AnsiUpperChar(pattern[p]) == platform::AnsiUpperChar(title[t])) {
      ++p, ++t;
    } else if (nStar != std::string_view::npos) {
      p = nStar + 1;
      t = ++nStarTitle;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace tarvium
