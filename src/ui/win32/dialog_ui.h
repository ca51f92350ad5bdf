// The user interface of an interactive run on Windows: the wizard pages, the message boxes and the
// progress window as dialogs over the setup's main window. A silent run is answered by the
// headless interface and never opens a window. While a started program runs, the main and
// progress windows are disabled and show the wait cursor; the engine pumps their messages during
// long operations, which is how the progress window's Cancel reaches the run.
#pragma once
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "ui/headless_ui.h"
#include "ui/user_interface.h"
#include "ui/win32/dialog_session.h"
#include "ui/win32/progress_window.h"

namespace tarvium::ui::win32 {

class DialogUserInterface final : public UserInterface {
 public:
  DialogUserInterface(platform::Console& console, platform::FileSystem& files,
                      platform::Clock* clock);

  int MessageBox(const MessageBoxRequest& request) override;
  void SetWaitCursor(bool bOn) override;
  void EnableMainWindows(bool bEnable) override;
  bool PumpMessages() override;
  int ShowPage(PageRequest& request) override;
  int ShowOptions(OptionsPage& page) override;
  void ConnectRun(RunLink link) override { session_.Connect(std::move(link)); }
  void OpenProgressWindow(const ProgressWindowRequest& request) override;
  void CloseProgressWindow() override;
  void ShowProgress(int nPercent) override;
  void ShowStatus(const std::string& firstLine, const std::string& secondLine) override;

 private:
  bool IsSilent() const { return session_.Frame().bSilent; }

  HeadlessUserInterface headless_;  // answers for silent runs
  DialogSession session_;
  ProgressWindow progress_;
  HCURSOR hSavedCursor_ = nullptr;
};

}  // namespace tarvium::ui::win32
