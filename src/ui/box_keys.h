// Which button of a message box a key presses: the letter after '&' in a label (either case),
// Escape, which closes a box only when one of its buttons answers 2 (Cancel, or an OK that
// stands for it), as a dialog's close box does, and F1, which is Help when the box shows Help. Kept
// apart from the drawing so it can be tested.
#pragma once
#include "ui/user_interface.h"

namespace tarvium::ui {

inline constexpr int kEscapeKey = 27;
inline constexpr int kF1Key = 0x8000 + 101;  // newt's number of F1
inline constexpr int kHelpButton = 9;        // opens help; the box stays open

// The result of the button the key presses; 0 when it presses none.
int ResultOfBoxKey(const MessageBoxRequest& request, int nKey);

}  // namespace tarvium::ui
