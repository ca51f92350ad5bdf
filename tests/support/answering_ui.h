// A user interface for tests that need a user who answers every message box the same way, which
// the host cannot provide; pumps always go on.
#pragma once
#include "ui/user_interface.h"

namespace tarvium::test {

class AnsweringUserInterface final : public ui::UserInterface {
 public:
  explicit AnsweringUserInterface(int nAnswer) : nAnswer_(nAnswer) {}
  int MessageBox(const ui::MessageBoxRequest&) override { return nAnswer_; }
  void SetWaitCursor(bool) override {}
  void EnableMainWindows(bool) override {}
  bool PumpMessages() override { return true; }

 private:
  int nAnswer_;
};

}  // namespace tarvium::test
