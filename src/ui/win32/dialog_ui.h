// The user interface of an interactive run on Windows: the wizard pages, the message boxes and the
// progress window as dialogs over the setup's main window (a silent run is answered headless, see
// interactive_ui.h). While a started program runs, the main and progress windows are disabled
// and show the wait cursor; the engine pumps their messages during long operations, which is how
// the progress window's Cancel reaches the run.
#pragma once
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "ui/interactive_ui.h"
#include "ui/win32/dialog_session.h"
#include "ui/win32/progress_window.h"

namespace tarvium::ui::win32 {

class DialogUserInterface final : public InteractiveUserInterface {
 public:
  DialogUserInterface(platform::Console& console, platform::FileSystem& files,
                      platform::Clock* clock);

  void SetWaitCursor(bool bOn) override;
  void EnableMainWindows(bool bEnable) override;

 private:
  int DrawMessageBox(const MessageBoxRequest& request) override;
  int DrawPage(PageRequest& request) override;
  int DrawOptions(OptionsPage& page) override;

  DialogSession session_;
  ProgressWindow progress_;
  HCURSOR hSavedCursor_ = nullptr;
};

}  // namespace tarvium::ui::win32
