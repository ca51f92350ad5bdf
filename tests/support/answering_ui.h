// A user interface for tests that need a user who answers message boxes, which the host cannot
// provide: from a table by message number, else with one fixed answer when given, else with the
// box's default button. It keeps the last text shown for each number; pumps always go on, after
// calling onPump when a test set it (to look at the machine between the blocks of a copy). Tests
// whose user also answers pages or options derive from it and keep its boxes and pumps.
#pragma once
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "ui/user_interface.h"

namespace tarvium::test {

class AnsweringUserInterface : public ui::UserInterface {
 public:
  AnsweringUserInterface() = default;
  explicit AnsweringUserInterface(int nAnswer) : nAnswer_(nAnswer) {}

  int MessageBox(const ui::MessageBoxRequest& request) override {
    texts[request.nMessage] = request.text;
    if (const auto it = answers.find(request.nMessage); it != answers.end()) return it->second;
    if (nAnswer_) return *nAnswer_;
    return request.buttons.empty() ? 2 : request.buttons[request.nDefault].nResult;
  }
  void SetWaitCursor(bool) override {}
  void EnableMainWindows(bool) override {}
  bool PumpMessages() override {
    if (onPump) onPump();
    return true;
  }

  std::map<int, int> answers;        // message number -> result
  std::map<int, std::string> texts;  // the last text shown for each number
  std::function<void()> onPump;

 private:
  std::optional<int> nAnswer_;
};

}  // namespace tarvium::test
