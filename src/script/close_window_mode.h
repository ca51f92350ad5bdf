// What CloseWindow reads from its line, as pure functions: the mode (a number, or keywords joined
// by '+', '|', ')' or blanks whose values are or-ed: KILLPROCESS 0, CLOSEWINDOW 1,
// DESTROYWINDOW 2, QUERYCLOSEWINDOW 3, CONTINUE 0, ABORT 0x10000; an unknown keyword makes the
// whole mode -1, an empty mode is 3), the action its low 16 bits choose for each window, and the
// match of a window title against the line's pattern.
#pragma once
#include <cstdint>
#include <string_view>

namespace tarvium {

inline constexpr int32_t kCloseWindowAbort = 0x10000;

enum class CloseAction {
  Destroy,           // modes 0 and 2: the destroy message
  Close,             // mode 1: the close message
  QueryThenDestroy,  // mode 3: the shutdown query, then destroy when the window agrees
  None,              // any other value (an unknown keyword's -1): the window is left alone
};

int32_t ParseCloseWindowMode(std::string_view text);
CloseAction CloseActionOf(int32_t nMode);

// "*" matches any run of characters, everything else itself without regard to case.
bool TitleMatches(std::string_view pattern, std::string_view title);

}  // namespace tarvium
