// The setup's own message box on Windows. The system's box offers only its fixed sets of buttons,
// while the run's boxes carry buttons of their own (labels and result numbers from the catalog),
// so the box is a dialog of the setup: the icon (1002), the text (1001) sized to what it says, and
// one push button per requested button, whose control ID is its result number. The box behaves
// as the text-mode box does: Help opens the box's topic and keeps it open, Escape and the close
// box answer 2 only when a button answers 2, and a box with a time-out ends with its default.
#pragma once
#include "ui/user_interface.h"
#include "ui/win32/dialog_session.h"

namespace tarvium::ui::win32 {

inline constexpr int kBoxTextId = 1001;
inline constexpr int kBoxIconId = 1002;

// Shows the box over the session's current window and returns the result number of the button
// pressed; the default button's when the system could not make the box.
int ShowMessageBoxDialog(DialogSession& session, const MessageBoxRequest& request);

}  // namespace tarvium::ui::win32
