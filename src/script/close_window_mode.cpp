// The mode words go through the flag-list reader of the setup information file; the title match
// is the file-name pattern match with '?' taken as itself.
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
  return platform::AnsiMatchesPattern(pattern, title, false);
}

}  // namespace tarvium
