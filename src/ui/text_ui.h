// The user interface of a run at a terminal: wizard pages and message boxes drawn with newt. The
// screen is opened by the first page or box that is shown, so a run that asks nothing leaves the
// terminal alone; a silent run is answered by the headless interface and never opens it. While a
// started program runs (the wait cursor, or the main windows disabled) the terminal is the
// program's. The progress window is TextProgress; the pages are the functions of text_pages.h.
#pragma once
#include "platform/console.h"
#include "platform/file_system.h"
#include "ui/headless_ui.h"
#include "ui/text_progress.h"
#include "ui/text_session.h"
#include "ui/user_interface.h"

namespace tarvium::ui {

class TextUserInterface final : public UserInterface {
 public:
  // The clock is the headless answers' (a silent /Y run waits out its countdown).
  TextUserInterface(platform::Console& console, platform::FileSystem& files,
                    platform::Clock* clock = nullptr);

  int MessageBox(const MessageBoxRequest& request) override;
  void SetWaitCursor(bool bOn) override;
  void EnableMainWindows(bool bEnable) override;
  bool PumpMessages() override;
  int ShowPage(PageRequest& request) override;
  void OpenProgressWindow(const ProgressWindowRequest& request) override;
  void CloseProgressWindow() override;
  int ShowOptions(OptionsPage& page) override;
  void ShowProgress(int nPercent) override;
  void ShowStatus(const std::string& firstLine, const std::string& secondLine) override;
  void ConnectRun(RunLink link) override;

  TextSession& Session() { return session_; }

 private:
  bool IsSilent() const { return session_.Frame().bSilent; }

  HeadlessUserInterface headless_;  // answers for silent runs
  TextSession session_;
  TextProgress progress_;
};

// Shows a message box on the session's screen and returns the result of the button pressed.
int ShowTextMessageBox(TextSession& session, const MessageBoxRequest& request);

}  // namespace tarvium::ui
