// The user interface of a run, as the engine and the script engine see it: message boxes, the
// wait cursor while a started program runs, and the message pump that keeps the windows alive
// (and lets a Cancel reach the run) during long operations. The wizard pages and the progress
// window join it later. The run holds one backend: headless (standard error, default answers)
// or text mode; a Win32 backend will draw real windows.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace tarvium::ui {

enum class IconKind { Stop, Exclamation, Question, Information };

struct MessageButton {
  std::string label;  // with its '&' access-key mark
  int nResult = 2;
};

// A label as it reads, without its '&' access-key marks ("&No" -> "No").
inline std::string LabelText(const std::string& label) {
  std::string text;
  for (char c : label)
    if (c != '&') text += c;
  return text;
}

struct MessageBoxRequest {
  int nMessage = 0;  // the catalog number, which is also the help topic of the box
  std::string caption;
  std::string text;
  IconKind icon = IconKind::Information;
  std::vector<MessageButton> buttons;  // the buttons to create, in order
  size_t nDefault = 0;                 // index of the default button
  bool bSystemModal = false;
  bool bBeep = false;  // play the icon's sound when the box opens
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // Shows a modal box and returns the result number of the button pressed.
  virtual int MessageBox(const MessageBoxRequest& request) = 0;
  // The cursor for work in the background, on or off.
  virtual void SetWaitCursor(bool bOn) = 0;
  // Disables (false) or enables again (true) the main and progress windows while a started
  // program is waited for.
  virtual void EnableMainWindows(bool bEnable) = 0;
  // Dispatches the pending window messages. False when a quit message arrived or the user asked
  // to cancel; the caller then ends its wait.
  virtual bool PumpMessages() = 0;
  // The progress meter's percentage (0 to 100); -1 resets the meter and clears the text.
  virtual void ShowProgress(int nPercent) { (void)nPercent; }
};

}  // namespace tarvium::ui
