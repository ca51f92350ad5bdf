// The user interface of a run that has nobody to ask: a message box is printed on standard error
// (caption, text and buttons, with a line saying the default button was taken) and answered with
// its default button; there are no windows to enable, no cursor to change and no messages to
// pump. A wizard page is answered with its default (Next, or the default choice) and its values
// as they are, with one line on standard error. CreateUserInterface (create_user_interface.h)
// picks the backend of a run.
#pragma once
#include "platform/console.h"
#include "ui/user_interface.h"

namespace tarvium::ui {

class HeadlessUserInterface final : public UserInterface {
 public:
  explicit HeadlessUserInterface(platform::Console& console) : console_(console) {}

  int MessageBox(const MessageBoxRequest& request) override;
  void SetWaitCursor(bool) override {}
  void EnableMainWindows(bool) override {}
  bool PumpMessages() override { return true; }
  int ShowPage(PageRequest& request) override;
  int ShowOptions(OptionsPage& page) override;

 private:
  platform::Console& console_;
};

}  // namespace tarvium::ui
