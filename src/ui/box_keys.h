// Which button of a message box a key presses: the letter after '&' in a label (either case),
// and Escape, which closes a box only when one of its buttons answers 2 (Cancel, or an OK that
// stands for it), as a dialog's close box does. Kept apart from the drawing so it can be tested.
#pragma once
#include "ui/user_interface.h"

namespace tarvium::ui {

inline constexpr int kEscapeKey = 27;

// The result of the button the key presses; 0 when it presses none.
int ResultOfBoxKey(const MessageBoxRequest& request, int nKey);

}  // namespace tarvium::ui
