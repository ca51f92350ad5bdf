// What the drawing backends (the text mode, the Windows dialogs) share: a silent run is answered
// by the headless interface and never opens a screen or a window, so every call asks the run's
// frame first and goes either to the headless answers or to the backend's drawing. A backend
// implements the drawing; the choice between the two is made here, once.
#pragma once
#include "platform/clock.h"
#include "platform/console.h"
#include "ui/headless_ui.h"
#include "ui/progress_display.h"
#include "ui/run_connection.h"
#include "ui/user_interface.h"

namespace tarvium::ui {

class InteractiveUserInterface : public UserInterface {
 public:
  int MessageBox(const MessageBoxRequest& request) final;
  bool PumpMessages() final;
  int ShowPage(PageRequest& request) final;
  int ShowOptions(OptionsPage& page) final;
  void ConnectRun(RunLink link) final { connection_.Connect(std::move(link)); }
  // A silent run with progress draws the headless progress line instead of the window.
  void OpenProgressWindow(const ProgressWindowRequest& request) final;
  void CloseProgressWindow() final;
  void ShowProgress(int nPercent) final;
  void ShowStatus(const std::string& firstLine, const std::string& secondLine) final;

 protected:
  // The clock is the headless answers' (a silent /Y run waits out its countdown).
  InteractiveUserInterface(platform::Console& console, platform::Clock* clock,
                           RunConnection& connection, ProgressDisplay& progress)
      : headless_(console, clock), connection_(connection), progress_(progress) {}

  virtual int DrawMessageBox(const MessageBoxRequest& request) = 0;
  virtual int DrawPage(PageRequest& request) = 0;
  virtual int DrawOptions(OptionsPage& page) = 0;

 private:
  bool IsSilent() const { return connection_.Frame().bSilent; }

  HeadlessUserInterface headless_;
  RunConnection& connection_;
  ProgressDisplay& progress_;
};

}  // namespace tarvium::ui
