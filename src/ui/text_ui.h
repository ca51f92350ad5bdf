// The user interface of a run at a terminal: wizard pages and message boxes drawn with newt. The
// screen is opened by the first page or box that is shown, so a run that asks nothing leaves the
// terminal alone; a silent run is answered by the headless interface and never opens it. While a
// started program runs (the wait cursor, or the main windows disabled) the terminal is the
// program's. The progress window is TextProgress; the pages are the functions of text_pages.h.
#pragma once
#include "platform/console.h"
#include "platform/file_system.h"
#include "ui/interactive_ui.h"
#include "ui/text_progress.h"
#include "ui/text_session.h"

namespace tarvium::ui {

class TextUserInterface final : public InteractiveUserInterface {
 public:
  TextUserInterface(platform::Console& console, platform::FileSystem& files,
                    platform::Clock* clock = nullptr);

  void SetWaitCursor(bool bOn) override;
  void EnableMainWindows(bool bEnable) override;

  TextSession& Session() { return session_; }

 private:
  int DrawMessageBox(const MessageBoxRequest& request) override;
  int DrawPage(PageRequest& request) override;
  int DrawOptions(OptionsPage& page) override;

  TextSession session_;
  TextProgress progress_;
};

// Shows a message box on the session's screen and returns the result of the button pressed.
int ShowTextMessageBox(TextSession& session, const MessageBoxRequest& request);

}  // namespace tarvium::ui
