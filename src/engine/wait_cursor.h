// The cursor for work in the background (a launched program, a service that is stopping) for as
// long as the object lives; none in silent runs.
#pragma once
#include "engine/setup_run.h"

namespace tarvium {

class WaitCursor {
 public:
  explicit WaitCursor(SetupRun& run) : pUi_(run.ctx.bSilent ? nullptr : run.ui.get()) {
    if (pUi_) pUi_->SetWaitCursor(true);
  }
  ~WaitCursor() {
    if (pUi_) pUi_->SetWaitCursor(false);
  }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  ui::UserInterface* pUi_;
};

}  // namespace tarvium
