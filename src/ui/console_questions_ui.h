// The user interface of an interactive run that has a console but no dialogs of its own: a message
// box is printed as the headless interface prints it and then asked at the console, where the
// person types a button's name (or the start of it that only that button has) and Enter, or Enter
// alone for the default button. The end of the input takes the default, as a run without a person
// does; so do a silent run and a box that closes by itself. Pages are answered as the headless
// interface answers them.
#pragma once
#include "ui/headless_ui.h"

namespace tarvium::ui {

class ConsoleQuestionsUserInterface final : public HeadlessUserInterface {
 public:
  using HeadlessUserInterface::HeadlessUserInterface;

  int MessageBox(const MessageBoxRequest& request) override;
  void ConnectRun(RunLink link) override { link_ = std::move(link); }

 private:
  bool IsSilent() const { return link_.frame && link_.frame().bSilent; }

  RunLink link_;
};

}  // namespace tarvium::ui
