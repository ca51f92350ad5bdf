// The user interface of a run that has nobody to ask: a message box is printed on standard error
// (caption, text and buttons, with a line saying the default button was taken) and answered with
// its default button (a box that closes by itself is taken as having timed out, at once, without
// the wait); there are no windows to enable, no cursor to change and no messages to
// pump. A wizard page is answered with its default (Next, or the default choice) and its values
// as they are, with one line on standard error. The progress window of a silent run is a line on
// standard error that redraws in place, when that is a terminal. CreateUserInterface
// (create_user_interface.h) picks the backend of a run.
#pragma once
#include "platform/clock.h"
#include "platform/console.h"
#include "ui/progress_line.h"
#include "ui/user_interface.h"

namespace tarvium::ui {

class HeadlessUserInterface : public UserInterface {
 public:
  // The clock waits out the restart countdown; without one it is not waited for.
  explicit HeadlessUserInterface(platform::Console& console, platform::Clock* clock = nullptr)
      : console_(console), clock_(clock), progressLine_(console) {}

  int MessageBox(const MessageBoxRequest& request) override;
  void SetWaitCursor(bool) override {}
  void EnableMainWindows(bool) override {}
  bool PumpMessages() override { return true; }
  int ShowPage(PageRequest& request) override;
  void OpenProgressWindow(const ProgressWindowRequest& request) override;
  void CloseProgressWindow() override { progressLine_.Close(); }
  void ShowProgress(int nPercent) override { progressLine_.SetPercent(nPercent); }
  void ShowStatus(const std::string& firstLine, const std::string&) override {
    progressLine_.SetStatus(firstLine);
  }
  int ShowOptions(OptionsPage& page) override;

 protected:
  // The box as standard error shows it: caption and icon, the text, and the buttons with the
  // default one in brackets.
  static void WriteBox(platform::Console& console, const MessageBoxRequest& request);

  platform::Console& console_;

 private:
  platform::Clock* clock_;
  ProgressLine progressLine_;
};

}  // namespace tarvium::ui
