// A user interface for tests that need a user who presses Cancel, which the host cannot provide:
// its Nth message pump reports the cancel; every other pump and box goes on (boxes answer with
// their default button). It counts the pumps so that a test can see where a loop stopped.
#pragma once
#include "support/answering_ui.h"

namespace tarvium::test {

class CancellingUserInterface final : public AnsweringUserInterface {
 public:
  explicit CancellingUserInterface(int nCancelAt) : nCancelAt_(nCancelAt) {}

  bool PumpMessages() override { return ++nPumped != nCancelAt_; }

  int nPumped = 0;

 private:
  int nCancelAt_;
};

}  // namespace tarvium::test
